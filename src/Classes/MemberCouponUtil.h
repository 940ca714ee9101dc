#pragma once

#include "Field.h"
#include "MemberCoupons.h"

#include <QString>

// What a scanned coupon code said: the store where the coupon is being used,
// or why the code was refused. The coupon screen takes a store id of 1 or
// more as accepted and anything else as refused.
struct CouponCodeReading
{
    enum class Kind {
        SimpleCode, // digest "_" store id, signed for this coupon's merchant and store name
        EncipheredCode, // a payload of the coupon's merchant
        Unreadable, // neither a matching simple code nor a payload of at least 5 fields
        OtherMerchant, // a payload of another merchant
    };
    Kind kind = Kind::Unreadable;
    int storeId = 0; // 0 unless a code of this coupon was read

    bool accepted() const { return storeId >= 1; }
};

// Member coupon operations: collecting a coupon, recording a use, and reading
// the stores' coupon codes. Class-level only; called on the UI thread.
class MemberCouponUtil
{
public:
    MemberCouponUtil() = delete;

    static qint64 getNowDateTime();

    // True when the list is set, not empty, and names the store.
    static bool isEnableStoreIds(qint64 storeId, const Field &enableStoreIds);

    // Makes the shown record the member's stored coupon (a new key each call).
    static MemberCoupons &genEmptyMemberCoupon(MemberCoupons &coupon, qint64 memberId,
                                               const Field &member);

    // Logs one use at the store and starts the upload; nothing happens (false)
    // when the store is not in the coupon's list. The coupon itself is not
    // changed: its new count comes back with the next refresh.
    static bool changeMemberCoupon(const MemberCoupons &coupon, qint64 memberId, const Field &member,
                                   int storeId);

    // Reads a scanned coupon code against the coupon.
    static CouponCodeReading readCouponCode(const QString &scanned, const MemberCoupons &coupon);
    // The digest a simple code of this coupon must carry.
    static QString simpleCodeDigest(const MemberCoupons &coupon);

    // 32 upper-case hex digits of a fresh UUID, in order.
    static QString genCouponKey();
};
