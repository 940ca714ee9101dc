#include "NavigationBar.h"

#include "ViewController.h"

#include <QLabel>
#include <QLinearGradient>
#include <QPainter>

NavigationBar::NavigationBar(QWidget *parent) : QWidget(parent), m_title(new QLabel(this))
{
    setFixedHeight(Height);
    m_title->setAlignment(Qt::AlignCenter);
    QFont font = m_title->font();
    font.setBold(true);
    font.setPointSizeF(18);
    m_title->setFont(font);
    QPalette palette = m_title->palette();
    palette.setColor(QPalette::WindowText, Qt::white);
    m_title->setPalette(palette);
    m_title->setObjectName(QStringLiteral("navigationTitle"));
}

void NavigationBar::setItem(NavigationItem *item)
{
    if (m_item)
        disconnect(m_item, nullptr, this, nullptr);
    m_item = item;
    if (item)
        connect(item, &NavigationItem::changed, this, &NavigationBar::refresh);
    refresh();
}

QString NavigationBar::title() const
{
    return m_item ? m_item->title() : QString();
}

void NavigationBar::refresh()
{
    QWidget *left = m_item ? m_item->leftWidget() : nullptr;
    QWidget *right = m_item ? m_item->rightWidget() : nullptr;
    if (m_shownLeft && m_shownLeft != left && m_shownLeft->parentWidget() == this)
        m_shownLeft->hide();
    if (m_shownRight && m_shownRight != right && m_shownRight->parentWidget() == this)
        m_shownRight->hide();
    m_shownLeft = left;
    m_shownRight = right;
    for (QWidget *w : {left, right}) {
        if (!w)
            continue;
        if (w->parentWidget() != this)
            w->setParent(this);
        w->show();
    }
    m_title->setText(title());
    layoutItems();
}

void NavigationBar::layoutItems()
{
    constexpr int margin = 5;
    int leftEnd = margin;
    int rightStart = width() - margin;
    if (m_shownLeft) {
        const int h = m_shownLeft->height() > 0 ? m_shownLeft->height() : 30;
        m_shownLeft->move(margin, (height() - h) / 2);
        leftEnd = m_shownLeft->geometry().right() + 1;
    }
    if (m_shownRight) {
        const int h = m_shownRight->height() > 0 ? m_shownRight->height() : 30;
        m_shownRight->move(width() - margin - m_shownRight->width(), (height() - h) / 2);
        rightStart = m_shownRight->x();
    }
    // The title stays centred on the bar while it fits between the items.
    const int side = std::max(leftEnd, width() - rightStart) + margin;
    m_title->setGeometry(side, 0, std::max(0, width() - 2 * side), height());
}

void NavigationBar::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    paintStandard(painter);
}

void NavigationBar::paintStandard(QPainter &painter)
{
    QLinearGradient gradient(0, 0, 0, height());
    gradient.setColorAt(0, QColor(0x8a, 0x9c, 0xb0));
    gradient.setColorAt(1, QColor(0x5a, 0x6e, 0x86));
    painter.fillRect(rect(), gradient);
}

void NavigationBar::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layoutItems();
}
