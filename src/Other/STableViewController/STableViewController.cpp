#include "STableViewController.h"

STableViewController::STableViewController(QObject *parent) : MainCtrl(parent)
{
    initialize();
}

STableViewController::STableViewController(FromLayout, QObject *parent) : MainCtrl(parent) {}

STableViewController::~STableViewController()
{
    releaseViewComponents();
}

void STableViewController::initialize()
{
    m_pullToRefreshEnabled = false;
    m_canLoadMore = true;
    m_clearsSelection = true;
    m_isDragging = false;
    m_isRefreshing = false;
    m_isLoadingMore = false;
}

void STableViewController::viewDidLoad()
{
    MainCtrl::viewDidLoad();
}

void STableViewController::viewWillAppear(bool animated)
{
    MainCtrl::viewWillAppear(animated);
    if (m_clearsSelection && m_tableView) {
        const IndexPath selected = m_tableView->indexPathForSelectedRow();
        if (selected.isValid())
            m_tableView->deselectRow(selected, animated);
    }
}

void STableViewController::setTableView(TableView *table)
{
    if (m_tableView == table)
        return;
    if (m_tableView)
        disconnect(m_tableView, nullptr, this, nullptr);
    m_tableView = table;
    if (!table)
        return;
    table->setDataSource(this);
    connect(table, &ScrollView::willBeginDragging, this, [this] { scrollViewWillBeginDragging(m_tableView); });
    connect(table, &ScrollView::didScroll, this, [this] { scrollViewDidScroll(m_tableView); });
    connect(table, &ScrollView::didEndDragging, this,
            [this](bool willDecelerate) { scrollViewDidEndDragging(m_tableView, willDecelerate); });
}

void STableViewController::setHeaderView(QWidget *view)
{
    if (!m_tableView)
        return;
    if (m_headerView && m_headerView != view) {
        if (m_headerView->parentWidget() == m_tableView)
            m_tableView->removeContentWidget(m_headerView);
        delete m_headerView.data();
    }
    m_headerView = view;
    m_headerViewFrame = QRect();
    if (!view)
        return;
    // Just above the first row: shows when the list is pulled down.
    m_headerViewFrame = QRect(view->x(), -view->height(), view->width(), view->height());
    m_tableView->addContentWidget(view, m_headerViewFrame);
}

double STableViewController::headerRefreshHeight() const
{
    return m_headerViewFrame.isEmpty() ? DefaultTriggerHeight : m_headerViewFrame.height();
}

void STableViewController::pinHeaderView()
{
    if (m_tableView)
        m_tableView->setContentInset(QMargins(0, int(headerRefreshHeight()), 0, 0), InsetAnimationMs);
}

void STableViewController::unpinHeaderView()
{
    if (m_tableView)
        m_tableView->setContentInset(QMargins(), InsetAnimationMs);
}

void STableViewController::willBeginRefresh()
{
    if (m_pullToRefreshEnabled)
        pinHeaderView();
}

void STableViewController::willShowHeaderView(ScrollView *) {}

void STableViewController::headerViewDidScroll(bool, ScrollView *) {}

bool STableViewController::refresh()
{
    if (m_isRefreshing)
        return false;
    willBeginRefresh();
    m_isRefreshing = true;
    return true;
}

void STableViewController::refreshCompleted()
{
    m_isRefreshing = false;
    if (m_pullToRefreshEnabled)
        unpinHeaderView();
}

void STableViewController::setFooterView(QWidget *view)
{
    if (!m_tableView)
        return;
    m_tableView->setTableFooterView(nullptr);
    m_footerView = view;
    if (view && !view->parentWidget())
        view->setParent(m_tableView);
    m_tableView->setTableFooterView(view);
}

void STableViewController::willBeginLoadingMore() {}

void STableViewController::loadMoreCompleted()
{
    m_isLoadingMore = false;
}

bool STableViewController::loadMore()
{
    if (m_isLoadingMore)
        return false;
    willBeginLoadingMore();
    m_isLoadingMore = true;
    return true;
}

double STableViewController::footerLoadMoreHeight() const
{
    return m_footerView ? m_footerView->height() : DefaultTriggerHeight;
}

void STableViewController::setFooterViewVisibility(bool visible)
{
    if (!m_tableView)
        return;
    if (visible) {
        if (m_footerView && m_tableView->tableFooterView() != m_footerView) {
            m_tableView->setTableFooterView(m_footerView);
            m_footerView->show();
        }
    } else {
        m_tableView->setTableFooterView(nullptr);
    }
}

void STableViewController::allLoadingCompleted()
{
    if (m_isRefreshing)
        refreshCompleted();
    if (m_isLoadingMore)
        loadMoreCompleted();
}

void STableViewController::scrollViewWillBeginDragging(ScrollView *)
{
    if (!m_isRefreshing)
        m_isDragging = true;
}

void STableViewController::scrollViewDidScroll(ScrollView *scrollView)
{
    if (!scrollView)
        return;
    const double offset = scrollView->contentOffset().y();
    if (!m_isRefreshing && m_isDragging && offset < 0) {
        headerViewDidScroll(offset < -headerRefreshHeight(), scrollView);
        return;
    }
    if (m_isLoadingMore || !m_canLoadMore)
        return;
    const double toEnd = scrollView->contentSize().height() - scrollView->height() - offset;
    if (toEnd < footerLoadMoreHeight())
        loadMore();
}

void STableViewController::scrollViewDidEndDragging(ScrollView *scrollView, bool)
{
    if (m_isRefreshing)
        return;
    m_isDragging = false;
    if (scrollView && scrollView->contentOffset().y() <= -headerRefreshHeight() && m_pullToRefreshEnabled)
        refresh();
}

int STableViewController::numberOfRows(TableView *, int)
{
    return 0;
}

TableViewCell *STableViewController::cellForRow(TableView *, const IndexPath &)
{
    return nullptr;
}

void STableViewController::releaseViewComponents()
{
    if (m_tableView) {
        m_tableView->setTableFooterView(nullptr);
        if (m_tableView->dataSource() == this)
            m_tableView->setDataSource(nullptr);
        disconnect(m_tableView, nullptr, this, nullptr);
    }
    m_headerView = nullptr;
    m_footerView = nullptr;
    m_headerViewFrame = QRect();
    m_tableView = nullptr;
}
