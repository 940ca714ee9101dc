#pragma once

#include <QList>
#include <QWidget>

class PickerView;
class QListWidget;

class PickerViewDataSource
{
public:
    virtual ~PickerViewDataSource() = default;
    virtual int numberOfComponents(PickerView *picker) = 0;
    virtual int numberOfRows(PickerView *picker, int component) = 0;
    virtual QString titleForRow(PickerView *picker, int row, int component) = 0;
    virtual void didSelectRow(PickerView *picker, int row, int component);
};

// Columns ("components") of rows to choose from; one row of each column is
// selected. Choosing a row by hand tells the data source and emits
// rowSelected; selectRow in code does neither.
class PickerView : public QWidget
{
    Q_OBJECT
public:
    explicit PickerView(QWidget *parent = nullptr);

    void setDataSource(PickerViewDataSource *source);
    void reloadAllComponents();
    void reloadComponent(int component);

    int numberOfComponents() const { return int(m_columns.size()); }
    int numberOfRows(int component) const;
    // -1 when the column has no rows.
    int selectedRow(int component) const;
    void selectRow(int row, int component, bool animated);
    QString titleForRow(int row, int component) const;

    // The list of one column, for tests and styling.
    QListWidget *column(int component) const;
    // A choice by hand, as a tap on the row does.
    void chooseRow(int row, int component);

Q_SIGNALS:
    void rowSelected(int row, int component);

private:
    void rebuildColumns();
    void fillColumn(int component);

    PickerViewDataSource *m_source = nullptr;
    QList<QListWidget *> m_columns;
};
