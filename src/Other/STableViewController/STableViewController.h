#pragma once

#include "MainCtrl.h"
#include "TableView.h"

#include <QPointer>
#include <QRect>

// The base of screens whose content is one list that grows page by page as
// the customer scrolls to its end. Watches the list's scrolling to decide
// when the next page is due; also carries a pull-to-refresh header, which
// the screens leave switched off.
class STableViewController : public MainCtrl, public TableViewDataSource
{
    Q_OBJECT
public:
    static constexpr int DefaultTriggerHeight = 52;
    static constexpr int InsetAnimationMs = 300;

    // Defaults: loading more on, pull-to-refresh off, selection cleared on appearance.
    explicit STableViewController(QObject *parent = nullptr);
    // As a screen made from a layout by name: every flag starts false.
    struct FromLayout
    {
    };
    STableViewController(FromLayout, QObject *parent = nullptr);
    ~STableViewController() override;

    // Subclasses hand over their list once their view has loaded.
    TableView *tableView() const { return m_tableView; }
    void setTableView(TableView *table);

    QWidget *headerView() const { return m_headerView; }
    void setHeaderView(QWidget *view);
    QRect headerViewFrame() const { return m_headerViewFrame; }
    QWidget *footerView() const { return m_footerView; }
    void setFooterView(QWidget *view);

    bool isDragging() const { return m_isDragging; }
    bool isRefreshing() const { return m_isRefreshing; }
    bool isLoadingMore() const { return m_isLoadingMore; }
    bool canLoadMore() const { return m_canLoadMore; }
    void setCanLoadMore(bool can) { m_canLoadMore = can; }
    bool pullToRefreshEnabled() const { return m_pullToRefreshEnabled; }
    void setPullToRefreshEnabled(bool enabled) { m_pullToRefreshEnabled = enabled; }
    bool clearsSelectionOnViewWillAppear() const { return m_clearsSelection; }
    void setClearsSelectionOnViewWillAppear(bool clears) { m_clearsSelection = clears; }

    virtual double headerRefreshHeight() const;
    void pinHeaderView();
    void unpinHeaderView();
    virtual void willBeginRefresh();
    virtual void willShowHeaderView(ScrollView *scrollView);
    virtual void headerViewDidScroll(bool willRefreshOnRelease, ScrollView *scrollView);
    virtual bool refresh();
    virtual void refreshCompleted();

    virtual void willBeginLoadingMore();
    virtual void loadMoreCompleted();
    virtual bool loadMore();
    virtual double footerLoadMoreHeight() const;
    void setFooterViewVisibility(bool visible);
    void allLoadingCompleted();

    // The list's scroll callbacks.
    void scrollViewWillBeginDragging(ScrollView *scrollView);
    void scrollViewDidScroll(ScrollView *scrollView);
    void scrollViewDidEndDragging(ScrollView *scrollView, bool willDecelerate);

    // Subclasses replace both.
    int numberOfRows(TableView *table, int section) override;
    TableViewCell *cellForRow(TableView *table, const IndexPath &indexPath) override;

    // Lets go of the header, the footer and the list.
    void releaseViewComponents();

protected:
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;

private:
    void initialize();

    QPointer<TableView> m_tableView;
    QPointer<QWidget> m_headerView;
    QPointer<QWidget> m_footerView;
    QRect m_headerViewFrame;
    bool m_isDragging = false;
    bool m_isRefreshing = false;
    bool m_isLoadingMore = false;
    bool m_canLoadMore = false;
    bool m_pullToRefreshEnabled = false;
    bool m_clearsSelection = false;
};
