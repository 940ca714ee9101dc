#pragma once

#include "Entity.h"

// A member's point card.
struct PointCard
{
    Field cardKey;
    Field name;
    Field memberId;
    Field member;
    Field eventId;
    Field point;
    Field isUsed;
    Field isDeleted;
    Field merchantId;
    Field lastUpdatedTime;
    Field lastUpdatedUserId;
    Field lastUpdatedUser;
    Field picture;
    Field detailPic;
    Field startTime;
    Field endTime;
    Field storeName;
    Field brief;
    Field detail;
    Field totalPoints;
    Field storeId;
    Field enableStoreIds;
};

template <>
struct EntityInfo<PointCard>
{
    static constexpr const char *name = "PointCard";
    static constexpr bool stored = true;
    static constexpr std::array fields{
        ENTITY_FIELD(PointCard, cardKey, Text),
        ENTITY_FIELD(PointCard, name, Text),
        ENTITY_FIELD(PointCard, memberId, Id),
        ENTITY_FIELD(PointCard, member, Text),
        ENTITY_FIELD(PointCard, eventId, Id),
        ENTITY_FIELD(PointCard, point, Integer),
        ENTITY_FIELD(PointCard, isUsed, Flag),
        ENTITY_FIELD(PointCard, isDeleted, Flag),
        ENTITY_FIELD(PointCard, merchantId, Id),
        ENTITY_FIELD(PointCard, lastUpdatedTime, Time),
        ENTITY_FIELD(PointCard, lastUpdatedUserId, Id),
        ENTITY_FIELD(PointCard, lastUpdatedUser, Text),
        ENTITY_FIELD(PointCard, picture, Text),
        ENTITY_FIELD(PointCard, detailPic, Text),
        ENTITY_FIELD(PointCard, startTime, Time),
        ENTITY_FIELD(PointCard, endTime, Time),
        ENTITY_FIELD(PointCard, storeName, Text),
        ENTITY_FIELD(PointCard, brief, Text),
        ENTITY_FIELD(PointCard, detail, Text),
        ENTITY_FIELD(PointCard, totalPoints, Integer),
        ENTITY_FIELD(PointCard, storeId, Id),
        ENTITY_FIELD(PointCard, enableStoreIds, Text)};
};

static_assert(sizeof(PointCard) == EntityInfo<PointCard>::fields.size() * sizeof(Field),
              "every field of PointCard is listed");
