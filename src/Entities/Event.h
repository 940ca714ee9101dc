#pragma once

#include "Entity.h"
#include "MemberCoupons.h"
#include "PointCard.h"

// A sales event: the definition of a point card (type 1) or coupon (type 3).
struct Event
{
    Field eventId;
    Field name;
    Field brief;
    Field detail;
    Field picture;
    Field onlyShowDate;
    Field detailPic;
    Field startTime;
    Field endTime;
    Field issuedTime;
    Field clearTime;
    Field storeKeys;
    Field merchantId;
    Field eventType;
    Field totalPoints;
    Field rewardCondition;
    Field rewardCash;
    Field storeId;
    Field storeName;
    Field address;
    Field lat;
    Field lon;
    Field tel;
    Field couponUseLimit;
    Field enableStoreIds;

    static QString genFullImagePath(const QString &fileName);
    static PointCard caseToPointCard(const Event &event);
    static MemberCoupons caseToMemberCoupons(const Event &event);
};

template <>
struct EntityInfo<Event>
{
    static constexpr const char *name = "Event";
    static constexpr bool stored = false;
    static constexpr std::array fields{
        ENTITY_FIELD(Event, eventId, Id),
        ENTITY_FIELD(Event, name, Text),
        ENTITY_FIELD(Event, brief, Text),
        ENTITY_FIELD(Event, detail, Text),
        ENTITY_FIELD(Event, picture, Text),
        ENTITY_FIELD(Event, onlyShowDate, Number),
        ENTITY_FIELD(Event, detailPic, Text),
        ENTITY_FIELD(Event, startTime, Time),
        ENTITY_FIELD(Event, endTime, Time),
        ENTITY_FIELD(Event, issuedTime, Number),
        ENTITY_FIELD(Event, clearTime, Number),
        ENTITY_FIELD(Event, storeKeys, Text),
        ENTITY_FIELD(Event, merchantId, Id),
        ENTITY_FIELD(Event, eventType, Integer),
        ENTITY_FIELD(Event, totalPoints, Integer),
        ENTITY_FIELD(Event, rewardCondition, Number),
        ENTITY_FIELD(Event, rewardCash, Number),
        ENTITY_FIELD(Event, storeId, Id),
        ENTITY_FIELD(Event, storeName, Text),
        ENTITY_FIELD(Event, address, Text),
        ENTITY_FIELD(Event, lat, Real),
        ENTITY_FIELD(Event, lon, Real),
        ENTITY_FIELD(Event, tel, Text),
        ENTITY_FIELD(Event, couponUseLimit, Integer),
        ENTITY_FIELD(Event, enableStoreIds, Text)};
};

static_assert(sizeof(Event) == EntityInfo<Event>::fields.size() * sizeof(Field),
              "every field of Event is listed");
