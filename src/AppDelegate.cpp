#include "AppDelegate.h"

#include "Application.h"
#include "CustomNavigationBar.h"
#include "EditionConfig.h"
#include "Images.h"
#include "InnerRequest.h"
#include "LayoutLoader.h"
#include "LocationService.h"
#include "LoginCtrl.h"
#include "MainCouponCtrl.h"
#include "MainIndexCtrl.h"
#include "MainNearByCtrl.h"
#include "MainOrderCtrl.h"
#include "MainWalletCtrl.h"
#include "MyAlertView.h"
#include "NavigationController.h"
#include "NotificationCenter.h"
#include "NumberRule.h"
#include "PhoneButton.h"
#include "PhoneWindow.h"
#include "TabBarController.h"
#include "Texts.h"
#include "UILabelStyle.h"
#include "UrlOpener.h"
#include "UserMgr.h"
#include "Views.h"

#include <QLocale>

#include <algorithm>

namespace {

constexpr double LocationAccuracyMetres = 10; // nearest ten metres
constexpr double MinimumMoveMetres = 10;

// Title keys of the strip's buttons by tag, then of the float view's (tag 1 first).
const char16_t *const StripTitleKeys[] = {u"home", u"nearby", u"coupon", u"order", u"wallet"};
const char16_t *const FloatTitleKeys[] = {u"favor", u"member", u"order"};

QList<PhoneButton *> buttonsOf(const QWidget *view)
{
    QList<PhoneButton *> buttons;
    if (!view)
        return buttons;
    for (QWidget *child : Views::subviews(view)) {
        if (auto *button = qobject_cast<PhoneButton *>(child))
            buttons.append(button);
    }
    return buttons;
}

PhoneButton *buttonWithTag(const QWidget *view, int tag)
{
    for (PhoneButton *button : buttonsOf(view)) {
        if (Views::tag(button) == tag)
            return button;
    }
    return nullptr;
}

// A decimal number as digits and a scale: value = digits x 10^-scale.
struct Decimal
{
    bool negative = false;
    QString digits; // no sign, no point, at least one digit
    int scale = 0;
};

std::optional<Decimal> parseDecimal(QStringView text)
{
    text = text.trimmed();
    Decimal d;
    qsizetype i = 0;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        d.negative = text[i++] == u'-';
    QString whole;
    QString fraction;
    while (i < text.size() && text[i].isDigit() && text[i].unicode() < 128)
        whole.append(text[i++]);
    if (i < text.size() && text[i] == u'.') {
        ++i;
        while (i < text.size() && text[i].isDigit() && text[i].unicode() < 128)
            fraction.append(text[i++]);
    }
    if (whole.isEmpty() && fraction.isEmpty())
        return std::nullopt;
    int exponent = 0;
    if (i < text.size() && (text[i] == u'e' || text[i] == u'E')) {
        ++i;
        bool negativeExponent = false;
        if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
            negativeExponent = text[i++] == u'-';
        QString expDigits;
        while (i < text.size() && text[i].isDigit() && text[i].unicode() < 128)
            expDigits.append(text[i++]);
        // Beyond this a double holds nothing anyway.
        if (expDigits.isEmpty() || expDigits.size() > 3)
            return std::nullopt;
        exponent = expDigits.toInt() * (negativeExponent ? -1 : 1);
    }
    if (i != text.size())
        return std::nullopt;
    d.digits = whole + fraction;
    d.scale = int(fraction.size()) - exponent;
    if (d.scale < 0) {
        d.digits.append(QString(-d.scale, u'0'));
        d.scale = 0;
    }
    return d;
}

int compareMagnitude(const QString &a, const QString &b)
{
    // Same length (aligned) digit strings compare as text.
    return QString::compare(a, b);
}

QString addDigits(const QString &a, const QString &b)
{
    QString out(a.size() + 1, u'0');
    int carry = 0;
    for (qsizetype i = a.size() - 1; i >= 0; --i) {
        const int sum = (a[i].unicode() - u'0') + (b[i].unicode() - u'0') + carry;
        out[i + 1] = QChar(u'0' + sum % 10);
        carry = sum / 10;
    }
    out[0] = QChar(u'0' + carry);
    return out;
}

// a >= b, same length.
QString subtractDigits(const QString &a, const QString &b)
{
    QString out(a.size(), u'0');
    int borrow = 0;
    for (qsizetype i = a.size() - 1; i >= 0; --i) {
        int diff = (a[i].unicode() - u'0') - (b[i].unicode() - u'0') - borrow;
        borrow = diff < 0 ? 1 : 0;
        if (diff < 0)
            diff += 10;
        out[i] = QChar(u'0' + diff);
    }
    return out;
}

} // namespace

AppDelegate::AppDelegate(QObject *parent) : QObject(parent)
{
    m_loginFactory = [](LoginCtrlDelegate *delegate) -> MainCtrl * {
        auto *login = new LoginCtrl;
        login->setDelegate(delegate);
        return login;
    };
    m_historyFactory = []() -> MainCtrl * {
        // The reservation history is not built yet: an empty screen with its title.
        auto *screen = new MainCtrl;
        screen->setTitle(Texts::get(u"reservationHistory"_qs));
        screen->setHidesBottomBarWhenPushed(true);
        return screen;
    };
}

AppDelegate::~AppDelegate()
{
    delete m_window.data();
    delete m_locationManager;
}

void AppDelegate::connectApplicationEvents()
{
    ApplicationEvents &events = ApplicationEvents::instance();
    connect(&events, &ApplicationEvents::didFinishLaunching, this, [this] { didFinishLaunchingWithOptions(); });
    connect(&events, &ApplicationEvents::didBecomeActive, this, &AppDelegate::applicationDidBecomeActive);
    connect(&events, &ApplicationEvents::willResignActive, this, &AppDelegate::applicationWillResignActive);
}

void AppDelegate::setLocationManager(LocationService *manager)
{
    if (manager == m_locationManager)
        return;
    delete m_locationManager;
    m_locationManager = manager;
    if (!manager)
        return;
    connect(manager, &LocationService::didUpdate, this, &AppDelegate::locationManagerDidUpdateToLocation);
    connect(manager, &LocationService::didFail, this, &AppDelegate::locationManagerDidFailWithError);
}

void AppDelegate::makeWindow()
{
    // What the main interface file holds: the window over a tab controller
    // with one navigation stack per tab.
    m_window = new PhoneWindow;
    m_tabBarController = new TabBarController;
    QList<ViewController *> stacks;
    const QList<ViewController *> roots{new MainIndexCtrl, new MainNearByCtrl, new MainCouponCtrl,
                                        new MainOrderCtrl, new MainWalletCtrl};
    for (ViewController *root : roots)
        stacks.append(new NavigationController(root, new CustomNavigationBar));
    m_tabBarController->setViewControllers(stacks);
    m_window->setRootViewController(m_tabBarController);
}

bool AppDelegate::didFinishLaunchingWithOptions()
{
    if (!m_window)
        makeWindow();
    // 1. The location client.
    if (!m_locationManager)
        setLocationManager(new LocationService);
    // 2. The map service: this build has no map component (the nearby map
    //    draws its own view), so there is no manager to start and nothing
    //    that can fail here.
    // 3.-7. The tab strip and the float view.
    loadTabBarView();
    return true;
}

void AppDelegate::loadTabBarView()
{
    QWidget *form = LayoutLoader::load(u"TabBarView"_qs);
    if (!form)
        return;
    const QList<QWidget *> topLevel = Views::subviews(form);
    QWidget *strip = topLevel.isEmpty() ? nullptr : topLevel.last();
    QWidget *floatView = form->findChild<QWidget *>(u"floatView"_qs, Qt::FindDirectChildrenOnly);
    if (!floatView && topLevel.size() > 1)
        floatView = topLevel.first();
    const QRect floatGeometry = floatView ? floatView->geometry() : QRect();
    m_floatView = floatView;
    const int formHeight = form->height();

    // The float view starts hidden, before the default tab's press may show it.
    if (floatView)
        floatView->hide();

    if (strip) {
        m_strip = strip;
        for (PhoneButton *button : buttonsOf(strip)) {
            connect(button, &PhoneButton::pressed, this, [this, button] { touchButton(button); });
            button->setBackgroundImage(StretchableImage{Images::named(u"tab_selected.png"_qs)}, PhoneButton::Selected);
            const int tag = Views::tag(button);
            if (tag >= 0 && tag < int(std::size(StripTitleKeys)))
                UILabelStyle::ButtonTextByMiddleSize(button, Texts::get(QString::fromUtf16(StripTitleKeys[tag])));
        }
        // 4. The strip lies on the tab bar, which takes the strip's size.
        QWidget *tabBar = m_tabBarController->tabBar();
        const QSize size = strip->size();
        strip->setParent(tabBar);
        strip->move(0, 0);
        strip->show();
        tabBar->setGeometry(m_window->x(), m_window->height() - size.height(), size.width(), size.height());
        // 5. The default tab, pressed like a finger would.
        const QList<QWidget *> children = Views::subviews(strip);
        const int defaultTab = int(NumberRule::readInteger(EditionConfig::text(u"DEFAULT_TAB"_qs)));
        if (defaultTab >= 0 && defaultTab < children.size()) {
            if (auto *button = qobject_cast<PhoneButton *>(children.at(defaultTab)))
                touchButton(button);
        }
    }

    if (floatView) {
        // 6. Titles by tag.
        for (PhoneButton *button : buttonsOf(floatView)) {
            const int tag = Views::tag(button);
            if (tag >= 1 && tag <= int(std::size(FloatTitleKeys)))
                UILabelStyle::ButtonTextByMiddleSize(button,
                                                     Texts::get(QString::fromUtf16(FloatTitleKeys[tag - 1])));
            connect(button, &PhoneButton::clicked, this, [this, button] { floatViewBtnClick(button); });
        }
        // 7. Above the tabs, keeping its place over the strip.
        QWidget *tabsView = m_tabBarController->view();
        // Shown only when the default tab's press opened it.
        const bool shown = !floatView->isHidden();
        floatView->setParent(tabsView);
        floatView->setVisible(shown);
        floatView->setGeometry(floatGeometry.x(), tabsView->height() - (formHeight - floatGeometry.y()),
                               floatGeometry.width(), floatGeometry.height());
        floatView->raise();
    }
    delete form;
}

PhoneButton *AppDelegate::stripButton(int tag) const
{
    return buttonWithTag(m_strip, tag);
}

PhoneButton *AppDelegate::floatButton(int tag) const
{
    return buttonWithTag(m_floatView, tag);
}

NavigationController *AppDelegate::selectedNavigationController() const
{
    return m_tabBarController ? qobject_cast<NavigationController *>(m_tabBarController->selectedViewController())
                              : nullptr;
}

void AppDelegate::touchButton(PhoneButton *button)
{
    if (!button)
        return;
    if (m_selectedButton) {
        m_prevSelectedButton = m_selectedButton;
        m_selectedButton->setSelected(false);
        m_selectedButton = nullptr;
    }
    m_selectedButton = button;
    button->setSelected(true);
    const int tag = Views::tag(button);
    if (tag == 4) {
        if (m_floatView) {
            m_floatView->setVisible(m_floatView->isHidden());
            m_floatView->raise();
        }
        return;
    }
    if (m_floatView)
        m_floatView->hide();
    if (m_tabBarController)
        m_tabBarController->setSelectedIndex(tag);
}

void AppDelegate::floatViewBtnClick(PhoneButton *button)
{
    if (m_floatView)
        m_floatView->hide();
    m_floatViewSelectedButton = button;
    if (!button)
        return;
    NavigationController *nav = selectedNavigationController();
    if (UserMgr::getMemberId() <= 0) {
        if (nav && m_loginFactory) {
            if (MainCtrl *login = m_loginFactory(this))
                nav->pushViewController(login, true);
        }
        return;
    }
    switch (Views::tag(button)) {
    case 3:
        if (nav && m_historyFactory) {
            if (MainCtrl *history = m_historyFactory())
                nav->pushViewController(history, true);
        }
        break;
    case 2:
        logout();
        break;
    case 1:
        if (m_selectedButton && m_tabBarController)
            m_tabBarController->setSelectedIndex(Views::tag(m_selectedButton));
        break;
    default:
        break;
    }
}

void AppDelegate::logout()
{
    auto *confirm = new MyAlertView(Texts::get(u"warningTitle"_qs), Texts::get(u"memberLogoutConfirm"_qs));
    confirm->addButtonWithTitle(Texts::get(u"cancel"_qs), [](MyAlertView *, int) {});
    QPointer<AppDelegate> self(this);
    confirm->addButtonWithTitle(Texts::get(u"ok"_qs), [self](MyAlertView *, int) {
        if (UserMgr::getRememberMe()) {
            // The remembered account and password stay for the next login.
            UserMgr::setMemberId(0);
            UserMgr::setOutMemberId(QString());
        } else {
            UserMgr::unremember();
        }
        if (self)
            self->showLogoutDone();
    });
    confirm->show();
}

void AppDelegate::showLogoutDone()
{
    auto *done = new MyAlertView(Texts::get(u"warningTitle"_qs), Texts::get(u"logoutDone"_qs));
    QPointer<AppDelegate> self(this);
    done->addButtonWithTitle(Texts::get(u"ok"_qs), [self](MyAlertView *, int) {
        // Back from the wallet (reached through "favor"): the coupon tab.
        if (self && self->m_prevSelectedButton && Views::tag(self->m_prevSelectedButton) == 4)
            self->touchButton(self->stripButton(2));
    });
    done->show();
}

void AppDelegate::responFinsihed(bool success)
{
    if (!success)
        return;
    if (m_floatViewSelectedButton && Views::tag(m_floatViewSelectedButton) == 2)
        m_floatViewSelectedButton = floatButton(1);
    floatViewBtnClick(m_floatViewSelectedButton);
}

void AppDelegate::applicationDidBecomeActive()
{
    m_needNewLocation = true;
    UserMgr::clearCurLocation();
    if (m_locationManager && m_locationManager->servicesEnabled()) {
        m_locationManager->setDesiredAccuracy(LocationAccuracyMetres);
        m_locationManager->startUpdating();
    }
    NotificationCenter::defaultCenter().post(u"refresh"_qs);
    QPointer<AppDelegate> self(this);
    InnerRequest::checkVersion([self](bool ok, Field build, Field url) {
        if (self)
            self->onVersionChecked(ok, build.toId(), url.text());
    });
}

void AppDelegate::onVersionChecked(bool ok, qint64 latestBuild, const QString &url)
{
    if (!ok) {
        Q_EMIT versionCheckFinished(false, false);
        return;
    }
    const qint64 thisBuild = NumberRule::readInteger(EditionConfig::text(u"CFBundleVersion"_qs));
    if (thisBuild >= latestBuild) {
        Q_EMIT versionCheckFinished(true, false);
        return;
    }
    auto *alert = new MyAlertView(Texts::get(u"updateApkTitle"_qs), Texts::get(u"updateApkInfo"_qs));
    alert->addButtonWithTitle(Texts::get(u"later"_qs), [](MyAlertView *, int) {});
    alert->addButtonWithTitle(Texts::get(u"updateNow"_qs), [url](MyAlertView *, int) { UrlOpener::open(QUrl(url)); });
    alert->show();
    Q_EMIT versionCheckFinished(true, true);
}

void AppDelegate::applicationWillResignActive()
{
    if (m_locationManager)
        m_locationManager->stopUpdating();
}

void AppDelegate::locationManagerDidUpdateToLocation(const QGeoCoordinate &fix, const QGeoCoordinate &previous)
{
    // Without a previous fix the move counts as large.
    const bool moved = !previous.isValid() || LocationService::distance(fix, previous) > MinimumMoveMetres;
    if (!m_needNewLocation && !moved)
        return;
    const double longitude = fixedCoordinate(fix.longitude(), EditionConfig::text(u"FIX_LON"_qs));
    const double latitude = fixedCoordinate(fix.latitude(), EditionConfig::text(u"FIX_LAT"_qs));
    UserMgr::saveCurLocation(longitude, latitude);
    m_needNewLocation = false;
}

void AppDelegate::locationManagerDidFailWithError(int code)
{
    // Code 0: the position is only momentarily unknown.
    if (code != 0 && m_locationManager)
        m_locationManager->stopUpdating();
}

double AppDelegate::fixedCoordinate(double measured, const QString &offsetText)
{
    const QString measuredText = QString::number(measured, 'g', QLocale::FloatingPointShortest);
    const std::optional<QString> sum = addDecimalTexts(measuredText, offsetText);
    if (!sum)
        return measured;
    bool ok = false;
    const double value = sum->toDouble(&ok);
    return ok ? value : measured;
}

std::optional<QString> AppDelegate::addDecimalTexts(QStringView a, QStringView b)
{
    std::optional<Decimal> x = parseDecimal(a);
    std::optional<Decimal> y = parseDecimal(b);
    if (!x || !y)
        return std::nullopt;
    // Align the scales, then the lengths.
    const int scale = std::max(x->scale, y->scale);
    for (Decimal *d : {&*x, &*y}) {
        d->digits.append(QString(scale - d->scale, u'0'));
        d->scale = scale;
    }
    const qsizetype length = std::max(x->digits.size(), y->digits.size());
    for (Decimal *d : {&*x, &*y})
        d->digits.prepend(QString(length - d->digits.size(), u'0'));

    bool negative = false;
    QString digits;
    if (x->negative == y->negative) {
        digits = addDigits(x->digits, y->digits);
        negative = x->negative;
    } else if (compareMagnitude(x->digits, y->digits) >= 0) {
        digits = subtractDigits(x->digits, y->digits);
        negative = x->negative;
    } else {
        digits = subtractDigits(y->digits, x->digits);
        negative = y->negative;
    }
    // Text form: no superfluous zeros on either side of the point.
    QString whole = digits.left(digits.size() - scale);
    QString fraction = digits.right(scale);
    while (whole.size() > 1 && whole.startsWith(u'0'))
        whole.remove(0, 1);
    if (whole.isEmpty())
        whole = u"0"_qs;
    while (fraction.endsWith(u'0'))
        fraction.chop(1);
    QString out = whole;
    if (!fraction.isEmpty())
        out += u'.' + fraction;
    if (negative && out != u"0"_qs)
        out.prepend(u'-');
    return out;
}
