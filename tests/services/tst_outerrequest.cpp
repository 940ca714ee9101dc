#include "AppPaths.h"
#include "BuildConfig.h"
#include "EditionConfig.h"
#include "HttpClient.h"
#include "OuterRequest.h"
#include "RequestTestSupport.h"
#include "SQLiteHelper.h"
#include "ScriptedHttpServer.h"
#include "UserMgr.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

using namespace RequestTestSupport;

#define WAIT_IDLE() QTRY_COMPARE(HttpClient::inFlightCount() + HttpClient::queuedCount(), 0)

namespace {

using Fields = QMap<QString, QString>;

QStringList namesOf(const QList<Store> &stores)
{
    QStringList names;
    for (const Store &store : stores)
        names << store.storeName.text();
    return names;
}

} // namespace

class TestOuterRequest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    ScriptedHttpServer m_server;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_server.isListening());
        EditionConfig::set(u"THIRD_PARTY_HOST"_qs, m_server.baseUrl());
        BuildConfig::setLoyaltyBaseUrl(m_server.baseUrl());
        HttpClient::setTransferTimeout(5000);
    }

    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        AppPaths::setDataDir(m_dir->path());
        SQLiteHelper::resetInstance();
        m_server.clear();
        m_server.setDefaultAnswer(ScriptedAnswer{});
        EditionConfig::set(u"SKEY"_qs, u"skey-demo-4f9a"_qs);
        UserMgr::saveCurLocation(116.404, 39.91);
    }

    void cleanup()
    {
        WAIT_IDLE();
        SQLiteHelper::resetInstance();
    }

    void requestsOnTheWire_data()
    {
        QTest::addColumn<int>("operation");
        QTest::addColumn<QString>("method");
        QTest::addColumn<Fields>("fields"); // "SKEY" comes on top of these

        QTest::newRow("search cuts the position") << 0 << u"getStoreListBySearch"_qs
                                                  << Fields{{u"keyword"_qs, u"noodle & rice"_qs},
                                                            {u"baseLat"_qs, u"39"_qs},
                                                            {u"baseLon"_qs, u"116"_qs},
                                                            {u"startIndex"_qs, u"0"_qs},
                                                            {u"endIndex"_qs, u"15"_qs},
                                                            {u"isVIP"_qs, u"1"_qs}};
        QTest::newRow("store info") << 1 << u"getStoreInfo"_qs << Fields{{u"storeID"_qs, u"12"_qs}};
        QTest::newRow("store events") << 2 << u"getStoreEventList"_qs << Fields{{u"storeID"_qs, u"12"_qs}};
        QTest::newRow("add favour") << 3 << u"addToMyFavor"_qs
                                    << Fields{{u"memberID"_qs, u"m7"_qs}, {u"storeID"_qs, u"12"_qs}};
        QTest::newRow("remove favour") << 4 << u"removeMyFavor"_qs
                                       << Fields{{u"memberID"_qs, u"m7"_qs}, {u"storeID"_qs, u"12"_qs}};
        QTest::newRow("favourites") << 5 << u"getMyFavorList"_qs << Fields{{u"memberID"_qs, u"m7"_qs}};
        QTest::newRow("categories") << 6 << u"getStoreMainCategoryList"_qs << Fields{{u"isVIP"_qs, u"0"_qs}};
        QTest::newRow("stores by category keep the fraction")
            << 7 << u"getEventStoreListByMainCategory"_qs
            << Fields{{u"mainCategoryID"_qs, u"2"_qs}, {u"subCategoryID"_qs, u"3"_qs}, {u"baseLat"_qs, u"39.91"_qs},
                      {u"baseLon"_qs, u"116.404"_qs}, {u"startIndex"_qs, u"16"_qs}, {u"endIndex"_qs, u"31"_qs}};
        QTest::newRow("brand stores") << 8 << u"getBrandStoreList"_qs
                                      << Fields{{u"mainCategoryID"_qs, u"2"_qs}, {u"subCategoryID"_qs, u"3"_qs},
                                                {u"startIndex"_qs, u"0"_qs}, {u"endIndex"_qs, u"15"_qs}};
        QTest::newRow("banners") << 9 << u"getBannerList"_qs << Fields{};
        QTest::newRow("news") << 10 << u"getEventList"_qs
                              << Fields{{u"startIndex"_qs, u"0"_qs}, {u"endIndex"_qs, u"15"_qs}};
        QTest::newRow("login") << 11 << u"memberLogin"_qs
                               << Fields{{u"account"_qs, u"li@x.cn"_qs}, {u"password"_qs, u"p=w&d"_qs}};
        QTest::newRow("register") << 12 << u"memberRegister"_qs
                                  << Fields{{u"email"_qs, u"li@x.cn"_qs}, {u"name"_qs, u"\u674e"_qs},
                                            {u"nickname"_qs, u"li"_qs}, {u"password"_qs, u"pw"_qs},
                                            {u"tel"_qs, u"555"_qs}, {u"cardNo"_qs, QString()}};
        QTest::newRow("member comment") << 13 << u"getMemberComment"_qs
                                        << Fields{{u"memberID"_qs, u"m7"_qs}, {u"storeID"_qs, u"12"_qs}};
        QTest::newRow("edit comment, missing rates are 3")
            << 14 << u"editMemberComment"_qs
            << Fields{{u"memberID"_qs, u"m7"_qs}, {u"storeID"_qs, u"12"_qs}, {u"comment"_qs, u"good"_qs},
                      {u"serviceRate"_qs, u"5"_qs}, {u"qualityRate"_qs, u"3"_qs}, {u"enviromentRate"_qs, u"3"_qs},
                      {u"cpRate"_qs, u"3"_qs}};
        QTest::newRow("store comments") << 15 << u"getStoreCommentList"_qs << Fields{{u"storeID"_qs, u"12"_qs}};
        QTest::newRow("stores by id") << 16 << u"getStoreListByID"_qs << Fields{{u"storeID"_qs, u"3,5,8"_qs}};
    }

    void requestsOnTheWire()
    {
        QFETCH(int, operation);
        QFETCH(QString, method);
        QFETCH(Fields, fields);

        switch (operation) {
        case 0: OuterRequest::getStoreListBySearch(u"noodle & rice"_qs, 0, 15, 1); break;
        case 1: OuterRequest::getStoreInfo(qint64(12)); break;
        case 2: OuterRequest::getStoreEventList(u"12"_qs); break;
        case 3: OuterRequest::addToMyFavor(u"m7"_qs, qint64(12)); break;
        case 4: OuterRequest::removeMyFavor(u"m7"_qs, qint64(12)); break;
        case 5: OuterRequest::getMyFavorList(u"m7"_qs); break;
        case 6: OuterRequest::getStoreMainCategoryList(0); break;
        case 7: OuterRequest::getEventStoreListByMainCategory(qint64(2), qint64(3), 16, 31); break;
        case 8: OuterRequest::getBrandStoreList(qint64(2), qint64(3), 0, 15); break;
        case 9: OuterRequest::getBannerList(); break;
        case 10: OuterRequest::getEventList(0, 15); break;
        case 11: OuterRequest::memberLogin(u"li@x.cn"_qs, u"p=w&d"_qs); break;
        case 12: OuterRequest::memberRegister(u"li@x.cn"_qs, u"\u674e"_qs, u"li"_qs, u"pw"_qs, u"555"_qs); break;
        case 13: OuterRequest::getMemberComment(u"m7"_qs, qint64(12)); break;
        case 14:
            OuterRequest::editMemberComment(u"m7"_qs, qint64(12), u"good"_qs, 5, std::nullopt, std::nullopt,
                                            std::nullopt);
            break;
        case 15: OuterRequest::getStoreCommentList(qint64(12)); break;
        case 16: OuterRequest::getStoreListByID({qint64(3), u"5"_qs, qint64(8)}); break;
        }
        QTRY_COMPARE(m_server.count(), 1);
        const RecordedRequest &request = m_server.last();
        QCOMPARE(request.method, QByteArray("POST"));
        QCOMPARE(request.target, (u"/catalogue/"_qs + method + u".json"_qs).toLatin1());
        QCOMPARE(request.header("content-type"), QByteArray("application/x-www-form-urlencoded; charset=utf-8"));
        fields.insert(u"SKEY"_qs, u"skey-demo-4f9a"_qs);
        QCOMPARE(formFields(request.body), fields);
        if (operation == 16) // the comma travels escaped
            QVERIFY(request.body.contains("storeID=3%2C5%2C8"));
    }

    void postParams()
    {
        const QVariantMap given{{u"a"_qs, 1}, {u"SKEY"_qs, u"mine"_qs}};
        QCOMPARE(OuterRequest::setPostParams(given),
                 (QVariantMap{{u"a"_qs, 1}, {u"SKEY"_qs, u"skey-demo-4f9a"_qs}}));
        QCOMPARE(OuterRequest::setPostParams(), (QVariantMap{{u"SKEY"_qs, u"skey-demo-4f9a"_qs}}));
        EditionConfig::set(u"SKEY"_qs, QString());
        QCOMPARE(OuterRequest::setPostParams(given), given);
        EditionConfig::set(u"SKEY"_qs, QJsonValue(QJsonValue::Undefined));
        QCOMPARE(OuterRequest::setPostParams(), QVariantMap());

        // Banners without SKEY: a POST with the form type and an empty body.
        OuterRequest::getBannerList();
        QTRY_COMPARE(m_server.count(), 1);
        QCOMPARE(m_server.last().body, QByteArray());
        QCOMPARE(m_server.last().header("content-type"),
                 QByteArray("application/x-www-form-urlencoded; charset=utf-8"));
    }

    void searchCutsTowardZero_data()
    {
        QTest::addColumn<double>("lat");
        QTest::addColumn<QString>("sent");
        QTest::newRow("-0.5") << -0.5 << u"0"_qs;
        QTest::newRow("-39.91") << -39.91 << u"-39"_qs;
        QTest::newRow("39.99") << 39.99 << u"39"_qs;
    }

    void searchCutsTowardZero()
    {
        QFETCH(double, lat);
        QFETCH(QString, sent);
        // The session saves only positive positions; a stored one may be anything.
        {
            QSettings preferences(AppPaths::preferencesFile(), QSettings::IniFormat);
            preferences.setValue(u"current_latitude"_qs, lat);
        }
        QCOMPARE(UserMgr::getCurLat(), lat);
        OuterRequest::getStoreListBySearch(u"k"_qs, 0, 15, 0);
        QTRY_COMPARE(m_server.count(), 1);
        QCOMPARE(formFields(m_server.last().body).value(u"baseLat"_qs), sent);
    }

    void listAnswers_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QStringList>("names"); // empty: none
        QTest::newRow("list") << 200 << QByteArray(R"([{"storeName":"A","storeID":"1"},"x",{"storeName":"B"}])")
                              << true << QStringList{u"A"_qs, u"B"_qs};
        QTest::newRow("empty array") << 200 << QByteArray("[]") << true << QStringList();
        QTest::newRow("first null") << 200 << QByteArray(R"([null,{"storeName":"A"}])") << true << QStringList();
        QTest::newRow("not JSON") << 200 << QByteArray("Fatal error") << true << QStringList();
        QTest::newRow("empty body") << 200 << QByteArray() << true << QStringList();
        QTest::newRow("status 500") << 500 << QByteArray(R"([{"storeName":"A"}])") << false << QStringList();
    }

    void listAnswers()
    {
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        QFETCH(bool, ok);
        QFETCH(QStringList, names);
        m_server.enqueue(status, body);
        std::optional<std::pair<bool, std::optional<QList<Store>>>> answer;
        OuterRequest::getBrandStoreList(qint64(1), qint64(2), 0, 15, [&answer](bool success, auto stores) {
            answer = std::make_pair(success, stores);
        });
        QTRY_VERIFY(answer.has_value());
        QCOMPARE(answer->first, ok);
        QCOMPARE(answer->second.has_value(), !names.isEmpty());
        if (answer->second) {
            QCOMPARE(namesOf(*answer->second), names);
            QCOMPARE(answer->second->first().storeID.json(), QJsonValue(u"1"_qs)); // as it came
        }
    }

    void storeEventListCallsOnlyForAList()
    {
        const QList<QByteArray> bodies{QByteArray(), QByteArray("[]"), QByteArray("{}"), QByteArray("x")};
        int calls = 0;
        for (const QByteArray &body : bodies) {
            m_server.enqueueBody(body);
            OuterRequest::getStoreEventList(qint64(1), [&calls](bool, auto) { ++calls; });
        }
        WAIT_IDLE();
        QCOMPARE(m_server.count(), bodies.size());
        QCOMPARE(calls, 0);
        m_server.enqueueBody(R"([{"title":"T"}])");
        std::optional<QList<StoreEvent>> events;
        OuterRequest::getStoreEventList(qint64(1), [&events](bool ok, auto list) {
            QVERIFY(ok);
            events = list;
        });
        QTRY_VERIFY(events.has_value());
        QCOMPARE(events->first().title.text(), u"T"_qs);
    }

    void objectAnswers()
    {
        m_server.enqueueBody(R"({"storeID":12,"storeName":"S","bogus":true})");
        std::optional<std::optional<Store>> store;
        OuterRequest::getStoreInfo(qint64(12), [&store](bool ok, std::optional<Store> s) {
            QVERIFY(ok);
            store = s;
        });
        QTRY_VERIFY(store.has_value());
        QCOMPARE(store->value().storeID.toId(), qint64(12));
        QVERIFY(!store->value().tel.isSet());

        m_server.enqueueBody("{}");
        std::optional<std::optional<Comment>> comment;
        OuterRequest::getMemberComment(u"m"_qs, qint64(1), [&comment](bool ok, std::optional<Comment> c) {
            QVERIFY(ok);
            comment = c;
        });
        QTRY_VERIFY(comment.has_value());
        QVERIFY(!comment->has_value());
    }

    void categoriesCarryTheirSubCategories()
    {
        m_server.enqueueBody(R"([{"mainCategoryID":1,"subCategories":[{"subCategoryID":4},{"subCategoryID":5}]},
                                 {"mainCategoryID":2}])");
        std::optional<QList<StoreCategory>> categories;
        OuterRequest::getStoreMainCategoryList(1, [&categories](bool, auto list) { categories = list.value(); });
        QTRY_VERIFY(categories.has_value());
        QCOMPARE(categories->size(), 2);
        QCOMPARE(categories->at(0).subCategories.size(), 2);
        QCOMPARE(categories->at(0).subCategories.at(1).subCategoryID.toId(), qint64(5));
        QVERIFY(categories->at(1).subCategories.isEmpty());
    }

    void loginAnswers_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("memberId"); // "-" stands for none
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("phone");
        QTest::newRow("full") << 200 << QByteArray(R"({"memberID":123,"msg":"ok","phone":"555"})") << true
                              << u"123"_qs << u"ok"_qs << u"555"_qs;
        QTest::newRow("only msg") << 200 << QByteArray(R"({"msg":"bad"})") << true << u"(null)"_qs << u"bad"_qs
                                  << u"-"_qs;
        QTest::newRow("phone null") << 200 << QByteArray(R"({"memberID":"m1","msg":"ok","phone":null})") << true
                                    << u"m1"_qs << u"ok"_qs << u"-"_qs;
        QTest::newRow("empty") << 200 << QByteArray() << true << u"-"_qs << u"-"_qs << u"-"_qs;
        QTest::newRow("array") << 200 << QByteArray("[1]") << true << u"-"_qs << u"-"_qs << u"-"_qs;
        QTest::newRow("failure") << 503 << QByteArray() << false << u"-"_qs << u"-"_qs << u"-"_qs;
    }

    void loginAnswers()
    {
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        QFETCH(bool, ok);
        QFETCH(QString, memberId);
        QFETCH(QString, message);
        QFETCH(QString, phone);
        const auto shown = [](const std::optional<QString> &text) { return text.value_or(u"-"_qs); };
        m_server.enqueue(status, body);
        std::optional<QStringList> answer;
        bool success = false;
        OuterRequest::memberLogin(u"a"_qs, u"p"_qs, [&](bool flag, auto id, auto msg, auto tel) {
            success = flag;
            answer = QStringList{shown(id), shown(msg), shown(tel)};
        });
        QTRY_VERIFY(answer.has_value());
        QCOMPARE(success, ok);
        QCOMPARE(*answer, (QStringList{memberId, message, phone}));
    }

    void registerAnswers_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("message");
        QTest::newRow("status and msg") << 200 << QByteArray(R"({"status":"2","msg":"taken"})") << true << 2
                                        << u"taken"_qs;
        QTest::newRow("only msg gives 0") << 200 << QByteArray(R"({"msg":"welcome"})") << true << 0 << u"welcome"_qs;
        QTest::newRow("only status") << 200 << QByteArray(R"({"status":0})") << true << 0 << u"(null)"_qs;
        QTest::newRow("invalid gives 1") << 200 << QByteArray("done") << true << 1 << u"-"_qs;
        QTest::newRow("failure gives 1") << 500 << QByteArray() << false << 1 << u"-"_qs;
    }

    void registerAnswers()
    {
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        QFETCH(bool, ok);
        QFETCH(int, code);
        QFETCH(QString, message);
        m_server.enqueue(status, body);
        std::optional<std::tuple<bool, int, QString>> answer;
        OuterRequest::memberRegister(u"e"_qs, u"n"_qs, u"k"_qs, u"p"_qs, u"t"_qs,
                                     [&answer](bool flag, int statusCode, std::optional<QString> msg) {
                                         answer = std::make_tuple(flag, statusCode, msg.value_or(u"-"_qs));
                                     });
        QTRY_VERIFY(answer.has_value());
        QCOMPARE(std::get<0>(*answer), ok);
        QCOMPARE(std::get<1>(*answer), code);
        QCOMPARE(std::get<2>(*answer), message);
    }

    void favourTexts()
    {
        m_server.enqueueBody("added");
        m_server.enqueueBody({});
        QList<std::pair<bool, std::optional<QString>>> answers;
        const auto block = [&answers](bool ok, std::optional<QString> text) { answers.append({ok, text}); };
        OuterRequest::addToMyFavor(u"m"_qs, qint64(1), block);
        OuterRequest::addToMyFavor(u"m"_qs, qint64(2), block);
        QTRY_COMPARE(answers.size(), 2);
        QCOMPARE(answers[0].second, std::optional<QString>(u"added"_qs));
        QVERIFY(answers[1].first);
        QVERIFY(!answers[1].second);

        m_server.enqueue(200, "whatever");
        m_server.enqueue(500, {});
        QList<bool> removed;
        OuterRequest::removeMyFavor(u"m"_qs, qint64(1), [&removed](bool ok) { removed << ok; });
        QTRY_COMPARE(removed.size(), 1);
        OuterRequest::removeMyFavor(u"m"_qs, qint64(1), [&removed](bool ok) { removed << ok; });
        QTRY_COMPARE(removed.size(), 2);
        QCOMPARE(removed, (QList<bool>{true, false}));
    }

    void editCommentAnswers()
    {
        m_server.enqueueBody("saved");
        std::optional<std::optional<QString>> text;
        OuterRequest::editMemberComment(u"m"_qs, qint64(1), u"c"_qs, 1, 2, 3, 4,
                                        [&text](bool ok, std::optional<QString> t) {
                                            QVERIFY(ok);
                                            text = t;
                                        });
        QTRY_VERIFY(text.has_value());
        QCOMPARE(**text, u"saved"_qs);
        QCOMPARE(formFields(m_server.last().body).value(u"cpRate"_qs), u"4"_qs);

        // An empty body calls nothing, unless the caller asks to hear of it.
        m_server.enqueueBody({});
        m_server.enqueueBody({});
        bool called = false;
        bool empty = false;
        OuterRequest::editMemberComment(u"m"_qs, qint64(1), u"c"_qs, 1, 2, 3, 4,
                                        [&called](bool, std::optional<QString>) { called = true; });
        OuterRequest::editMemberComment(
            u"m"_qs, qint64(1), u"c"_qs, 1, 2, 3, 4, [&called](bool, std::optional<QString>) { called = true; },
            [&empty] { empty = true; });
        QTRY_VERIFY(empty);
        WAIT_IDLE();
        QVERIFY(!called);
    }

    void favouriteListKeepsLocalStores()
    {
        Store local;
        local.storeID = qint64(1);
        local.storeName = u"Local"_qs;
        QVERIFY(SQLiteHelper::getInstance().insertWithEntity(local));

        const auto fetch = [](std::optional<QList<Store>> &later) {
            return OuterRequest::getMyFavorList(u"m"_qs, [&later](QList<Store> stores) { later = stores; });
        };
        std::optional<QList<Store>> later;
        m_server.enqueueBody({});
        QCOMPARE(namesOf(fetch(later)), QStringList{u"Local"_qs});
        QTRY_VERIFY(later.has_value());
        QCOMPARE(namesOf(*later), QStringList{u"Local"_qs});

        later.reset();
        m_server.enqueueBody("not json");
        fetch(later);
        QTRY_VERIFY(later.has_value());
        QCOMPARE(namesOf(*later), QStringList{u"Local"_qs});

        later.reset();
        m_server.enqueue(500, R"([{"storeID":2,"storeName":"Remote"}])");
        fetch(later);
        QTRY_COMPARE(m_server.count(), 3);
        WAIT_IDLE();
        QVERIFY(!later.has_value());

        m_server.enqueueBody(R"([{"storeID":2,"storeName":"Remote"}])");
        fetch(later);
        QTRY_VERIFY(later.has_value());
        QCOMPARE(namesOf(*later), QStringList{u"Remote"_qs});
    }

    void timeOutReportsFailure()
    {
        m_server.enqueue(ScriptedAnswer{200, "[]", {}, true});
        HttpClient::setTransferTimeout(300);
        std::optional<bool> ok;
        OuterRequest::getBannerList([&ok](bool success, auto) { ok = success; });
        QTRY_VERIFY(ok.has_value());
        QVERIFY(!*ok);
        HttpClient::setTransferTimeout(5000);
        m_server.releaseOne(ScriptedAnswer{});
    }
};

QTEST_GUILESS_MAIN(TestOuterRequest)
#include "tst_outerrequest.moc"
