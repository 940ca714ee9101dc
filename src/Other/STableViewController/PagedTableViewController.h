#pragma once

#include "PageWindow.h"
#include "STableViewController.h"

#include <QList>
#include <QPointer>

#include <optional>

#include "STableFooterView.h"

// The load-more pattern every paged list screen follows: scrolling to the
// end shows the footer and asks for the next page on the next turn of the
// main loop; the answer is applied by the page window rules.
class PagedTableViewController : public STableViewController
{
    Q_OBJECT
public:
    using STableViewController::STableViewController;

    PageWindow &pageWindow() { return m_pageWindow; }
    // The footer made by installLoadMoreFooter, or null.
    STableFooterView *loadMoreFooter() const { return m_loadMoreFooter; }

    void willBeginLoadingMore() override;
    bool loadMore() override;
    void loadMoreCompleted() override;
    // Asks for the next page and ends the page load at once, without
    // waiting for the answer; canLoadMore stays false until it comes.
    void addItemsOnBottom();

    // Applies an answer to rows: appends a list, sets canLoadMore, hides the
    // footer at the end, the "noData" toast when a failure leaves nothing
    // to show, then hides the loading indicator and reloads the list.
    template <typename T>
    void finishPage(QList<T> &rows, const std::optional<QList<T>> &answer, bool listShown = true)
    {
        applyOutcome(PageWindow::apply(rows, answer), listShown);
    }

protected:
    // The screen's own page request, for the window of pageWindow().next().
    virtual void fetchNextPage() = 0;
    // Loads the footer from its layout and makes it the list's footer.
    void installLoadMoreFooter();
    void applyOutcome(const PageWindow::Outcome &outcome, bool listShown);
    // The window of the next request; shows the loading indicator for the first page.
    PageWindow::Request nextPageRequest();

private:
    PageWindow m_pageWindow;
    QPointer<STableFooterView> m_loadMoreFooter;
};
