#include "PageControl.h"

#include <QPainter>

PageControl::PageControl(QWidget *parent) : QWidget(parent) {}

void PageControl::setNumberOfPages(int pages)
{
    m_pages = std::max(0, pages);
    setCurrentPage(m_current);
    update();
}

void PageControl::setCurrentPage(int page)
{
    const int bounded = std::clamp(page, 0, std::max(0, m_pages - 1));
    if (bounded == m_current)
        return;
    m_current = bounded;
    update();
    Q_EMIT currentPageChanged(m_current);
}

void PageControl::setHidesForSinglePage(bool hides)
{
    m_hidesSingle = hides;
    update();
}

void PageControl::paintEvent(QPaintEvent *)
{
    if (m_pages == 0 || (m_hidesSingle && m_pages == 1))
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    constexpr qreal dot = 7;
    constexpr qreal gap = 9;
    const qreal total = m_pages * dot + (m_pages - 1) * gap;
    qreal x = (width() - total) / 2;
    const qreal y = (height() - dot) / 2;
    for (int i = 0; i < m_pages; ++i, x += dot + gap) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(i == m_current ? QColor(255, 255, 255) : QColor(255, 255, 255, 90));
        painter.drawEllipse(QRectF(x, y, dot, dot));
    }
}
