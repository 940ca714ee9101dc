#include "TourStoreList.h"

#include "CellStore.h"
#include "StyledViews.h"
#include "Texts.h"

TourStoreList::TourStoreList(QObject *parent) : STableViewController(parent)
{
    setHidesBottomBarWhenPushed(false);
    const struct
    {
        const char16_t *name;
        const char16_t *discount;
        const char16_t *cost;
        int rate;
    } samples[] = {
        {u"Harbour Noodle House", u"10% off on weekdays", u"45", 4},
        {u"Green Leaf Tea Room", u"Second cup free", u"28", 3},
        {u"Golden Wok", u"", u"", 5},
        {u"Corner Bakery", u"20% off after 8 pm", u"15", 0},
        {u"Sunrise Grill", u"Lunch set 38", u"60", 2},
    };
    for (const auto &sample : samples) {
        Store store;
        store.storeName = Field(QString::fromUtf16(sample.name));
        store.discount = Field(QString::fromUtf16(sample.discount));
        if (*sample.cost)
            store.cost = Field(QString::fromUtf16(sample.cost));
        store.rate = Field(sample.rate);
        m_stores.append(store);
    }
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
