#pragma once

#include "Entity.h"

// A banner of the home screen's strip.
struct Banner
{
    Field storeID;
    Field imgUrl;
    Field clickUrl;
};

template <>
struct EntityInfo<Banner>
{
    static constexpr const char *name = "Banner";
    static constexpr bool stored = false;
    static constexpr std::array fields{
        ENTITY_FIELD(Banner, storeID, Id),
        ENTITY_FIELD(Banner, imgUrl, Text),
        ENTITY_FIELD(Banner, clickUrl, Text)};
};

static_assert(sizeof(Banner) == EntityInfo<Banner>::fields.size() * sizeof(Field),
              "every field of Banner is listed");
