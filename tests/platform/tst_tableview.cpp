#include "Animations.h"
#include "TableView.h"

#include <QSignalSpy>
#include <QTest>

namespace {

// Rows of 40 points in sections; counts what the table asks for.
class Rows : public TableViewDataSource
{
public:
    QList<int> rowsPerSection{100};
    int made = 0;
    int asked = 0;
    QList<IndexPath> selected;
    int header = 0;

    int numberOfSections(TableView *) override { return int(rowsPerSection.size()); }
    int numberOfRows(TableView *, int section) override { return rowsPerSection.at(section); }
    int heightForRow(TableView *, const IndexPath &) override { return 40; }
    int heightForHeader(TableView *, int) override { return header; }
    QWidget *viewForHeader(TableView *, int section) override
    {
        auto *w = new QWidget;
        w->setObjectName(u"header%1"_qs.arg(section));
        return w;
    }
    TableViewCell *cellForRow(TableView *table, const IndexPath &path) override
    {
        ++asked;
        TableViewCell *cell = table->dequeueReusableCell(u"row"_qs);
        if (!cell) {
            ++made;
            cell = new TableViewCell;
            cell->setReuseIdentifier(u"row"_qs);
        }
        cell->setProperty("row", path.row);
        return cell;
    }
    void didSelectRow(TableView *, const IndexPath &path) override { selected << path; }
};

void drag(QWidget *w, QPoint from, QPoint to)
{
    QTest::mousePress(w, Qt::LeftButton, {}, from);
    const QPoint step = (to - from) / 4;
    QPoint at = from;
    for (int i = 0; i < 4; ++i) {
        at += step;
        QTest::mouseMove(w, at);
    }
    QTest::mouseRelease(w, Qt::LeftButton, {}, to);
}

} // namespace

class TestTableView : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { Animations::setEnabled(false); }

    void onlyVisibleRowsHaveCellsAndCellsAreReused()
    {
        Rows rows;
        TableView table;
        table.resize(320, 400);
        table.setDataSource(&rows);
        table.reloadData();
        QCOMPARE(table.contentSize().height(), 4000);
        QCOMPARE(table.visibleCells().size(), 10);
        QCOMPARE(rows.made, 10);
        QCOMPARE(table.cellForRow({0, 9})->geometry(), QRect(0, 360, 320, 40));
        QCOMPARE(table.cellForRow({0, 10}), nullptr);

        // Half a row further shows a part of row 10: 11 rows in sight.
        table.setContentOffset(QPointF(0, 20));
        QCOMPARE(table.visibleCells().size(), 11);
        table.setContentOffset(QPointF(0, 2000));
        QCOMPARE(table.indexPathsForVisibleRows().constFirst(), (IndexPath{0, 50}));
        QCOMPARE(table.visibleCells().size(), 10);
        QCOMPARE(table.cellForRow({0, 50})->property("row").toInt(), 50);
        QCOMPARE(table.cellForRow({0, 50})->geometry().top(), 0);
        // Far away rows came from the queue, not from new cells.
        QVERIFY2(rows.made <= 11, qPrintable(QString::number(rows.made)));
        QVERIFY(rows.asked > rows.made);

        rows.rowsPerSection = {3};
        table.reloadData();
        QCOMPARE(table.contentSize().height(), 120);
    }

    void sectionsStackWithTheirHeaders()
    {
        Rows rows;
        rows.rowsPerSection = {2, 3};
        rows.header = 20;
        TableView table;
        table.resize(320, 400);
        table.setDataSource(&rows);
        table.reloadData();
        QCOMPARE(table.numberOfSections(), 2);
        QCOMPARE(table.numberOfRows(1), 3);
        QCOMPARE(table.rectForRow({0, 0}).top(), 20);
        QCOMPARE(table.rectForRow({1, 0}).top(), 20 + 80 + 20);
        QCOMPARE(table.indexPathForRow(QPointF(5, 125)), (IndexPath{1, 0}));
        QCOMPARE(table.contentSize().height(), 20 + 80 + 20 + 120);
        QCOMPARE(table.findChild<QWidget *>(u"header1"_qs)->geometry().top(), 100);
    }

    void footerFollowsTheLastRowAndCanBeTakenOff()
    {
        Rows rows;
        rows.rowsPerSection = {3};
        TableView table;
        table.resize(320, 400);
        table.setDataSource(&rows);
        table.reloadData();
        auto *footer = new QWidget(&table);
        footer->resize(320, 52);
        table.setTableFooterView(footer);
        QCOMPARE(table.contentSize().height(), 120 + 52);
        QCOMPARE(footer->geometry(), QRect(0, 120, 320, 52));
        QVERIFY(footer->isVisible() || !table.isVisible());
        table.setTableFooterView(nullptr);
        QCOMPARE(table.contentSize().height(), 120);
        QVERIFY(footer->isHidden());
        table.setTableFooterView(footer);
        QCOMPARE(table.tableFooterView(), footer);
    }

    void tapSelectsAndDeselectRowClears()
    {
        Rows rows;
        TableView table;
        table.resize(320, 400);
        table.setDataSource(&rows);
        table.reloadData();
        table.show();
        QSignalSpy spy(&table, &TableView::rowSelected);
        QTest::mouseClick(&table, Qt::LeftButton, {}, QPoint(100, 130));
        QCOMPARE(rows.selected, (QList<IndexPath>{{0, 3}}));
        QCOMPARE(spy.size(), 1);
        QCOMPARE(table.indexPathForSelectedRow(), (IndexPath{0, 3}));
        QVERIFY(table.cellForRow({0, 3})->isSelected());
        table.deselectRow({0, 3}, false);
        QVERIFY(!table.indexPathForSelectedRow().isValid());
        QVERIFY(!table.cellForRow({0, 3})->isSelected());
    }

    void dragReportsTheScrollCallbacks()
    {
        Rows rows;
        TableView table;
        table.resize(320, 400);
        table.setDataSource(&rows);
        table.reloadData();
        table.show();
        QSignalSpy begin(&table, &ScrollView::willBeginDragging);
        QSignalSpy scrolled(&table, &ScrollView::didScroll);
        QSignalSpy ended(&table, &ScrollView::didEndDragging);
        bool draggingDuringScroll = false;
        connect(&table, &ScrollView::didScroll, this, [&] { draggingDuringScroll |= table.isDragging(); });

        drag(&table, QPoint(100, 300), QPoint(100, 100));
        QCOMPARE(begin.size(), 1);
        QVERIFY(scrolled.size() >= 3);
        QVERIFY(draggingDuringScroll);
        QCOMPARE(ended.size(), 1);
        QCOMPARE(ended.at(0).at(0).toBool(), false);
        QCOMPARE(table.contentOffset().y(), 200.0);
        QVERIFY(!table.isDragging());
        QVERIFY(rows.selected.isEmpty());

        // Pulled down past the top: the offset goes below 0 while the finger
        // is down, then settles back.
        table.setContentOffset(QPointF(0, 0));
        qreal lowest = 0;
        connect(&table, &ScrollView::didScroll, this, [&] { lowest = std::min(lowest, table.contentOffset().y()); });
        drag(&table, QPoint(100, 100), QPoint(100, 300));
        QVERIFY(lowest < -50);
        QCOMPARE(ended.size(), 2);
        QCOMPARE(ended.at(1).at(0).toBool(), true);
        QCOMPARE(table.contentOffset().y(), 0.0);
    }

    void insetsWidenTheRangeAndPagingSnaps()
    {
        ScrollView pager;
        pager.resize(320, 100);
        pager.setContentSize(QSize(320 * 4, 100));
        pager.setPagingEnabled(true);
        pager.show();
        drag(&pager, QPoint(300, 50), QPoint(100, 50));
        QCOMPARE(pager.contentOffset(), QPointF(320, 0));
        drag(&pager, QPoint(300, 50), QPoint(250, 50));
        QCOMPARE(pager.contentOffset(), QPointF(320, 0));

        ScrollView list;
        list.resize(320, 100);
        list.setContentSize(QSize(320, 300));
        list.setContentInset(QMargins(0, 52, 0, 0));
        QCOMPARE(list.minimumOffset(), QPointF(0, -52));
        QCOMPARE(list.maximumOffset(), QPointF(0, 200));
        list.setContentInset(QMargins(0, 0, 0, 0), 300);
        QCOMPARE(list.contentInset(), QMargins());
        Animations::setEnabled(true);
        list.setContentInset(QMargins(0, 52, 0, 0), 300);
        QCOMPARE(list.contentInset(), QMargins());
        QTRY_COMPARE(list.contentInset(), QMargins(0, 52, 0, 0));
        Animations::setEnabled(false);
        auto *above = new QWidget;
        list.addContentWidget(above, QRect(0, -52, 320, 52));
        list.setContentOffset(QPointF(0, -52));
        QCOMPARE(above->geometry(), QRect(0, 0, 320, 52));
    }
};

QTEST_MAIN(TestTableView)
#include "tst_tableview.moc"
