#pragma once

#include "ScrollView.h"

#include <QHash>
#include <QList>
#include <QMap>
#include <QPointer>

class TableView;

struct IndexPath
{
    int section = 0;
    int row = 0;
    bool isValid() const { return section >= 0 && row >= 0; }
    friend bool operator==(const IndexPath &, const IndexPath &) = default;
    friend auto operator<=>(const IndexPath &, const IndexPath &) = default;
};

// A row of a table. Rows with a reuse identifier go back to the table's
// queue when they scroll out of sight and are handed out again by
// dequeueReusableCell.
class TableViewCell : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QString reuseIdentifier READ reuseIdentifier WRITE setReuseIdentifier)
public:
    explicit TableViewCell(QWidget *parent = nullptr);

    QString reuseIdentifier() const { return m_identifier; }
    void setReuseIdentifier(const QString &identifier) { m_identifier = identifier; }
    bool isSelected() const { return m_selected; }
    virtual void setSelected(bool selected, bool animated);
    // Called before the table hands the row out again.
    virtual void prepareForReuse() {}

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_identifier;
    bool m_selected = false;
};

// What a table asks of its screen: the rows, and what to do with them.
class TableViewDataSource
{
public:
    virtual ~TableViewDataSource() = default;
    virtual int numberOfSections(TableView *table);
    virtual int numberOfRows(TableView *table, int section) = 0;
    // Null leaves the row empty.
    virtual TableViewCell *cellForRow(TableView *table, const IndexPath &indexPath) = 0;
    // The table's rowHeight unless replaced.
    virtual int heightForRow(TableView *table, const IndexPath &indexPath);
    virtual int heightForHeader(TableView *table, int section);
    virtual QWidget *viewForHeader(TableView *table, int section);
    virtual void didSelectRow(TableView *table, const IndexPath &indexPath);
};

// A vertical list of rows in sections. Only the rows in sight have cells;
// the scroll callbacks of ScrollView report the finger and the offset.
class TableView : public ScrollView
{
    Q_OBJECT
    Q_PROPERTY(int rowHeight READ rowHeight WRITE setRowHeight)
public:
    explicit TableView(QWidget *parent = nullptr);
    ~TableView() override;

    void setDataSource(TableViewDataSource *source);
    TableViewDataSource *dataSource() const { return m_source; }

    int rowHeight() const { return m_rowHeight; }
    void setRowHeight(int height);

    void reloadData();
    int numberOfSections() const { return int(m_sections.size()); }
    int numberOfRows(int section) const;

    TableViewCell *dequeueReusableCell(const QString &identifier);
    // The cell of a row in sight, else null.
    TableViewCell *cellForRow(const IndexPath &indexPath) const;
    QList<TableViewCell *> visibleCells() const;
    QList<IndexPath> indexPathsForVisibleRows() const;
    QRect rectForRow(const IndexPath &indexPath) const;
    // The row at a point in content coordinates, or an invalid path.
    IndexPath indexPathForRow(const QPointF &contentPoint) const;

    void selectRow(const IndexPath &indexPath, bool animated);
    void deselectRow(const IndexPath &indexPath, bool animated);
    // Invalid when none.
    IndexPath indexPathForSelectedRow() const { return m_selected; }

    // Shown above the first section (the table owns it) and after the last
    // row (the table only shows it: a replaced footer stays, hidden).
    void setTableHeaderView(QWidget *view);
    QWidget *tableHeaderView() const { return m_header; }
    void setTableFooterView(QWidget *view);
    QWidget *tableFooterView() const { return m_footer; }

    void scrollToTop(bool animated);

Q_SIGNALS:
    void rowSelected(const IndexPath &indexPath);

protected:
    void layoutContent() override;

private:
    struct Section
    {
        int top = 0;
        int headerHeight = 0;
        QList<int> rowTops;
        QList<int> rowHeights;
        QPointer<QWidget> headerView;
    };
    void computeGeometry();
    void updateVisibleCells();
    void enqueue(TableViewCell *cell);
    void onTap(const QPointF &contentPoint);

    TableViewDataSource *m_source = nullptr;
    int m_rowHeight = 44;
    QList<Section> m_sections;
    int m_rowsBottom = 0;
    QMap<IndexPath, TableViewCell *> m_visible;
    QHash<QString, QList<TableViewCell *>> m_queue;
    IndexPath m_selected{-1, -1};
    QPointer<QWidget> m_header;
    QPointer<QWidget> m_footer;
    bool m_updating = false;
};
