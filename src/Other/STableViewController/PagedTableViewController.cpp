#include "PagedTableViewController.h"

#include "ActivityIndicatorView.h"
#include "Application.h"
#include "PhoneLabel.h"
#include "STableFooterView.h"
#include "Texts.h"

void PagedTableViewController::willBeginLoadingMore()
{
    setFooterViewVisibility(true);
    if (m_loadMoreFooter && m_loadMoreFooter->activityIndicator())
        m_loadMoreFooter->activityIndicator()->startAnimating();
}

bool PagedTableViewController::loadMore()
{
    if (!STableViewController::loadMore())
        return false;
    MainLoop::post(this, [this] { addItemsOnBottom(); });
    return true;
}

void PagedTableViewController::addItemsOnBottom()
{
    setCanLoadMore(false);
    fetchNextPage();
    loadMoreCompleted();
}

void PagedTableViewController::loadMoreCompleted()
{
    STableViewController::loadMoreCompleted();
    if (m_loadMoreFooter) {
        if (m_loadMoreFooter->activityIndicator())
            m_loadMoreFooter->activityIndicator()->stopAnimating();
        if (m_loadMoreFooter->infoLabel())
            m_loadMoreFooter->infoLabel()->hide();
    }
}

void PagedTableViewController::installLoadMoreFooter()
{
    if (!tableView())
        return;
    m_loadMoreFooter = new STableFooterView(tableView());
    setFooterView(m_loadMoreFooter);
}

PageWindow::Request PagedTableViewController::nextPageRequest()
{
    const PageWindow::Request request = m_pageWindow.next();
    if (request.showLoading)
        showLoading();
    return request;
}

void PagedTableViewController::applyOutcome(const PageWindow::Outcome &outcome, bool listShown)
{
    setCanLoadMore(outcome.canLoadMore);
    if (!outcome.canLoadMore)
        setFooterViewVisibility(false);
    if (outcome.showNoData && listShown)
        showToast(Texts::get(u"noData"_qs));
    hideLoading();
    if (tableView())
        tableView()->reloadData();
}
