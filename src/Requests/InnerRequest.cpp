#include "InnerRequest.h"

#include "Answers.h"
#include "BuildConfig.h"
#include "Cipher.h"
#include "EditionConfig.h"
#include "HttpClient.h"
#include "MemberCouponLogs.h"
#include "OuterRequest.h"
#include "PointCardLog.h"
#include "SQLiteHelper.h"
#include "Tools.h"
#include "UserMgr.h"

#include <QJsonDocument>
#include <QVariantMap>

#include <utility>

namespace {

QString loyaltyPath(const QString &method, const std::optional<QVariantList> &urlParams = std::nullopt)
{
    return HttpClient::sharedClientByThirdParty(method, urlParams, true, true);
}

QVariantMap arrayParams(const QJsonValue &array)
{
    return QVariantMap{{QStringLiteral("array"), QVariant::fromValue(array)}};
}

bool parses(const QByteArray &body)
{
    QJsonParseError error{};
    QJsonDocument::fromJson(body, &error);
    return error.error == QJsonParseError::NoError;
}

// Replaces the whole local table by the answer; false when the body is empty,
// is not JSON, or a record could not be stored.
template <StoredEntity T>
bool replaceLocal(const QByteArray &body)
{
    if (body.isEmpty() || !parses(body))
        return false;
    return SQLiteHelper::getInstance().refreshDataWithJSON<T>(body);
}

void eventList(const QString &method, const QVariantMap &params, InnerRequest::EventsBlock block)
{
    HttpClient::sharedClient().post(loyaltyPath(method), params, Answers::handTo(block, &Answers::recordList<Event>),
                                    Answers::failTo(block));
}

// The fetch-with-local-cache shape: local records now, refreshed ones later.
template <StoredEntity T>
QList<T> fetchWithLocalCache(const QString &path, const HttpClient::Params &params,
                             std::function<QList<T>()> readLocal, std::function<void(QList<T>)> block)
{
    HttpClient::sharedClient().post(path, params, [readLocal, block](const QByteArray &body) {
        replaceLocal<T>(body);
        if (block)
            block(readLocal());
    });
    return readLocal();
}

template <StoredEntity T>
QJsonArray uploadList(const QList<T> &records)
{
    QJsonArray array;
    for (const T &record : records)
        array.append(Tools::dictionaryWithEntity(record));
    return array;
}

// Logs are uploaded from a snapshot of their rows; exactly those rows are
// deleted once acknowledged, so a log written meanwhile stays for the next upload.
template <StoredEntity T>
void uploadLogs(const QString &method, bool sendWhenEmpty)
{
    const QList<std::pair<qint64, T>> snapshot = SQLiteHelper::getInstance().getAllEntitiesWithRowIds<T>();
    if (snapshot.isEmpty() && !sendWhenEmpty)
        return;
    QList<qint64> rowIds;
    QJsonArray array;
    rowIds.reserve(snapshot.size());
    for (const auto &[rowId, log] : snapshot) {
        rowIds.append(rowId);
        array.append(Tools::dictionaryWithEntity(log));
    }
    const QString path = HttpClient::sharedClientByThirdParty(method, std::nullopt, false, true);
    HttpClient::sharedClient2().post(path, arrayParams(array), [rowIds](const QByteArray &body) {
        if (Answers::integer(body) != 0 && !rowIds.isEmpty())
            SQLiteHelper::getInstance().deleteRowIds<T>(rowIds);
    });
}

template <StoredEntity T>
void syncRecords(const QString &method, qint64 memberId, void (*uploadLogsNext)(),
                 std::function<void(bool)> block)
{
    if (memberId <= 0) {
        if (block)
            block(false);
        return;
    }
    const QString path = loyaltyPath(method, QVariantList{memberId});
    const QJsonArray array = uploadList(SQLiteHelper::getInstance().getAllEntities<T>());
    HttpClient::sharedClient2().post(
        path, arrayParams(array),
        [block, uploadLogsNext](const QByteArray &body) {
            if (replaceLocal<T>(body)) {
                uploadLogsNext();
                if (block)
                    block(true);
            } else if (block) {
                block(false);
            }
        },
        [block] {
            if (block)
                block(false);
        });
}

} // namespace

bool InnerRequest::checkJSONString(const QByteArray &answer, bool isArray)
{
    return Answers::checkJSONString(answer, isArray);
}

void InnerRequest::getNearbyStoreEventsByCompany(int eventType, int startIndex, int endIndex, EventsBlock block)
{
    eventList(QStringLiteral("getNearbyStoreEventsByCompany2"),
              {{QStringLiteral("lat"), UserMgr::getCurLat()},
               {QStringLiteral("lon"), UserMgr::getCurLon()},
               {QStringLiteral("startIndex"), startIndex},
               {QStringLiteral("endIndex"), endIndex},
               {QStringLiteral("eventType"), eventType}},
              std::move(block));
}

void InnerRequest::shakeStoreEvents(int eventType, int shakeCount, EventsBlock block)
{
    eventList(QStringLiteral("shakeStoreEvents"),
              {{QStringLiteral("lat"), UserMgr::getCurLat()},
               {QStringLiteral("lon"), UserMgr::getCurLon()},
               {QStringLiteral("eventType"), eventType},
               {QStringLiteral("shakeCount"), shakeCount}},
              std::move(block));
}

void InnerRequest::reservedStoreIds(std::function<void(bool, std::optional<QJsonArray>)> block)
{
    HttpClient::sharedClient().post(
        loyaltyPath(QStringLiteral("reservedStoreIds")), std::nullopt,
        [block](const QByteArray &body) {
            if (!block)
                return;
            if (Answers::checkJSONString(body, true))
                block(true, QJsonDocument::fromJson(body).array());
            else
                block(true, std::nullopt);
        },
        Answers::failTo(block));
}

void InnerRequest::reservedStores(std::function<void(bool, std::optional<QList<Store>>)> block)
{
    reservedStoreIds([block](bool ok, std::optional<QJsonArray> ids) {
        if (!ok || !ids || ids->isEmpty()) {
            if (block)
                block(false, std::nullopt);
            return;
        }
        QList<Field> storeIds;
        for (const QJsonValue &id : std::as_const(*ids))
            storeIds.append(Field(id));
        OuterRequest::getStoreListByID(storeIds, block);
    });
}

QList<PointCard> InnerRequest::getPointCardsByCompany(qint64 memberId, std::function<void(QList<PointCard>)> block)
{
    return fetchWithLocalCache<PointCard>(
        loyaltyPath(QStringLiteral("getPointCardsByCompany")), QVariantMap{{QStringLiteral("memberId"), memberId}},
        [memberId] { return SQLiteHelper::getInstance().getAllPointCard(memberId); }, std::move(block));
}

QList<MemberCoupons> InnerRequest::getMemberCouponsByCompany(qint64 memberId,
                                                             std::function<void(QList<MemberCoupons>)> block)
{
    return fetchWithLocalCache<MemberCoupons>(
        loyaltyPath(QStringLiteral("getMemberCouponsByCompany")), QVariantMap{{QStringLiteral("memberId"), memberId}},
        [memberId] { return SQLiteHelper::getInstance().getAllMemberCoupons(memberId); }, std::move(block));
}

QList<Reservation> InnerRequest::reservationHistory(qint64 memberId, std::function<void(QList<Reservation>)> block)
{
    // The company key comes before the member id here.
    const QString path =
        HttpClient::sharedClientByThirdParty(QStringLiteral("reservationHistory"), true, QVariantList{memberId}, true);
    return fetchWithLocalCache<Reservation>(
        path, std::nullopt, [memberId] { return SQLiteHelper::getInstance().getAllReservationHistory(memberId); },
        std::move(block));
}

void InnerRequest::syncPointCard(qint64 memberId, std::function<void(bool)> block)
{
    syncRecords<PointCard>(QStringLiteral("syncPointCards"), memberId, &InnerRequest::syncPointCardLog,
                           std::move(block));
}

void InnerRequest::syncMemberCoupon(qint64 memberId, std::function<void(bool)> block)
{
    syncRecords<MemberCoupons>(QStringLiteral("syncMemberCoupons"), memberId, &InnerRequest::syncMemberCouponLog,
                               std::move(block));
}

void InnerRequest::syncPointCardLog()
{
    uploadLogs<PointCardLog>(QStringLiteral("syncPointCardLogs"), false);
}

void InnerRequest::syncMemberCouponLog()
{
    uploadLogs<MemberCouponLogs>(QStringLiteral("syncMemberCouponLogs"), true);
}

void InnerRequest::mapMemberId(const QString &outerMemberId, const std::optional<QString> &account,
                               const std::optional<QString> &phone,
                               std::function<void(bool, std::optional<qint64>)> block, EmptyAnswerBlock emptyAnswer)
{
    const QVariantMap params{{QStringLiteral("outerMemberId"), outerMemberId},
                             {QStringLiteral("account"), account.value_or(QString())},
                             {QStringLiteral("phone"), phone.value_or(QString())}};
    HttpClient::sharedClient().post(
        loyaltyPath(QStringLiteral("mapMemberId")), params,
        [block, emptyAnswer](const QByteArray &body) {
            if (body.isEmpty()) {
                if (emptyAnswer)
                    emptyAnswer();
                return;
            }
            if (block)
                block(true, Answers::integer(body));
        },
        Answers::failTo(block));
}

void InnerRequest::mapStoreId(const Field &merchantId, const Field &storeId,
                              std::function<void(bool, std::optional<Store>)> block)
{
    const QVariantMap params{{QStringLiteral("merchantId"), merchantId.text()},
                             {QStringLiteral("storeId"), storeId.text()}};
    HttpClient::sharedClient().post(
        loyaltyPath(QStringLiteral("mapStoreId")), params,
        [block](const QByteArray &body) {
            if (!block || body.isEmpty())
                return;
            QString text = Answers::text(body);
            text.remove(u'"');
            OuterRequest::getStoreInfo(Field(NumberRule::readInteger(text)),
                                       [block](bool ok, std::optional<Store> store) {
                                           if (ok && store)
                                               block(true, std::move(store));
                                       });
        },
        Answers::failTo(block));
}

void InnerRequest::salesEventsByOuterStore(int eventType, const Field &outStoreId, EventsBlock block)
{
    const QVariantList urlParams{eventType, EditionConfig::text(QStringLiteral("COMPANY_KEY")), outStoreId.text()};
    const QString path =
        HttpClient::sharedClientByThirdParty(QStringLiteral("salesEventsByOuterStore"), urlParams, false, true);
    HttpClient::sharedClient().post(path, std::nullopt, Answers::handTo(block, &Answers::recordList<Event>),
                                    Answers::failTo(block));
}

void InnerRequest::enableReserved(const Field &outerStoreId,
                                  std::function<void(bool, std::optional<Reservation>)> block)
{
    HttpClient::sharedClient().post(
        loyaltyPath(QStringLiteral("enableReserved")), QVariantMap{{QStringLiteral("outerStoreId"), outerStoreId.text()}},
        Answers::handTo(block, &Answers::record<Reservation>), Answers::failTo(block));
}

void InnerRequest::doReservation(const Reservation &reservation,
                                 std::function<void(qint64, std::optional<Reservation>)> block,
                                 EmptyAnswerBlock emptyAnswer)
{
    HttpClient::sharedClient2().post(
        loyaltyPath(QStringLiteral("doReservation")), arrayParams(Tools::dictionaryWithEntity(reservation)),
        [reservation, block, emptyAnswer](const QByteArray &body) {
            if (body.isEmpty()) {
                if (emptyAnswer)
                    emptyAnswer();
                return;
            }
            const qint64 reservationId = Answers::integer(body);
            if (!block)
                return;
            Reservation accepted = reservation;
            if (reservationId > 0) {
                accepted.reservationId = reservationId;
                SQLiteHelper::getInstance().insertWithEntity(accepted);
            }
            block(reservationId, accepted);
        },
        [block] {
            if (block)
                block(0, std::nullopt);
        });
}

void InnerRequest::checkVersion(std::function<void(bool, Field, Field)> block)
{
    const QString url = BuildConfig::loyaltyBaseUrl() + u"appsmgr/vxm"_qs + u"/checkVersion/"_qs
        + EditionConfig::text(u"CFBundleIdentifier"_qs) + u'/' + Cipher::generatePassKey();
    HttpClient::sharedClient().get(
        url, std::nullopt,
        [block](const QByteArray &body) {
            if (!block)
                return;
            const std::optional<QJsonObject> answer = Answers::object(body);
            if (!answer)
                return;
            block(true, Field(answer->value(u"iosBuild"_qs)), Field(answer->value(u"iosUrl"_qs)));
        },
        [block] {
            if (block)
                block(false, Field(), Field());
        });
}
