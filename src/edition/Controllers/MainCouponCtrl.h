#pragma once

#include "MainCtrl.h"

// The "coupon" tab's root. For now only its title; the screen's content comes later.
class MainCouponCtrl : public MainCtrl
{
    Q_OBJECT
public:
    explicit MainCouponCtrl(QObject *parent = nullptr);

protected:
    void viewDidLoad() override;
};
