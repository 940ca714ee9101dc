#pragma once

#include "Field.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QStringList>

#include <array>
#include <concepts>

enum class FieldKind { Text, Id, Time, Integer, Flag, Real, Number, RecordList };

template <class T>
struct FieldSpec
{
    const char *name;
    FieldKind kind;
    Field T::*member;
};

// Each record type specialises EntityInfo with its type name, whether the
// local store keeps it, and its fields in declaration order. The order is
// part of the format: it is the column order, and the first field is the key
// by which the local store updates a record.
template <class T>
struct EntityInfo;

template <class T>
concept Entity = requires {
    { EntityInfo<T>::name } -> std::convertible_to<const char *>;
    { EntityInfo<T>::stored } -> std::convertible_to<bool>;
    EntityInfo<T>::fields;
};

template <class T>
concept StoredEntity = Entity<T> && EntityInfo<T>::stored;

#define ENTITY_FIELD(Type, member, kind) FieldSpec<Type>{#member, FieldKind::kind, &Type::member}

namespace EntityRecords {

template <Entity T>
QString typeName()
{
    return QString::fromLatin1(EntityInfo<T>::name);
}

template <Entity T>
QStringList fieldNames()
{
    QStringList names;
    for (const auto &spec : EntityInfo<T>::fields)
        names << QString::fromLatin1(spec.name);
    if constexpr (requires { EntityInfo<T>::listFieldName; })
        names << QString::fromLatin1(EntityInfo<T>::listFieldName);
    return names;
}

// The one JSON-to-record rule: exact names; missing or null leaves a field unset.
template <Entity T>
T fromJson(const QJsonObject &object)
{
    T record;
    for (const auto &spec : EntityInfo<T>::fields)
        record.*spec.member = Field(object.value(QLatin1String(spec.name)));
    if constexpr (requires { EntityInfo<T>::readLists(record, object); })
        EntityInfo<T>::readLists(record, object);
    return record;
}

// A list answer: one record per entry in order; entries that are not maps are skipped.
template <Entity T>
QList<T> listFromJson(const QJsonArray &array)
{
    QList<T> records;
    records.reserve(array.size());
    for (const QJsonValue &entry : array) {
        if (entry.isObject())
            records.append(fromJson<T>(entry.toObject()));
    }
    return records;
}

// Every field by name; an unset field gives the empty text, other values as held.
template <Entity T>
QJsonObject toMap(const T &record)
{
    QJsonObject map;
    for (const auto &spec : EntityInfo<T>::fields) {
        const Field &field = record.*spec.member;
        map.insert(QLatin1String(spec.name), field.isSet() ? field.json() : QJsonValue(QString()));
    }
    if constexpr (requires { EntityInfo<T>::writeLists(record, map); })
        EntityInfo<T>::writeLists(record, map);
    return map;
}

} // namespace EntityRecords
