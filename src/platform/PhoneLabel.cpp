#include "PhoneLabel.h"

#include "Fonts.h"

#include <QPainter>

PhoneLabel::PhoneLabel(QWidget *parent) : QLabel(parent) {}

void PhoneLabel::setMinimumFontSize(qreal size)
{
    m_minimumFontSize = size;
    update();
}

void PhoneLabel::setAdjustsFontSizeToFitWidth(bool adjusts)
{
    m_adjusts = adjusts;
    update();
}

QColor PhoneLabel::textColor() const
{
    return palette().color(QPalette::WindowText);
}

void PhoneLabel::setTextColor(const QColor &color)
{
    QPalette p = palette();
    p.setColor(QPalette::WindowText, color);
    setPalette(p);
}

qreal PhoneLabel::displayedFontSize() const
{
    qreal size = Fonts::sizeOf(font());
    if (!m_adjusts || wordWrap() || m_minimumFontSize <= 0 || m_minimumFontSize >= size)
        return size;
    QFont f = font();
    const int available = contentsRect().width();
    while (size > m_minimumFontSize) {
        Fonts::setSize(f, size);
        if (QFontMetrics(f).horizontalAdvance(text()) <= available)
            break;
        size = std::max(m_minimumFontSize, size - 1);
    }
    return size;
}

void PhoneLabel::paintEvent(QPaintEvent *event)
{
    const qreal size = displayedFontSize();
    if (size == Fonts::sizeOf(font()) || textFormat() == Qt::RichText) {
        QLabel::paintEvent(event);
        return;
    }
    QPainter painter(this);
    QFont f = font();
    Fonts::setSize(f, size);
    painter.setFont(f);
    painter.setPen(textColor());
    const QString shown = QFontMetrics(f).elidedText(text(), Qt::ElideRight, contentsRect().width());
    painter.drawText(contentsRect(), int(alignment()), shown);
}
