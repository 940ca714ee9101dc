#include "PointCardDetailCtrl.h"

PointCardDetailCtrl::PointCardDetailCtrl(QObject *parent) : MainCtrl(parent)
{
    setLayoutName(u"PointCardDetailCtrl"_qs);
    setHidesBottomBarWhenPushed(true);
}

void PointCardDetailCtrl::viewDidLoad()
{
    MainCtrl::viewDidLoad();
}

void PointCardDetailCtrl::scanQRCode() {}
void PointCardDetailCtrl::rightBtnClick() {}
void PointCardDetailCtrl::toStoreDetailCtrl() {}
void PointCardDetailCtrl::doLogin() {}
void PointCardDetailCtrl::layoutRefresh() {}
void PointCardDetailCtrl::didScan(const QString &) {}
void PointCardDetailCtrl::didCancelScan() {}
std::optional<PointCard> PointCardDetailCtrl::genNewPointCard() { return std::nullopt; }
bool PointCardDetailCtrl::findHeldCard() { return false; }
void PointCardDetailCtrl::showStore(bool) {}
void PointCardDetailCtrl::removeFromWallet() {}
void PointCardDetailCtrl::addToWallet() {}
void PointCardDetailCtrl::alert(const QString &) {}
