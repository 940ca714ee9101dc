#include "AppDelegate.h"
#include "AppTestSupport.h"
#include "BuildConfig.h"
#include "LocationService.h"
#include "LoginCtrl.h"
#include "MemberServices.h"
#include "MyAlertView.h"
#include "NavigationController.h"
#include "NotificationCenter.h"
#include "PhoneButton.h"
#include "PhoneImageView.h"
#include "TableView.h"
#include "PhoneWindow.h"
#include "ScriptedHttpServer.h"
#include "TabBarController.h"
#include "UrlOpener.h"
#include "UserMgr.h"

#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {

// A launched shell on screen.
struct Shell
{
    AppDelegate delegate;
    Shell()
    {
        delegate.didFinishLaunchingWithOptions();
        delegate.window()->show();
    }
    TabBarController *tabs() const { return delegate.tabBarController(); }
    int shownTab() const { return tabs()->selectedIndex(); }
    bool floatShown() const { return delegate.floatView()->isVisible(); }
    // The strip reacts on touch-down, like a finger.
    void press(int tag)
    {
        PhoneButton *button = delegate.stripButton(tag);
        QVERIFY(button);
        QTest::mousePress(button, Qt::LeftButton);
        QTest::mouseRelease(button, Qt::LeftButton);
    }
    void tapFloat(int tag)
    {
        PhoneButton *button = delegate.floatButton(tag);
        QVERIFY(button);
        QVERIFY(button->isVisible());
        QTest::mouseClick(button, Qt::LeftButton);
    }
    ViewController *top() const { return delegate.selectedNavigationController()->topViewController(); }
};

// Clicks button index of the alert on top, after checking its texts.
void answerAlert(const QString &message, int index)
{
    AlertView *alert = topAlert();
    QVERIFY(alert);
    QCOMPARE(alert->message(), message);
    QTest::mouseClick(alert->button(index), Qt::LeftButton);
}

QGeoCoordinate east(const QGeoCoordinate &from, double metres)
{
    return from.atDistanceAndAzimuth(metres, 90);
}

} // namespace

class TestAppDelegate : public QObject
{
    Q_OBJECT

    std::unique_ptr<AppTestEnvironment> env;
    // Made before any screen asks the catalogue, whose address is read once.
    MemberServices services;

private Q_SLOTS:
    void init()
    {
        env = std::make_unique<AppTestEnvironment>();
        services.reset();
        // No loyalty service unless a test starts one: the version check fails at once.
        BuildConfig::setLoyaltyBaseUrl(u"http://127.0.0.1:1/"_qs);
    }
    void cleanup()
    {
        BuildConfig::setLoyaltyBaseUrl(QString());
        UrlOpener::setHandler(nullptr);
        env.reset();
    }

    void startUpBuildsStripAndFloatView_data()
    {
        QTest::addColumn<int>("defaultTab");
        QTest::addColumn<int>("shownTab");
        QTest::newRow("home") << 0 << 0;
        QTest::newRow("order") << 3 << 3;
        // The wallet button only opens the member menu.
        QTest::newRow("wallet button") << 4 << 0;
    }
    void startUpBuildsStripAndFloatView()
    {
        QFETCH(int, defaultTab);
        QFETCH(int, shownTab);
        EditionConfig::set(u"DEFAULT_TAB"_qs, defaultTab);
        Shell shell;
        QCOMPARE(shell.tabs()->viewControllers().size(), 5);
        const QStringList stripKeys{u"home"_qs, u"nearby"_qs, u"coupon"_qs, u"order"_qs, u"wallet"_qs};
        for (int tag = 0; tag < 5; ++tag)
            QCOMPARE(shell.delegate.stripButton(tag)->title(PhoneButton::Normal), u'<' + stripKeys[tag] + u'>');
        const QStringList floatKeys{u"favor"_qs, u"member"_qs, u"order"_qs};
        for (int tag = 1; tag <= 3; ++tag)
            QCOMPARE(shell.delegate.floatButton(tag)->title(PhoneButton::Normal), u'<' + floatKeys[tag - 1] + u'>');
        QCOMPARE(shell.shownTab(), shownTab);
        QCOMPARE(shell.delegate.selectedButton(), shell.delegate.stripButton(defaultTab));
        QVERIFY(shell.delegate.stripButton(defaultTab)->isSelected());
        QCOMPARE(shell.floatShown(), defaultTab == 4);

        // The strip lies on the tab bar, which has the strip's size, at the bottom.
        QWidget *bar = shell.tabs()->tabBar();
        QCOMPARE(bar->size(), shell.delegate.tabBarStrip()->size());
        QCOMPARE(bar->geometry().bottom(), PhoneWindow::Height - 1);
        // The float view sits right above it, over the tabs.
        QCOMPARE(shell.delegate.floatView()->geometry().bottom() + 1, bar->y());
    }

    void defaultTabOutsideTheStripIsIgnored()
    {
        EditionConfig::set(u"DEFAULT_TAB"_qs, 9);
        Shell shell;
        QCOMPARE(shell.delegate.selectedButton(), nullptr);
        QCOMPARE(shell.shownTab(), 0);
        QVERIFY(!shell.floatShown());
        shell.press(1);
        QCOMPARE(shell.shownTab(), 1);
    }

    void walletButtonTogglesFloatView()
    {
        Shell shell;
        shell.press(2);
        QCOMPARE(shell.shownTab(), 2);
        shell.press(4);
        QVERIFY(shell.floatShown());
        QCOMPARE(shell.shownTab(), 2);
        shell.press(4);
        QVERIFY(!shell.floatShown());
        QCOMPARE(shell.shownTab(), 2);
        QVERIFY(shell.delegate.stripButton(4)->isSelected());
        QVERIFY(!shell.delegate.stripButton(2)->isSelected());
        QCOMPARE(shell.delegate.prevSelectedButton(), shell.delegate.stripButton(4));
        // Any other strip button closes the menu.
        shell.press(4);
        shell.press(1);
        QVERIFY(!shell.floatShown());
        QCOMPARE(shell.shownTab(), 1);
    }

    void loggedOutActionsLoginThenShowWallet_data()
    {
        QTest::addColumn<int>("floatTag");
        QTest::newRow("favor") << 1;
        // The logout question makes no sense right after a login: the wallet instead.
        QTest::newRow("member") << 2;
    }
    void loggedOutActionsLoginThenShowWallet()
    {
        QFETCH(int, floatTag);
        BuildConfig::setLoyaltyBaseUrl(services.server().baseUrl());
        services.loginAnswers(u"9001"_qs, u"welcome"_qs);
        services.answer(u"mapMemberId"_qs, 200, "77");
        Shell shell;
        shell.press(4);
        shell.tapFloat(floatTag);
        QVERIFY(!shell.floatShown());
        auto *login = qobject_cast<LoginCtrl *>(shell.top());
        QVERIFY(login);
        QCOMPARE(login->delegate(), &shell.delegate);
        QCOMPARE(shell.shownTab(), 0);

        QTest::keyClicks(login->mobileText(), u"alice"_qs);
        QTest::keyClicks(login->passwordText(), u"secret"_qs);
        QTest::mouseClick(login->loginBtn(), Qt::LeftButton);
        QTRY_VERIFY(topAlert());
        QCOMPARE(UserMgr::getMemberId(), 0);
        answerAlert(u"welcome"_qs, 0);
        QCOMPARE(UserMgr::getMemberId(), 77);
        QCOMPARE(UserMgr::getOutMemberId(), u"9001"_qs);
        QCOMPARE(shell.shownTab(), 4);
        QVERIFY(!topAlert());
        QCOMPARE(shell.delegate.floatViewSelectedButton(), shell.delegate.floatButton(1));
        // The login screen left the home stack before the wallet showed.
        auto *home = qobject_cast<NavigationController *>(shell.tabs()->viewControllers().at(0));
        QVERIFY(home);
        QCOMPARE(home->viewControllers().size(), 1);
    }

    void loggedInOrderPushesReservationHistory()
    {
        UserMgr::setMemberId(7);
        Shell shell;
        int made = 0;
        shell.delegate.setReservationHistoryFactory([&made] {
            ++made;
            return new MainCtrl;
        });
        shell.press(1);
        shell.press(4);
        shell.tapFloat(3);
        QCOMPARE(made, 1);
        QCOMPARE(shell.delegate.selectedNavigationController()->viewControllers().size(), 2);
        QCOMPARE(shell.shownTab(), 1);
    }

    void logout_data()
    {
        QTest::addColumn<bool>("throughFavor");
        QTest::addColumn<bool>("rememberMe");
        QTest::addColumn<int>("endTab");
        QTest::newRow("wallet reached through favor ends on coupon") << true << false << 2;
        QTest::newRow("from home stays on home") << false << false << 0;
        QTest::newRow("remember me keeps the account") << false << true << 0;
    }
    void logout()
    {
        QFETCH(bool, throughFavor);
        QFETCH(bool, rememberMe);
        QFETCH(int, endTab);
        UserMgr::setMemberId(42);
        UserMgr::setOutMemberId(u"9001"_qs);
        UserMgr::remember(u"alice"_qs, u"secret"_qs);
        UserMgr::setRememberMeStatus(rememberMe);
        Shell shell;
        if (throughFavor) {
            shell.press(4);
            shell.tapFloat(1);
            QCOMPARE(shell.shownTab(), 4);
        }
        shell.press(4);
        shell.tapFloat(2);
        QVERIFY(topAlert());
        QCOMPARE(topAlert()->title(), u"<warningTitle>"_qs);
        QCOMPARE(topAlert()->buttonTitle(0), u"<cancel>"_qs);
        QCOMPARE(topAlert()->buttonTitle(1), u"<ok>"_qs);
        answerAlert(u"<memberLogoutConfirm>"_qs, 1);
        QCOMPARE(UserMgr::getMemberId(), 0);
        QCOMPARE(UserMgr::getAccount().has_value(), rememberMe);
        if (rememberMe) {
            QCOMPARE(UserMgr::getOutMemberId(), QString());
            QCOMPARE(UserMgr::getPassword().value_or(QString()), u"secret"_qs);
        }
        QCOMPARE(topAlert()->numberOfButtons(), 1);
        answerAlert(u"<logoutDone>"_qs, 0);
        QVERIFY(!topAlert());
        QCOMPARE(shell.shownTab(), endTab);
        QVERIFY(shell.delegate.stripButton(endTab == 2 ? 2 : 4)->isSelected());
    }

    void logoutCancelKeepsMember()
    {
        UserMgr::setMemberId(42);
        Shell shell;
        shell.press(4);
        shell.tapFloat(2);
        answerAlert(u"<memberLogoutConfirm>"_qs, 0);
        QVERIFY(!topAlert());
        QCOMPARE(UserMgr::getMemberId(), 42);
    }

    void activationPostsRefreshAndClearsPosition()
    {
        Shell shell;
        UserMgr::saveCurLocation(116.4, 39.9);
        int refreshes = 0;
        QObject observer;
        NotificationCenter::defaultCenter().addObserver(&observer, u"refresh"_qs, [&refreshes] { ++refreshes; });
        QSignalSpy checked(&shell.delegate, &AppDelegate::versionCheckFinished);
        shell.delegate.applicationDidBecomeActive();
        QCOMPARE(refreshes, 1);
        QCOMPARE(UserMgr::getCurLon(), 0.0);
        QVERIFY(shell.delegate.needNewLocation());
        // The version check fails (no service): nothing shows.
        QVERIFY(checked.wait());
        QCOMPARE(checked.first().at(0).toBool(), false);
        QVERIFY(!topAlert());
    }

    void updatePromptOnlyForGreaterBuild_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<bool>("prompted");
        // This build's CFBundleVersion is "1.0".
        QTest::newRow("equal build") << 200 << QByteArray("{\"iosBuild\":1,\"iosUrl\":\"http://dl.example/app\"}") << false;
        QTest::newRow("older build") << 200 << QByteArray("{\"iosBuild\":0,\"iosUrl\":\"http://dl.example/app\"}") << false;
        QTest::newRow("greater build") << 200 << QByteArray("{\"iosBuild\":2,\"iosUrl\":\"http://dl.example/app\"}") << true;
        QTest::newRow("greater build as text") << 200 << QByteArray("{\"iosBuild\":\"12\",\"iosUrl\":\"http://dl.example/app\"}") << true;
        QTest::newRow("no build") << 200 << QByteArray("{\"iosUrl\":\"http://dl.example/app\"}") << false;
        QTest::newRow("service error") << 500 << QByteArray("{\"iosBuild\":9,\"iosUrl\":\"http://dl.example/app\"}") << false;
    }
    void updatePromptOnlyForGreaterBuild()
    {
        QFETCH(int, status);
        QFETCH(QByteArray, answer);
        QFETCH(bool, prompted);
        ScriptedHttpServer server;
        QVERIFY(server.isListening());
        server.setDefaultAnswer(ScriptedAnswer{status, answer, QByteArrayLiteral("application/json"), false});
        BuildConfig::setLoyaltyBaseUrl(server.baseUrl());
        QList<QUrl> opened;
        UrlOpener::setHandler([&opened](const QUrl &url) {
            opened << url;
            return true;
        });
        Shell shell;
        QSignalSpy checked(&shell.delegate, &AppDelegate::versionCheckFinished);
        // Every activation asks again, and prompts again while the build is old.
        for (int activation = 1; activation <= 2; ++activation) {
            shell.delegate.applicationDidBecomeActive();
            QTRY_COMPARE(checked.size(), activation);
            QCOMPARE(checked.last().at(1).toBool(), prompted);
            QCOMPARE(AlertView::visibleAlerts().size(), prompted ? activation : 0);
        }
        QCOMPARE(server.count(), 2);
        QVERIFY(server.last().segments().contains(u"checkVersion"_qs));
        if (!prompted)
            return;
        AlertView *alert = topAlert();
        QCOMPARE(alert->title(), u"<updateApkTitle>"_qs);
        QCOMPARE(alert->message(), u"<updateApkInfo>"_qs);
        QCOMPARE(alert->buttonTitle(0), u"<later>"_qs);
        QCOMPARE(alert->buttonTitle(1), u"<updateNow>"_qs);
        QTest::mouseClick(alert->button(0), Qt::LeftButton);
        QVERIFY(opened.isEmpty());
        QTest::mouseClick(topAlert()->button(1), Qt::LeftButton);
        QCOMPARE(opened, QList<QUrl>{QUrl(u"http://dl.example/app"_qs)});
    }

    void locationFixRule_data()
    {
        QTest::addColumn<bool>("afterActivation");
        QTest::addColumn<double>("metres");
        QTest::addColumn<bool>("saved");
        // A hair under 10 m, so that rounding in the distance cannot push it over.
        QTest::newRow("10 m is ignored") << false << 10.0 - 1e-6 << false;
        QTest::newRow("10.5 m is saved") << false << 10.5 << true;
        QTest::newRow("first fix after activation, 1 m") << true << 1.0 << true;
    }
    void locationFixRule()
    {
        QFETCH(bool, afterActivation);
        QFETCH(double, metres);
        QFETCH(bool, saved);
        EditionConfig::set(u"FIX_LON"_qs, 0);
        EditionConfig::set(u"FIX_LAT"_qs, 0);
        AppDelegate delegate;
        const QGeoCoordinate start(39.9, 116.4);
        // The first fix of a run is always kept; later ones only when far enough.
        delegate.applicationDidBecomeActive();
        delegate.locationManagerDidUpdateToLocation(start, QGeoCoordinate());
        QVERIFY(!delegate.needNewLocation());
        QCOMPARE(UserMgr::getCurLon(), 116.4);
        if (afterActivation)
            delegate.applicationDidBecomeActive();
        const QGeoCoordinate next = east(start, metres);
        QVERIFY(qAbs(LocationService::distance(next, start) - metres) < 1e-6);
        delegate.locationManagerDidUpdateToLocation(next, start);
        const double expected = saved ? next.longitude() : (afterActivation ? 0.0 : 116.4);
        QVERIFY2(qAbs(UserMgr::getCurLon() - expected) < 1e-9, qPrintable(QString::number(UserMgr::getCurLon(), 'g', 17)));
        QVERIFY(!delegate.needNewLocation());
    }

    void offsetsAreAddedInDecimal_data()
    {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<QString>("sum");
        QTest::newRow("demo longitude") << u"116.404"_qs << u"0.0065"_qs << u"116.4105"_qs;
        QTest::newRow("binary trap") << u"0.1"_qs << u"0.2"_qs << u"0.3"_qs;
        QTest::newRow("negative offset") << u"39.9"_qs << u"-0.006"_qs << u"39.894"_qs;
        QTest::newRow("signs cancel") << u"-1.5"_qs << u"1.5"_qs << u"0"_qs;
        QTest::newRow("carry") << u"999.999"_qs << u"0.001"_qs << u"1000"_qs;
        QTest::newRow("exponent form") << u"1e-05"_qs << u"0.1"_qs << u"0.10001"_qs;
        QTest::newRow("blanks and plus") << u" +2.50 "_qs << u"0.5"_qs << u"3"_qs;
        QTest::newRow("not a number") << u"116.404"_qs << u"east"_qs << QString();
        QTest::newRow("empty offset") << u"116.404"_qs << QString() << QString();
        QTest::newRow("trailing junk") << u"1.2.3"_qs << u"1"_qs << QString();
    }
    void offsetsAreAddedInDecimal()
    {
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(QString, sum);
        const std::optional<QString> got = AppDelegate::addDecimalTexts(a, b);
        QCOMPARE(got.has_value(), !sum.isEmpty());
        if (got)
            QCOMPARE(*got, sum);
    }

    void savedPositionCarriesTheOffset()
    {
        // The demo edition: FIX_LON 0.0065, FIX_LAT 0.006, given as JSON numbers.
        QCOMPARE(AppDelegate::fixedCoordinate(116.404, EditionConfig::text(u"FIX_LON"_qs)), 116.4105);
        // Decimal, not binary, addition: 0.1 + 0.2 in doubles is not 0.3.
        QCOMPARE(AppDelegate::fixedCoordinate(0.1, u"0.2"_qs), 0.3);
        // A broken offset adds nothing rather than losing the position.
        QCOMPARE(AppDelegate::fixedCoordinate(116.404, u"n/a"_qs), 116.404);

        // End to end: a position source, an activation, the saved fix.
        AppDelegate delegate;
        auto *location = new LocationService;
        location->setSource(LocationService::fixedSource(QGeoCoordinate(39.915, 116.404), location));
        delegate.setLocationManager(location);
        delegate.applicationDidBecomeActive();
        QVERIFY(location->isUpdating());
        QCOMPARE(location->desiredAccuracy(), 10.0);
        QTRY_COMPARE(UserMgr::getCurLon(), 116.4105);
        QCOMPARE(UserMgr::getCurLat(), 39.921);

        // Code 0: the position is only momentarily unknown.
        delegate.locationManagerDidFailWithError(LocationService::PositionUnknown);
        QVERIFY(location->isUpdating());
        delegate.locationManagerDidFailWithError(LocationService::AccessDenied);
        QVERIFY(!location->isUpdating());
        delegate.applicationDidBecomeActive();
        QVERIFY(location->isUpdating());
        delegate.applicationWillResignActive();
        QVERIFY(!location->isUpdating());
    }

    void orderTabIsAPicture()
    {
        Shell shell;
        shell.press(3);
        auto *order = shell.top();
        QCOMPARE(order->title(), u"<order>"_qs);
        auto *image = order->view()->findChild<PhoneImageView *>(u"releaseImage"_qs);
        QVERIFY(image);
        QCOMPARE(image->geometry(), QRect(0, 0, 320, 329));
        QCOMPARE(image->imageName(), u"release_001.png"_qs);
        QCOMPARE(image->contentMode(), PhoneImageView::ContentMode::AspectFit);
        auto *list = order->view()->findChild<TableView *>(u"tView"_qs);
        QVERIFY(list);
        QVERIFY(list->isHidden());
        QCOMPARE(list->numberOfSections(), 0);
        QVERIFY(shell.delegate.handleOpenURL(QUrl(u"loyalty://anything"_qs)));
    }
};

QTEST_MAIN(TestAppDelegate)
#include "tst_appdelegate.moc"
