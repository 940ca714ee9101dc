#pragma once

#include "Entity.h"

// A store event of the catalogue service.
struct StoreEvent
{
    Field couponID;
    Field storeName;
    Field title;
    Field content;
    Field startTime;
    Field endTime;
    Field eventPicUrl;
};

template <>
struct EntityInfo<StoreEvent>
{
    static constexpr const char *name = "StoreEvent";
    static constexpr bool stored = false;
    static constexpr std::array fields{
        ENTITY_FIELD(StoreEvent, couponID, Text),
        ENTITY_FIELD(StoreEvent, storeName, Text),
        ENTITY_FIELD(StoreEvent, title, Text),
        ENTITY_FIELD(StoreEvent, content, Text),
        ENTITY_FIELD(StoreEvent, startTime, Time),
        ENTITY_FIELD(StoreEvent, endTime, Time),
        ENTITY_FIELD(StoreEvent, eventPicUrl, Text)};
};

static_assert(sizeof(StoreEvent) == EntityInfo<StoreEvent>::fields.size() * sizeof(Field),
              "every field of StoreEvent is listed");
