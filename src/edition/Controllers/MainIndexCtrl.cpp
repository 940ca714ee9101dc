#include "MainIndexCtrl.h"

#include "Texts.h"

MainIndexCtrl::MainIndexCtrl(QObject *parent) : MainCtrl(parent) {}

void MainIndexCtrl::viewDidLoad()
{
    MainCtrl::viewDidLoad();
    setTitle(Texts::get(u"home"_qs));
}
