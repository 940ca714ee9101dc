// The loyalty service of loyalty-server: pass keys, synchronisation, logs,
// reservations and events, over HTTP as the phone uses them.
#include "ServiceFixture.h"

#include <QDateTime>
#include <QTest>
#include <QTimeZone>

#include <cmath>

namespace {

const QString K = ServiceFixture::companyKey();

QString path(const QString &method, const QStringList &middle, const QString &passKey = ServiceFixture::passKeyNow())
{
    QStringList segments{method};
    segments += middle;
    segments.append(passKey);
    return segments.join(QLatin1Char('/'));
}

QUrlQuery query(std::initializer_list<std::pair<QString, QString>> items)
{
    QUrlQuery q;
    for (const auto &[name, value] : items)
        q.addQueryItem(name, value);
    return q;
}

QByteArray json(const QJsonArray &records)
{
    return QJsonDocument(records).toJson(QJsonDocument::Compact);
}

// Stores keep Shanghai time.
qint64 shanghai(int daysAhead, int hour, int minute = 0)
{
    const QTimeZone zone = QTimeZone(8 * 3600);
    const QDate today = QDateTime::currentDateTime().toTimeZone(zone).date();
    return QDateTime(today.addDays(daysAhead), QTime(hour, minute), zone).toMSecsSinceEpoch();
}

int daysToWeekday(int weekday)
{
    const QTimeZone zone = QTimeZone(8 * 3600);
    const int today = QDateTime::currentDateTime().toTimeZone(zone).date().dayOfWeek();
    const int ahead = (weekday - today + 7) % 7;
    return ahead == 0 ? 7 : ahead;
}

QJsonObject card(const QString &key, qint64 memberId, int point, qint64 updated)
{
    // The phone uploads what it read from its store: every value as text.
    return QJsonObject{{QStringLiteral("cardKey"), key},
                       {QStringLiteral("name"), QStringLiteral("Noodle stamp card")},
                       {QStringLiteral("memberId"), QString::number(memberId)},
                       {QStringLiteral("member"), QStringLiteral("demo")},
                       {QStringLiteral("eventId"), QStringLiteral("1")},
                       {QStringLiteral("point"), QString::number(point)},
                       {QStringLiteral("isUsed"), QStringLiteral("0")},
                       {QStringLiteral("isDeleted"), QStringLiteral("0")},
                       {QStringLiteral("merchantId"), QStringLiteral("1001")},
                       {QStringLiteral("lastUpdatedTime"), QString::number(updated)},
                       {QStringLiteral("lastUpdatedUserId"), QString()},
                       {QStringLiteral("totalPoints"), QStringLiteral("10")},
                       {QStringLiteral("storeId"), QStringLiteral("1")},
                       {QStringLiteral("enableStoreIds"), QStringLiteral("1")}};
}

double km(double lat1, double lon1, double lat2, double lon2)
{
    const double rad = M_PI / 180.0;
    const double a = std::pow(std::sin((lat2 - lat1) * rad / 2), 2)
        + std::cos(lat1 * rad) * std::cos(lat2 * rad) * std::pow(std::sin((lon2 - lon1) * rad / 2), 2);
    return 2 * 6371.0 * std::asin(std::sqrt(a));
}

QJsonObject byKey(const QJsonArray &records, const QString &field, const QString &key)
{
    for (const auto &value : records)
        if (value.toObject().value(field).toString() == key)
            return value.toObject();
    return {};
}

} // namespace

class TestLoyaltyService : public QObject
{
    Q_OBJECT

    ServiceFixture m_server;
    qint64 m_demo = 0;
    qint64 m_lily = 0;

    QJsonArray syncCards(qint64 memberId, const QJsonArray &cards, int *status = nullptr)
    {
        const auto reply = m_server.loyaltyBody(path(QStringLiteral("syncPointCards"), {QString::number(memberId), K}), json(cards));
        if (status)
            *status = reply.status;
        return reply.array();
    }
    QJsonArray admin(const QString &what, qint64 memberId)
    {
        return m_server.get(m_server.loyaltyPort(), QStringLiteral("admin/%1?memberId=%2").arg(what).arg(memberId)).array();
    }
    QJsonArray syncCoupons(qint64 memberId, const QJsonArray &coupons)
    {
        return m_server.loyaltyBody(path(QStringLiteral("syncMemberCoupons"), {QString::number(memberId), K}), json(coupons)).array();
    }
    QByteArray couponUse(const QString &couponKey, qint64 memberId, qint64 storeId, qint64 when)
    {
        const QJsonObject log{{QStringLiteral("logId"), QStringLiteral("0")},
                              {QStringLiteral("couponKey"), couponKey},
                              {QStringLiteral("memberId"), QString::number(memberId)},
                              {QStringLiteral("eventId"), QStringLiteral("12")},
                              {QStringLiteral("leftCount"), QStringLiteral("3")},
                              {QStringLiteral("isDeleted"), QStringLiteral("0")},
                              {QStringLiteral("merchantId"), QStringLiteral("1002")},
                              {QStringLiteral("updatedTime"), QString::number(when)},
                              {QStringLiteral("storeId"), QString::number(storeId)}};
        return m_server.loyaltyBody(path(QStringLiteral("syncMemberCouponLogs"), {}), json({log})).body;
    }
    QJsonArray events(const QString &method, int type, double lat, double lon, const QString &extraName, int extra)
    {
        return m_server
            .loyaltyForm(path(method, {K}),
                         query({{QStringLiteral("lat"), QString::number(lat, 'f', 6)},
                                {QStringLiteral("lon"), QString::number(lon, 'f', 6)},
                                {QStringLiteral("eventType"), QString::number(type)},
                                {QStringLiteral("startIndex"), QStringLiteral("0")},
                                {QStringLiteral("endIndex"), QStringLiteral("15")},
                                {extraName, QString::number(extra)}}))
            .array();
    }
    qint64 reserve(const QString &storeKey, qint64 when, int people)
    {
        const QJsonObject r{{QStringLiteral("reservationId"), QString()},
                            {QStringLiteral("requestName"), QStringLiteral("Wang Li")},
                            {QStringLiteral("requestTel"), QStringLiteral("13900001111")},
                            {QStringLiteral("peopleCount"), people},
                            {QStringLiteral("appointmentTime"), when},
                            {QStringLiteral("requestMember"), m_demo},
                            {QStringLiteral("storeKey"), storeKey},
                            {QStringLiteral("isBox"), 0},
                            {QStringLiteral("addInfo"), QStringLiteral("Family dinner")}};
        const auto reply = m_server.loyaltyBody(path(QStringLiteral("doReservation"), {K}),
                                                QJsonDocument(r).toJson(QJsonDocument::Compact));
        return reply.status == 200 ? reply.body.toLongLong() : -100 - reply.status;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY2(m_server.start(), qPrintable(m_server.error()));
        m_demo = m_server.loyaltyMemberFor(QStringLiteral("demo"), QStringLiteral("demo123"));
        m_lily = m_server.loyaltyMemberFor(QStringLiteral("lily"), QStringLiteral("lily2024"));
        QVERIFY(m_demo > 0 && m_lily > 0 && m_demo != m_lily);
    }
    void cleanupTestCase() { QVERIFY(m_server.stop()); }

    void passKeyIsChecked_data()
    {
        const qint64 now = QDateTime::currentMSecsSinceEpoch();
        QTest::addColumn<QString>("passKey");
        QTest::addColumn<int>("status");
        QTest::newRow("fresh") << ServiceFixture::passKey(now) << 200;
        QTest::newRow("four minutes old") << ServiceFixture::passKey(now - 4 * 60000) << 200;
        QTest::newRow("six minutes old") << ServiceFixture::passKey(now - 6 * 60000) << 403;
        QTest::newRow("six minutes ahead") << ServiceFixture::passKey(now + 6 * 60000) << 403;
        QTest::newRow("a day old") << ServiceFixture::passKey(now - 86400000) << 403;
        QTest::newRow("another key") << ServiceFixture::encryptWith(QByteArray::number(now / 1000 * 1000), "0123456789abcdef") << 403;
        QTest::newRow("not a time") << ServiceFixture::encryptWith("hello", "p4kw7tzemx2rhcyn") << 403;
        QTest::newRow("not hex") << QStringLiteral("zz") << 403;
        QTest::newRow("empty") << QString() << 403;
    }
    void passKeyIsChecked()
    {
        QFETCH(QString, passKey);
        QFETCH(int, status);
        QCOMPARE(m_server.loyaltyForm(path(QStringLiteral("getPointCardsByCompany"), {K}, passKey),
                                      query({{QStringLiteral("memberId"), QString::number(m_demo)}})).status,
                 status);
        QCOMPARE(m_server.get(m_server.loyaltyPort(), QStringLiteral("appsmgr/vxm/checkVersion/net.loyalty.demo/") + passKey).status,
                 status);
    }

    void versionCheckNamesTheBuild()
    {
        const auto answer = m_server.get(m_server.loyaltyPort(),
                                         QStringLiteral("appsmgr/vxm/checkVersion/net.loyalty.demo/") + ServiceFixture::passKeyNow());
        QCOMPARE(answer.status, 200);
        QCOMPARE(answer.object().value(QStringLiteral("iosBuild")).toString(), QStringLiteral("1.0"));
        QVERIFY(answer.object().value(QStringLiteral("iosUrl")).toString().startsWith(QStringLiteral("http")));
        QCOMPARE(m_server.get(m_server.loyaltyPort(), QStringLiteral("appsmgr/vxm/checkVersion/other.app/") + ServiceFixture::passKeyNow()).status, 404);
    }

    void demoMemberHoldsCardsToScanOn()
    {
        const qint64 mei = m_server.loyaltyMemberFor(QStringLiteral("mei"), QStringLiteral("mei12345"));
        QVERIFY(mei > 0);
        const QJsonArray cards = admin(QStringLiteral("pointCards"), mei);
        QCOMPARE(cards.size(), 2);
        const QJsonObject noodle = byKey(cards, QStringLiteral("cardKey"), QStringLiteral("demo-mei-noodle"));
        QCOMPARE(noodle.value(QStringLiteral("point")).toInt(), 4);
        QCOMPARE(noodle.value(QStringLiteral("totalPoints")).toInt(), 10);
        QCOMPARE(noodle.value(QStringLiteral("storeName")).toString(), QStringLiteral("Bund Noodle House"));
        const QJsonObject coffee = byKey(cards, QStringLiteral("cardKey"), QStringLiteral("demo-mei-coffee"));
        QCOMPARE(coffee.value(QStringLiteral("point")).toInt(), coffee.value(QStringLiteral("totalPoints")).toInt());
        QCOMPARE(coffee.value(QStringLiteral("merchantId")).toInteger(), 1002);
    }

    void memberMappingIsStable()
    {
        QCOMPARE(m_server.loyaltyMemberFor(QStringLiteral("demo"), QStringLiteral("demo123")), m_demo);
        QCOMPARE(m_server.loyaltyMemberFor(QStringLiteral("demo"), QStringLiteral("wrong")), 0);
    }

    void pointCardsMergeByKey()
    {
        // First upload: two cards of the member and one of someone else.
        QJsonArray answer = syncCards(m_demo, {card(QStringLiteral("K1"), m_demo, 3, 1000), card(QStringLiteral("K2"), m_demo, 0, 0),
                                               card(QStringLiteral("KL"), m_lily, 7, 1000)});
        QCOMPARE(answer.size(), 2);
        const QJsonObject k1 = byKey(answer, QStringLiteral("cardKey"), QStringLiteral("K1"));
        // Answered in natural types, whatever came as text.
        QVERIFY(k1.value(QStringLiteral("point")).isDouble());
        QCOMPARE(k1.value(QStringLiteral("point")).toInt(), 3);
        QVERIFY(k1.value(QStringLiteral("memberId")).isDouble());
        QCOMPARE(k1.value(QStringLiteral("memberId")).toInteger(), m_demo);
        QCOMPARE(k1.value(QStringLiteral("name")).toString(), QStringLiteral("Noodle stamp card"));
        QVERIFY(k1.value(QStringLiteral("cardKey")).isString());
        QVERIFY(!k1.contains(QStringLiteral("lastUpdatedUserId")));
        QVERIFY(admin(QStringLiteral("pointCards"), m_lily).isEmpty());

        // Newer wins, equal or older times keep the service's copy.
        answer = syncCards(m_demo, {card(QStringLiteral("K1"), m_demo, 5, 2000), card(QStringLiteral("K2"), m_demo, 9, 0)});
        QCOMPARE(byKey(answer, QStringLiteral("cardKey"), QStringLiteral("K1")).value(QStringLiteral("point")).toInt(), 5);
        QCOMPARE(byKey(answer, QStringLiteral("cardKey"), QStringLiteral("K2")).value(QStringLiteral("point")).toInt(), 0);
        answer = syncCards(m_demo, {card(QStringLiteral("K1"), m_demo, 1, 1500)});
        QCOMPARE(byKey(answer, QStringLiteral("cardKey"), QStringLiteral("K1")).value(QStringLiteral("point")).toInt(), 5);

        // The answer is the whole list, whatever the upload held.
        answer = syncCards(m_demo, {});
        QCOMPARE(answer.size(), 2);
        QCOMPARE(admin(QStringLiteral("pointCards"), m_demo), answer);

        // Another member cannot take over a key.
        answer = syncCards(m_lily, {card(QStringLiteral("K1"), m_lily, 10, 9000)});
        QVERIFY(answer.isEmpty());
        QCOMPARE(byKey(admin(QStringLiteral("pointCards"), m_demo), QStringLiteral("cardKey"), QStringLiteral("K1")).value(QStringLiteral("point")).toInt(), 5);

        int status = 0;
        syncCards(999999, {card(QStringLiteral("K9"), 999999, 1, 1)}, &status);
        QCOMPARE(status, 404);
    }

    void pointCardLogsAreTakenOnce()
    {
        const auto log = [this](const QString &key, int before, int after, qint64 when) {
            return QJsonObject{{QStringLiteral("cardKey"), key}, {QStringLiteral("name"), QStringLiteral("Noodle stamp card")},
                               {QStringLiteral("memberId"), QString::number(m_lily)}, {QStringLiteral("member"), QStringLiteral("lily")},
                               {QStringLiteral("eventId"), QStringLiteral("1")}, {QStringLiteral("bPoint"), QString::number(before)},
                               {QStringLiteral("aPoint"), QString::number(after)}, {QStringLiteral("actionType"), QStringLiteral("1")},
                               {QStringLiteral("merchantId"), QStringLiteral("1001")}, {QStringLiteral("updatedTime"), QString::number(when)},
                               {QStringLiteral("updatedUserId"), QStringLiteral("42")}, {QStringLiteral("updatedUser"), QStringLiteral("Alice")},
                               {QStringLiteral("storeId"), QStringLiteral("1")}};
        };
        const QString logs = QStringLiteral("syncPointCardLogs");
        QCOMPARE(m_server.loyaltyBody(path(logs, {}), json({log(QStringLiteral("L1"), 0, 3, 100), log(QStringLiteral("L1"), 3, 5, 200)})).body,
                 QByteArray("2"));
        // A resend after a lost answer is acknowledged without doubling.
        QCOMPARE(m_server.loyaltyBody(path(logs, {}), json({log(QStringLiteral("L1"), 0, 3, 100), log(QStringLiteral("L1"), 3, 5, 200),
                                                            log(QStringLiteral("L1"), 5, 6, 300)})).body,
                 QByteArray("3"));
        const QJsonArray stored = admin(QStringLiteral("pointCardLogs"), m_lily);
        QCOMPARE(stored.size(), 3);
        QVERIFY(stored.at(2).toObject().value(QStringLiteral("aPoint")).isDouble());
        QCOMPARE(stored.at(2).toObject().value(QStringLiteral("aPoint")).toInt(), 6);
        QCOMPARE(stored.at(2).toObject().value(QStringLiteral("updatedUser")).toString(), QStringLiteral("Alice"));
        QCOMPARE(m_server.loyaltyBody(path(logs, {}), "[]").body, QByteArray("0"));
        QCOMPARE(m_server.loyaltyBody(path(logs, {}), json({log(QString(), 0, 1, 400)})).body, QByteArray("0"));
    }

    void couponUsesCountOnTheService()
    {
        const QJsonArray coupons = events(QStringLiteral("getNearbyStoreEventsByCompany2"), 3, 31.23, 121.47,
                                          QStringLiteral("unused"), 0);
        const QJsonObject dessert = [&] {
            for (const auto &e : coupons)
                if (e.toObject().value(QStringLiteral("eventId")).toInteger() == 12)
                    return e.toObject();
            return QJsonObject();
        }();
        QVERIFY(!dessert.isEmpty());
        const QStringList stores = dessert.value(QStringLiteral("enableStoreIds")).toString().split(QLatin1Char(','));
        QVERIFY(stores.size() >= 2 && !stores.contains(QStringLiteral("1")));
        const int limit = dessert.value(QStringLiteral("couponUseLimit")).toInt();
        QCOMPARE(limit, 3);

        const QJsonObject coupon{{QStringLiteral("couponKey"), QStringLiteral("C1")}, {QStringLiteral("name"), QStringLiteral("Free dessert")},
                                 {QStringLiteral("memberId"), QString::number(m_demo)}, {QStringLiteral("eventId"), QStringLiteral("12")},
                                 {QStringLiteral("leftCount"), QStringLiteral("99")}, {QStringLiteral("isDeleted"), QStringLiteral("0")},
                                 {QStringLiteral("merchantId"), QStringLiteral("1002")}, {QStringLiteral("lastUpdatedTime"), QStringLiteral("1000")},
                                 {QStringLiteral("enableStoreIds"), dessert.value(QStringLiteral("enableStoreIds")).toString()},
                                 {QStringLiteral("status"), QStringLiteral("0")}};
        const auto left = [&] {
            const QJsonObject c = byKey(syncCoupons(m_demo, {}), QStringLiteral("couponKey"), QStringLiteral("C1"));
            return std::make_pair(c.value(QStringLiteral("leftCount")).toInt(-1), c.value(QStringLiteral("status")).toInt(-1));
        };
        QJsonObject first = byKey(syncCoupons(m_demo, {coupon}), QStringLiteral("couponKey"), QStringLiteral("C1"));
        QCOMPARE(first.value(QStringLiteral("leftCount")).toInt(), limit);

        const qint64 store = stores.at(0).toLongLong();
        QCOMPARE(couponUse(QStringLiteral("C1"), m_demo, store, 5000), QByteArray("1"));
        QCOMPARE(left(), std::make_pair(limit - 1, 0));
        QCOMPARE(couponUse(QStringLiteral("C1"), m_demo, store, 5000), QByteArray("1"));
        QCOMPARE(left(), std::make_pair(limit - 1, 0));
        QCOMPARE(couponUse(QStringLiteral("C1"), m_demo, 1, 6000), QByteArray("1"));
        QCOMPARE(left(), std::make_pair(limit - 1, 0));
        QCOMPARE(couponUse(QStringLiteral("C1"), m_lily, store, 6500), QByteArray("1"));
        QCOMPARE(left(), std::make_pair(limit - 1, 0));
        couponUse(QStringLiteral("C1"), m_demo, store, 7000);
        couponUse(QStringLiteral("C1"), m_demo, stores.at(1).toLongLong(), 8000);
        QCOMPARE(left(), std::make_pair(0, 1));
        couponUse(QStringLiteral("C1"), m_demo, store, 9000);
        QCOMPARE(left(), std::make_pair(0, 1));

        // A later upload deletes the coupon but cannot give back uses.
        QJsonObject deleted = coupon;
        deleted[QStringLiteral("isDeleted")] = QStringLiteral("1");
        deleted[QStringLiteral("lastUpdatedTime")] = QStringLiteral("99999999999999");
        const QJsonObject after = byKey(syncCoupons(m_demo, {deleted}), QStringLiteral("couponKey"), QStringLiteral("C1"));
        QCOMPARE(after.value(QStringLiteral("isDeleted")).toInt(), 1);
        QCOMPARE(after.value(QStringLiteral("leftCount")).toInt(), 0);
        QCOMPARE(admin(QStringLiteral("memberCouponLogs"), m_demo).size(), 5);
    }

    void reservationsAreRefusedWithTheirCode_data()
    {
        QTest::addColumn<QString>("store");
        QTest::addColumn<qint64>("when");
        QTest::addColumn<int>("people");
        QTest::addColumn<qint64>("expected");
        QTest::newRow("time passed") << "1" << QDateTime::currentMSecsSinceEpoch() - 3600000 << 2 << qint64(-3);
        QTest::newRow("closed at night") << "1" << shanghai(1, 3) << 2 << qint64(-2);
        QTest::newRow("closed just at closing") << "1" << shanghai(1, 22) << 2 << qint64(-2);
        QTest::newRow("rest day") << "2" << shanghai(daysToWeekday(1), 12) << 2 << qint64(-4);
        QTest::newRow("more people than seats") << "3" << shanghai(2, 12) << 9 << qint64(-5);
        QTest::newRow("store takes no reservations") << "12" << shanghai(1, 12) << 2 << qint64(-1);
        QTest::newRow("nobody") << "1" << shanghai(1, 12) << 0 << qint64(-1);
    }
    void reservationsAreRefusedWithTheirCode()
    {
        QFETCH(QString, store);
        QFETCH(qint64, when);
        QFETCH(int, people);
        QFETCH(qint64, expected);
        QCOMPARE(reserve(store, when, people), expected);
    }

    void reservationsFillTheHouseAndShowInTheHistory()
    {
        const QJsonObject offer = m_server.loyaltyForm(path(QStringLiteral("enableReserved"), {K}),
                                                       query({{QStringLiteral("outerStoreId"), QStringLiteral("3")}})).object();
        QCOMPARE(offer.value(QStringLiteral("storeKey")).toString(), QStringLiteral("3"));
        QVERIFY(m_server.loyaltyForm(path(QStringLiteral("enableReserved"), {K}),
                                     query({{QStringLiteral("outerStoreId"), QStringLiteral("12")}})).object().isEmpty());

        const qint64 dinner = shanghai(3, 19);
        const qint64 first = reserve(QStringLiteral("3"), dinner, 6);
        QVERIFY(first > 0);
        QCOMPARE(reserve(QStringLiteral("3"), dinner + 30 * 60000, 4), qint64(-5));
        const qint64 second = reserve(QStringLiteral("3"), dinner, 2);
        QVERIFY(second > first);
        QVERIFY(reserve(QStringLiteral("3"), dinner + 2 * 3600000, 8) > 0);

        const QJsonArray history = m_server.loyaltyForm(path(QStringLiteral("reservationHistory"), {K, QString::number(m_demo)}), {}).array();
        QCOMPARE(history.size(), 3);
        QCOMPARE(history.at(0).toObject().value(QStringLiteral("appointmentTime")).toInteger(), dinner + 2 * 3600000);
        const QJsonObject stored = byKey(history, QStringLiteral("storeKey"), QStringLiteral("3"));
        QCOMPARE(stored.value(QStringLiteral("storeName")).toString(), offer.value(QStringLiteral("storeName")).toString());
        QCOMPARE(stored.value(QStringLiteral("requestName")).toString(), QStringLiteral("Wang Li"));
        QVERIFY(m_server.loyaltyForm(path(QStringLiteral("reservationHistory"), {K, QString::number(m_lily)}), {}).array().isEmpty());
    }

    void eventsNearbyComeNearestFirst()
    {
        const QJsonArray cards = events(QStringLiteral("getNearbyStoreEventsByCompany2"), 1, 31.2304, 121.4737,
                                        QStringLiteral("unused"), 0);
        QVERIFY(cards.size() >= 3);
        double previous = -1;
        for (const auto &value : cards) {
            const QJsonObject e = value.toObject();
            QCOMPARE(e.value(QStringLiteral("eventType")).toInt(), 1);
            QVERIFY(!e.value(QStringLiteral("storeName")).toString().isEmpty());
            const double d = km(31.2304, 121.4737, e.value(QStringLiteral("lat")).toDouble(),
                                e.value(QStringLiteral("lon")).toDouble());
            QVERIFY(d + 1e-9 >= previous);
            previous = d;
        }
        const QJsonArray atStore = m_server.loyaltyForm(path(QStringLiteral("salesEventsByOuterStore"),
                                                             {QStringLiteral("1"), K, QStringLiteral("1")}), {}).array();
        QList<qint64> ids;
        for (const auto &value : atStore)
            ids.append(value.toObject().value(QStringLiteral("eventId")).toInteger());
        QCOMPARE(ids, (QList<qint64>{1, 2}));
    }

    void shakeFindsCouponsWithinReach()
    {
        const QJsonArray first = events(QStringLiteral("shakeStoreEvents"), 3, 31.2304, 121.4737, QStringLiteral("shakeCount"), 0);
        const QJsonArray second = events(QStringLiteral("shakeStoreEvents"), 3, 31.2304, 121.4737, QStringLiteral("shakeCount"), 1);
        QVERIFY(!first.isEmpty());
        QVERIFY(!second.isEmpty());
        QVERIFY(first != second);
        QJsonArray both = first;
        for (const auto &value : second)
            both.append(value);
        for (const auto &value : both)
            QCOMPARE(value.toObject().value(QStringLiteral("eventType")).toInt(), 3);
        QVERIFY(events(QStringLiteral("shakeStoreEvents"), 3, 30.0, 119.0, QStringLiteral("shakeCount"), 0).isEmpty());
    }

    void malformedRequestsGetClientErrors_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<bool>("form");
        QTest::addColumn<int>("status");
        QTest::newRow("unknown method") << path(QStringLiteral("dropEverything"), {K}) << QByteArray() << true << 404;
        QTest::newRow("no pass key") << QStringLiteral("getPointCardsByCompany/") + K << QByteArray("memberId=1") << true << 403;
        QTest::newRow("wrong company") << path(QStringLiteral("getPointCardsByCompany"), {QStringLiteral("OTHER")}) << QByteArray("memberId=1") << true << 403;
        QTest::newRow("member id missing") << path(QStringLiteral("getPointCardsByCompany"), {K}) << QByteArray() << true << 400;
        QTest::newRow("position missing") << path(QStringLiteral("getNearbyStoreEventsByCompany2"), {K}) << QByteArray("eventType=1") << true << 400;
        QTest::newRow("outer member missing") << path(QStringLiteral("mapMemberId"), {K}) << QByteArray("account=x") << true << 400;
        QTest::newRow("log body not JSON") << path(QStringLiteral("syncPointCardLogs"), {}) << QByteArray("[{\"cardKey\":") << false << 400;
        QTest::newRow("log body a number") << path(QStringLiteral("syncMemberCouponLogs"), {}) << QByteArray("5") << false << 400;
        QTest::newRow("reservation not JSON") << path(QStringLiteral("doReservation"), {K}) << QByteArray("{") << false << 400;
        QTest::newRow("reservation a list") << path(QStringLiteral("doReservation"), {K}) << QByteArray("[]") << false << 400;
        QTest::newRow("reservation without time") << path(QStringLiteral("doReservation"), {K})
                                                  << QByteArray("{\"storeKey\":\"1\",\"requestMember\":1}") << false << 400;
    }
    void malformedRequestsGetClientErrors()
    {
        QFETCH(QString, target);
        QFETCH(QByteArray, body);
        QFETCH(bool, form);
        QFETCH(int, status);
        const auto reply = form ? m_server.post(m_server.loyaltyPort(), QStringLiteral("MerchantApps/service/thirdParty/") + target, body,
                                                "application/x-www-form-urlencoded; charset=utf-8")
                                : m_server.loyaltyBody(target, body);
        QCOMPARE(reply.status, status);
        // The service is still there after it.
        QCOMPARE(m_server.loyaltyForm(path(QStringLiteral("reservedStoreIds"), {K}), {}).status, 200);
    }

    void syncBodyNotJsonLeavesTheCards()
    {
        const qsizetype before = admin(QStringLiteral("pointCards"), m_demo).size();
        const auto reply = m_server.loyaltyBody(path(QStringLiteral("syncPointCards"), {QString::number(m_demo), K}), "not json");
        QCOMPARE(reply.status, 400);
        QCOMPARE(admin(QStringLiteral("pointCards"), m_demo).size(), before);
    }
};

QTEST_GUILESS_MAIN(TestLoyaltyService)
#include "tst_loyaltyservice.moc"
