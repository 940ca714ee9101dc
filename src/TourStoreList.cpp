#include "TourStoreList.h"

#include "CellStore.h"
#include "StyledViews.h"
#include "Texts.h"
#include "TourData.h"

TourStoreList::TourStoreList(QObject *parent) : STableViewController(parent), m_stores(TourData::stores())
{
    setHidesBottomBarWhenPushed(false);
}

void TourStoreList::viewDidLoad()
{
    STableViewController::viewDidLoad();
    setTitle(Texts::get(u"home"_qs));
    auto *background = new MainUIView(view());
    background->setGeometry(view()->rect());
    auto *table = new TableView(view());
    table->setGeometry(view()->rect());
    setTableView(table);
    table->reloadData();
}

int TourStoreList::numberOfRows(TableView *, int)
{
    return int(m_stores.size());
}

int TourStoreList::heightForRow(TableView *, const IndexPath &)
{
    return 80;
}

TableViewCell *TourStoreList::cellForRow(TableView *table, const IndexPath &indexPath)
{
    auto *cell = qobject_cast<CellStore *>(table->dequeueReusableCell(u"CellStore"_qs));
    if (!cell)
        cell = new CellStore;
    cell->setCellValue(m_stores.value(indexPath.row));
    return cell;
}
