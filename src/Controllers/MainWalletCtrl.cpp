#include "MainWalletCtrl.h"

#include "CellCoupon.h"
#include "CellPointCard.h"
#include "CellStore.h"
#include "CouponDetailCtrl.h"
#include "Images.h"
#include "InnerRequest.h"
#include "NavigationController.h"
#include "OuterRequest.h"
#include "PointCardDetailCtrl.h"
#include "StoreDetailCtrl.h"
#include "Texts.h"
#include "UILabelStyle.h"
#include "UserMgr.h"
#include "Views.h"

namespace {

int selectedTab = MainWalletCtrl::PointCardTab;

constexpr std::array<MainWalletCtrl::Tab, 3> Tabs{MainWalletCtrl::PointCardTab, MainWalletCtrl::StoreTab,
                                                   MainWalletCtrl::CouponTab};

// Rows are as high as their layout says; measured once per kind.
template <typename Cell>
int rowHeight()
{
    static const int height = Cell().height();
    return height;
}

// A row from the table's queue, else a new one; filled when the list has the row.
template <typename Cell, typename T>
Cell *filledRow(TableView *table, const QString &identifier, const QList<T> &list, int row)
{
    auto *cell = qobject_cast<Cell *>(table->dequeueReusableCell(identifier));
    if (!cell)
        cell = new Cell;
    if (row < list.size())
        cell->setCellValue(list.at(row));
    return cell;
}

} // namespace

MainWalletCtrl::MainWalletCtrl(QObject *parent) : MainCtrl(parent)
{
    setLayoutName(u"MainWalletCtrl"_qs);
}

int MainWalletCtrl::btnTag()
{
    return selectedTab;
}

void MainWalletCtrl::setBtnTag(int tag)
{
    selectedTab = tag;
}

PhoneButton *MainWalletCtrl::tabButton(int tag) const
{
    return tag >= PointCardTab && tag <= CouponTab ? m_tabButtons.at(tag - 1).data() : nullptr;
}

void MainWalletCtrl::viewDidLoad()
{
    MainCtrl::viewDidLoad();
    setTitle(Texts::get(u"myFavor"_qs));
    const QString titles[] = {Texts::get(u"pointCard"_qs), Texts::get(u"store"_qs), Texts::get(u"coupons"_qs)};
    // The selected tab is the disabled button.
    const StretchableImage selected{Images::named(u"sub_tab_btn003_p.png"_qs), 0, 0};
    // Found before the table holds rows, whose subviews carry tags too.
    for (Tab tab : Tabs) {
        PhoneButton *button = Views::withTag<PhoneButton>(view(), tab);
        m_tabButtons.at(tab - 1) = button;
        if (!button)
            continue;
        UILabelStyle::TagButtonText(button, titles[tab - 1]);
        button->setBackgroundImage(selected, PhoneButton::Highlighted);
        button->setBackgroundImage(selected, PhoneButton::Disabled);
        connect(button, &PhoneButton::pressed, this, [this, button] { btnTouchDown(button); });
    }
    m_tView = view()->findChild<TableView *>(u"tView"_qs);
    if (m_tView)
        m_tView->setDataSource(this);
}

void MainWalletCtrl::viewWillAppear(bool animated)
{
    MainCtrl::viewWillAppear(animated);
    // Changes made on a detail screen show on return.
    btnTouchDown(nullptr);
}

template <typename T>
std::function<void(QList<T>)> MainWalletCtrl::replaceOnAnswer(Tab tab, QList<T> MainWalletCtrl::*list)
{
    // An answer may come after the screen is gone; then there is nothing to update.
    QPointer<MainWalletCtrl> self(this);
    return [self, tab, list](QList<T> records) {
        if (!self)
            return;
        self->*list = std::move(records);
        self->answered(tab, (self->*list).isEmpty());
    };
}

void MainWalletCtrl::btnTouchDown(PhoneButton *sender)
{
    if (sender)
        selectedTab = Views::tag(sender);
    for (Tab tab : Tabs) {
        if (PhoneButton *button = tabButton(tab))
            button->setEnabled(tab != selectedTab);
    }
    switch (selectedTab) {
    case PointCardTab:
        m_pointCardData = InnerRequest::getPointCardsByCompany(
            UserMgr::getMemberId(), replaceOnAnswer(PointCardTab, &MainWalletCtrl::m_pointCardData));
        break;
    case StoreTab:
        m_favorStoreData = OuterRequest::getMyFavorList(Field(UserMgr::getOutMemberId()),
                                                        replaceOnAnswer(StoreTab, &MainWalletCtrl::m_favorStoreData));
        break;
    case CouponTab:
        m_couponData = InnerRequest::getMemberCouponsByCompany(
            UserMgr::getMemberId(), replaceOnAnswer(CouponTab, &MainWalletCtrl::m_couponData));
        break;
    default:
        break;
    }
    if (m_tView)
        m_tView->reloadData();
}

void MainWalletCtrl::answered(Tab tab, bool empty)
{
    // The list of another tab is kept quietly for when it is chosen.
    if (selectedTab != tab)
        return;
    if (m_tView)
        m_tView->reloadData();
    if (empty)
        showToast(Texts::get(u"noData"_qs));
}

int MainWalletCtrl::numberOfSections(TableView *)
{
    return 1;
}

int MainWalletCtrl::numberOfRows(TableView *, int)
{
    switch (selectedTab) {
    case PointCardTab:
        return int(m_pointCardData.size());
    case StoreTab:
        return int(m_favorStoreData.size());
    case CouponTab:
        return int(m_couponData.size());
    default:
        return 0;
    }
}

TableViewCell *MainWalletCtrl::cellForRow(TableView *table, const IndexPath &indexPath)
{
    switch (selectedTab) {
    case PointCardTab:
        return filledRow<CellPointCard>(table, u"CellPointCard"_qs, m_pointCardData, indexPath.row);
    case StoreTab:
        return filledRow<CellStore>(table, u"CellStore"_qs, m_favorStoreData, indexPath.row);
    case CouponTab:
        return filledRow<CellCoupon>(table, u"CellCoupon"_qs, m_couponData, indexPath.row);
    default:
        return nullptr;
    }
}

int MainWalletCtrl::heightForRow(TableView *table, const IndexPath &indexPath)
{
    switch (selectedTab) {
    case PointCardTab:
        return rowHeight<CellPointCard>();
    case StoreTab:
        return rowHeight<CellStore>();
    case CouponTab:
        return rowHeight<CellCoupon>();
    default:
        return TableViewDataSource::heightForRow(table, indexPath);
    }
}

void MainWalletCtrl::didSelectRow(TableView *table, const IndexPath &indexPath)
{
    table->deselectRow(indexPath, false);
    NavigationController *nav = navigationController();
    const int row = indexPath.row;
    if (!nav || row < 0)
        return;
    ViewController *detail = nullptr;
    if (selectedTab == PointCardTab && row < m_pointCardData.size()) {
        auto *screen = new PointCardDetailCtrl;
        screen->setPointCard(m_pointCardData.at(row));
        detail = screen;
    } else if (selectedTab == StoreTab && row < m_favorStoreData.size()) {
        auto *screen = new StoreDetailCtrl;
        screen->setStoreId(m_favorStoreData.at(row).storeID);
        screen->setStore(m_favorStoreData.at(row));
        detail = screen;
    } else if (selectedTab == CouponTab && row < m_couponData.size()) {
        auto *screen = new CouponDetailCtrl;
        screen->setMCoupon(m_couponData.at(row));
        detail = screen;
    }
    if (detail)
        nav->pushViewController(detail, true);
}
