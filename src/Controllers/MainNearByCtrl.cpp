#include "MainNearByCtrl.h"

#include "Texts.h"

MainNearByCtrl::MainNearByCtrl(QObject *parent) : MainCtrl(parent) {}

void MainNearByCtrl::viewDidLoad()
{
    MainCtrl::viewDidLoad();
    setTitle(Texts::get(u"nearby"_qs));
}
