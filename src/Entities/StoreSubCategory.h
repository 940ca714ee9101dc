#pragma once

#include "Entity.h"

// A sub category of a store category.
struct StoreSubCategory
{
    Field subCategoryID;
    Field subCategoryName;
};

template <>
struct EntityInfo<StoreSubCategory>
{
    static constexpr const char *name = "StoreSubCategory";
    static constexpr bool stored = false;
    static constexpr std::array fields{
        ENTITY_FIELD(StoreSubCategory, subCategoryID, Id),
        ENTITY_FIELD(StoreSubCategory, subCategoryName, Text)};
};

static_assert(sizeof(StoreSubCategory) == EntityInfo<StoreSubCategory>::fields.size() * sizeof(Field),
              "every field of StoreSubCategory is listed");
