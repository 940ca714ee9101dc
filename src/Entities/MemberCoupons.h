#pragma once

#include "Entity.h"

// A coupon collected by a member.
struct MemberCoupons
{
    Field couponKey;
    Field name;
    Field memberId;
    Field member;
    Field eventId;
    Field leftCount;
    Field isDeleted;
    Field merchantId;
    Field lastUpdatedTime;
    Field picture;
    Field detailPic;
    Field storeName;
    Field totalPoints;
    Field detail;
    Field brief;
    Field startTime;
    Field endTime;
    Field storeId;
    Field enableStoreIds;
    Field status;
};

template <>
struct EntityInfo<MemberCoupons>
{
    static constexpr const char *name = "MemberCoupons";
    static constexpr bool stored = true;
    static constexpr std::array fields{
        ENTITY_FIELD(MemberCoupons, couponKey, Text),
        ENTITY_FIELD(MemberCoupons, name, Text),
        ENTITY_FIELD(MemberCoupons, memberId, Id),
        ENTITY_FIELD(MemberCoupons, member, Text),
        ENTITY_FIELD(MemberCoupons, eventId, Id),
        ENTITY_FIELD(MemberCoupons, leftCount, Integer),
        ENTITY_FIELD(MemberCoupons, isDeleted, Flag),
        ENTITY_FIELD(MemberCoupons, merchantId, Id),
        ENTITY_FIELD(MemberCoupons, lastUpdatedTime, Time),
        ENTITY_FIELD(MemberCoupons, picture, Text),
        ENTITY_FIELD(MemberCoupons, detailPic, Text),
        ENTITY_FIELD(MemberCoupons, storeName, Text),
        ENTITY_FIELD(MemberCoupons, totalPoints, Integer),
        ENTITY_FIELD(MemberCoupons, detail, Text),
        ENTITY_FIELD(MemberCoupons, brief, Text),
        ENTITY_FIELD(MemberCoupons, startTime, Time),
        ENTITY_FIELD(MemberCoupons, endTime, Time),
        ENTITY_FIELD(MemberCoupons, storeId, Id),
        ENTITY_FIELD(MemberCoupons, enableStoreIds, Text),
        ENTITY_FIELD(MemberCoupons, status, Integer)};
};

static_assert(sizeof(MemberCoupons) == EntityInfo<MemberCoupons>::fields.size() * sizeof(Field),
              "every field of MemberCoupons is listed");
