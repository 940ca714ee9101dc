#include "Event.h"

#include "BuildConfig.h"
#include "UserMgr.h"

QString Event::genFullImagePath(const QString &fileName)
{
    const QString imageBase = BuildConfig::loyaltyBaseUrl() + QStringLiteral("merchantImgs/");
    return QStringLiteral("%1salesEventImgs/%2").arg(imageBase, fileName);
}

PointCard Event::caseToPointCard(const Event &event)
{
    PointCard card;
    card.cardKey = QString();
    card.name = event.name;
    card.memberId = UserMgr::getMemberId();
    card.member = UserMgr::getAccount().value_or(QString());
    card.eventId = event.eventId;
    card.point = 0;
    card.isUsed = 0;
    card.isDeleted = 0;
    card.merchantId = event.merchantId;
    card.lastUpdatedTime = 0;
    card.lastUpdatedUserId = 0;
    card.lastUpdatedUser = QString();
    card.picture = genFullImagePath(event.picture.text());
    card.detailPic = genFullImagePath(event.detailPic.text());
    card.startTime = event.startTime;
    card.endTime = event.endTime;
    card.storeName = event.storeName;
    card.brief = event.brief;
    card.detail = event.detail;
    card.totalPoints = event.totalPoints;
    card.storeId = event.storeId;
    card.enableStoreIds = event.enableStoreIds;
    return card;
}

MemberCoupons Event::caseToMemberCoupons(const Event &event)
{
    MemberCoupons coupon;
    coupon.couponKey = QString();
    coupon.name = event.name;
    coupon.memberId = UserMgr::getMemberId();
    coupon.member = UserMgr::getAccount().value_or(QString());
    coupon.eventId = event.eventId;
    coupon.leftCount = event.couponUseLimit.toInt();
    coupon.isDeleted = 0;
    coupon.merchantId = event.merchantId;
    coupon.lastUpdatedTime = 0;
    coupon.picture = event.picture;
    coupon.detailPic = event.detailPic;
    coupon.storeName = event.storeName;
    coupon.totalPoints = event.totalPoints;
    coupon.detail = event.detail;
    coupon.brief = event.brief;
    coupon.startTime = event.startTime;
    coupon.endTime = event.endTime;
    coupon.storeId = event.storeId;
    coupon.enableStoreIds = event.enableStoreIds;
    coupon.status = 0;
    return coupon;
}
