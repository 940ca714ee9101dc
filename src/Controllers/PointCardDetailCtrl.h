#pragma once

#include "MainCtrl.h"
#include "PointCard.h"
#include "Store.h"

#include <QPointer>

#include <functional>
#include <optional>

#include "CellStore.h"
#include "PhoneButton.h"
#include "PhoneImageView.h"
#include "PhoneLabel.h"
#include "QRScannerView.h"

// One point card: its store, the card picture with the stamp grid, its text
// and points, the period and the exchanged badge. Scanning the store's code
// adds points or exchanges a full card; the bar's button adds the card to
// the wallet or removes it.
class PointCardDetailCtrl : public MainCtrl
{
    Q_OBJECT
public:
    explicit PointCardDetailCtrl(QObject *parent = nullptr);

    // Set by the opener before the screen is shown.
    const PointCard &pointCard() const { return m_pointCard; }
    void setPointCard(const PointCard &card) { m_pointCard = card; }
    const std::optional<Store> &store() const { return m_store; }
    void setStore(const Store &store) { m_store = store; }

    void scanQRCode();
    void rightBtnClick();
    void toStoreDetailCtrl();
    void doLogin();
    void layoutRefresh();

    // What the scanning view reports.
    void didScan(const QString &result);
    void didCancelScan();

    // A new stored card of this event for the member; none when it could not be stored.
    std::optional<PointCard> genNewPointCard();

    // Made with the view.
    QWidget *cellView() const { return m_cellView; }
    CellStore *storeRow() const { return m_storeRow; }
    PhoneButton *storeButton() const { return m_storeButton; }
    PhoneImageView *detailPicView() const { return m_detailPicView; }
    PhoneImageView *badgeImageView() const { return m_badgeImageView; }
    QWidget *pointCardRowView() const { return m_pointCardRowView; }
    PhoneLabel *dateLabel() const { return m_dateLabel; }
    PhoneButton *scanButton() const { return m_scanButton; }
    PhoneButton *favoritesButton() const { return m_favoritesButton; }
    // While shown.
    QRScannerView *scanner() const { return m_scanner; }

Q_SIGNALS:
    // The detail picture arrived and the card was redrawn over it.
    void detailPictureShown();
    // The store row shows the store the loyalty service named.
    void storeLoaded();

protected:
    void viewDidLoad() override;

private:
    bool findHeldCard();
    void showStore(bool fadeIn);
    void removeFromWallet();
    void addToWallet();
    void alert(const QString &key);
    // A "warningTitle" question with "cancel" and "ok"; onOk runs on "ok".
    void ask(const QString &messageKey, std::function<void()> onOk);

    PointCard m_pointCard;
    std::optional<Store> m_store;

    QPointer<QWidget> m_cellView;
    QPointer<CellStore> m_storeRow;
    QPointer<PhoneButton> m_storeButton;
    QPointer<PhoneImageView> m_detailPicView;
    QPointer<PhoneImageView> m_badgeImageView;
    QPointer<QWidget> m_pointCardRowView;
    QPointer<PhoneLabel> m_dateLabel;
    QPointer<PhoneButton> m_scanButton;
    QPointer<PhoneButton> m_favoritesButton;
    QPointer<QRScannerView> m_scanner;
};
