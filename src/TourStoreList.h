#pragma once

#include "STableViewController.h"
#include "Store.h"

// The screenshot tour's list of store rows, filled with sample stores
// (no service is asked).
class TourStoreList : public STableViewController
{
    Q_OBJECT
public:
    explicit TourStoreList(QObject *parent = nullptr);

    int numberOfRows(TableView *table, int section) override;
    TableViewCell *cellForRow(TableView *table, const IndexPath &indexPath) override;
    int heightForRow(TableView *table, const IndexPath &indexPath) override;

protected:
    void viewDidLoad() override;

private:
    QList<Store> m_stores;
};
