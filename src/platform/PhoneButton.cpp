#include "PhoneButton.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QPainter>

PhoneButton::PhoneButton(QWidget *parent) : QAbstractButton(parent)
{
    m_colors.insert(Normal, Qt::black);
    setFocusPolicy(Qt::NoFocus);
}

template <typename T>
T PhoneButton::pick(const QHash<State, T> &values, State state, const T &fallback)
{
    if (auto it = values.constFind(state); it != values.constEnd())
        return *it;
    return values.value(Normal, fallback);
}

void PhoneButton::setTitle(const QString &title, State state)
{
    if (state == Normal)
        setText(title);
    else
        m_titles.insert(state, title);
    update();
}

QString PhoneButton::title(State state) const
{
    if (state == Normal)
        return text();
    return m_titles.contains(state) ? m_titles.value(state) : text();
}

void PhoneButton::setTitleColor(const QColor &color, State state)
{
    m_colors.insert(state, color);
    update();
}

QColor PhoneButton::titleColor(State state) const
{
    return pick(m_colors, state, QColor(Qt::black));
}

void PhoneButton::setImage(const QPixmap &image, State state)
{
    m_images.insert(state, image);
    update();
}

QPixmap PhoneButton::image(State state) const
{
    return pick(m_images, state, QPixmap());
}

void PhoneButton::setBackgroundImage(const StretchableImage &image, State state)
{
    m_backgrounds.insert(state, image);
    update();
}

StretchableImage PhoneButton::backgroundImage(State state) const
{
    return pick(m_backgrounds, state, StretchableImage());
}

PhoneButton::State PhoneButton::currentState() const
{
    if (!isEnabled())
        return Disabled;
    if (isDown())
        return Highlighted;
    if (m_selected)
        return Selected;
    return Normal;
}

void PhoneButton::setSelected(bool selected)
{
    m_selected = selected;
    update();
}

void PhoneButton::setTitleEdgeInsets(const QMargins &insets)
{
    m_titleInsets = insets;
    update();
}

void PhoneButton::setTitleShadow(const QColor &color, const QPointF &offset)
{
    m_shadowColor = color;
    m_shadowOffset = offset;
    update();
}

void PhoneButton::setElideMode(Qt::TextElideMode mode)
{
    m_elide = mode;
    update();
}

QString PhoneButton::displayedTitle() const
{
    const QRect area = rect().marginsRemoved(m_titleInsets);
    return fontMetrics().elidedText(currentTitle(), m_elide, std::max(0, area.width()));
}

void PhoneButton::setImageName(const QString &name)
{
    m_imageName = name;
    setImage(Images::named(name));
}

void PhoneButton::setBackgroundImageName(const QString &name)
{
    m_backgroundName = name;
    setBackgroundImage({Images::named(name), 0, 0});
}

QSize PhoneButton::sizeHint() const
{
    const QFontMetrics metrics = fontMetrics();
    return QSize(metrics.horizontalAdvance(text()) + 16, std::max(30, metrics.height() + 8));
}

void PhoneButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const State state = currentState();
    backgroundImage(state).draw(painter, QRectF(rect()));
    QRect area = rect().marginsRemoved(m_titleInsets);
    const QPixmap picture = image(state);
    const QString shown = displayedTitle();
    if (!picture.isNull()) {
        const QSizeF size = picture.deviceIndependentSize();
        QRectF slot;
        if (shown.isEmpty()) {
            slot = QRectF(area);
        } else if (m_imageAboveTitle) {
            const qreal titleHeight = QFontMetricsF(font()).height();
            slot = QRectF(area.x(), area.y(), area.width(), std::max<qreal>(0, area.height() - titleHeight));
        } else {
            slot = QRectF(area.x(), area.y(), std::min<qreal>(size.width(), area.width() / 2.0), area.height());
        }
        QSizeF fitted = size.scaled(slot.size(), Qt::KeepAspectRatio);
        if (size.width() <= slot.width() && size.height() <= slot.height())
            fitted = size;
        const QRectF drawn(slot.center().x() - fitted.width() / 2, slot.center().y() - fitted.height() / 2,
                           fitted.width(), fitted.height());
        painter.drawPixmap(drawn, picture, QRectF(picture.rect()));
        if (!shown.isEmpty() && m_imageAboveTitle)
            area.setTop(int(slot.bottom()));
        else if (!shown.isEmpty())
            area.setLeft(int(slot.right()) + 2);
    }
    if (shown.isEmpty())
        return;
    painter.setFont(font());
    if (m_shadowColor.isValid()) {
        painter.setPen(m_shadowColor);
        painter.drawText(QRectF(area).translated(m_shadowOffset), Qt::AlignCenter, shown);
    }
    painter.setPen(titleColor(state));
    painter.drawText(area, Qt::AlignCenter, shown);
}

void PhoneButton::setImageAboveTitle(bool above)
{
    m_imageAboveTitle = above;
    update();
}

void PhoneButton::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::EnabledChange)
        update();
    QAbstractButton::changeEvent(event);
}
