#include "Banner.h"
#include "BuildConfig.h"
#include "Event.h"
#include "Store.h"
#include "StoreCategory.h"
#include "UserMgr.h"
#include "AppPaths.h"

#include <QJsonDocument>
#include <QTemporaryDir>
#include <QTest>

namespace {

QJsonObject object(const char *json)
{
    return QJsonDocument::fromJson(QByteArray(json)).object();
}

Store storeAt(double lat, double lon)
{
    Store store;
    store.lat = lat;
    store.lon = lon;
    return store;
}

} // namespace

class TestEntities : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        QVERIFY(m_dir.isValid());
        AppPaths::setDataDir(m_dir.path());
        UserMgr::unremember();
        UserMgr::clearCurLocation();
        BuildConfig::setLoyaltyBaseUrl(u"http://loyalty.test/"_qs);
    }

    void fillTakesValuesAsTheyArrive()
    {
        const Store store = EntityRecords::fromJson<Store>(
            object(R"({"storeID":"12","storeName":"Tea","rate":4.6,"lat":31.2,"extra":1,
                       "discount":null,"cost":["x"],"address":""})"));
        QCOMPARE(store.storeID.json(), QJsonValue(u"12"_qs));
        QCOMPARE(store.storeID.toId(), 12);
        QCOMPARE(store.rate.toInt(), 4);
        QCOMPARE(store.lat.toReal(), 31.2);
        QVERIFY(!store.tel.isSet());
        QVERIFY(!store.discount.isSet());
        QVERIFY(store.cost.json().isArray());
        QVERIFY(store.address.isSet());
        QCOMPARE(store.address.text(), QString());
    }

    void namesAreCaseSensitive()
    {
        const Store store = EntityRecords::fromJson<Store>(object(R"({"storeid":5,"StoreName":"x"})"));
        QVERIFY(!store.storeID.isSet());
        QVERIFY(!store.storeName.isSet());
    }

    void categoryReadsSubCategories()
    {
        const StoreCategory category = EntityRecords::fromJson<StoreCategory>(object(
            R"({"mainCategoryID":3,"subCategories":[{"subCategoryID":31,"subCategoryName":"Noodles"},7,
                                                    {"subCategoryID":"32"}]})"));
        QCOMPARE(category.mainCategoryID.toId(), 3);
        QCOMPARE(category.subCategories.size(), 2);
        QCOMPARE(category.subCategories[0].subCategoryName.text(), u"Noodles"_qs);
        QCOMPARE(category.subCategories[1].subCategoryID.toId(), 32);
        QCOMPARE(EntityRecords::fieldNames<StoreCategory>().last(), u"subCategories"_qs);
    }

    void listSkipsEntriesThatAreNotMaps()
    {
        const QJsonArray array = QJsonDocument::fromJson(R"([{"imgUrl":"a"},null,"b",{"imgUrl":"c"}])").array();
        const QList<Banner> banners = EntityRecords::listFromJson<Banner>(array);
        QCOMPARE(banners.size(), 2);
        QCOMPARE(banners[1].imgUrl.text(), u"c"_qs);
    }

    void mapGivesUnsetAsEmptyTextAndKeepsNumbers()
    {
        Banner banner;
        banner.storeID = qint64(9);
        const QJsonObject map = EntityRecords::toMap(banner);
        QCOMPARE(map.value(u"storeID"), QJsonValue(9));
        QCOMPARE(map.value(u"imgUrl"), QJsonValue(QString()));
        QCOMPARE(map.size(), 3);
    }

    void sortByDistanceMeasuresWhatHasNoWholeKilometre()
    {
        UserMgr::saveCurLocation(121.47, 31.23);
        QList<Store> stores;
        Store measured = storeAt(0, 0);
        measured.distance2 = 3.5; // kept: it already has a whole kilometre
        stores << measured << storeAt(31.23, 121.50) << storeAt(31.33, 121.47);
        const QList<Store> sorted = Store::sortByDistance(stores);

        QCOMPARE(stores[0].distance2.toReal(), 3.5);
        // 0.03 degrees of longitude at 31.23 N is about 2.85 km.
        QVERIFY(qAbs(stores[1].distance2.toReal() - 2.853) < 0.01);
        // 0.1 degrees of latitude is about 11.12 km.
        QVERIFY(qAbs(stores[2].distance2.toReal() - 11.12) < 0.01);
        QCOMPARE(sorted.size(), 3);
        QCOMPARE(sorted[0].lon.toReal(), 121.50);
        QCOMPARE(sorted[1].distance2.toReal(), 3.5);
        QCOMPARE(sorted[2].lat.toReal(), 31.33);
    }

    void sortByDistanceRemeasuresBelowOneKilometre()
    {
        UserMgr::saveCurLocation(121.47, 31.23);
        QList<Store> stores{storeAt(31.231, 121.47)};
        stores[0].distance2 = 0.9; // under 1 km: measured again
        Store::sortByDistance(stores);
        QVERIFY(qAbs(stores[0].distance2.toReal() - 0.111) < 0.001);
    }

    void transDistance_data()
    {
        QTest::addColumn<double>("kilometres");
        QTest::addColumn<QString>("text");
        QTest::newRow("hundreds") << 123.6 << u"124 km"_qs;
        QTest::newRow("tens") << 12.4 << u"12.0 km"_qs;
        QTest::newRow("ones") << 3.6 << u"4.00 km"_qs;
        QTest::newRow("just one") << 1.0 << u"1.00 km"_qs;
        QTest::newRow("metres") << 0.4567 << u"457 m"_qs;
        QTest::newRow("zero") << 0.0 << u"0 m"_qs;
    }
    void transDistance()
    {
        QFETCH(double, kilometres);
        QFETCH(QString, text);
        UserMgr::saveCurLocation(121.47, 31.23);
        QCOMPARE(Store::transDistance(kilometres), text);
    }

    void transDistanceWithoutPositionIsEmpty()
    {
        QCOMPARE(Store::transDistance(5), QString());
        UserMgr::saveCurLocation(-0.1, 51.5);
        QCOMPARE(Store::transDistance(5), QString());
    }

    void eventConversionsDifferInPictures()
    {
        UserMgr::setMemberId(u"77"_qs);
        UserMgr::remember(u"amy"_qs, u"secret"_qs);
        const Event event = EntityRecords::fromJson<Event>(object(
            R"({"eventId":5,"name":"Tea card","picture":"card.png","detailPic":"d.png","merchantId":"7",
                "totalPoints":"10","couponUseLimit":"3.7","storeId":12,"enableStoreIds":"12,15",
                "startTime":1000,"endTime":2000,"storeName":"Tea","brief":"b","detail":"d"})"));

        const PointCard card = Event::caseToPointCard(event);
        QCOMPARE(card.picture.text(), u"http://loyalty.test/merchantImgs/salesEventImgs/card.png"_qs);
        QCOMPARE(card.detailPic.text(), u"http://loyalty.test/merchantImgs/salesEventImgs/d.png"_qs);
        QCOMPARE(card.cardKey.json(), QJsonValue(QString()));
        QCOMPARE(card.memberId.toId(), 77);
        QCOMPARE(card.member.text(), u"amy"_qs);
        QCOMPARE(card.point.toInt(), 0);
        QCOMPARE(card.totalPoints.toInt(), 10);
        QCOMPARE(card.enableStoreIds.text(), u"12,15"_qs);
        QCOMPARE(card.lastUpdatedUser.json(), QJsonValue(QString()));

        const MemberCoupons coupon = Event::caseToMemberCoupons(event);
        QCOMPARE(coupon.picture.text(), u"card.png"_qs);
        QCOMPARE(coupon.leftCount.json(), QJsonValue(3));
        QCOMPARE(coupon.status.toInt(), 0);
        QCOMPARE(coupon.memberId.toId(), 77);
    }

    void conversionsWithoutMember()
    {
        const Event event;
        QCOMPARE(Event::caseToPointCard(event).memberId.json(), QJsonValue(0));
        QCOMPARE(Event::caseToMemberCoupons(event).member.json(), QJsonValue(QString()));
    }

private:
    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(TestEntities)
#include "tst_entities.moc"
