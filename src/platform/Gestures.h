#pragma once

#include <QObject>
#include <QPointF>
#include <QPointer>
#include <QWidget>

// A drag on a view, from the press to the release. The view keeps getting
// its own mouse events; the recogniser only watches them.
class PanGestureRecognizer : public QObject
{
    Q_OBJECT
public:
    enum class State { Possible, Began, Changed, Ended, Cancelled };

    explicit PanGestureRecognizer(QWidget *view);

    QWidget *view() const { return m_view; }
    State state() const { return m_state; }
    // The finger in the coordinates of the given view (the recogniser's own when null).
    QPointF locationInView(QWidget *in = nullptr) const;
    // The movement since the drag began, in the recogniser's view.
    QPointF translation() const { return m_current - m_start; }
    void setTranslation(const QPointF &translation) { m_start = m_current - translation; }

Q_SIGNALS:
    void stateChanged(PanGestureRecognizer *recognizer);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void setState(State state);

    QPointer<QWidget> m_view;
    State m_state = State::Possible;
    bool m_pressed = false;
    QPointF m_start;
    QPointF m_current;
};

// A press and release close together on a view.
class TapGestureRecognizer : public QObject
{
    Q_OBJECT
public:
    explicit TapGestureRecognizer(QWidget *view);

Q_SIGNALS:
    void tapped(const QPointF &location);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool m_pressed = false;
    QPointF m_start;
};
