#include "AppModes.h"
#include "AppTestSupport.h"
#include "BuildConfig.h"
#include "ScriptedHttpServer.h"
#include "UserMgr.h"

#include <QDir>
#include <QImage>
#include <QTest>

#include <memory>

class TestAppModes : public QObject
{
    Q_OBJECT

    std::unique_ptr<AppTestEnvironment> env;

private Q_SLOTS:
    void init() { env = std::make_unique<AppTestEnvironment>(); }
    void cleanup()
    {
        BuildConfig::setLoyaltyBaseUrl(QString());
        env.reset();
    }

    void commandLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("config");
        QTest::addColumn<QString>("nmea");
        QTest::addColumn<QString>("dataDir");
        QTest::addColumn<QString>("screenshots");
        QTest::addColumn<bool>("selfTest");
        QTest::addColumn<bool>("error");
        QTest::newRow("nothing") << QStringList{u"loyalty"_qs} << QString() << QString() << QString() << QString()
                                 << false << false;
        QTest::newRow("everything")
            << QStringList{u"loyalty"_qs, u"--config"_qs, u"a.json"_qs, u"--nmea=b.nmea"_qs, u"--data-dir"_qs,
                           u"/d"_qs, u"--screenshots=/s"_qs, u"--self-test"_qs}
            << u"a.json"_qs << u"b.nmea"_qs << u"/d"_qs << u"/s"_qs << true << false;
        QTest::newRow("folder missing") << QStringList{u"loyalty"_qs, u"--data-dir"_qs} << QString() << QString()
                                        << QString() << QString() << false << true;
    }
    void commandLine()
    {
        QFETCH(QStringList, arguments);
        const AppModes modes = AppModes::parse(arguments);
        QTEST(modes.configFile, "config");
        QTEST(modes.nmeaFile, "nmea");
        QTEST(modes.dataDir, "dataDir");
        QTEST(modes.screenshotsDir, "screenshots");
        QTEST(modes.selfTest, "selfTest");
        QTEST(!modes.error.isEmpty(), "error");
    }

    void withoutDisplayTheTourIsWritten()
    {
        const QByteArray saved[] = {qgetenv("DISPLAY"), qgetenv("WAYLAND_DISPLAY"), qgetenv("QT_QPA_PLATFORM")};
        const char *names[] = {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"};
        for (const char *name : names)
            qunsetenv(name);
        AppModes modes = AppModes::parse({u"loyalty"_qs, u"--data-dir"_qs, env->dir.path()});
        const QString notice = modes.prepareEnvironment();
        const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
        for (int i = 0; i < 3; ++i) {
            if (saved[i].isNull())
                qunsetenv(names[i]);
            else
                qputenv(names[i], saved[i]);
        }
        const QString folder = QDir(env->dir.path()).filePath(u"screenshots"_qs);
        QCOMPARE(modes.screenshotsDir, folder);
        QVERIFY(notice.contains(folder));
        QCOMPARE(platform, QByteArray("offscreen"));

        // With a display nothing changes.
        AppModes shown = AppModes::parse({u"loyalty"_qs});
        QVERIFY(AppModes::displayAvailable());
        QCOMPARE(shown.prepareEnvironment(), QString());
        QVERIFY(shown.screenshotsDir.isEmpty());
    }

    void selfTestRunsLaunchAndActivation()
    {
        ScriptedHttpServer server;
        server.setDefaultAnswer(ScriptedAnswer{200, QByteArray("{\"iosBuild\":1,\"iosUrl\":\"http://dl.example/\"}"),
                                               QByteArrayLiteral("application/json"), false});
        BuildConfig::setLoyaltyBaseUrl(server.baseUrl());
        QCOMPARE(AppModes::runSelfTest(), 0);
        QCOMPARE(server.count(), 1);
        QVERIFY(server.last().segments().contains(u"checkVersion"_qs));

        // A dead service is no failure of the shell.
        BuildConfig::setLoyaltyBaseUrl(u"http://127.0.0.1:1/"_qs);
        QCOMPARE(AppModes::runSelfTest(), 0);
    }

    void screenshotTour()
    {
        UserMgr::setMemberId(42);
        const QString dir = QDir(env->dir.path()).filePath(u"shots"_qs);
        const QStringList files = AppModes::writeScreenshots(dir);
        // The tour's logout must not reach the real session.
        QCOMPARE(UserMgr::getMemberId(), 42);
        for (const QString &language : {u"en"_qs, u"zh_CN"_qs}) {
            for (const QString &name : {u"1-home"_qs, u"4-order"_qs, u"6-floatview"_qs, u"7-logout-confirm"_qs,
                                       u"8-logout-done"_qs, u"9-store-rows"_qs}) {
                const QString path = QDir(dir).filePath(QStringLiteral("%1-%2.png").arg(language, name));
                QVERIFY2(files.contains(path), qPrintable(path));
            }
        }
        QImage home(QDir(dir).filePath(u"en-1-home.png"_qs));
        QImage menu(QDir(dir).filePath(u"en-6-floatview.png"_qs));
        QImage wallet(QDir(dir).filePath(u"en-5-wallet.png"_qs));
        QVERIFY(!home.isNull());
        QCOMPARE(home.size() / home.devicePixelRatio(), QSize(320, 568));
        // The member menu shows above the strip in one picture and not in the other.
        const QPoint inMenu(265 * int(menu.devicePixelRatio()), 470 * int(menu.devicePixelRatio()));
        QVERIFY(menu.pixel(inMenu) != wallet.pixel(inMenu));
    }
};

QTEST_MAIN(TestAppModes)
#include "tst_appmodes.moc"
