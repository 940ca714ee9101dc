#pragma once

#include "Event.h"
#include "Field.h"
#include "MemberCoupons.h"
#include "PointCard.h"
#include "Reservation.h"
#include "Store.h"

#include <QByteArray>
#include <QJsonArray>
#include <QList>
#include <QString>

#include <functional>
#include <optional>

// One class operation per method of the loyalty service, plus the
// synchronisation of the member's point cards and coupons with their logs.
// Called and answered on the UI thread; every callback is optional. A
// success flag is false only when the request failed.
class InnerRequest
{
public:
    InnerRequest() = delete;

    using EventsBlock = std::function<void(bool ok, std::optional<QList<Event>> events)>;
    using FlagBlock = std::function<void(bool ok)>;
    // Called instead of nothing when the service answers with an empty body.
    using EmptyAnswerBlock = std::function<void()>;

    static void getNearbyStoreEventsByCompany(int eventType, int startIndex, int endIndex, EventsBlock block = {});
    static void shakeStoreEvents(int eventType, int shakeCount, EventsBlock block = {});
    static void reservedStoreIds(std::function<void(bool ok, std::optional<QJsonArray> ids)> block = {});
    static void reservedStores(std::function<void(bool ok, std::optional<QList<Store>> stores)> block = {});

    // Return the member's local records at once; after a successful request
    // the local table is replaced and the block gets the records read again.
    static QList<PointCard> getPointCardsByCompany(qint64 memberId,
                                                   std::function<void(QList<PointCard>)> block = {});
    static QList<MemberCoupons> getMemberCouponsByCompany(qint64 memberId,
                                                          std::function<void(QList<MemberCoupons>)> block = {});
    static QList<Reservation> reservationHistory(qint64 memberId,
                                                 std::function<void(QList<Reservation>)> block = {});

    // Uploads every local record of the type; the answer replaces the table
    // and the logs of the same kind go up next.
    static void syncPointCard(qint64 memberId, std::function<void(bool)> block = {});
    static void syncMemberCoupon(qint64 memberId, std::function<void(bool)> block = {});
    static void syncPointCardLog();
    static void syncMemberCouponLog();

    // Absent account or phone travel as the empty text.
    static void mapMemberId(const QString &outerMemberId, const std::optional<QString> &account,
                            const std::optional<QString> &phone,
                            std::function<void(bool ok, std::optional<qint64> memberId)> block = {},
                            EmptyAnswerBlock emptyAnswer = {});
    static void mapStoreId(const Field &merchantId, const Field &storeId,
                           std::function<void(bool ok, std::optional<Store> store)> block = {});
    static void salesEventsByOuterStore(int eventType, const Field &outStoreId, EventsBlock block = {});
    static void enableReserved(const Field &outerStoreId,
                               std::function<void(bool ok, std::optional<Reservation> reservation)> block = {});
    // reservationId > 0: accepted and stored; 0 or less: refused; (0, none) on failure.
    static void doReservation(const Reservation &reservation,
                              std::function<void(qint64 reservationId, std::optional<Reservation>)> block = {},
                              EmptyAnswerBlock emptyAnswer = {});
    // build and url as they came (number or text); unset when missing.
    static void checkVersion(std::function<void(bool ok, Field build, Field url)> block = {});

    static bool checkJSONString(const QByteArray &answer, bool isArray);
};
