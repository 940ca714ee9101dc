#pragma once

#include "MemberCoupons.h"
#include "PlainRecordCtrl.h"

// A member coupon's screen; for now its name only.
class CouponDetailCtrl : public PlainRecordCtrl
{
    Q_OBJECT
public:
    explicit CouponDetailCtrl(QObject *parent = nullptr);

    const MemberCoupons &mCoupon() const { return m_coupon; }
    void setMCoupon(const MemberCoupons &coupon);

private:
    MemberCoupons m_coupon;
};
