#pragma once

#include <QHash>
#include <QMargins>
#include <QPointF>
#include <QPointer>
#include <QSize>
#include <QWidget>

class QVariantAnimation;

// A view that shows part of a larger content area. Content widgets are
// children placed in content coordinates (negative ones too: a view just
// above the first row shows when the content is pulled down). Dragging with
// the mouse moves the content and may pull it past its edges; on release it
// settles back into range, or onto a page with paging on.
class ScrollView : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QPointF contentOffset READ contentOffset WRITE setContentOffset NOTIFY didScroll)
public:
    explicit ScrollView(QWidget *parent = nullptr);
    ~ScrollView() override;

    QSize contentSize() const { return m_contentSize; }
    void setContentSize(const QSize &size);
    QPointF contentOffset() const { return m_offset; }
    void setContentOffset(const QPointF &offset);
    void setContentOffset(const QPointF &offset, bool animated);
    QMargins contentInset() const { return m_inset; }
    void setContentInset(const QMargins &inset);
    // Moves the insets over durationMs (at once with animations off).
    void setContentInset(const QMargins &inset, int durationMs);
    bool isPagingEnabled() const { return m_paging; }
    void setPagingEnabled(bool paging) { m_paging = paging; }
    bool bounces() const { return m_bounces; }
    void setBounces(bool bounces) { m_bounces = bounces; }
    bool isScrollEnabled() const { return m_scrollEnabled; }
    void setScrollEnabled(bool enabled) { m_scrollEnabled = enabled; }

    bool isDragging() const { return m_dragging; }
    bool isDecelerating() const { return m_settle != nullptr; }

    // The offsets the content settles within.
    QPointF minimumOffset() const;
    QPointF maximumOffset() const;

    void addContentWidget(QWidget *widget, const QRect &contentRect);
    void setContentGeometry(QWidget *widget, const QRect &contentRect);
    QRect contentGeometry(QWidget *widget) const;
    void removeContentWidget(QWidget *widget);
    // The visible part of the content, in content coordinates.
    QRectF visibleContentRect() const;

Q_SIGNALS:
    void willBeginDragging();
    void didScroll();
    void didEndDragging(bool willDecelerate);
    void didEndDecelerating();
    // A press and release without dragging, in content coordinates.
    void tapped(const QPointF &contentPoint);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    // Places the content widgets for the current offset.
    virtual void layoutContent();

private:
    QPointF clamped(const QPointF &offset) const;
    QPointF settleTarget() const;
    void settle();

    QSize m_contentSize;
    QPointF m_offset;
    QMargins m_inset;
    bool m_paging = false;
    bool m_bounces = true;
    bool m_scrollEnabled = true;
    bool m_tracking = false;
    bool m_dragging = false;
    QPointF m_pressPos;
    QPointF m_pressOffset;
    QHash<QWidget *, QRect> m_placed;
    QVariantAnimation *m_settle = nullptr;
};
