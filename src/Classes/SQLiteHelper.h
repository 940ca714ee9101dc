#pragma once

#include "MemberCouponLogs.h"
#include "MemberCoupons.h"
#include "PointCard.h"
#include "PointCardLog.h"
#include "Reservation.h"
#include "Store.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <utility>

struct sqlite3;
struct sqlite3_stmt;

// The local store: one table per stored record type in "main.db" in the
// documents folder. Generic over the record field lists; every value reads
// back as text. All calls come from the UI thread.
class SQLiteHelper
{
public:
    static SQLiteHelper &getInstance();
    // Closes the shared store; the next getInstance opens AppPaths' current folder.
    static void resetInstance();

    ~SQLiteHelper();
    SQLiteHelper(const SQLiteHelper &) = delete;
    SQLiteHelper &operator=(const SQLiteHelper &) = delete;

    template <StoredEntity T>
    bool refreshDataWithJSON(const QByteArray &json);
    template <StoredEntity T>
    QList<T> getAllEntities();
    template <StoredEntity T>
    bool insertWithEntity(const T &record);
    template <StoredEntity T>
    bool updateWithEntity(const T &record);
    template <StoredEntity T>
    bool deleteWithEntity();
    // An empty statement reads the whole table; "%@" in the statement stands
    // for the table name. Only read-only statements run. An unset argument
    // makes the query return an empty list.
    template <StoredEntity T>
    QList<T> getAllEntitiesWithSqlCmd(const QString &sqlCmd, const QList<Field> &arguments);

    // Upload snapshots: the rows with their identities, and deletion of
    // exactly those rows, so rows written in between survive.
    template <StoredEntity T>
    QList<std::pair<qint64, T>> getAllEntitiesWithRowIds();
    template <StoredEntity T>
    bool deleteRowIds(const QList<qint64> &rowIds);

    QList<PointCard> getAllPointCard(qint64 memberId);
    std::optional<PointCard> getPointCardWithEventId(qint64 memberId, const Field &eventId,
                                                     const Field &storeId, const Field &enableStoreIds);
    std::optional<PointCard> getPointCardWithCardKey(qint64 memberId, const Field &cardKey,
                                                     const Field &storeId, const Field &enableStoreIds);
    QList<MemberCoupons> getAllMemberCoupons(qint64 memberId);
    std::optional<MemberCoupons> getMemberCoupons(qint64 memberId, const Field &eventId,
                                                  const Field &enableStoreIds);
    QList<Reservation> getAllReservationHistory(qint64 memberId);
    std::optional<Store> getMyStoreByStoreId(const Field &storeId);
    bool deleteMyStoreByStoreId(const Field &storeId);

private:
    SQLiteHelper();

    // A stored type's table as the untyped code sees it: columns in field order.
    struct Table
    {
        QString name;
        QStringList columns;
        QList<bool> textColumns; // "TEXT" columns; the others are "NUMBERIC"
    };
    // Adds one empty record to the result and points `fields` (column order)
    // at its fields, which stay valid until the next call; rowId is 0 unless
    // asked for.
    using RowReceiver = void (*)(void *context, qint64 rowId, Field **fields);

    template <StoredEntity T>
    static const Table &tableOf();
    template <StoredEntity T>
    static QList<Field> rowOf(const T &record);
    template <StoredEntity T>
    static void pointAt(T &record, Field **fields);

    bool ensureOpen();
    void checkSchema(bool fileExisted);
    void trimStatements();
    sqlite3_stmt *statement(const QString &sql);
    bool keepAboveSnapshots(const Table &table);

    bool refreshTable(const Table &table, const QByteArray &json);
    bool selectRows(const Table &table, const QString &sqlCmd, const QList<Field> &arguments,
                    bool withRowIds, void *context, RowReceiver receive);
    bool insertRow(const Table &table, const QList<Field> &row);
    bool updateRow(const Table &table, const QList<Field> &row);
    bool runWrite(const QString &sql, const QList<Field> &arguments);
    bool deleteRows(const Table &table, const QList<qint64> &rowIds);

    struct Private;
    std::unique_ptr<Private> d;
};

template <StoredEntity T>
const SQLiteHelper::Table &SQLiteHelper::tableOf()
{
    static_assert(EntityInfo<T>::fields.size() <= 64, "a row's set fields fit one 64-bit mask");
    static const Table table = [] {
        Table described;
        described.name = EntityRecords::typeName<T>();
        for (const auto &spec : EntityInfo<T>::fields) {
            described.columns << QString::fromLatin1(spec.name);
            described.textColumns << (spec.kind == FieldKind::Text);
        }
        return described;
    }();
    return table;
}

template <StoredEntity T>
QList<Field> SQLiteHelper::rowOf(const T &record)
{
    QList<Field> row;
    row.reserve(qsizetype(EntityInfo<T>::fields.size()));
    for (const auto &spec : EntityInfo<T>::fields)
        row.append(record.*spec.member);
    return row;
}

template <StoredEntity T>
void SQLiteHelper::pointAt(T &record, Field **fields)
{
    for (const auto &spec : EntityInfo<T>::fields)
        *fields++ = &(record.*spec.member);
}

template <StoredEntity T>
bool SQLiteHelper::refreshDataWithJSON(const QByteArray &json)
{
    return refreshTable(tableOf<T>(), json);
}

template <StoredEntity T>
QList<T> SQLiteHelper::getAllEntities()
{
    return getAllEntitiesWithSqlCmd<T>(QString(), {});
}

template <StoredEntity T>
bool SQLiteHelper::insertWithEntity(const T &record)
{
    return insertRow(tableOf<T>(), rowOf(record));
}

template <StoredEntity T>
bool SQLiteHelper::updateWithEntity(const T &record)
{
    return updateRow(tableOf<T>(), rowOf(record));
}

template <StoredEntity T>
bool SQLiteHelper::deleteWithEntity()
{
    return runWrite(QStringLiteral("DELETE FROM %1").arg(tableOf<T>().name), {});
}

template <StoredEntity T>
QList<T> SQLiteHelper::getAllEntitiesWithSqlCmd(const QString &sqlCmd, const QList<Field> &arguments)
{
    QList<T> records;
    const auto append = [](void *context, qint64, Field **fields) {
        pointAt(static_cast<QList<T> *>(context)->emplaceBack(), fields);
    };
    if (!selectRows(tableOf<T>(), sqlCmd, arguments, false, &records, append))
        return {};
    return records;
}

template <StoredEntity T>
QList<std::pair<qint64, T>> SQLiteHelper::getAllEntitiesWithRowIds()
{
    QList<std::pair<qint64, T>> records;
    const auto append = [](void *context, qint64 rowId, Field **fields) {
        pointAt(static_cast<QList<std::pair<qint64, T>> *>(context)->emplaceBack(rowId, T()).second, fields);
    };
    if (!selectRows(tableOf<T>(), QString(), {}, true, &records, append))
        return {};
    return records;
}

template <StoredEntity T>
bool SQLiteHelper::deleteRowIds(const QList<qint64> &rowIds)
{
    return deleteRows(tableOf<T>(), rowIds);
}
