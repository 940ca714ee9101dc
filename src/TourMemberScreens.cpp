#include "TourMemberScreens.h"

#include "AppDelegate.h"
#include "LoginCtrl.h"
#include "MainWalletCtrl.h"
#include "NavigationController.h"
#include "PointCardDetailCtrl.h"
#include "QRScannerView.h"
#include "RegisterCtrl.h"
#include "TabBarController.h"
#include "TourData.h"
#include "UserMgr.h"

#include <QEventLoop>
#include <QTimer>

namespace TourMemberScreens {

namespace {

constexpr int PictureWaitMs = 5000;

// Opens the card on the stack and waits until its picture and grid are drawn.
PointCardDetailCtrl *openCard(NavigationController *nav, TourData::CardState state)
{
    auto *screen = new PointCardDetailCtrl;
    screen->setPointCard(TourData::card(state));
    screen->setStore(TourData::store());
    QEventLoop loop;
    bool shown = false;
    QObject::connect(screen, &PointCardDetailCtrl::detailPictureShown, &loop, [&] {
        shown = true;
        loop.quit();
    });
    nav->pushViewController(screen, false);
    if (!shown) {
        QTimer::singleShot(PictureWaitMs, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return screen;
}

} // namespace

bool run(AppDelegate &delegate, const std::function<bool(const QString &name)> &shoot)
{
    // The wallet tab as the strip selects it, without the member menu.
    TabBarController *tabs = delegate.tabBarController();
    delegate.touchButton(delegate.stripButton(4));
    tabs->setSelectedIndex(4);
    if (QWidget *menu = delegate.floatView())
        menu->hide();
    auto *nav = qobject_cast<NavigationController *>(tabs->viewControllers().value(4));
    auto *wallet = nav ? qobject_cast<MainWalletCtrl *>(nav->viewControllers().value(0)) : nullptr;
    if (!wallet)
        return false;
    nav->popToRootViewControllerAnimated(false);

    const int tagBefore = MainWalletCtrl::btnTag();
    bool ok = true;
    const QString lists[] = {u"10-wallet-cards"_qs, u"11-wallet-stores"_qs, u"12-wallet-coupons"_qs};
    for (int tag = MainWalletCtrl::PointCardTab; tag <= MainWalletCtrl::CouponTab && ok; ++tag) {
        wallet->btnTouchDown(wallet->tabButton(tag));
        ok = shoot(lists[tag - 1]);
    }
    MainWalletCtrl::setBtnTag(tagBefore);

    const std::pair<TourData::CardState, QString> cards[] = {
        {TourData::CardState::Empty, u"13-pointcard-empty"_qs},
        {TourData::CardState::PartFilled, u"14-pointcard-part"_qs},
        {TourData::CardState::Full, u"15-pointcard-full"_qs},
        {TourData::CardState::Exchanged, u"16-pointcard-exchanged"_qs},
    };
    for (const auto &[state, name] : cards) {
        if (!ok)
            break;
        openCard(nav, state);
        ok = shoot(name);
        nav->popViewControllerAnimated(false);
    }

    if (ok) {
        // Without a camera the view says so and offers a picture instead.
        const QString scanImage = QRScannerView::scanImagePath();
        QRScannerView::setScanImagePath(QString());
        PointCardDetailCtrl *screen = openCard(nav, TourData::CardState::PartFilled);
        screen->scanQRCode();
        ok = screen->scanner() && shoot(u"17-scanner"_qs);
        if (screen->scanner())
            screen->didCancelScan();
        nav->popViewControllerAnimated(false);
        QRScannerView::setScanImagePath(scanImage);
    }

    if (ok) {
        // The login and registration forms, as a member who is not logged in sees them.
        const qint64 member = UserMgr::getMemberId();
        UserMgr::setMemberId(0);
        auto *login = new LoginCtrl;
        nav->pushViewController(login, false);
        ok = shoot(u"18-login"_qs);
        login->registerClick();
        ok = ok && qobject_cast<RegisterCtrl *>(nav->topViewController()) && shoot(u"19-register"_qs);
        nav->popToRootViewControllerAnimated(false);
        UserMgr::setMemberId(member);
    }
    return ok;
}

} // namespace TourMemberScreens
