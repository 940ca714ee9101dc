#include "CouponDetailCtrl.h"

CouponDetailCtrl::CouponDetailCtrl(QObject *parent) : PlainRecordCtrl(parent) {}

void CouponDetailCtrl::setMCoupon(const MemberCoupons &coupon)
{
    m_coupon = coupon;
    setRecordName(coupon.name.text());
}
