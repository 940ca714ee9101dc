#include "ActivityIndicatorView.h"

#include <QPainter>

ActivityIndicatorView::ActivityIndicatorView(QWidget *parent) : QWidget(parent)
{
    m_timer.setInterval(80);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        m_step = (m_step + 1) % 12;
        update();
    });
    setVisible(!m_hides);
}

void ActivityIndicatorView::startAnimating()
{
    m_timer.start();
    show();
}

void ActivityIndicatorView::stopAnimating()
{
    m_timer.stop();
    if (m_hides)
        hide();
}

void ActivityIndicatorView::setHidesWhenStopped(bool hides)
{
    m_hides = hides;
    if (!isAnimating())
        setVisible(!hides);
}

void ActivityIndicatorView::setColor(const QColor &color)
{
    m_color = color;
    update();
}

void ActivityIndicatorView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal r = std::min(width(), height()) / 2.0;
    painter.translate(rect().center());
    for (int i = 0; i < 12; ++i) {
        QColor c = m_color;
        c.setAlphaF(0.25f + 0.75f * float((i - m_step + 12) % 12) / 11.0f);
        painter.setPen(Qt::NoPen);
        painter.setBrush(c);
        painter.drawRoundedRect(QRectF(-r * 0.09, -r, r * 0.18, r * 0.5), r * 0.09, r * 0.09);
        painter.rotate(30);
    }
}
