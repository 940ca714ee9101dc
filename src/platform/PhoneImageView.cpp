#include "PhoneImageView.h"

#include "Images.h"

#include <QPainter>

PhoneImageView::PhoneImageView(QWidget *parent) : QWidget(parent) {}

void PhoneImageView::setImage(const QPixmap &image)
{
    m_image = image;
    update();
}

void PhoneImageView::setImageName(const QString &name)
{
    m_name = name;
    setImage(Images::named(name));
}

void PhoneImageView::setContentMode(ContentMode mode)
{
    m_mode = mode;
    update();
}

QRectF PhoneImageView::imageRect() const
{
    const QSizeF size = m_image.deviceIndependentSize();
    const QRectF area(rect());
    if (m_image.isNull() || size.isEmpty())
        return {};
    QSizeF drawn = area.size();
    switch (m_mode) {
    case ContentMode::ScaleToFill:
        return area;
    case ContentMode::AspectFit:
        drawn = size.scaled(area.size(), Qt::KeepAspectRatio);
        break;
    case ContentMode::AspectFill:
        drawn = size.scaled(area.size(), Qt::KeepAspectRatioByExpanding);
        break;
    case ContentMode::Center:
        drawn = size;
        break;
    }
    return QRectF(area.center().x() - drawn.width() / 2, area.center().y() - drawn.height() / 2,
                  drawn.width(), drawn.height());
}

void PhoneImageView::paintEvent(QPaintEvent *)
{
    if (m_image.isNull())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setClipRect(rect());
    painter.drawPixmap(imageRect(), m_image, QRectF(m_image.rect()));
}
