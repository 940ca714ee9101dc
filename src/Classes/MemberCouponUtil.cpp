#include "MemberCouponUtil.h"

#include "Cipher.h"
#include "Clock.h"
#include "EditionConfig.h"
#include "InnerRequest.h"
#include "MemberCouponLogs.h"
#include "NumberRule.h"
#include "SQLiteHelper.h"
#include "Tools.h"

#include <QStringList>

qint64 MemberCouponUtil::getNowDateTime()
{
    return Clock::nowMs();
}

bool MemberCouponUtil::isEnableStoreIds(qint64 storeId, const Field &enableStoreIds)
{
    return NumberRule::readStoreIds(enableStoreIds.text()).contains(storeId);
}

QString MemberCouponUtil::genCouponKey()
{
    return Tools::getUUID().remove(QLatin1Char('-'));
}

MemberCoupons &MemberCouponUtil::genEmptyMemberCoupon(MemberCoupons &coupon, qint64 memberId,
                                                      const Field &member)
{
    coupon.couponKey = Field(genCouponKey());
    coupon.isDeleted = Field(0);
    coupon.lastUpdatedTime = Field(getNowDateTime());
    coupon.member = member;
    coupon.memberId = Field(memberId);
    SQLiteHelper::getInstance().insertWithEntity(coupon);
    return coupon;
}

bool MemberCouponUtil::changeMemberCoupon(const MemberCoupons &coupon, qint64 memberId,
                                          const Field &member, int storeId)
{
    if (!isEnableStoreIds(storeId, coupon.enableStoreIds))
        return false;

    MemberCouponLogs log;
    log.logId = Field(qint64(0));
    log.couponKey = coupon.couponKey;
    log.name = coupon.name;
    log.eventId = coupon.eventId;
    log.leftCount = coupon.leftCount; // as the coupon has it; the service counts the use
    log.merchantId = coupon.merchantId;
    log.memberId = Field(memberId);
    log.member = member;
    log.isDeleted = Field(0);
    log.updatedTime = Field(getNowDateTime());
    log.storeId = Field(storeId);
    SQLiteHelper::getInstance().insertWithEntity(log);

    InnerRequest::syncMemberCoupon(memberId);
    return true;
}

QString MemberCouponUtil::simpleCodeDigest(const MemberCoupons &coupon)
{
    // The merchant id goes in as a 32-bit decimal, like the stores' tool writes it.
    const QString signedText = EditionConfig::text(QStringLiteral("COMPANY_KEY")) + QLatin1Char('_')
        + QString::number(coupon.merchantId.toInt()) + QLatin1Char('_') + coupon.storeName.text();
    return Cipher::md5(signedText);
}

CouponCodeReading MemberCouponUtil::readCouponCode(const QString &scanned, const MemberCoupons &coupon)
{
    CouponCodeReading reading;
    const QStringList pieces = scanned.split(QLatin1Char('_'));
    if (pieces.size() >= 2 && pieces.at(0) == simpleCodeDigest(coupon)) {
        reading.kind = CouponCodeReading::Kind::SimpleCode;
        reading.storeId = NumberRule::readInt32(pieces.at(1));
        return reading;
    }

    const QStringList fields = Cipher::decrypt3DES(scanned).split(QLatin1Char(','));
    if (fields.size() < 5)
        return reading; // unreadable
    if (NumberRule::readInteger(fields.at(0)) != coupon.merchantId.toId()) {
        reading.kind = CouponCodeReading::Kind::OtherMerchant;
        return reading;
    }
    reading.kind = CouponCodeReading::Kind::EncipheredCode;
    reading.storeId = NumberRule::readInt32(fields.at(4));
    return reading;
}
