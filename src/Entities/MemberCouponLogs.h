#pragma once

#include "Entity.h"

// One use of a coupon, kept until uploaded.
struct MemberCouponLogs
{
    Field logId;
    Field couponKey;
    Field name;
    Field memberId;
    Field member;
    Field eventId;
    Field leftCount;
    Field isDeleted;
    Field merchantId;
    Field updatedTime;
    Field storeId;
};

template <>
struct EntityInfo<MemberCouponLogs>
{
    static constexpr const char *name = "MemberCouponLogs";
    static constexpr bool stored = true;
    static constexpr std::array fields{
        ENTITY_FIELD(MemberCouponLogs, logId, Id),
        ENTITY_FIELD(MemberCouponLogs, couponKey, Text),
        ENTITY_FIELD(MemberCouponLogs, name, Text),
        ENTITY_FIELD(MemberCouponLogs, memberId, Id),
        ENTITY_FIELD(MemberCouponLogs, member, Text),
        ENTITY_FIELD(MemberCouponLogs, eventId, Id),
        ENTITY_FIELD(MemberCouponLogs, leftCount, Integer),
        ENTITY_FIELD(MemberCouponLogs, isDeleted, Flag),
        ENTITY_FIELD(MemberCouponLogs, merchantId, Id),
        ENTITY_FIELD(MemberCouponLogs, updatedTime, Time),
        ENTITY_FIELD(MemberCouponLogs, storeId, Id)};
};

static_assert(sizeof(MemberCouponLogs) == EntityInfo<MemberCouponLogs>::fields.size() * sizeof(Field),
              "every field of MemberCouponLogs is listed");
