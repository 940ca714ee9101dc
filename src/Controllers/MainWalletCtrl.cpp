#include "MainWalletCtrl.h"

#include "Texts.h"

MainWalletCtrl::MainWalletCtrl(QObject *parent) : MainCtrl(parent) {}

void MainWalletCtrl::viewDidLoad()
{
    MainCtrl::viewDidLoad();
    setTitle(Texts::get(u"wallet"_qs));
}
