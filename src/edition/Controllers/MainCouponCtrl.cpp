#include "MainCouponCtrl.h"

#include "Texts.h"

MainCouponCtrl::MainCouponCtrl(QObject *parent) : MainCtrl(parent) {}

void MainCouponCtrl::viewDidLoad()
{
    MainCtrl::viewDidLoad();
    setTitle(Texts::get(u"coupon"_qs));
}
