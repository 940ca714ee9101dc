#include "TableView.h"

#include <QPainter>

#include <algorithm>

TableViewCell::TableViewCell(QWidget *parent) : QWidget(parent) {}

void TableViewCell::setSelected(bool selected, bool)
{
    m_selected = selected;
    update();
}

void TableViewCell::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (m_selected)
        painter.fillRect(rect(), QColor(0x1a, 0x7a, 0xe0, 90));
    painter.setPen(QColor(0xd8, 0xd8, 0xd8));
    painter.drawLine(0, height() - 1, width(), height() - 1);
}

int TableViewDataSource::numberOfSections(TableView *)
{
    return 1;
}

int TableViewDataSource::heightForRow(TableView *table, const IndexPath &)
{
    return table->rowHeight();
}

int TableViewDataSource::heightForHeader(TableView *, int)
{
    return 0;
}

QWidget *TableViewDataSource::viewForHeader(TableView *, int)
{
    return nullptr;
}

void TableViewDataSource::didSelectRow(TableView *, const IndexPath &) {}

TableView::TableView(QWidget *parent) : ScrollView(parent)
{
    connect(this, &ScrollView::tapped, this, &TableView::onTap);
}

TableView::~TableView()
{
    m_source = nullptr;
}

void TableView::setDataSource(TableViewDataSource *source)
{
    m_source = source;
}

void TableView::setRowHeight(int height)
{
    m_rowHeight = std::max(1, height);
}

int TableView::numberOfRows(int section) const
{
    return section >= 0 && section < m_sections.size() ? int(m_sections.at(section).rowTops.size()) : 0;
}

void TableView::reloadData()
{
    for (TableViewCell *cell : std::as_const(m_visible))
        enqueue(cell);
    m_visible.clear();
    for (Section &section : m_sections)
        delete section.headerView.data();
    m_sections.clear();
    m_selected = {-1, -1};
    computeGeometry();
    layoutContent();
}

void TableView::computeGeometry()
{
    int y = m_header ? m_header->height() : 0;
    const int sections = m_source ? std::max(0, m_source->numberOfSections(this)) : 0;
    for (int s = 0; s < sections; ++s) {
        Section section;
        section.top = y;
        section.headerHeight = std::max(0, m_source->heightForHeader(this, s));
        if (section.headerHeight > 0) {
            section.headerView = m_source->viewForHeader(this, s);
            if (section.headerView)
                addContentWidget(section.headerView, QRect(0, y, width(), section.headerHeight));
        }
        y += section.headerHeight;
        const int rows = std::max(0, m_source->numberOfRows(this, s));
        for (int r = 0; r < rows; ++r) {
            const int h = std::max(0, m_source->heightForRow(this, {s, r}));
            section.rowTops.append(y);
            section.rowHeights.append(h);
            y += h;
        }
        m_sections.append(section);
    }
    m_rowsBottom = y;
    if (m_footer)
        setContentGeometry(m_footer, QRect(0, y, width(), m_footer->height()));
    setContentSize(QSize(width(), y + (m_footer ? m_footer->height() : 0)));
}

QRect TableView::rectForRow(const IndexPath &indexPath) const
{
    if (indexPath.section < 0 || indexPath.section >= m_sections.size())
        return {};
    const Section &section = m_sections.at(indexPath.section);
    if (indexPath.row < 0 || indexPath.row >= section.rowTops.size())
        return {};
    return QRect(0, section.rowTops.at(indexPath.row), width(), section.rowHeights.at(indexPath.row));
}

IndexPath TableView::indexPathForRow(const QPointF &contentPoint) const
{
    const int y = int(contentPoint.y());
    for (int s = 0; s < m_sections.size(); ++s) {
        const Section &section = m_sections.at(s);
        for (int r = 0; r < section.rowTops.size(); ++r) {
            if (y >= section.rowTops.at(r) && y < section.rowTops.at(r) + section.rowHeights.at(r))
                return {s, r};
        }
    }
    return {-1, -1};
}

TableViewCell *TableView::dequeueReusableCell(const QString &identifier)
{
    auto it = m_queue.find(identifier);
    if (it == m_queue.end() || it->isEmpty())
        return nullptr;
    TableViewCell *cell = it->takeLast();
    cell->setSelected(false, false);
    cell->prepareForReuse();
    return cell;
}

void TableView::enqueue(TableViewCell *cell)
{
    removeContentWidget(cell);
    cell->hide();
    if (cell->reuseIdentifier().isEmpty()) {
        cell->deleteLater();
        return;
    }
    if (!m_queue[cell->reuseIdentifier()].contains(cell))
        m_queue[cell->reuseIdentifier()].append(cell);
}

TableViewCell *TableView::cellForRow(const IndexPath &indexPath) const
{
    return m_visible.value(indexPath, nullptr);
}

QList<TableViewCell *> TableView::visibleCells() const
{
    return m_visible.values();
}

QList<IndexPath> TableView::indexPathsForVisibleRows() const
{
    return m_visible.keys();
}

void TableView::layoutContent()
{
    ScrollView::layoutContent();
    updateVisibleCells();
}

void TableView::updateVisibleCells()
{
    if (m_updating || !m_source)
        return;
    m_updating = true;
    const QRectF seen = visibleContentRect();
    QMap<IndexPath, TableViewCell *> keep;
    QList<IndexPath> wanted;
    for (int s = 0; s < m_sections.size(); ++s) {
        const Section &section = m_sections.at(s);
        // Rows are in order: start at the last row whose top is above the view.
        auto first = std::upper_bound(section.rowTops.cbegin(), section.rowTops.cend(), int(seen.top()));
        int r = std::max(0, int(first - section.rowTops.cbegin()) - 1);
        for (; r < section.rowTops.size(); ++r) {
            const int top = section.rowTops.at(r);
            const int h = section.rowHeights.at(r);
            if (top >= seen.bottom())
                break;
            if (h > 0 && top + h > seen.top())
                wanted.append({s, r});
        }
    }
    for (auto it = m_visible.constBegin(); it != m_visible.constEnd(); ++it) {
        if (wanted.contains(it.key())) {
            keep.insert(it.key(), it.value());
            setContentGeometry(it.value(), rectForRow(it.key()));
        }
        else
            enqueue(it.value());
    }
    m_visible = keep;
    for (const IndexPath &path : std::as_const(wanted)) {
        if (m_visible.contains(path))
            continue;
        TableViewCell *cell = m_source->cellForRow(this, path);
        if (!cell)
            continue;
        // A cell handed out again leaves the queue for good.
        m_queue[cell->reuseIdentifier()].removeAll(cell);
        m_visible.insert(path, cell);
        addContentWidget(cell, rectForRow(path));
        cell->setSelected(path == m_selected, false);
    }
    m_updating = false;
}

void TableView::selectRow(const IndexPath &indexPath, bool animated)
{
    if (TableViewCell *old = cellForRow(m_selected))
        old->setSelected(false, animated);
    m_selected = rectForRow(indexPath).isNull() ? IndexPath{-1, -1} : indexPath;
    if (TableViewCell *cell = cellForRow(m_selected))
        cell->setSelected(true, animated);
}

void TableView::deselectRow(const IndexPath &indexPath, bool animated)
{
    if (!(indexPath == m_selected))
        return;
    if (TableViewCell *cell = cellForRow(indexPath))
        cell->setSelected(false, animated);
    m_selected = {-1, -1};
}

void TableView::onTap(const QPointF &contentPoint)
{
    const IndexPath path = indexPathForRow(contentPoint);
    if (!path.isValid())
        return;
    selectRow(path, false);
    Q_EMIT rowSelected(path);
    if (m_source)
        m_source->didSelectRow(this, path);
}

void TableView::setTableHeaderView(QWidget *view)
{
    if (view == m_header)
        return;
    if (m_header) {
        removeContentWidget(m_header);
        delete m_header.data();
    }
    m_header = view;
    if (view)
        addContentWidget(view, QRect(0, 0, width(), view->height()));
    computeGeometry();
    layoutContent();
}

void TableView::setTableFooterView(QWidget *view)
{
    if (view == m_footer)
        return;
    if (m_footer) {
        // The old footer goes back to its owner hidden; the table does not
        // delete a view it was given only to show.
        removeContentWidget(m_footer);
        m_footer->hide();
    }
    m_footer = view;
    if (view)
        addContentWidget(view, QRect(0, m_rowsBottom, width(), view->height()));
    setContentSize(QSize(width(), m_rowsBottom + (view ? view->height() : 0)));
}

void TableView::scrollToTop(bool animated)
{
    setContentOffset(minimumOffset(), animated);
}
