#pragma once

#include "Entity.h"

// One change of a point card, kept until uploaded.
struct PointCardLog
{
    Field cardKey;
    Field name;
    Field memberId;
    Field member;
    Field eventId;
    Field bPoint;
    Field aPoint;
    Field actionType;
    Field merchantId;
    Field updatedTime;
    Field updatedUserId;
    Field updatedUser;
    Field storeId;
};

template <>
struct EntityInfo<PointCardLog>
{
    static constexpr const char *name = "PointCardLog";
    static constexpr bool stored = true;
    static constexpr std::array fields{
        ENTITY_FIELD(PointCardLog, cardKey, Text),
        ENTITY_FIELD(PointCardLog, name, Text),
        ENTITY_FIELD(PointCardLog, memberId, Id),
        ENTITY_FIELD(PointCardLog, member, Text),
        ENTITY_FIELD(PointCardLog, eventId, Id),
        ENTITY_FIELD(PointCardLog, bPoint, Integer),
        ENTITY_FIELD(PointCardLog, aPoint, Integer),
        ENTITY_FIELD(PointCardLog, actionType, Integer),
        ENTITY_FIELD(PointCardLog, merchantId, Id),
        ENTITY_FIELD(PointCardLog, updatedTime, Time),
        ENTITY_FIELD(PointCardLog, updatedUserId, Id),
        ENTITY_FIELD(PointCardLog, updatedUser, Text),
        ENTITY_FIELD(PointCardLog, storeId, Id)};
};

static_assert(sizeof(PointCardLog) == EntityInfo<PointCardLog>::fields.size() * sizeof(Field),
              "every field of PointCardLog is listed");
