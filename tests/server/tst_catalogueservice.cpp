// The catalogue service of loyalty-server, over HTTP as the phone uses it.
#include "ServiceFixture.h"

#include <QSet>
#include <QTest>

#include <cmath>

namespace {

QUrlQuery query(std::initializer_list<std::pair<QString, QString>> items)
{
    QUrlQuery q;
    for (const auto &[name, value] : items)
        q.addQueryItem(name, value);
    return q;
}

double km(double lat1, double lon1, double lat2, double lon2)
{
    const double rad = M_PI / 180.0;
    const double a = std::pow(std::sin((lat2 - lat1) * rad / 2), 2)
        + std::cos(lat1 * rad) * std::cos(lat2 * rad) * std::pow(std::sin((lon2 - lon1) * rad / 2), 2);
    return 2 * 6371.0 * std::asin(std::sqrt(a));
}

QList<qint64> idsOf(const QJsonArray &stores)
{
    QList<qint64> ids;
    for (const auto &store : stores)
        ids.append(store.toObject().value(QStringLiteral("storeID")).toInteger());
    return ids;
}

} // namespace

class TestCatalogueService : public QObject
{
    Q_OBJECT

    ServiceFixture m_server;

    QJsonArray storesNear(const QString &mainId, const QString &subId, double lat, double lon, int start, int end)
    {
        return m_server
            .catalogue(QStringLiteral("getEventStoreListByMainCategory"),
                       query({{QStringLiteral("mainCategoryID"), mainId},
                              {QStringLiteral("subCategoryID"), subId},
                              {QStringLiteral("baseLat"), QString::number(lat, 'f', 6)},
                              {QStringLiteral("baseLon"), QString::number(lon, 'f', 6)},
                              {QStringLiteral("startIndex"), QString::number(start)},
                              {QStringLiteral("endIndex"), QString::number(end)}}))
            .array();
    }

    QString outerIdOf(const QString &account, const QString &password)
    {
        return m_server
            .catalogue(QStringLiteral("memberLogin"),
                       query({{QStringLiteral("account"), account}, {QStringLiteral("password"), password}}))
            .object()
            .value(QStringLiteral("memberID"))
            .toVariant()
            .toString();
    }

private Q_SLOTS:
    void initTestCase() { QVERIFY2(m_server.start(), qPrintable(m_server.error())); }
    void cleanupTestCase() { QVERIFY(m_server.stop()); }

    void categoryCountsMatchTheStoreLists_data()
    {
        QTest::addColumn<int>("isVip");
        QTest::newRow("nearby (all stores)") << 0;
        QTest::newRow("brand stores") << 1;
    }
    void categoryCountsMatchTheStoreLists()
    {
        QFETCH(int, isVip);
        const QJsonArray categories =
            m_server.catalogue(QStringLiteral("getStoreMainCategoryList"),
                               query({{QStringLiteral("isVIP"), QString::number(isVip)}}))
                .array();
        QVERIFY(categories.size() >= 3);
        for (const auto &value : categories) {
            const QJsonObject category = value.toObject();
            const QString mainId = QString::number(category.value(QStringLiteral("mainCategoryID")).toInteger());
            QVERIFY(!category.value(QStringLiteral("mainCategoryName")).toString().isEmpty());
            const QJsonArray subs = category.value(QStringLiteral("subCategories")).toArray();
            QVERIFY(!subs.isEmpty());
            const QJsonArray stores = isVip
                ? m_server
                      .catalogue(QStringLiteral("getBrandStoreList"),
                                 query({{QStringLiteral("mainCategoryID"), mainId},
                                        {QStringLiteral("subCategoryID"), QStringLiteral("0")},
                                        {QStringLiteral("startIndex"), QStringLiteral("0")},
                                        {QStringLiteral("endIndex"), QStringLiteral("99")}}))
                      .array()
                : storesNear(mainId, QStringLiteral("0"), 31.23, 121.47, 0, 99);
            QCOMPARE(category.value(QStringLiteral("storeCount")).toInteger(), stores.size());
            // The sub categories split the main category without overlap.
            QSet<qint64> union_;
            qsizetype total = 0;
            for (const auto &sub : subs) {
                const QString subId = QString::number(sub.toObject().value(QStringLiteral("subCategoryID")).toInteger());
                const auto ids = idsOf(storesNear(mainId, subId, 31.23, 121.47, 0, 99));
                total += ids.size();
                union_.unite(QSet<qint64>(ids.begin(), ids.end()));
            }
            if (!isVip) {
                QCOMPARE(total, stores.size());
                QCOMPARE(union_.size(), stores.size());
            }
        }
    }

    void pagesAreDisjointWindowsOfOneOrder()
    {
        const QJsonArray all = storesNear(QStringLiteral("0"), QStringLiteral("0"), 31.23, 121.47, 0, 99);
        QVERIFY(all.size() >= 30);
        QList<qint64> paged;
        for (int start = 0;; start += 16) {
            const QJsonArray page = storesNear(QStringLiteral("0"), QStringLiteral("0"), 31.23, 121.47, start, start + 15);
            QVERIFY(page.size() <= 16);
            paged += idsOf(page);
            if (page.size() < 15)
                break;
        }
        QCOMPARE(paged, idsOf(all));
        QCOMPARE(QSet<qint64>(paged.begin(), paged.end()).size(), paged.size());
    }

    void storesComeNearestFirst_data()
    {
        QTest::addColumn<double>("lat");
        QTest::addColumn<double>("lon");
        QTest::newRow("people's square") << 31.2304 << 121.4737;
        QTest::newRow("pudong") << 31.2200 << 121.5500;
        QTest::newRow("north of the city") << 31.3500 << 121.4500;
    }
    void storesComeNearestFirst()
    {
        QFETCH(double, lat);
        QFETCH(double, lon);
        const QJsonArray stores = storesNear(QStringLiteral("0"), QStringLiteral("0"), lat, lon, 0, 99);
        QVERIFY(stores.size() >= 30);
        double previous = -1;
        for (const auto &value : stores) {
            const QJsonObject store = value.toObject();
            const double d = km(lat, lon, store.value(QStringLiteral("lat")).toDouble(),
                                store.value(QStringLiteral("lon")).toDouble());
            QVERIFY2(d + 1e-6 >= previous, qPrintable(store.value(QStringLiteral("storeName")).toString()));
            QVERIFY(std::fabs(store.value(QStringLiteral("distance")).toDouble() - d) < 0.05);
            previous = d;
        }
    }

    void storeRecordsCarryWhatTheScreensShow()
    {
        const QJsonArray stores = m_server
                                      .catalogue(QStringLiteral("getStoreListByID"),
                                                 query({{QStringLiteral("storeID"), QStringLiteral("3,5,8")}}))
                                      .array();
        QCOMPARE(idsOf(stores), (QList<qint64>{3, 5, 8}));
        int twoNumbers = 0;
        for (const auto &value : storesNear(QStringLiteral("0"), QStringLiteral("0"), 31.23, 121.47, 0, 99)) {
            const QJsonObject store = value.toObject();
            for (const char *field : {"storeName", "address", "tel", "intro", "cost", "storePicUrl"})
                QVERIFY2(!store.value(QLatin1String(field)).toString().isEmpty(), field);
            const int rate = store.value(QStringLiteral("rate")).toInt(-1);
            QVERIFY(rate >= 0 && rate <= 5);
            const QString tel = store.value(QStringLiteral("tel")).toString();
            QVERIFY(!tel.contains(QStringLiteral("  ")));
            twoNumbers += tel.split(QLatin1Char(' ')).size() == 2 ? 1 : 0;
        }
        QVERIFY(twoNumbers > 0);
        // The picture address is served by the catalogue port itself.
        const QString picture = stores.at(0).toObject().value(QStringLiteral("storePicUrl")).toString();
        QVERIFY(picture.startsWith(QStringLiteral("http://127.0.0.1:%1/").arg(m_server.cataloguePort())));
        const auto image = m_server.get(m_server.cataloguePort(), QUrl(picture).path().mid(1));
        QCOMPARE(image.status, 200);
        QVERIFY(image.body.startsWith("\x89PNG"));
    }

    void searchMatchesKeywords()
    {
        const auto search = [this](const QString &keyword, int vip) {
            return idsOf(m_server
                             .catalogue(QStringLiteral("getStoreListBySearch"),
                                        query({{QStringLiteral("keyword"), keyword},
                                               {QStringLiteral("baseLat"), QStringLiteral("31")},
                                               {QStringLiteral("baseLon"), QStringLiteral("121")},
                                               {QStringLiteral("startIndex"), QStringLiteral("0")},
                                               {QStringLiteral("endIndex"), QStringLiteral("99")},
                                               {QStringLiteral("isVIP"), QString::number(vip)}}))
                             .array());
        };
        QVERIFY(search(QStringLiteral("NOODLE"), 0).contains(1));
        QVERIFY(search(QStringLiteral("no such store"), 0).isEmpty());
        const auto all = search(QStringLiteral("Shanghai"), 0);
        const auto brands = search(QStringLiteral("Shanghai"), 1);
        QVERIFY(!brands.isEmpty());
        QVERIFY(brands.size() < all.size());
        for (qint64 id : brands)
            QVERIFY(all.contains(id));
    }

    void registrationThenLogin()
    {
        const auto registerMember = [this](const QString &nickname, const QString &password) {
            return m_server
                .catalogue(QStringLiteral("memberRegister"),
                           query({{QStringLiteral("email"), QStringLiteral("alice.w@example.com")},
                                  {QStringLiteral("name"), nickname},
                                  {QStringLiteral("nickname"), nickname},
                                  {QStringLiteral("password"), password},
                                  {QStringLiteral("tel"), QStringLiteral("13911112222")},
                                  {QStringLiteral("cardNo"), QString()}}))
                .object();
        };
        QCOMPARE(outerIdOf(QStringLiteral("alice"), QStringLiteral("secret+1")), QStringLiteral("0"));
        const QJsonObject created = registerMember(QStringLiteral("alice"), QStringLiteral("secret+1"));
        QCOMPARE(created.value(QStringLiteral("status")).toInt(-1), 0);
        QVERIFY(!created.value(QStringLiteral("msg")).toString().isEmpty());
        QCOMPARE(registerMember(QStringLiteral("alice"), QStringLiteral("other12")).value(QStringLiteral("status")).toInt(), 1);
        QVERIFY(registerMember(QStringLiteral("bob"), QStringLiteral("1234")).value(QStringLiteral("status")).toInt() != 0);

        const QJsonObject login =
            m_server
                .catalogue(QStringLiteral("memberLogin"),
                           query({{QStringLiteral("account"), QStringLiteral("alice")},
                                  {QStringLiteral("password"), QStringLiteral("secret+1")}}))
                .object();
        QVERIFY(login.value(QStringLiteral("memberID")).toVariant().toLongLong() > 0);
        QCOMPARE(login.value(QStringLiteral("phone")).toString(), QStringLiteral("13911112222"));
        QVERIFY(!login.value(QStringLiteral("msg")).toString().isEmpty());
        QCOMPARE(outerIdOf(QStringLiteral("alice"), QStringLiteral("secret 1")), QStringLiteral("0"));
        QCOMPARE(outerIdOf(QStringLiteral("alice"), QStringLiteral("Secret+1")), QStringLiteral("0"));
        QVERIFY(outerIdOf(QStringLiteral("demo"), QStringLiteral("demo123")).toLongLong() > 0);
        QVERIFY(outerIdOf(QStringLiteral("demo"), QStringLiteral("demo123")) != login.value(QStringLiteral("memberID")).toString());
    }

    void favouritesFollowAddAndRemove()
    {
        const QString member = outerIdOf(QStringLiteral("tom"), QStringLiteral("tompass1"));
        const auto favourites = [&] {
            return idsOf(m_server.catalogue(QStringLiteral("getMyFavorList"), query({{QStringLiteral("memberID"), member}})).array());
        };
        QVERIFY(favourites().isEmpty());
        for (const char *store : {"5", "7", "5"})
            QCOMPARE(m_server
                         .catalogue(QStringLiteral("addToMyFavor"),
                                    query({{QStringLiteral("memberID"), member}, {QStringLiteral("storeID"), QLatin1String(store)}}))
                         .status,
                     200);
        QCOMPARE(favourites(), (QList<qint64>{5, 7}));
        m_server.catalogue(QStringLiteral("removeMyFavor"),
                           query({{QStringLiteral("memberID"), member}, {QStringLiteral("storeID"), QStringLiteral("5")}}));
        QCOMPARE(favourites(), (QList<qint64>{7}));
    }

    void commentsEditAndList()
    {
        const QString member = outerIdOf(QStringLiteral("demo"), QStringLiteral("demo123"));
        const auto own = [&](const QString &store) {
            return m_server
                .catalogue(QStringLiteral("getMemberComment"),
                           query({{QStringLiteral("memberID"), member}, {QStringLiteral("storeID"), store}}))
                .object();
        };
        QVERIFY(!own(QStringLiteral("6")).value(QStringLiteral("comment")).toString().isEmpty());
        QVERIFY(own(QStringLiteral("2")).isEmpty());
        const auto edit = [&](const QString &text, const QString &service) {
            QUrlQuery q = query({{QStringLiteral("memberID"), member}, {QStringLiteral("storeID"), QStringLiteral("2")},
                                 {QStringLiteral("comment"), text}, {QStringLiteral("qualityRate"), QStringLiteral("5")}});
            if (!service.isEmpty())
                q.addQueryItem(QStringLiteral("serviceRate"), service);
            return m_server.catalogue(QStringLiteral("editMemberComment"), q).body;
        };
        const qsizetype before = m_server.catalogue(QStringLiteral("getStoreCommentList"), query({{QStringLiteral("storeID"), QStringLiteral("2")}})).array().size();
        QCOMPARE(edit(QStringLiteral("Dumplings & tea, 100% fine"), QStringLiteral("4")), QByteArray("1"));
        QCOMPARE(edit(QStringLiteral("Rewritten: even better"), QString()), QByteArray("1"));
        QCOMPARE(edit(QStringLiteral("Too many stars"), QStringLiteral("6")), QByteArray("0"));
        QCOMPARE(edit(QString(), QStringLiteral("4")), QByteArray("0"));

        const QJsonObject mine = own(QStringLiteral("2"));
        QCOMPARE(mine.value(QStringLiteral("comment")).toString(), QStringLiteral("Rewritten: even better"));
        QCOMPARE(mine.value(QStringLiteral("serviceRate")).toInt(), 3);
        QCOMPARE(mine.value(QStringLiteral("qualityRate")).toInt(), 5);
        QCOMPARE(mine.value(QStringLiteral("memberNickname")).toString(), QStringLiteral("demo"));
        const QJsonArray list = m_server.catalogue(QStringLiteral("getStoreCommentList"), query({{QStringLiteral("storeID"), QStringLiteral("2")}})).array();
        QCOMPARE(list.size(), before + 1);
        QCOMPARE(list.at(0).toObject().value(QStringLiteral("comment")).toString(), QStringLiteral("Rewritten: even better"));
    }

    void bannersAndNewsPointAtServedPages()
    {
        const QJsonArray banners = m_server.catalogue(QStringLiteral("getBannerList"), {}).array();
        QVERIFY(banners.size() >= 2);
        int toStores = 0;
        int toPages = 0;
        for (const auto &value : banners) {
            const QJsonObject banner = value.toObject();
            QCOMPARE(m_server.get(m_server.cataloguePort(), QUrl(banner.value(QStringLiteral("imgUrl")).toString()).path().mid(1)).status, 200);
            if (banner.value(QStringLiteral("storeID")).toInteger() > 0)
                ++toStores;
            else if (m_server.get(m_server.cataloguePort(), QUrl(banner.value(QStringLiteral("clickUrl")).toString()).path().mid(1)).status == 200)
                ++toPages;
        }
        QVERIFY(toStores > 0 && toPages > 0);

        const auto news = [this](int start, int end) {
            return m_server
                .catalogue(QStringLiteral("getEventList"),
                           query({{QStringLiteral("startIndex"), QString::number(start)},
                                  {QStringLiteral("endIndex"), QString::number(end)}}))
                .array();
        };
        const QJsonArray all = news(0, 15);
        QVERIFY(all.size() >= 4);
        QJsonArray joined = news(0, 1);
        for (const auto &value : news(2, 15))
            joined.append(value);
        QCOMPARE(joined, all);
        for (const auto &value : all) {
            const auto page = m_server.get(m_server.cataloguePort(), QUrl(value.toObject().value(QStringLiteral("bImgUrl")).toString()).path().mid(1));
            QCOMPARE(page.status, 200);
            QVERIFY(page.body.contains(value.toObject().value(QStringLiteral("title")).toString().toUtf8()));
        }
    }

    void badRequestsGetClientErrors_data()
    {
        QTest::addColumn<QString>("method");
        QTest::addColumn<QString>("params");
        QTest::addColumn<bool>("skey");
        QTest::addColumn<int>("status");
        QTest::newRow("no SKEY") << "getBannerList" << "" << false << 403;
        QTest::newRow("wrong SKEY") << "getBannerList" << "SKEY=other" << false << 403;
        QTest::newRow("unknown method") << "dropTables" << "" << true << 404;
        QTest::newRow("store id missing") << "getStoreInfo" << "" << true << 400;
        QTest::newRow("unknown store") << "getStoreInfo" << "storeID=99999" << true << 404;
        QTest::newRow("password missing") << "memberLogin" << "account=demo" << true << 400;
        QTest::newRow("position not a number") << "getEventStoreListByMainCategory"
                                               << "mainCategoryID=0&baseLat=north&baseLon=1" << true << 400;
        QTest::newRow("favourites of nobody") << "getMyFavorList" << "memberID=424242" << true << 404;
    }
    void badRequestsGetClientErrors()
    {
        QFETCH(QString, method);
        QFETCH(QString, params);
        QFETCH(bool, skey);
        QFETCH(int, status);
        QCOMPARE(m_server.catalogue(method, QUrlQuery(params), skey).status, status);
    }
};

QTEST_GUILESS_MAIN(TestCatalogueService)
#include "tst_catalogueservice.moc"
