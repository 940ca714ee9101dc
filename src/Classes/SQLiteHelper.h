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

#include <memory>
#include <optional>
#include <utility>

struct sqlite3;

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
    // An empty statement reads the whole table. An unset argument makes the
    // query return an empty list.
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
    // Implementation details (table descriptions, statement helpers) follow.
};
