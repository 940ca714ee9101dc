#include "AppPaths.h"
#include "BuildConfig.h"
#include "EditionConfig.h"
#include "HttpClient.h"
#include "InnerRequest.h"
#include "MemberCouponLogs.h"
#include "PointCardLog.h"
#include "RequestTestSupport.h"
#include "SQLiteHelper.h"
#include "ScriptedHttpServer.h"
#include "UserMgr.h"

#include <QJsonDocument>
#include <QTemporaryDir>
#include <QTest>

using namespace RequestTestSupport;

// Waits until no transfer is in flight or queued.
#define WAIT_IDLE() QTRY_COMPARE(HttpClient::inFlightCount() + HttpClient::queuedCount(), 0)

namespace {

const QString kCompanyKey = u"GRP-DEMO-7Q2X"_qs;

PointCard card(const QString &key, qint64 memberId, int point)
{
    PointCard c;
    c.cardKey = key;
    c.memberId = memberId;
    c.eventId = qint64(5);
    c.point = point;
    c.isUsed = 0;
    c.isDeleted = 0;
    return c;
}

PointCardLog pointLog(const QString &key, int before, int after)
{
    PointCardLog log;
    log.cardKey = key;
    log.bPoint = before;
    log.aPoint = after;
    log.actionType = 1;
    return log;
}

QByteArray cardsJson(const QList<PointCard> &cards)
{
    QJsonArray array;
    for (const PointCard &c : cards)
        array.append(EntityRecords::toMap(c));
    return QJsonDocument(array).toJson(QJsonDocument::Compact);
}

QStringList keysOf(const QList<PointCard> &cards)
{
    QStringList keys;
    for (const PointCard &c : cards)
        keys << c.cardKey.text();
    return keys;
}

// The path's segments after "MerchantApps/service/thirdParty/<method>".
QStringList tail(const RecordedRequest &request, const QString &method)
{
    const QStringList segments = request.segments();
    if (segments.mid(0, 4) != QStringList{u"MerchantApps"_qs, u"service"_qs, u"thirdParty"_qs, method})
        return {u"<wrong base: "_qs + QString::fromLatin1(request.target) + u">"_qs};
    return segments.mid(4);
}

} // namespace

class TestInnerRequest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    ScriptedHttpServer m_server;

    SQLiteHelper &db() { return SQLiteHelper::getInstance(); }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_server.isListening());
        BuildConfig::setLoyaltyBaseUrl(m_server.baseUrl());
        EditionConfig::set(u"THIRD_PARTY_HOST"_qs, m_server.baseUrl());
        HttpClient::setTransferTimeout(5000);
    }

    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        AppPaths::setDataDir(m_dir->path());
        SQLiteHelper::resetInstance();
        m_server.clear();
        m_server.setHandler({});
        m_server.setDefaultAnswer(ScriptedAnswer{});
        BuildConfig::setLoyaltyBaseUrl(m_server.baseUrl());
        UserMgr::saveCurLocation(116.404, 39.91);
    }

    void cleanup()
    {
        WAIT_IDLE();
        SQLiteHelper::resetInstance();
    }

    // Method, path after the method, and form parameters of the form requests.
    void formRequestsOnTheWire_data()
    {
        QTest::addColumn<int>("operation");
        QTest::addColumn<QString>("method");
        QTest::addColumn<QStringList>("pathTail"); // "P" is the pass key
        QTest::addColumn<QVariantMap>("fields");   // empty with hasBody false: no body at all
        QTest::addColumn<bool>("hasBody");

        const QStringList kp{kCompanyKey, u"P"_qs};
        QTest::newRow("nearby events") << 0 << u"getNearbyStoreEventsByCompany2"_qs << kp
                                       << QVariantMap{{u"lat"_qs, u"39.91"_qs}, {u"lon"_qs, u"116.404"_qs},
                                                      {u"startIndex"_qs, u"0"_qs}, {u"endIndex"_qs, u"15"_qs},
                                                      {u"eventType"_qs, u"1"_qs}}
                                       << true;
        QTest::newRow("shake") << 1 << u"shakeStoreEvents"_qs << kp
                               << QVariantMap{{u"lat"_qs, u"39.91"_qs}, {u"lon"_qs, u"116.404"_qs},
                                              {u"eventType"_qs, u"3"_qs}, {u"shakeCount"_qs, u"2"_qs}}
                               << true;
        QTest::newRow("reserved store ids") << 2 << u"reservedStoreIds"_qs << kp << QVariantMap() << false;
        QTest::newRow("point cards") << 3 << u"getPointCardsByCompany"_qs << kp
                                     << QVariantMap{{u"memberId"_qs, u"12"_qs}} << true;
        QTest::newRow("member coupons") << 4 << u"getMemberCouponsByCompany"_qs << kp
                                        << QVariantMap{{u"memberId"_qs, u"9007199254740993"_qs}} << true;
        QTest::newRow("map member id") << 5 << u"mapMemberId"_qs << kp
                                       << QVariantMap{{u"outerMemberId"_qs, u"o-1"_qs}, {u"account"_qs, u""_qs},
                                                      {u"phone"_qs, u"+86 555"_qs}}
                                       << true;
        QTest::newRow("map store id") << 6 << u"mapStoreId"_qs << kp
                                      << QVariantMap{{u"merchantId"_qs, u"7"_qs}, {u"storeId"_qs, u"9"_qs}} << true;
        QTest::newRow("sales events by outer store")
            << 7 << u"salesEventsByOuterStore"_qs << QStringList{u"1"_qs, kCompanyKey, u"s9"_qs, u"P"_qs}
            << QVariantMap() << false;
        QTest::newRow("enable reserved") << 8 << u"enableReserved"_qs << kp
                                         << QVariantMap{{u"outerStoreId"_qs, u"s9"_qs}} << true;
        QTest::newRow("reservation history: key before member")
            << 9 << u"reservationHistory"_qs << QStringList{kCompanyKey, u"12"_qs, u"P"_qs} << QVariantMap()
            << false;
    }

    void formRequestsOnTheWire()
    {
        QFETCH(int, operation);
        QFETCH(QString, method);
        QFETCH(QStringList, pathTail);
        QFETCH(QVariantMap, fields);
        QFETCH(bool, hasBody);

        switch (operation) {
        case 0: InnerRequest::getNearbyStoreEventsByCompany(1, 0, 15); break;
        case 1: InnerRequest::shakeStoreEvents(3, 2); break;
        case 2: InnerRequest::reservedStoreIds(); break;
        case 3: InnerRequest::getPointCardsByCompany(12); break;
        case 4: InnerRequest::getMemberCouponsByCompany(9007199254740993LL); break;
        case 5: InnerRequest::mapMemberId(u"o-1"_qs, std::nullopt, u"+86 555"_qs); break;
        case 6: InnerRequest::mapStoreId(qint64(7), u"9"_qs); break;
        case 7: InnerRequest::salesEventsByOuterStore(1, u"s9"_qs); break;
        case 8: InnerRequest::enableReserved(u"s9"_qs); break;
        case 9: InnerRequest::reservationHistory(12); break;
        }
        QTRY_COMPARE(m_server.count(), 1);
        const RecordedRequest &request = m_server.last();
        QCOMPARE(request.method, QByteArray("POST"));
        const QStringList segments = tail(request, method);
        QCOMPARE(segments.size(), pathTail.size());
        for (qsizetype i = 0; i < pathTail.size(); ++i) {
            if (pathTail[i] == u"P")
                QVERIFY2(isFreshPassKey(segments[i]), qPrintable(segments[i]));
            else
                QCOMPARE(segments[i], pathTail[i]);
        }
        if (hasBody) {
            QCOMPARE(request.header("content-type"), QByteArray("application/x-www-form-urlencoded; charset=utf-8"));
            QMap<QString, QString> expected;
            for (auto it = fields.cbegin(); it != fields.cend(); ++it)
                expected.insert(it.key(), it.value().toString());
            QCOMPARE(formFields(request.body), expected);
        } else {
            QCOMPARE(request.body, QByteArray());
            QCOMPARE(request.header("content-type"), QByteArray());
        }
    }

    void eventListAnswers_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QStringList>("names"); // empty: no list
        QTest::newRow("list") << 200 << QByteArray(R"([{"eventId":1,"name":"A"},7,{"name":"B","extra":1}])") << true
                              << QStringList{u"A"_qs, u"B"_qs};
        QTest::newRow("empty array") << 200 << QByteArray("[]") << true << QStringList();
        QTest::newRow("first entry null") << 200 << QByteArray(R"([null,{"name":"A"}])") << true << QStringList();
        QTest::newRow("object") << 200 << QByteArray(R"({"name":"A"})") << true << QStringList();
        QTest::newRow("not JSON") << 200 << QByteArray("<html>") << true << QStringList();
        QTest::newRow("empty body") << 200 << QByteArray() << true << QStringList();
        QTest::newRow("status 500") << 500 << QByteArray(R"([{"name":"A"}])") << false << QStringList();
    }

    void eventListAnswers()
    {
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        QFETCH(bool, ok);
        QFETCH(QStringList, names);

        // The three event list operations read their answers alike.
        for (int operation = 0; operation < 3; ++operation) {
            m_server.enqueue(status, body);
            std::optional<std::pair<bool, std::optional<QList<Event>>>> answer;
            auto block = [&answer](bool success, std::optional<QList<Event>> events) {
                answer = std::make_pair(success, std::move(events));
            };
            if (operation == 0)
                InnerRequest::getNearbyStoreEventsByCompany(1, 0, 15, block);
            else if (operation == 1)
                InnerRequest::shakeStoreEvents(1, 1, block);
            else
                InnerRequest::salesEventsByOuterStore(1, u"s"_qs, block);
            QTRY_VERIFY(answer.has_value());
            QCOMPARE(answer->first, ok);
            QCOMPARE(answer->second.has_value(), !names.isEmpty());
            if (answer->second) {
                QStringList got;
                for (const Event &event : *answer->second)
                    got << event.name.text();
                QCOMPARE(got, names);
                QCOMPARE(answer->second->first().eventId.json(), QJsonValue(1)); // kept as it came
            }
        }
    }

    void syncUploadsEveryRecordAndReplacesTable()
    {
        PointCard deleted = card(u"k2"_qs, 99, 4);
        deleted.isDeleted = 1;
        QVERIFY(db().insertWithEntity(card(u"k1"_qs, 12, 3)));
        QVERIFY(db().insertWithEntity(deleted));
        QVERIFY(db().insertWithEntity(pointLog(u"k1"_qs, 2, 3)));

        m_server.enqueueBody(cardsJson({card(u"s1"_qs, 12, 8)}));
        m_server.enqueueBody("1"); // the log upload that follows
        std::optional<bool> result;
        InnerRequest::syncPointCard(12, [&result](bool ok) { result = ok; });
        QTRY_VERIFY(result.has_value());
        QVERIFY(*result);
        QCOMPARE(keysOf(db().getAllEntities<PointCard>()), QStringList{u"s1"_qs});

        QTRY_COMPARE(m_server.count(), 2);
        const RecordedRequest &upload = m_server.requests()[0];
        QCOMPARE(upload.method, QByteArray("POST"));
        const QStringList segments = tail(upload, u"syncPointCards"_qs);
        QCOMPARE(segments.size(), 3);
        QCOMPARE(segments.mid(0, 2), (QStringList{u"12"_qs, kCompanyKey}));
        QVERIFY(isFreshPassKey(segments[2]));
        QCOMPARE(upload.header("content-type"), QByteArray("text/plain; charset=utf-8"));
        // Every record, all members and states, every value as text.
        const QJsonArray sent = QJsonDocument::fromJson(upload.body).array();
        QCOMPARE(sent.size(), 2);
        QStringList sentKeys;
        for (const QJsonValue &entry : sent) {
            const QJsonObject map = entry.toObject();
            QCOMPARE(map.keys().size(), qsizetype(EntityInfo<PointCard>::fields.size()));
            QVERIFY(map.value(u"point"_qs).isString());
            QCOMPARE(map.value(u"picture"_qs), QJsonValue(QString()));
            sentKeys << map.value(u"cardKey"_qs).toString();
        }
        sentKeys.sort();
        QCOMPARE(sentKeys, (QStringList{u"k1"_qs, u"k2"_qs}));

        const RecordedRequest &logs = m_server.requests()[1];
        QCOMPARE(tail(logs, u"syncPointCardLogs"_qs).size(), 1);
        QVERIFY(isFreshPassKey(tail(logs, u"syncPointCardLogs"_qs).constFirst()));
        QCOMPARE(QJsonDocument::fromJson(logs.body).array().size(), 1);
        WAIT_IDLE();
        QVERIFY(db().getAllEntities<PointCardLog>().isEmpty());
    }

    void syncOutcomes_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QStringList>("keysAfter");
        QTest::addColumn<bool>("logsUploaded");
        QTest::newRow("empty array empties the table") << 200 << QByteArray("[]") << true << QStringList() << true;
        QTest::newRow("not JSON") << 200 << QByteArray("oops") << false << QStringList{u"k1"_qs} << false;
        QTest::newRow("empty body") << 200 << QByteArray() << false << QStringList{u"k1"_qs} << false;
        QTest::newRow("status 500") << 500 << QByteArray("[]") << false << QStringList{u"k1"_qs} << false;
    }

    void syncOutcomes()
    {
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        QFETCH(bool, ok);
        QFETCH(QStringList, keysAfter);
        QFETCH(bool, logsUploaded);

        QVERIFY(db().insertWithEntity(card(u"k1"_qs, 12, 3)));
        QVERIFY(db().insertWithEntity(pointLog(u"k1"_qs, 2, 3)));
        m_server.enqueue(status, body);
        m_server.enqueueBody("0");
        std::optional<bool> result;
        InnerRequest::syncPointCard(12, [&result](bool success) { result = success; });
        QTRY_VERIFY(result.has_value());
        QCOMPARE(*result, ok);
        QCOMPARE(keysOf(db().getAllEntities<PointCard>()), keysAfter);
        WAIT_IDLE();
        QCOMPARE(m_server.count(), logsUploaded ? 2 : 1);
        QCOMPARE(db().getAllEntities<PointCardLog>().size(), 1); // "0" keeps it
    }

    void syncWithoutMemberSendsNothing()
    {
        for (qint64 memberId : {qint64(0), qint64(-3)}) {
            std::optional<bool> result;
            InnerRequest::syncPointCard(memberId, [&result](bool ok) { result = ok; });
            QCOMPARE(result, std::optional<bool>(false)); // at once
            result.reset();
            InnerRequest::syncMemberCoupon(memberId, [&result](bool ok) { result = ok; });
            QCOMPARE(result, std::optional<bool>(false));
            InnerRequest::syncPointCard(memberId);
        }
        QCOMPARE(HttpClient::inFlightCount(), 0);
        QCOMPARE(m_server.count(), 0);
    }

    void connectionRefusedReportsFailure()
    {
        BuildConfig::setLoyaltyBaseUrl(refusedBaseUrl());
        QVERIFY(db().insertWithEntity(card(u"k1"_qs, 12, 3)));
        std::optional<bool> result;
        InnerRequest::syncPointCard(12, [&result](bool ok) { result = ok; });
        QTRY_VERIFY(result.has_value());
        QVERIFY(!*result);
        QCOMPARE(keysOf(db().getAllEntities<PointCard>()), QStringList{u"k1"_qs});
    }

    void couponSyncAndEmptyCouponLogUpload()
    {
        MemberCoupons coupon;
        coupon.couponKey = u"c1"_qs;
        coupon.memberId = qint64(12);
        QVERIFY(db().insertWithEntity(coupon));
        m_server.enqueueBody(R"([{"couponKey":"c2","memberId":12}])");
        m_server.enqueueBody("1");
        std::optional<bool> result;
        InnerRequest::syncMemberCoupon(12, [&result](bool ok) { result = ok; });
        QTRY_VERIFY(result.has_value());
        QVERIFY(*result);
        const QList<MemberCoupons> after = db().getAllEntities<MemberCoupons>();
        QCOMPARE(after.size(), 1);
        QCOMPARE(after.first().couponKey.text(), u"c2"_qs);
        QTRY_COMPARE(m_server.count(), 2);
        QCOMPARE(tail(m_server.requests()[0], u"syncMemberCoupons"_qs).mid(0, 2), (QStringList{u"12"_qs, kCompanyKey}));
        // No coupon logs: the upload goes out anyway, as an empty array.
        QCOMPARE(tail(m_server.requests()[1], u"syncMemberCouponLogs"_qs).size(), 1);
        QCOMPARE(m_server.requests()[1].body, QByteArray("[]"));
    }

    void pointLogUploadWithoutLogsSendsNothing()
    {
        InnerRequest::syncPointCardLog();
        QCOMPARE(HttpClient::inFlightCount() + HttpClient::queuedCount(), 0);
        QCOMPARE(m_server.count(), 0);
    }

    void logAnswers_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<bool>("removed");
        QTest::newRow("1") << 200 << QByteArray("1") << true;
        QTest::newRow(" 25 with text") << 200 << QByteArray(" 25 done") << true;
        QTest::newRow("-1") << 200 << QByteArray("-1") << true;
        QTest::newRow("0") << 200 << QByteArray("0") << false;
        QTest::newRow("abc") << 200 << QByteArray("abc") << false;
        QTest::newRow("empty") << 200 << QByteArray() << false;
        QTest::newRow("status 500") << 500 << QByteArray("1") << false;
    }

    void logAnswers()
    {
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        QFETCH(bool, removed);
        QVERIFY(db().insertWithEntity(pointLog(u"k1"_qs, 0, 1)));
        QVERIFY(db().insertWithEntity(pointLog(u"k1"_qs, 1, 2)));
        MemberCouponLogs couponLog;
        couponLog.couponKey = u"c1"_qs;
        QVERIFY(db().insertWithEntity(couponLog));

        m_server.enqueue(status, body);
        m_server.enqueue(status, body);
        InnerRequest::syncPointCardLog();
        InnerRequest::syncMemberCouponLog();
        QTRY_COMPARE(m_server.count(), 2);
        WAIT_IDLE();
        QCOMPARE(db().getAllEntities<PointCardLog>().size(), removed ? 0 : 2);
        QCOMPARE(db().getAllEntities<MemberCouponLogs>().size(), removed ? 0 : 1);
    }

    // A log written while its upload is under way is not part of it.
    void logWrittenDuringUploadSurvives()
    {
        QVERIFY(db().insertWithEntity(pointLog(u"old"_qs, 0, 1)));
        m_server.enqueue(ScriptedAnswer{200, {}, {}, true});
        InnerRequest::syncPointCardLog();
        QTRY_COMPARE(m_server.hangingCount(), 1);
        QVERIFY(db().insertWithEntity(pointLog(u"new"_qs, 1, 2)));
        m_server.releaseOne(ScriptedAnswer{200, "1", {}, false});
        WAIT_IDLE();
        const QList<PointCardLog> left = db().getAllEntities<PointCardLog>();
        QCOMPARE(left.size(), 1);
        QCOMPARE(left.first().cardKey.text(), u"new"_qs);
    }

    // Answers of several synchronisations apply in the order they arrive.
    void synchronisationsApplyInArrivalOrder()
    {
        QVERIFY(db().insertWithEntity(card(u"k1"_qs, 12, 3)));
        m_server.enqueue(ScriptedAnswer{200, {}, {}, true});
        m_server.enqueue(ScriptedAnswer{200, {}, {}, true});
        QList<bool> results;
        InnerRequest::syncPointCard(12, [&results](bool ok) { results << ok; });
        InnerRequest::syncPointCard(12, [&results](bool ok) { results << ok; });
        QTRY_COMPARE(m_server.hangingCount(), 2);
        m_server.releaseOne(ScriptedAnswer{200, cardsJson({card(u"first"_qs, 12, 1)}), {}, false});
        QTRY_COMPARE(results.size(), 1);
        QCOMPARE(keysOf(db().getAllEntities<PointCard>()), QStringList{u"first"_qs});
        m_server.releaseOne(ScriptedAnswer{200, cardsJson({card(u"second"_qs, 12, 2)}), {}, false});
        QTRY_COMPARE(results.size(), 2);
        QCOMPARE(results, (QList<bool>{true, true}));
        QCOMPARE(keysOf(db().getAllEntities<PointCard>()), QStringList{u"second"_qs});
    }

    void fetchWithLocalCache()
    {
        QVERIFY(db().insertWithEntity(card(u"mine"_qs, 12, 3)));
        QVERIFY(db().insertWithEntity(card(u"other"_qs, 13, 3)));
        m_server.enqueueBody(cardsJson({card(u"fresh"_qs, 12, 1), card(u"foreign"_qs, 14, 1)}));
        std::optional<QList<PointCard>> later;
        const QList<PointCard> now =
            InnerRequest::getPointCardsByCompany(12, [&later](QList<PointCard> cards) { later = cards; });
        QCOMPARE(keysOf(now), QStringList{u"mine"_qs});
        QVERIFY(!later.has_value());
        QTRY_VERIFY(later.has_value());
        QCOMPARE(keysOf(*later), QStringList{u"fresh"_qs});
        QCOMPARE(db().getAllEntities<PointCard>().size(), 2);

        // An empty body leaves the table and still calls back; a failure calls nothing.
        m_server.enqueueBody({});
        later.reset();
        InnerRequest::getPointCardsByCompany(12, [&later](QList<PointCard> cards) { later = cards; });
        QTRY_VERIFY(later.has_value());
        QCOMPARE(keysOf(*later), QStringList{u"fresh"_qs});

        m_server.enqueue(500, "[]");
        later.reset();
        InnerRequest::getPointCardsByCompany(12, [&later](QList<PointCard> cards) { later = cards; });
        QTRY_COMPARE(m_server.count(), 3);
        WAIT_IDLE();
        QVERIFY(!later.has_value());
        QCOMPARE(db().getAllEntities<PointCard>().size(), 2);

        // The refresh happens without a callback too.
        m_server.enqueueBody("[]");
        InnerRequest::getPointCardsByCompany(12);
        WAIT_IDLE();
        QVERIFY(db().getAllEntities<PointCard>().isEmpty());
    }

    void reservationHistoryRefreshes()
    {
        m_server.enqueueBody(R"([{"reservationId":5,"requestMember":12,"storeName":"S"}])");
        std::optional<QList<Reservation>> later;
        const QList<Reservation> now =
            InnerRequest::reservationHistory(12, [&later](QList<Reservation> list) { later = list; });
        QVERIFY(now.isEmpty());
        QTRY_VERIFY(later.has_value());
        QCOMPARE(later->size(), 1);
        QCOMPARE(later->first().reservationId.toId(), qint64(5));
    }

    void mapMemberIdAnswers_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<bool>("called");
        QTest::addColumn<qint64>("memberId");
        QTest::newRow("number") << QByteArray("123456789012") << true << qint64(123456789012);
        QTest::newRow("no number") << QByteArray("abc") << true << qint64(0);
        QTest::newRow("empty body") << QByteArray() << false << qint64(0);
    }

    void mapMemberIdAnswers()
    {
        QFETCH(QByteArray, body);
        QFETCH(bool, called);
        QFETCH(qint64, memberId);
        m_server.enqueueBody(body);
        std::optional<std::pair<bool, std::optional<qint64>>> answer;
        bool empty = false;
        InnerRequest::mapMemberId(
            u"o"_qs, u"a"_qs, std::nullopt,
            [&answer](bool ok, std::optional<qint64> id) { answer = std::make_pair(ok, id); },
            [&empty] { empty = true; });
        QTRY_VERIFY(answer.has_value() || empty);
        WAIT_IDLE();
        QCOMPARE(answer.has_value(), called);
        QCOMPARE(empty, !called);
        if (called)
            QCOMPARE(answer->second, std::optional<qint64>(memberId));

        // Without the empty-answer callback an empty body calls nothing at all.
        m_server.enqueue(500, {});
        answer.reset();
        InnerRequest::mapMemberId(u"o"_qs, u"a"_qs, std::nullopt,
                                  [&answer](bool ok, std::optional<qint64> id) { answer = std::make_pair(ok, id); });
        QTRY_VERIFY(answer.has_value());
        QVERIFY(!answer->first);
        QVERIFY(!answer->second);
    }

    void mapStoreIdFetchesTheCatalogueStore()
    {
        m_server.setHandler([](const RecordedRequest &request) {
            if (request.target.startsWith("/MerchantApps/"))
                return ScriptedAnswer{200, "\"12\"", {}, false};
            return ScriptedAnswer{200, R"({"storeID":12,"storeName":"Twelve"})", {}, false};
        });
        std::optional<std::pair<bool, std::optional<Store>>> answer;
        InnerRequest::mapStoreId(qint64(7), qint64(3),
                                 [&answer](bool ok, std::optional<Store> store) { answer = std::make_pair(ok, store); });
        QTRY_VERIFY(answer.has_value());
        QVERIFY(answer->first);
        QCOMPARE(answer->second->storeName.text(), u"Twelve"_qs);
        QCOMPARE(m_server.count(), 2);
        QCOMPARE(m_server.last().target, QByteArray("/catalogue/getStoreInfo.json"));
        QCOMPARE(formFields(m_server.last().body).value(u"storeID"_qs), u"12"_qs);

        // No store in the catalogue answer: nothing is called.
        m_server.setHandler([](const RecordedRequest &request) {
            if (request.target.startsWith("/MerchantApps/"))
                return ScriptedAnswer{200, "12", {}, false};
            return ScriptedAnswer{200, "{}", {}, false};
        });
        answer.reset();
        InnerRequest::mapStoreId(qint64(7), qint64(3),
                                 [&answer](bool ok, std::optional<Store> store) { answer = std::make_pair(ok, store); });
        QTRY_COMPARE(m_server.count(), 4);
        WAIT_IDLE();
        QVERIFY(!answer.has_value());

        m_server.setHandler({});
        m_server.enqueue(500, {});
        InnerRequest::mapStoreId(qint64(7), qint64(3),
                                 [&answer](bool ok, std::optional<Store> store) { answer = std::make_pair(ok, store); });
        QTRY_VERIFY(answer.has_value());
        QVERIFY(!answer->first);
    }

    void doReservationAnswers_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<qint64>("reservationId");
        QTest::addColumn<bool>("stored");
        QTest::addColumn<bool>("hasRecord");
        QTest::newRow("accepted") << 200 << QByteArray("57") << qint64(57) << true << true;
        QTest::newRow("refused") << 200 << QByteArray("-1") << qint64(-1) << false << true;
        QTest::newRow("no number") << 200 << QByteArray("full") << qint64(0) << false << true;
        QTest::newRow("failure") << 500 << QByteArray("57") << qint64(0) << false << false;
    }

    void doReservationAnswers()
    {
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        QFETCH(qint64, reservationId);
        QFETCH(bool, stored);
        QFETCH(bool, hasRecord);

        Reservation reservation;
        reservation.requestName = u"Li"_qs;
        reservation.peopleCount = 4;
        reservation.requestMember = qint64(12);
        m_server.enqueue(status, body);
        std::optional<std::pair<qint64, std::optional<Reservation>>> answer;
        InnerRequest::doReservation(reservation, [&answer](qint64 id, std::optional<Reservation> r) {
            answer = std::make_pair(id, r);
        });
        QTRY_VERIFY(answer.has_value());
        QCOMPARE(answer->first, reservationId);
        QCOMPARE(answer->second.has_value(), hasRecord);
        if (hasRecord)
            QCOMPARE(answer->second->reservationId.toId(), stored ? reservationId : qint64(0));
        QCOMPARE(db().getAllEntities<Reservation>().size(), stored ? 1 : 0);

        const RecordedRequest &request = m_server.last();
        const QStringList segments = tail(request, u"doReservation"_qs);
        QCOMPARE(segments.size(), 2);
        QCOMPARE(segments.first(), kCompanyKey);
        QCOMPARE(request.header("content-type"), QByteArray("text/plain; charset=utf-8"));
        // One JSON object; numbers stay numbers, unset fields are empty texts.
        const QJsonObject sent = QJsonDocument::fromJson(request.body).object();
        QCOMPARE(sent.value(u"peopleCount"_qs), QJsonValue(4));
        QCOMPARE(sent.value(u"requestName"_qs), QJsonValue(u"Li"_qs));
        QCOMPARE(sent.value(u"storeName"_qs), QJsonValue(QString()));
    }

    void doReservationEmptyAnswer()
    {
        m_server.enqueueBody({});
        bool called = false;
        bool empty = false;
        InnerRequest::doReservation(Reservation(), [&called](qint64, std::optional<Reservation>) { called = true; },
                                    [&empty] { empty = true; });
        QTRY_VERIFY(empty);
        QVERIFY(!called);
        QVERIFY(db().getAllEntities<Reservation>().isEmpty());
    }

    void enableReservedAndReservedStores()
    {
        m_server.enqueueBody(R"({"reservationId":3,"storeName":"S","unknown":1})");
        std::optional<std::optional<Reservation>> reservation;
        InnerRequest::enableReserved(u"s"_qs, [&reservation](bool ok, std::optional<Reservation> r) {
            QVERIFY(ok);
            reservation = r;
        });
        QTRY_VERIFY(reservation.has_value());
        QCOMPARE(reservation->value().storeName.text(), u"S"_qs);

        // Ids then stores, chained; the id list travels joined by ",".
        m_server.setHandler([](const RecordedRequest &request) {
            if (request.target.startsWith("/MerchantApps/"))
                return ScriptedAnswer{200, R"([3,"5",8])", {}, false};
            return ScriptedAnswer{200, R"([{"storeID":3},{"storeID":5}])", {}, false};
        });
        std::optional<std::pair<bool, std::optional<QList<Store>>>> stores;
        InnerRequest::reservedStores([&stores](bool ok, std::optional<QList<Store>> list) {
            stores = std::make_pair(ok, list);
        });
        QTRY_VERIFY(stores.has_value());
        QVERIFY(stores->first);
        QCOMPARE(stores->second->size(), 2);
        QCOMPARE(m_server.last().body, QByteArray("SKEY=skey-demo-4f9a&storeID=3%2C5%2C8"));

        m_server.setHandler([](const RecordedRequest &) { return ScriptedAnswer{200, "[]", {}, false}; });
        stores.reset();
        InnerRequest::reservedStores([&stores](bool ok, std::optional<QList<Store>> list) {
            stores = std::make_pair(ok, list);
        });
        QTRY_VERIFY(stores.has_value());
        QVERIFY(!stores->first);
        QVERIFY(!stores->second);
    }

    void checkVersion()
    {
        m_server.enqueueBody("{\"iosBuild\":7,\"iosUrl\":\"http://x/app\"}");
        std::optional<std::tuple<bool, Field, Field>> answer;
        InnerRequest::checkVersion([&answer](bool ok, Field build, Field url) { answer = {ok, build, url}; });
        QTRY_VERIFY(answer.has_value());
        QVERIFY(std::get<0>(*answer));
        QCOMPARE(std::get<1>(*answer).json(), QJsonValue(7));
        QCOMPARE(std::get<2>(*answer).text(), u"http://x/app"_qs);
        const RecordedRequest &request = m_server.last();
        QCOMPARE(request.method, QByteArray("GET"));
        const QStringList segments = request.segments();
        QCOMPARE(segments.mid(0, 4),
                 (QStringList{u"appsmgr"_qs, u"vxm"_qs, u"checkVersion"_qs, u"net.loyalty.demo"_qs}));
        QCOMPARE(segments.size(), 5);
        QVERIFY(isFreshPassKey(segments[4]));
        QCOMPARE(request.body, QByteArray());

        const QList<QByteArray> ignored{QByteArray(), QByteArray("{}"), QByteArray("[1]"), QByteArray("x")};
        for (const QByteArray &body : ignored) {
            m_server.enqueueBody(body);
            answer.reset();
            InnerRequest::checkVersion([&answer](bool ok, Field build, Field url) { answer = {ok, build, url}; });
            WAIT_IDLE();
            QVERIFY2(!answer.has_value(), body.constData());
        }
        m_server.enqueue(500, {});
        InnerRequest::checkVersion([&answer](bool ok, Field build, Field url) { answer = {ok, build, url}; });
        QTRY_VERIFY(answer.has_value());
        QVERIFY(!std::get<0>(*answer));
        QVERIFY(!std::get<1>(*answer).isSet());
    }

    void answerCheck_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<bool>("asList");
        QTest::addColumn<bool>("asObject");
        QTest::newRow("empty") << QByteArray() << false << false;
        QTest::newRow("empty array") << QByteArray("[]") << false << false;
        QTest::newRow("empty object") << QByteArray("{}") << false << false;
        QTest::newRow("first null") << QByteArray("[null]") << false << true;
        QTest::newRow("number") << QByteArray("5") << false << false;
        QTest::newRow("not JSON") << QByteArray("[1,") << false << false;
        QTest::newRow("array of empty object") << QByteArray("[{}]") << true << true;
        QTest::newRow("object with an entry") << QByteArray(R"({"a":1})") << false << true;
    }

    void answerCheck()
    {
        QFETCH(QByteArray, body);
        QFETCH(bool, asList);
        QFETCH(bool, asObject);
        QCOMPARE(InnerRequest::checkJSONString(body, true), asList);
        QCOMPARE(InnerRequest::checkJSONString(body, false), asObject);
    }
};

QTEST_GUILESS_MAIN(TestInnerRequest)
#include "tst_innerrequest.moc"
