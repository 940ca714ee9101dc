#include "ScrollView.h"

#include "Animations.h"

#include <QMouseEvent>
#include <QVariantAnimation>
#include <QWheelEvent>

namespace {
constexpr qreal DragThreshold = 4;
constexpr int SettleMs = 250;
} // namespace

ScrollView::ScrollView(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

ScrollView::~ScrollView()
{
    // Children die after this object's members: they must not reach m_placed.
    for (auto it = m_placed.constBegin(); it != m_placed.constEnd(); ++it)
        disconnect(it.key(), &QObject::destroyed, this, nullptr);
    m_placed.clear();
}

void ScrollView::setContentSize(const QSize &size)
{
    m_contentSize = size;
    layoutContent();
}

void ScrollView::setContentOffset(const QPointF &offset)
{
    if (offset == m_offset)
        return;
    m_offset = offset;
    layoutContent();
    Q_EMIT didScroll();
}

void ScrollView::setContentOffset(const QPointF &offset, bool animated)
{
    if (m_settle) {
        m_settle->stop();
        m_settle->deleteLater();
        m_settle = nullptr;
    }
    if (!animated || !Animations::enabled()) {
        setContentOffset(offset);
        return;
    }
    auto *animation = new QVariantAnimation(this);
    animation->setStartValue(m_offset);
    animation->setEndValue(offset);
    animation->setDuration(SettleMs);
    connect(animation, &QVariantAnimation::valueChanged, this,
            [this](const QVariant &value) { setContentOffset(value.toPointF()); });
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

void ScrollView::setContentInset(const QMargins &inset)
{
    m_inset = inset;
    layoutContent();
}

void ScrollView::setContentInset(const QMargins &inset, int durationMs)
{
    if (!Animations::enabled() || durationMs <= 0) {
        setContentInset(inset);
        return;
    }
    const QMargins start = m_inset;
    auto *animation = new QVariantAnimation(this);
    animation->setStartValue(0.0);
    animation->setEndValue(1.0);
    animation->setDuration(durationMs);
    connect(animation, &QVariantAnimation::valueChanged, this, [this, start, inset](const QVariant &value) {
        const qreal t = value.toReal();
        auto mix = [t](int a, int b) { return int(std::lround(a + (b - a) * t)); };
        setContentInset(QMargins(mix(start.left(), inset.left()), mix(start.top(), inset.top()),
                                 mix(start.right(), inset.right()), mix(start.bottom(), inset.bottom())));
    });
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

QPointF ScrollView::minimumOffset() const
{
    return QPointF(-m_inset.left(), -m_inset.top());
}

QPointF ScrollView::maximumOffset() const
{
    const QPointF minimum = minimumOffset();
    return QPointF(std::max(minimum.x(), qreal(m_contentSize.width() + m_inset.right() - width())),
                   std::max(minimum.y(), qreal(m_contentSize.height() + m_inset.bottom() - height())));
}

QPointF ScrollView::clamped(const QPointF &offset) const
{
    const QPointF lo = minimumOffset();
    const QPointF hi = maximumOffset();
    return QPointF(std::clamp(offset.x(), lo.x(), hi.x()), std::clamp(offset.y(), lo.y(), hi.y()));
}

void ScrollView::addContentWidget(QWidget *widget, const QRect &contentRect)
{
    widget->setParent(this);
    m_placed.insert(widget, contentRect);
    connect(widget, &QObject::destroyed, this, [this, widget] { m_placed.remove(widget); });
    widget->setGeometry(contentRect.translated(-m_offset.toPoint()));
    widget->show();
}

void ScrollView::setContentGeometry(QWidget *widget, const QRect &contentRect)
{
    if (!m_placed.contains(widget)) {
        addContentWidget(widget, contentRect);
        return;
    }
    m_placed.insert(widget, contentRect);
    widget->setGeometry(contentRect.translated(-m_offset.toPoint()));
}

QRect ScrollView::contentGeometry(QWidget *widget) const
{
    return m_placed.value(widget);
}

void ScrollView::removeContentWidget(QWidget *widget)
{
    if (m_placed.remove(widget))
        disconnect(widget, &QObject::destroyed, this, nullptr);
}

QRectF ScrollView::visibleContentRect() const
{
    return QRectF(m_offset, QSizeF(size()));
}

void ScrollView::layoutContent()
{
    const QPoint shift = -m_offset.toPoint();
    for (auto it = m_placed.constBegin(); it != m_placed.constEnd(); ++it)
        it.key()->setGeometry(it.value().translated(shift));
}

void ScrollView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layoutContent();
}

void ScrollView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    if (m_settle) {
        m_settle->stop();
        m_settle->deleteLater();
        m_settle = nullptr;
    }
    m_tracking = true;
    m_dragging = false;
    m_pressPos = event->position();
    m_pressOffset = m_offset;
    event->accept();
}

void ScrollView::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_tracking || !m_scrollEnabled)
        return;
    const QPointF delta = event->position() - m_pressPos;
    if (!m_dragging) {
        if (std::abs(delta.x()) < DragThreshold && std::abs(delta.y()) < DragThreshold)
            return;
        m_dragging = true;
        Q_EMIT willBeginDragging();
    }
    QPointF wanted = m_pressOffset - delta;
    // Content narrower than the view does not move sideways, and vice versa.
    const QPointF lo = minimumOffset();
    const QPointF hi = maximumOffset();
    if (hi.x() <= lo.x())
        wanted.setX(lo.x());
    const QPointF inRange = clamped(wanted);
    if (m_bounces) {
        // Past an edge the content follows the finger at half the speed.
        wanted = inRange + (wanted - inRange) / 2;
        if (hi.x() <= lo.x())
            wanted.setX(lo.x());
    } else {
        wanted = inRange;
    }
    setContentOffset(wanted);
}

void ScrollView::mouseReleaseEvent(QMouseEvent *event)
{
    if (!m_tracking)
        return;
    m_tracking = false;
    if (!m_dragging) {
        Q_EMIT tapped(event->position() + m_offset);
        return;
    }
    m_dragging = false;
    const bool decelerate = settleTarget() != m_offset;
    Q_EMIT didEndDragging(decelerate);
    if (decelerate)
        settle();
}

QPointF ScrollView::settleTarget() const
{
    QPointF target = clamped(m_offset);
    if (m_paging && width() > 0) {
        const qreal page = width();
        target.setX(std::round(target.x() / page) * page);
        target = clamped(target);
    }
    return target;
}

void ScrollView::settle()
{
    const QPointF target = settleTarget();
    if (!Animations::enabled()) {
        setContentOffset(target);
        Q_EMIT didEndDecelerating();
        return;
    }
    m_settle = new QVariantAnimation(this);
    m_settle->setStartValue(m_offset);
    m_settle->setEndValue(target);
    m_settle->setDuration(SettleMs);
    connect(m_settle, &QVariantAnimation::valueChanged, this,
            [this](const QVariant &value) { setContentOffset(value.toPointF()); });
    connect(m_settle, &QVariantAnimation::finished, this, [this] {
        m_settle->deleteLater();
        m_settle = nullptr;
        Q_EMIT didEndDecelerating();
    });
    m_settle->start();
}

void ScrollView::wheelEvent(QWheelEvent *event)
{
    if (!m_scrollEnabled) {
        event->ignore();
        return;
    }
    const QPoint step = event->pixelDelta().isNull() ? event->angleDelta() / 4 : event->pixelDelta();
    setContentOffset(clamped(m_offset - QPointF(step)));
    event->accept();
}
