#include "AppTestSupport.h"
#include "NavigationController.h"
#include "PagedTableViewController.h"
#include "PageWindow.h"
#include "PhoneWindow.h"
#include "ProgressHUD.h"
#include "STableFooterView.h"
#include "STableHeaderView.h"

#include <QTest>

#include <memory>

namespace {

constexpr int RowHeight = 44;
constexpr int ListHeight = 300;

// A paged list of numbered rows whose page fetch is recorded and answered
// by the test.
class NumberList : public PagedTableViewController
{
    Q_OBJECT
public:
    using PagedTableViewController::PagedTableViewController;

    QList<int> rows;
    QList<PageWindow::Request> requests;
    int hooks = 0;
    bool withFooter = false;

    int numberOfRows(TableView *, int) override { return int(rows.size()); }
    TableViewCell *cellForRow(TableView *, const IndexPath &) override { return nullptr; }
    void willBeginLoadingMore() override
    {
        ++hooks;
        PagedTableViewController::willBeginLoadingMore();
    }
    void answer(std::optional<int> count)
    {
        std::optional<QList<int>> page;
        if (count) {
            page = QList<int>();
            for (int i = 0; i < *count; ++i)
                page->append(int(rows.size()) + i);
        }
        finishPage(rows, page);
    }
    void firstPage() { fetchNextPage(); }

protected:
    void viewDidLoad() override
    {
        PagedTableViewController::viewDidLoad();
        auto *table = new TableView(view());
        table->setGeometry(0, 0, 320, ListHeight);
        table->setRowHeight(RowHeight);
        setTableView(table);
        if (withFooter)
            installLoadMoreFooter();
    }
    void fetchNextPage() override { requests << nextPageRequest(); }
};

struct ListShell
{
    PhoneWindow window;
    NumberList *list;
    explicit ListShell(bool withFooter = false) : list(new NumberList)
    {
        list->withFooter = withFooter;
        window.setRootViewController(new NavigationController(list));
        window.show();
        list->view();
    }
    void fill(int count)
    {
        for (int i = 0; i < count; ++i)
            list->rows << i;
        list->tableView()->reloadData();
    }
    QList<ProgressHUD *> toasts() const
    {
        QList<ProgressHUD *> found;
        for (ProgressHUD *hud : window.findChildren<ProgressHUD *>()) {
            if (hud->mode() == ProgressHUD::Mode::Text && hud->isShowing())
                found << hud;
        }
        return found;
    }
};

} // namespace

class TestSTableView : public QObject
{
    Q_OBJECT

    std::unique_ptr<AppTestEnvironment> env;

private Q_SLOTS:
    void init() { env = std::make_unique<AppTestEnvironment>(); }
    void cleanup() { env.reset(); }

    void pageWindowRequests()
    {
        PageWindow window;
        const PageWindow::Request first = window.next();
        QCOMPARE(first.startIndex, 0);
        QCOMPARE(first.endIndex, 15);
        QVERIFY(first.showLoading);
        QCOMPARE(window.start(), 16);
        const PageWindow::Request second = window.next();
        QCOMPARE(second.startIndex, 16);
        QCOMPARE(second.endIndex, 31);
        QVERIFY(!second.showLoading);
        window.reset();
        QVERIFY(window.next().showLoading);
    }

    void pageWindowOutcome_data()
    {
        QTest::addColumn<int>("received"); // -1: the request failed
        QTest::addColumn<int>("held");
        QTest::addColumn<bool>("canLoadMore");
        QTest::addColumn<bool>("noData");
        QTest::newRow("16") << 16 << 0 << true << false;
        QTest::newRow("15 is a full page") << 15 << 0 << true << false;
        QTest::newRow("14 ends paging") << 14 << 32 << false << false;
        QTest::newRow("empty page") << 0 << 0 << false << false;
        QTest::newRow("reaching 999999") << 16 << 999983 << true << false;
        QTest::newRow("past 999999") << 16 << 999984 << false << false;
        QTest::newRow("failure, empty list") << -1 << 0 << false << true;
        QTest::newRow("failure, rows shown") << -1 << 16 << false << false;
    }
    void pageWindowOutcome()
    {
        QFETCH(int, received);
        QFETCH(int, held);
        QFETCH(bool, canLoadMore);
        QFETCH(bool, noData);
        const PageWindow::Outcome outcome =
            PageWindow::outcome(received < 0 ? std::nullopt : std::optional<qsizetype>(received), held);
        QCOMPARE(outcome.canLoadMore, canLoadMore);
        QCOMPARE(outcome.showNoData, noData);
    }

    void pageWindowAppends()
    {
        QList<int> rows{1, 2};
        PageWindow::apply(rows, std::optional<QList<int>>(QList<int>{3, 4}));
        QCOMPARE(rows, (QList<int>{1, 2, 3, 4}));
        PageWindow::apply(rows, std::optional<QList<int>>());
        QCOMPARE(rows.size(), 4);
    }

    void defaults()
    {
        NumberList made;
        QVERIFY(made.canLoadMore());
        QVERIFY(made.clearsSelectionOnViewWillAppear());
        QVERIFY(!made.pullToRefreshEnabled());
        QVERIFY(!made.isDragging() && !made.isRefreshing() && !made.isLoadingMore());
        NumberList fromLayout{STableViewController::FromLayout{}};
        QVERIFY(!fromLayout.canLoadMore());
        QVERIFY(!fromLayout.clearsSelectionOnViewWillAppear());
    }

    void loadMoreTriggersWithin52Points()
    {
        ListShell shell;
        shell.fill(10); // 440 points of rows in a 300 point list
        TableView *table = shell.list->tableView();
        QCOMPARE(table->contentSize().height(), 440);
        QCOMPARE(shell.list->footerLoadMoreHeight(), 52.0);
        table->setContentOffset(QPointF(0, 88)); // 52 points to the end
        QVERIFY(!shell.list->isLoadingMore());
        QCOMPARE(shell.list->hooks, 0);
        table->setContentOffset(QPointF(0, 89)); // 51
        QVERIFY(shell.list->isLoadingMore());
        QCOMPARE(shell.list->hooks, 1);
        // A second request while one runs is refused without its hook.
        QVERIFY(!shell.list->loadMore());
        QCOMPARE(shell.list->hooks, 1);

        // The page goes out on the next turn of the main loop, and the load ends at once.
        QTRY_COMPARE(shell.list->requests.size(), 1);
        QVERIFY(!shell.list->isLoadingMore());
        QVERIFY(!shell.list->canLoadMore());
        QCOMPARE(shell.list->requests.first().startIndex, 0);
        // Until the answer, scrolling asks for nothing.
        table->setContentOffset(QPointF(0, 140));
        QVERIFY(!shell.list->isLoadingMore());
    }

    void answersFollowThePageWindow()
    {
        ListShell shell(true);
        auto *footer = qobject_cast<STableFooterView *>(shell.list->footerView());
        QVERIFY(footer);
        QVERIFY(footer->activityIndicator());
        QVERIFY(footer->infoLabel());
        QCOMPARE(shell.list->footerLoadMoreHeight(), double(footer->height()));

        shell.list->firstPage();
        QVERIFY(shell.list->HUD()->isShowing());
        shell.list->answer(15);
        QVERIFY(!shell.list->HUD()->isShowing());
        QVERIFY(shell.list->canLoadMore());
        QCOMPARE(shell.list->tableView()->tableFooterView(), footer);
        QCOMPARE(shell.list->tableView()->numberOfRows(0), 15);

        // Scrolling to the end: footer spinning, then the second page (no loading indicator).
        TableView *table = shell.list->tableView();
        table->setContentOffset(table->maximumOffset());
        QVERIFY(footer->activityIndicator()->isAnimating());
        QTRY_COMPARE(shell.list->requests.size(), 2);
        QVERIFY(!footer->activityIndicator()->isAnimating());
        QVERIFY(footer->infoLabel()->isHidden());
        QCOMPARE(shell.list->requests.last().startIndex, 16);
        QVERIFY(!shell.list->HUD()->isShowing());
        shell.list->answer(14);
        QVERIFY(!shell.list->canLoadMore());
        QCOMPARE(shell.list->tableView()->tableFooterView(), nullptr);
        QCOMPARE(shell.list->tableView()->numberOfRows(0), 29);
        QVERIFY(shell.toasts().isEmpty());
    }

    void noDataOnlyWithoutRows()
    {
        ListShell shell;
        shell.list->firstPage();
        shell.list->answer(std::nullopt);
        QCOMPARE(shell.toasts().size(), 1);
        QCOMPARE(shell.toasts().first()->labelText(), u"<noData>"_qs);
        QVERIFY(!shell.list->HUD()->isShowing());
        for (ProgressHUD *toast : shell.toasts())
            toast->hide(false);

        shell.list->answer(16);
        shell.list->answer(std::nullopt);
        QVERIFY(shell.toasts().isEmpty());
        QCOMPARE(shell.list->rows.size(), 16);
        QVERIFY(!shell.list->canLoadMore());
    }

    void pullToRefresh_data()
    {
        QTest::addColumn<bool>("enabled");
        QTest::newRow("off, as the screens use it") << false;
        QTest::newRow("on") << true;
    }
    void pullToRefresh()
    {
        QFETCH(bool, enabled);
        ListShell shell;
        shell.fill(10);
        NumberList *list = shell.list;
        list->setPullToRefreshEnabled(enabled);
        auto *header = new STableHeaderView;
        QVERIFY(header->title() && header->activityIndicator());
        list->setHeaderView(header);
        QCOMPARE(list->headerViewFrame(), QRect(0, -52, 320, 52));
        QCOMPARE(list->headerRefreshHeight(), 52.0);

        TableView *table = list->tableView();
        table->setContentInset(QMargins(0, 7, 0, 0));
        list->scrollViewWillBeginDragging(table);
        QVERIFY(list->isDragging());
        table->setContentOffset(QPointF(0, -60));
        QVERIFY(!list->isLoadingMore());
        list->scrollViewDidEndDragging(table, false);
        QVERIFY(!list->isDragging());
        QCOMPARE(list->isRefreshing(), enabled);
        QCOMPARE(table->contentInset().top(), enabled ? 52 : 7);
        list->refreshCompleted();
        QVERIFY(!list->isRefreshing());
        QCOMPARE(table->contentInset().top(), enabled ? 0 : 7);

        // Without a header the trigger height is 52 all the same.
        list->setHeaderView(nullptr);
        QVERIFY(list->headerViewFrame().isEmpty());
        QCOMPARE(list->headerRefreshHeight(), 52.0);
    }
};

QTEST_MAIN(TestSTableView)
#include "tst_stableview.moc"
