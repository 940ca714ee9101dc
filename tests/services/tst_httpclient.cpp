#include "AppPaths.h"
#include "BuildConfig.h"
#include "Clock.h"
#include "EditionConfig.h"
#include "HttpClient.h"
#include "RequestTestSupport.h"
#include "ScriptedHttpServer.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

using namespace RequestTestSupport;

namespace {

struct Outcome
{
    bool done = false;
    bool ok = false;
    QByteArray body;
    bool onUiThread = false;
};

std::shared_ptr<Outcome> sendThrough(const HttpClient::Client &client, const QByteArray &method,
                                     const QString &path, const HttpClient::Params &params)
{
    auto outcome = std::make_shared<Outcome>();
    client.send(
        method, path, params,
        [outcome](const QByteArray &body) {
            outcome->done = true;
            outcome->ok = true;
            outcome->body = body;
            outcome->onUiThread = QThread::currentThread() == QCoreApplication::instance()->thread();
        },
        [outcome] {
            outcome->done = true;
            outcome->ok = false;
            outcome->onUiThread = QThread::currentThread() == QCoreApplication::instance()->thread();
        });
    return outcome;
}

} // namespace

class TestHttpClient : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    ScriptedHttpServer m_server;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QVERIFY(m_server.isListening());
        AppPaths::setDataDir(m_dir.path());
        BuildConfig::setLoyaltyBaseUrl(m_server.baseUrl());
        EditionConfig::set(u"THIRD_PARTY_HOST"_qs, m_server.baseUrl());
    }

    void init()
    {
        m_server.clear();
        m_server.setDefaultAnswer(ScriptedAnswer{});
        BuildConfig::setLoyaltyBaseUrl(m_server.baseUrl());
        HttpClient::setTransferTimeout(30000);
        Clock::setSource(nullptr);
    }

    void builtInConfiguration()
    {
        EditionConfig::reset();
        QCOMPARE(EditionConfig::text(u"COMPANY_KEY"_qs), u"GRP-DEMO-7Q2X"_qs);
        QCOMPARE(EditionConfig::text(u"THIRD_PARTY_SERVICE_PATH"_qs), u"catalogue/"_qs);
        QCOMPARE(EditionConfig::text(u"DEFAULT_TAB"_qs), u"0"_qs);
        QVERIFY(!EditionConfig::contains(u"NO_SUCH_KEY"_qs));

        QTemporaryDir dir;
        const QString file = dir.filePath(u"edition.json"_qs);
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(R"({"SKEY": "", "COMPANY_KEY": "OTHER"})");
        out.close();
        QVERIFY(EditionConfig::loadFile(file));
        QCOMPARE(EditionConfig::text(u"COMPANY_KEY"_qs), u"OTHER"_qs);
        QCOMPARE(EditionConfig::text(u"SKEY"_qs), QString());
        QCOMPARE(EditionConfig::text(u"CFBundleIdentifier"_qs), u"net.loyalty.demo"_qs); // kept

        QVERIFY(!EditionConfig::loadFile(dir.filePath(u"missing.json"_qs)));
        QVERIFY(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write("[1, 2]");
        out.close();
        QVERIFY(!EditionConfig::loadFile(file));
        QCOMPARE(EditionConfig::text(u"COMPANY_KEY"_qs), u"OTHER"_qs);

        EditionConfig::reset();
        EditionConfig::set(u"THIRD_PARTY_HOST"_qs, m_server.baseUrl());
    }

    void loyaltyPaths_data()
    {
        QTest::addColumn<bool>("companyKeyFirst");
        QTest::addColumn<bool>("hasUrlParams");
        QTest::addColumn<QVariantList>("urlParams");
        QTest::addColumn<bool>("companyKey");
        QTest::addColumn<bool>("passKey");
        QTest::addColumn<QStringList>("expected"); // "P" stands for the pass key

        const QString base = u"MerchantApps/service/thirdParty/m"_qs;
        QTest::newRow("base path alone") << false << false << QVariantList() << false << false << QStringList{base};
        QTest::newRow("empty url parameter list") << false << true << QVariantList() << false << false
                                                  << QStringList{base, QString()};
        QTest::newRow("member id, key, pass key")
            << false << true << QVariantList{qint64(12)} << true << true
            << QStringList{base, u"12"_qs, u"GRP-DEMO-7Q2X"_qs, u"P"_qs};
        QTest::newRow("url parameters joined")
            << false << true << QVariantList{1, u"GRP-DEMO-7Q2X"_qs, u"s9"_qs} << false << true
            << QStringList{base, u"1"_qs, u"GRP-DEMO-7Q2X"_qs, u"s9"_qs, u"P"_qs};
        QTest::newRow("twin: company key first")
            << true << true << QVariantList{qint64(12)} << true << true
            << QStringList{base, u"GRP-DEMO-7Q2X"_qs, u"12"_qs, u"P"_qs};
        QTest::newRow("pass key only") << false << false << QVariantList() << false << true
                                       << QStringList{base, u"P"_qs};
    }

    void loyaltyPaths()
    {
        QFETCH(bool, companyKeyFirst);
        QFETCH(bool, hasUrlParams);
        QFETCH(QVariantList, urlParams);
        QFETCH(bool, companyKey);
        QFETCH(bool, passKey);
        QFETCH(QStringList, expected);

        const std::optional<QVariantList> params = hasUrlParams ? std::optional(urlParams) : std::nullopt;
        const QString path = companyKeyFirst
            ? HttpClient::sharedClientByThirdParty(u"m"_qs, companyKey, params, passKey)
            : HttpClient::sharedClientByThirdParty(u"m"_qs, params, companyKey, passKey);
        // The merchant key flag adds the application identifier where asked.
        QCOMPARE(HttpClient::generatePath(u"m"_qs, std::nullopt, false, true, false),
                 u"MerchantApps/service/thirdParty/m/net.loyalty.demo"_qs);

        QStringList segments = path.split(u'/');
        // The base path itself holds "/": glue its pieces back together.
        QCOMPARE(segments.mid(0, 3), (QStringList{u"MerchantApps"_qs, u"service"_qs, u"thirdParty"_qs}));
        segments = QStringList{segments.mid(0, 4).join(u'/')} + segments.mid(4);
        QCOMPARE(segments.size(), expected.size());
        for (qsizetype i = 0; i < expected.size(); ++i) {
            if (expected[i] == u"P")
                QVERIFY2(isFreshPassKey(segments[i]), qPrintable(segments[i]));
            else
                QCOMPARE(segments[i], expected[i]);
        }
    }

    void passKeyFollowsWholeSeconds()
    {
        qint64 now = 1700000000200;
        Clock::setSource([&now] { return now; });
        const auto passKeyOf = [] {
            return HttpClient::sharedClientByThirdParty(u"m"_qs, std::nullopt, false, true).section(u'/', -1);
        };
        const QString first = passKeyOf();
        now = 1700000000999;
        QCOMPARE(passKeyOf(), first);
        now = 1700000001000;
        QVERIFY(passKeyOf() != first);
        QCOMPARE(first, Cipher::encrypt(u"1700000000000"_qs));
        Clock::setSource(nullptr);
    }

    void cataloguePath()
    {
        QCOMPARE(HttpClient::pathByKorvani(u"getStoreInfo"_qs), u"catalogue/getStoreInfo.json"_qs);
        EditionConfig::set(u"THIRD_PARTY_SERVICE_PATH"_qs, QString());
        EditionConfig::set(u"THIRD_PARTY_PATH_POSTFIX"_qs, QString());
        QCOMPARE(HttpClient::pathByKorvani(u"getStoreInfo"_qs), u"getStoreInfo"_qs);
        EditionConfig::set(u"THIRD_PARTY_SERVICE_PATH"_qs, u"catalogue/"_qs);
        EditionConfig::set(u"THIRD_PARTY_PATH_POSTFIX"_qs, u".json"_qs);
    }

    void urlEscaping_data()
    {
        QTest::addColumn<QString>("plain");
        QTest::addColumn<QString>("escaped");
        QTest::newRow("reserved characters") << u"!*'();:@&=+$,/?%#[]"_qs
                                             << u"%21%2A%27%28%29%3B%3A%40%26%3D%2B%24%2C%2F%3F%25%23%5B%5D"_qs;
        QTest::newRow("space and unreserved") << u"a b-c_d.e~f"_qs << u"a%20b-c_d.e~f"_qs;
        QTest::newRow("UTF-8") << u"caf\u00e9 \u4e2d"_qs << u"caf%C3%A9%20%E4%B8%AD"_qs;
        QTest::newRow("empty") << QString() << QString();
    }

    void urlEscaping()
    {
        QFETCH(QString, plain);
        QFETCH(QString, escaped);
        QCOMPARE(HttpClient::URLEncodedString(plain), escaped);
        QCOMPARE(HttpClient::URLDecodedString(escaped), plain);
    }

    void formRequestsOnTheWire_data()
    {
        QTest::addColumn<QByteArray>("method");
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("hasParams");
        QTest::addColumn<QVariantMap>("params");
        QTest::addColumn<QByteArray>("target");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QByteArray>("contentType");

        const QByteArray form = "application/x-www-form-urlencoded; charset=utf-8";
        const QVariantMap params{{u"a b"_qs, u"x&y=z,\u00e9"_qs}, {u"n"_qs, qint64(-42)}, {u"r"_qs, 39.91}};
        const QByteArray encoded = "a%20b=x%26y%3Dz%2C%C3%A9&n=-42&r=39.91";
        QTest::newRow("POST with parameters") << QByteArray("POST") << u"svc/m"_qs << true << params
                                              << QByteArray("/svc/m") << encoded << form;
        QTest::newRow("POST with an empty map") << QByteArray("POST") << u"svc/m"_qs << true << QVariantMap()
                                                << QByteArray("/svc/m") << QByteArray() << form;
        QTest::newRow("POST with no map") << QByteArray("POST") << u"svc/m"_qs << false << QVariantMap()
                                          << QByteArray("/svc/m") << QByteArray() << QByteArray();
        QTest::newRow("GET appends after ?") << QByteArray("GET") << u"svc/m"_qs << true << params
                                             << QByteArray("/svc/m?" + encoded) << QByteArray() << QByteArray();
        QTest::newRow("GET appends after &") << QByteArray("GET") << u"svc/m?k=1"_qs << true
                                             << QVariantMap{{u"n"_qs, 7}} << QByteArray("/svc/m?k=1&n=7")
                                             << QByteArray() << QByteArray();
        QTest::newRow("DELETE carries the query") << QByteArray("DELETE") << u"svc/m"_qs << true
                                                  << QVariantMap{{u"n"_qs, 7}} << QByteArray("/svc/m?n=7")
                                                  << QByteArray() << QByteArray();
    }

    void formRequestsOnTheWire()
    {
        QFETCH(QByteArray, method);
        QFETCH(QString, path);
        QFETCH(bool, hasParams);
        QFETCH(QVariantMap, params);
        QFETCH(QByteArray, target);
        QFETCH(QByteArray, body);
        QFETCH(QByteArray, contentType);

        m_server.enqueueBody("answer");
        auto outcome = sendThrough(HttpClient::sharedClient(), method, path,
                                   hasParams ? HttpClient::Params(params) : std::nullopt);
        QTRY_VERIFY(outcome->done);
        QVERIFY(outcome->ok);
        QVERIFY(outcome->onUiThread);
        QCOMPARE(outcome->body, QByteArray("answer"));
        QCOMPARE(m_server.count(), 1);
        const RecordedRequest &request = m_server.last();
        QCOMPARE(request.method, method);
        QCOMPARE(request.target, target);
        QCOMPARE(request.body, body);
        QCOMPARE(request.header("content-type"), contentType);
    }

    void arrayBodyOnTheWire_data()
    {
        QTest::addColumn<QVariant>("array");
        QTest::addColumn<QByteArray>("body");
        QTest::newRow("empty list") << QVariant::fromValue(QJsonArray()) << QByteArray("[]");
        QTest::newRow("list of maps") << QVariant::fromValue(QJsonArray{QJsonObject{{u"k"_qs, u"1"_qs}}, QJsonObject{}})
                                      << QByteArray(R"([{"k":"1"},{}])");
        QTest::newRow("single map") << QVariant::fromValue(QJsonObject{{u"n"_qs, 5}, {u"t"_qs, u"\u00e9"_qs}})
                                    << QByteArray("{\"n\":5,\"t\":\"\xc3\xa9\"}");
    }

    void arrayBodyOnTheWire()
    {
        QFETCH(QVariant, array);
        QFETCH(QByteArray, body);
        const QVariantMap params{{u"array"_qs, array}, {u"other"_qs, u"not sent"_qs}};
        auto outcome = sendThrough(HttpClient::sharedClient2(), "POST", u"svc/up"_qs, params);
        QTRY_VERIFY(outcome->done);
        QVERIFY(outcome->ok);
        QCOMPARE(m_server.last().method, QByteArray("POST"));
        QCOMPARE(m_server.last().target, QByteArray("/svc/up"));
        QCOMPARE(m_server.last().body, body);
        QCOMPARE(m_server.last().header("content-type"), QByteArray("text/plain; charset=utf-8"));
    }

    void answers_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<bool>("ok");
        QTest::newRow("200 with a body") << 200 << QByteArray("[1]") << true;
        QTest::newRow("204 empty body") << 204 << QByteArray() << true;
        QTest::newRow("299") << 299 << QByteArray("x") << true;
        QTest::newRow("404") << 404 << QByteArray("missing") << false;
        QTest::newRow("500") << 500 << QByteArray("broken") << false;
    }

    void answers()
    {
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        QFETCH(bool, ok);
        m_server.enqueue(status, body);
        auto outcome = sendThrough(HttpClient::sharedClient(), "POST", u"svc/m"_qs, QVariantMap());
        QTRY_VERIFY(outcome->done);
        QCOMPARE(outcome->ok, ok);
        QVERIFY(outcome->onUiThread);
        QCOMPARE(outcome->body, ok ? body : QByteArray());
    }

    void connectionRefusedFails()
    {
        BuildConfig::setLoyaltyBaseUrl(refusedBaseUrl());
        auto outcome = sendThrough(HttpClient::sharedClient(), "POST", u"svc/m"_qs, QVariantMap());
        QTRY_VERIFY(outcome->done);
        QVERIFY(!outcome->ok);
        QVERIFY(outcome->onUiThread);
    }

    void timeOutFails()
    {
        HttpClient::setTransferTimeout(300);
        m_server.enqueue(ScriptedAnswer{200, "late", {}, true});
        auto outcome = sendThrough(HttpClient::sharedClient(), "POST", u"svc/m"_qs, QVariantMap());
        QTRY_VERIFY(outcome->done);
        QVERIFY(!outcome->ok);
        QCOMPARE(HttpClient::inFlightCount(), 0);
        m_server.releaseOne(ScriptedAnswer{});
    }

    // At most four transfers at once across all clients; the rest wait in order.
    void atMostFourInFlight()
    {
        m_server.setDefaultAnswer(ScriptedAnswer{200, {}, {}, true});
        QList<std::shared_ptr<Outcome>> outcomes;
        for (int i = 0; i < 6; ++i) {
            const HttpClient::Client &client = i % 2 ? HttpClient::sharedClient2() : HttpClient::sharedClient();
            outcomes << sendThrough(client, "POST", u"q%1"_qs.arg(i), QVariantMap());
        }
        QTRY_COMPARE(m_server.count(), 4);
        QCOMPARE(HttpClient::inFlightCount(), 4);
        QCOMPARE(HttpClient::queuedCount(), 2);

        m_server.releaseOne(ScriptedAnswer{200, "first", {}, false});
        QTRY_VERIFY(outcomes[0]->done);
        QCOMPARE(outcomes[0]->body, QByteArray("first"));
        QTRY_COMPARE(m_server.count(), 5);
        QCOMPARE(HttpClient::inFlightCount(), 4);
        QCOMPARE(HttpClient::queuedCount(), 1);
        m_server.setDefaultAnswer(ScriptedAnswer{});
        for (int i = 0; i < 4; ++i)
            m_server.releaseOne(ScriptedAnswer{});
        for (const auto &outcome : outcomes)
            QTRY_VERIFY(outcome->done);
        QCOMPARE(m_server.count(), 6);

        QStringList order;
        for (const RecordedRequest &request : m_server.requests())
            order << QString::fromLatin1(request.target);
        QCOMPARE(order.mid(4), (QStringList{u"/q4"_qs, u"/q5"_qs}));
        QCOMPARE(HttpClient::inFlightCount(), 0);
        QCOMPARE(HttpClient::queuedCount(), 0);
    }

    void sharedClients()
    {
        QCOMPARE(&HttpClient::sharedClient(), &HttpClient::sharedClient());
        QVERIFY(&HttpClient::sharedClient() != &HttpClient::sharedClient2());
        QCOMPARE(HttpClient::sharedClient().encoding(), HttpClient::Encoding::Form);
        QCOMPARE(HttpClient::sharedClient2().encoding(), HttpClient::Encoding::ArrayBody);
        QCOMPARE(HttpClient::sharedClient().baseUrl(), QUrl(m_server.baseUrl()));
        QCOMPARE(HttpClient::sharedClientByKorvani().baseUrl(), QUrl(m_server.baseUrl()));
        // The catalogue client keeps the address of its first use.
        EditionConfig::set(u"THIRD_PARTY_HOST"_qs, u"http://127.0.0.2:1/"_qs);
        QCOMPARE(HttpClient::sharedClientByKorvani().baseUrl(), QUrl(m_server.baseUrl()));
        QCOMPARE(HttpClient::sharedClientByKorvani().encoding(), HttpClient::Encoding::Form);
        EditionConfig::set(u"THIRD_PARTY_HOST"_qs, m_server.baseUrl());
    }

    void hostTest_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<bool>("reachable");
        QTest::newRow("loopback with port") << u"http://127.0.0.1:18080/"_qs << true;
        QTest::newRow("localhost") << u"http://localhost/"_qs << true;
        QTest::newRow("empty") << QString() << false;
        QTest::newRow("scheme only") << u"http://"_qs << false;
    }

    void hostTest()
    {
        QFETCH(QString, url);
        QFETCH(bool, reachable);
        QCOMPARE(HttpClient::checkNetwork(url), reachable);
    }
};

QTEST_GUILESS_MAIN(TestHttpClient)
#include "tst_httpclient.moc"
