#pragma once

#include "LoginCtrlDelegate.h"

#include <QGeoCoordinate>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringView>
#include <QUrl>

#include <functional>
#include <optional>

class LocationService;
class MainCtrl;
class MyAlertView;
class NavigationController;
#include "PhoneButton.h"
#include "PhoneWindow.h"
#include "TabBarController.h"
class QWidget;

// The root of the running application: builds the window with the five tab
// stacks, the tab strip and the member menu over them (the float view),
// keeps the device position current and checks for a newer build on every
// activation. Lives as long as the process.
class AppDelegate : public QObject, public LoginCtrlDelegate
{
    Q_OBJECT
public:
    // The screens the float view opens; tests and later screens replace them.
    using LoginFactory = std::function<MainCtrl *(LoginCtrlDelegate *delegate)>;
    using ScreenFactory = std::function<MainCtrl *()>;

    explicit AppDelegate(QObject *parent = nullptr);
    ~AppDelegate() override;

    // From now on the application's launch and activity events drive this delegate.
    void connectApplicationEvents();

    // Platform events.
    bool didFinishLaunchingWithOptions();
    void applicationDidBecomeActive();
    void applicationWillResignActive();
    void applicationDidEnterBackground() {}
    void applicationWillEnterForeground() {}
    void applicationWillTerminate() {}
    bool handleOpenURL(const QUrl &url)
    {
        Q_UNUSED(url);
        return true;
    }
    // previous is invalid for the first fix of a run of updates.
    void locationManagerDidUpdateToLocation(const QGeoCoordinate &fix, const QGeoCoordinate &previous);
    void locationManagerDidFailWithError(int code);

    // The tab strip's touch-down, the float view's taps, the login hand-off.
    void touchButton(PhoneButton *button);
    void floatViewBtnClick(PhoneButton *button);
    void responFinsihed(bool success) override;

    PhoneWindow *window() const { return m_window; }
    TabBarController *tabBarController() const { return m_tabBarController; }
    QWidget *floatView() const { return m_floatView; }
    QWidget *tabBarStrip() const { return m_strip; }
    // Made at launch when none was given before.
    LocationService *locationManager() const { return m_locationManager; }
    // Takes ownership; for a recorded or fixed position source.
    void setLocationManager(LocationService *manager);

    PhoneButton *selectedButton() const { return m_selectedButton; }
    PhoneButton *prevSelectedButton() const { return m_prevSelectedButton; }
    PhoneButton *floatViewSelectedButton() const { return m_floatViewSelectedButton; }
    bool needNewLocation() const { return m_needNewLocation; }
    // The strip's or the float view's button with a tag; null when none.
    PhoneButton *stripButton(int tag) const;
    PhoneButton *floatButton(int tag) const;
    // The selected tab's stack.
    NavigationController *selectedNavigationController() const;

    void setLoginFactory(LoginFactory factory) { m_loginFactory = std::move(factory); }
    void setReservationHistoryFactory(ScreenFactory factory) { m_historyFactory = std::move(factory); }

    // Asks whether to log out; "ok" logs out and confirms.
    void logout();
    // The notice after a logout; its "ok" leaves the wallet for the coupon tab.
    void showLogoutDone();

    // The saved coordinate: measured plus the configured offset, added as
    // decimal texts. A missing or non-numeric offset adds nothing.
    static double fixedCoordinate(double measured, const QString &offsetText);
    // The exact decimal sum of two decimal texts ("116.404" + "0.0065" is
    // "116.4105"); none when either is not a decimal number.
    static std::optional<QString> addDecimalTexts(QStringView a, QStringView b);

Q_SIGNALS:
    // After each version check answer; prompted when the update alert showed.
    void versionCheckFinished(bool ok, bool prompted);

private:
    void makeWindow();
    void loadTabBarView();
    void onVersionChecked(bool ok, qint64 latestBuild, const QString &url);

    QPointer<PhoneWindow> m_window;
    QPointer<TabBarController> m_tabBarController;
    QPointer<QWidget> m_floatView;
    QPointer<QWidget> m_strip;
    LocationService *m_locationManager = nullptr;
    QPointer<PhoneButton> m_selectedButton;
    QPointer<PhoneButton> m_prevSelectedButton;
    QPointer<PhoneButton> m_floatViewSelectedButton;
    bool m_needNewLocation = false;
    LoginFactory m_loginFactory;
    ScreenFactory m_historyFactory;
};
