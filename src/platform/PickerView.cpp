#include "PickerView.h"

#include <QHBoxLayout>
#include <QListWidget>

void PickerViewDataSource::didSelectRow(PickerView *, int, int) {}

PickerView::PickerView(QWidget *parent) : QWidget(parent)
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(4);
    resize(320, 216);
    setAutoFillBackground(true);
}

void PickerView::setDataSource(PickerViewDataSource *source)
{
    m_source = source;
    reloadAllComponents();
}

void PickerView::rebuildColumns()
{
    const int wanted = m_source ? std::max(0, m_source->numberOfComponents(this)) : 0;
    while (m_columns.size() > wanted)
        delete m_columns.takeLast();
    while (m_columns.size() < wanted) {
        auto *list = new QListWidget(this);
        list->setFocusPolicy(Qt::NoFocus);
        const int component = int(m_columns.size());
        connect(list, &QListWidget::itemClicked, this,
                [this, list, component](QListWidgetItem *item) { chooseRow(list->row(item), component); });
        layout()->addWidget(list);
        m_columns.append(list);
    }
}

void PickerView::reloadAllComponents()
{
    rebuildColumns();
    for (int c = 0; c < m_columns.size(); ++c)
        fillColumn(c);
}

void PickerView::reloadComponent(int component)
{
    if (component >= 0 && component < m_columns.size())
        fillColumn(component);
}

void PickerView::fillColumn(int component)
{
    QListWidget *list = m_columns.at(component);
    const int keep = std::max(0, list->currentRow());
    list->clear();
    const int rows = m_source ? std::max(0, m_source->numberOfRows(this, component)) : 0;
    for (int r = 0; r < rows; ++r)
        list->addItem(m_source->titleForRow(this, r, component));
    if (rows > 0)
        list->setCurrentRow(std::min(keep, rows - 1));
}

int PickerView::numberOfRows(int component) const
{
    return component >= 0 && component < m_columns.size() ? m_columns.at(component)->count() : 0;
}

int PickerView::selectedRow(int component) const
{
    if (component < 0 || component >= m_columns.size() || m_columns.at(component)->count() == 0)
        return -1;
    return m_columns.at(component)->currentRow();
}

void PickerView::selectRow(int row, int component, bool)
{
    if (component < 0 || component >= m_columns.size())
        return;
    QListWidget *list = m_columns.at(component);
    if (row >= 0 && row < list->count()) {
        list->setCurrentRow(row);
        list->scrollToItem(list->item(row));
    }
}

QString PickerView::titleForRow(int row, int component) const
{
    if (component < 0 || component >= m_columns.size())
        return {};
    QListWidgetItem *item = m_columns.at(component)->item(row);
    return item ? item->text() : QString();
}

QListWidget *PickerView::column(int component) const
{
    return component >= 0 && component < m_columns.size() ? m_columns.at(component) : nullptr;
}

void PickerView::chooseRow(int row, int component)
{
    if (row < 0 || row >= numberOfRows(component))
        return;
    m_columns.at(component)->setCurrentRow(row);
    if (m_source)
        m_source->didSelectRow(this, row, component);
    Q_EMIT rowSelected(row, component);
}
