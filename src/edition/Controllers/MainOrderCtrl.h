#pragma once

#include "MainCtrl.h"
#include "TableView.h"

#include <QPointer>

#include "PhoneImageView.h"

// The "order" tab: in this edition a picture in place of ordering. Its list
// stays hidden and empty.
class MainOrderCtrl : public MainCtrl, public TableViewDataSource
{
    Q_OBJECT
public:
    explicit MainOrderCtrl(QObject *parent = nullptr);

    TableView *tView() const { return m_tView; }
    PhoneImageView *releaseImage() const { return m_image; }

    int numberOfSections(TableView *table) override;
    int numberOfRows(TableView *table, int section) override;
    TableViewCell *cellForRow(TableView *table, const IndexPath &indexPath) override;
    void didSelectRow(TableView *table, const IndexPath &indexPath) override;

protected:
    void viewDidLoad() override;

private:
    QPointer<TableView> m_tView;
    QPointer<PhoneImageView> m_image;
};
