#include "Gestures.h"

#include <QMouseEvent>

namespace {
constexpr qreal Slop = 4;
}

PanGestureRecognizer::PanGestureRecognizer(QWidget *view) : QObject(view), m_view(view)
{
    view->installEventFilter(this);
}

QPointF PanGestureRecognizer::locationInView(QWidget *in) const
{
    if (!in || !m_view || in == m_view)
        return m_current;
    return in->mapFrom(m_view, m_current.toPoint());
}

void PanGestureRecognizer::setState(State state)
{
    m_state = state;
    Q_EMIT stateChanged(this);
}

bool PanGestureRecognizer::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_view)
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        m_pressed = mouse->button() == Qt::LeftButton;
        m_start = m_current = mouse->position();
        m_state = State::Possible;
        break;
    }
    case QEvent::MouseMove: {
        if (!m_pressed)
            break;
        m_current = static_cast<QMouseEvent *>(event)->position();
        if (m_state == State::Possible) {
            const QPointF d = m_current - m_start;
            if (std::abs(d.x()) >= Slop || std::abs(d.y()) >= Slop)
                setState(State::Began);
        } else {
            setState(State::Changed);
        }
        break;
    }
    case QEvent::MouseButtonRelease:
        if (!m_pressed)
            break;
        m_pressed = false;
        m_current = static_cast<QMouseEvent *>(event)->position();
        if (m_state == State::Began || m_state == State::Changed)
            setState(State::Ended);
        m_state = State::Possible;
        break;
    case QEvent::Hide:
        if (m_state == State::Began || m_state == State::Changed) {
            m_pressed = false;
            setState(State::Cancelled);
            m_state = State::Possible;
        }
        break;
    default:
        break;
    }
    return false;
}

TapGestureRecognizer::TapGestureRecognizer(QWidget *view) : QObject(view)
{
    view->installEventFilter(this);
}

bool TapGestureRecognizer::eventFilter(QObject *, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonPress) {
        auto *mouse = static_cast<QMouseEvent *>(event);
        m_pressed = mouse->button() == Qt::LeftButton;
        m_start = mouse->position();
    } else if (event->type() == QEvent::MouseButtonRelease && m_pressed) {
        m_pressed = false;
        const QPointF end = static_cast<QMouseEvent *>(event)->position();
        if (std::abs(end.x() - m_start.x()) < Slop * 2 && std::abs(end.y() - m_start.y()) < Slop * 2)
            Q_EMIT tapped(end);
    }
    return false;
}
