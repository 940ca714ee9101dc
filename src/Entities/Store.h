#pragma once

#include "Entity.h"

// A store; the stored rows are the member's favourite stores.
struct Store
{
    Field storeID;
    Field storeName;
    Field rate;
    Field discount;
    Field cost;
    Field storePicUrl;
    Field lat;
    Field lon;
    Field address;
    Field tel;
    Field intro;
    Field distance;
    Field distance2;

    // Fills distance2 of the given records and returns them sorted nearest first.
    static QList<Store> sortByDistance(QList<Store> &stores);
    static QString transDistance(double kilometres);
};

template <>
struct EntityInfo<Store>
{
    static constexpr const char *name = "Store";
    static constexpr bool stored = true;
    static constexpr std::array fields{
        ENTITY_FIELD(Store, storeID, Id),
        ENTITY_FIELD(Store, storeName, Text),
        ENTITY_FIELD(Store, rate, Integer),
        ENTITY_FIELD(Store, discount, Text),
        ENTITY_FIELD(Store, cost, Text),
        ENTITY_FIELD(Store, storePicUrl, Text),
        ENTITY_FIELD(Store, lat, Real),
        ENTITY_FIELD(Store, lon, Real),
        ENTITY_FIELD(Store, address, Text),
        ENTITY_FIELD(Store, tel, Text),
        ENTITY_FIELD(Store, intro, Text),
        ENTITY_FIELD(Store, distance, Number),
        ENTITY_FIELD(Store, distance2, Real)};
};

static_assert(sizeof(Store) == EntityInfo<Store>::fields.size() * sizeof(Field),
              "every field of Store is listed");
