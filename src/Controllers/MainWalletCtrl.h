#pragma once

#include "MainCtrl.h"
#include "MemberCoupons.h"
#include "PointCard.h"
#include "Store.h"
#include "TableView.h"

#include <QList>
#include <QPointer>

#include <array>
#include <functional>

#include "PhoneButton.h"

// The "wallet" tab's root: the member's point cards, favourite stores and
// coupons, one list at a time, chosen by the three tab buttons.
class MainWalletCtrl : public MainCtrl, public TableViewDataSource
{
    Q_OBJECT
public:
    enum Tab { PointCardTab = 1, StoreTab = 2, CouponTab = 3 };

    explicit MainWalletCtrl(QObject *parent = nullptr);

    // The selected list; shared by every wallet of the process, so a wallet
    // built again shows the list chosen last.
    static int btnTag();
    static void setBtnTag(int tag);

    // Selects the sender's list (none: the selected one) and loads it: the
    // local records at once, the refreshed ones when the answer arrives.
    void btnTouchDown(PhoneButton *sender);

    const QList<PointCard> &pointCardData() const { return m_pointCardData; }
    const QList<Store> &favorStoreData() const { return m_favorStoreData; }
    const QList<MemberCoupons> &couponData() const { return m_couponData; }

    // Made with the view.
    TableView *tView() const { return m_tView; }
    PhoneButton *tabButton(int tag) const;

    int numberOfSections(TableView *table) override;
    int numberOfRows(TableView *table, int section) override;
    TableViewCell *cellForRow(TableView *table, const IndexPath &indexPath) override;
    int heightForRow(TableView *table, const IndexPath &indexPath) override;
    void didSelectRow(TableView *table, const IndexPath &indexPath) override;

protected:
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;

private:
    template <typename T>
    std::function<void(QList<T>)> replaceOnAnswer(Tab tab, QList<T> MainWalletCtrl::*list);
    void answered(Tab tab, bool empty);

    QList<PointCard> m_pointCardData;
    QList<Store> m_favorStoreData;
    QList<MemberCoupons> m_couponData;
    QPointer<TableView> m_tView;
    std::array<QPointer<PhoneButton>, 3> m_tabButtons;
};
