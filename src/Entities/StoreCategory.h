#pragma once

#include "Entity.h"
#include "StoreSubCategory.h"

// A main store category with its sub categories.
struct StoreCategory
{
    Field mainCategoryID;
    Field mainCategoryName;
    Field storeCount;
    QList<StoreSubCategory> subCategories;
};

template <>
struct EntityInfo<StoreCategory>
{
    static constexpr const char *name = "StoreCategory";
    static constexpr bool stored = false;
    static constexpr std::array fields{
        ENTITY_FIELD(StoreCategory, mainCategoryID, Id),
        ENTITY_FIELD(StoreCategory, mainCategoryName, Text),
        ENTITY_FIELD(StoreCategory, storeCount, Number)};
    static constexpr const char *listFieldName = "subCategories";
    static void readLists(StoreCategory &record, const QJsonObject &object)
    {
        record.subCategories = EntityRecords::listFromJson<StoreSubCategory>(
            object.value(QLatin1String(listFieldName)).toArray());
    }
    static void writeLists(const StoreCategory &record, QJsonObject &map)
    {
        QJsonArray list;
        for (const StoreSubCategory &sub : record.subCategories)
            list.append(EntityRecords::toMap(sub));
        map.insert(QLatin1String(listFieldName), list);
    }
};
