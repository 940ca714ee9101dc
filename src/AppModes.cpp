#include "AppModes.h"

#include "AlertView.h"
#include "Animations.h"
#include "AppDelegate.h"
#include "AppPaths.h"
#include "Application.h"
#include "CustomNavigationBar.h"
#include "EditionConfig.h"
#include "LaunchOptions.h"
#include "QRScannerView.h"
#include "LocationService.h"
#include "NavigationController.h"
#include "PhoneButton.h"
#include "PhoneWindow.h"
#include "ScreenTools.h"
#include "TourData.h"
#include "TourMemberScreens.h"
#include "TourStoreList.h"
#include "Strings.h"
#include "StyledViews.h"
#include "TabBarController.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QLocale>
#include <QPixmap>
#include <QTextStream>
#include <QTimer>

namespace {

// Long enough for the version check to come back from a slow service.
constexpr int SelfTestTimeoutMs = 15000;

QString tourDirFor(const QString &dataDir)
{
    QString base = dataDir;
    if (base.isEmpty())
        base = qEnvironmentVariable("LOYALTY_DATA_DIR");
    if (base.isEmpty())
        return QDir(QDir::tempPath()).filePath(u"loyalty-screenshots"_qs);
    return QDir(base).filePath(u"screenshots"_qs);
}

void installShell()
{
    StyledViews::registerLayoutClasses();
    ScreenTools::installMessageHandler();
    CustomNavigationBar::install();
}

// Lets pending layout and paint work run before a picture is taken.
void settle()
{
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents);
}

bool shoot(QWidget *window, const QString &path, QStringList &written)
{
    settle();
    if (!window->grab().save(path, "PNG"))
        return false;
    written << path;
    return true;
}

AlertView *topAlert()
{
    const QList<AlertView *> alerts = AlertView::visibleAlerts();
    return alerts.isEmpty() ? nullptr : alerts.last();
}

} // namespace

AppModes AppModes::parse(const QStringList &arguments)
{
    AppModes modes;
    const LaunchOptions launch = LaunchOptions::parse(arguments);
    modes.configFile = launch.configFile;
    modes.nmeaFile = launch.nmeaFile;
    modes.error = launch.error;
    modes.scanImage = QRScannerView::scanImageOption(arguments, qEnvironmentVariable("LOYALTY_SCAN_IMAGE"));
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &arg = arguments.at(i);
        if (arg == u"--self-test"_qs) {
            modes.selfTest = true;
            continue;
        }
        for (auto [name, target] : {std::pair{u"--data-dir"_qs, &modes.dataDir},
                                    std::pair{u"--screenshots"_qs, &modes.screenshotsDir}}) {
            if (arg == name) {
                if (i + 1 < arguments.size())
                    *target = arguments.at(++i);
                else if (modes.error.isEmpty())
                    modes.error = QStringLiteral("%1 needs a folder").arg(name);
            } else if (arg.startsWith(name + u'=')) {
                *target = arg.mid(name.size() + 1);
            }
        }
    }
    return modes;
}

bool AppModes::displayAvailable()
{
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        || !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

QString AppModes::prepareEnvironment()
{
    QString notice;
    if (screenshotsDir.isEmpty() && !selfTest && !displayAvailable()) {
        m_tourInstead = true;
        screenshotsDir = tourDirFor(dataDir);
        notice = QStringLiteral("No display (DISPLAY and WAYLAND_DISPLAY are unset): writing the screenshot "
                                "tour to %1 instead.")
                     .arg(screenshotsDir);
    }
    if ((!screenshotsDir.isEmpty() || selfTest) && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    return notice;
}

int AppModes::exec()
{
    QTextStream err(stderr);
    if (!dataDir.isEmpty()) {
        if (!QDir().mkpath(dataDir)) {
            err << "cannot use the data folder " << dataDir << '\n';
            return 2;
        }
        AppPaths::setDataDir(dataDir);
    }
    if (!configFile.isEmpty() && !EditionConfig::loadFile(configFile)) {
        err << "cannot read the configuration " << configFile << '\n';
        return 2;
    }
    installShell();
    QRScannerView::setScanImagePath(scanImage);

    if (!screenshotsDir.isEmpty()) {
        const QStringList files = writeScreenshots(screenshotsDir);
        if (files.isEmpty()) {
            err << "no screenshots written to " << screenshotsDir << '\n';
            return 1;
        }
        QTextStream(stdout) << files.size() << " screenshots in " << QDir(screenshotsDir).absolutePath() << '\n';
        return 0;
    }
    if (selfTest)
        return runSelfTest();

    Strings::install();
    AppDelegate delegate;
    if (!nmeaFile.isEmpty()) {
        auto *location = new LocationService;
        QGeoPositionInfoSource *source = LocationService::nmeaFileSource(nmeaFile, location);
        if (!source) {
            err << "cannot read the positions " << nmeaFile << '\n';
            delete location;
            return 2;
        }
        location->setSource(source);
        delegate.setLocationManager(location);
    }
    delegate.connectApplicationEvents();
    ApplicationEvents::instance().launch();
    if (PhoneWindow *window = delegate.window()) {
        window->show();
        window->activateWindow();
    }
    return QApplication::exec();
}

int AppModes::runSelfTest()
{
    QTextStream out(stdout);
    Strings::install();
    AppDelegate delegate;
    bool answered = false;
    QEventLoop loop;
    QObject::connect(&delegate, &AppDelegate::versionCheckFinished, &loop, [&](bool ok, bool prompted) {
        answered = true;
        out << "version check: " << (ok ? "answered" : "failed") << (prompted ? ", update offered" : "") << '\n';
        loop.quit();
    });
    if (!delegate.didFinishLaunchingWithOptions()) {
        out << "self-test: launch failed\n";
        return 1;
    }
    delegate.window()->show();
    delegate.applicationDidBecomeActive();

    QStringList faults;
    TabBarController *tabs = delegate.tabBarController();
    if (!tabs || tabs->viewControllers().size() != 5)
        faults << u"the five tabs are missing"_qs;
    for (int tag = 0; tag <= 4; ++tag) {
        if (!delegate.stripButton(tag))
            faults << QStringLiteral("no strip button %1").arg(tag);
    }
    for (int tag = 1; tag <= 3; ++tag) {
        if (!delegate.floatButton(tag))
            faults << QStringLiteral("no float view button %1").arg(tag);
    }
    const int defaultTab = EditionConfig::value(u"DEFAULT_TAB"_qs).toInt();
    if (tabs && tabs->selectedIndex() != defaultTab)
        faults << QStringLiteral("tab %1 selected instead of %2").arg(tabs->selectedIndex()).arg(defaultTab);
    if (delegate.floatView() && delegate.floatView()->isVisible())
        faults << u"the float view shows at start"_qs;

    if (!answered) {
        QTimer::singleShot(SelfTestTimeoutMs, &loop, &QEventLoop::quit);
        loop.exec();
    }
    if (!answered)
        out << "version check: no answer in time\n";
    for (const QString &fault : faults)
        out << "self-test: " << fault << '\n';
    out << (faults.isEmpty() ? "self-test passed" : "self-test failed") << '\n';
    return faults.isEmpty() ? 0 : 1;
}

QStringList AppModes::writeScreenshots(const QString &dir)
{
    QStringList written;
    if (!QDir().mkpath(dir))
        return written;
    const bool animations = Animations::enabled();
    Animations::setEnabled(false);
    installShell();
    const TourData::Sandbox sandbox;

    for (const QString &language : Strings::languages()) {
        Strings::install(QLocale(language));
        AppDelegate delegate;
        delegate.didFinishLaunchingWithOptions();
        PhoneWindow *window = delegate.window();
        window->show();
        const auto file = [&](const QString &name) {
            return QDir(dir).filePath(QStringLiteral("%1-%2.png").arg(language, name));
        };
        const QStringList tabNames{u"1-home"_qs, u"2-nearby"_qs, u"3-coupon"_qs, u"4-order"_qs};
        bool ok = true;
        for (int tag = 0; tag < 4 && ok; ++tag) {
            delegate.touchButton(delegate.stripButton(tag));
            ok = shoot(window, file(tabNames.at(tag)), written);
        }
        // The wallet tab as "favor" shows it, then the member menu over it.
        delegate.touchButton(delegate.stripButton(4));
        delegate.tabBarController()->setSelectedIndex(4);
        delegate.floatView()->hide();
        ok = ok && shoot(window, file(u"5-wallet"_qs), written);
        delegate.touchButton(delegate.stripButton(4));
        ok = ok && shoot(window, file(u"6-floatview"_qs), written);

        // The two alerts of logout.
        delegate.floatView()->hide();
        delegate.logout();
        ok = ok && shoot(window, file(u"7-logout-confirm"_qs), written);
        // Cancelled: the tour leaves the member's session alone.
        if (AlertView *confirm = topAlert())
            confirm->button(0)->click();
        delegate.showLogoutDone();
        ok = ok && shoot(window, file(u"8-logout-done"_qs), written);
        if (AlertView *done = topAlert())
            done->button(0)->click();

        // A list of store rows on the home stack.
        delegate.touchButton(delegate.stripButton(0));
        if (auto *nav = delegate.selectedNavigationController()) {
            nav->pushViewController(new TourStoreList, false);
            ok = ok && shoot(window, file(u"9-store-rows"_qs), written);
            nav->popViewControllerAnimated(false);
        }
        ok = ok && TourMemberScreens::run(delegate, [&](const QString &name) {
            return shoot(window, file(name), written);
        });
        settle();
        if (!ok)
            break;
    }
    Strings::install();
    Animations::setEnabled(animations);
    return written;
}
