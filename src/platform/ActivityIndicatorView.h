#pragma once

#include <QColor>
#include <QTimer>
#include <QWidget>

// A spinning wheel; hidden while stopped unless told otherwise.
class ActivityIndicatorView : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(bool hidesWhenStopped READ hidesWhenStopped WRITE setHidesWhenStopped)
    Q_PROPERTY(QColor color READ color WRITE setColor)
public:
    explicit ActivityIndicatorView(QWidget *parent = nullptr);

    void startAnimating();
    void stopAnimating();
    bool isAnimating() const { return m_timer.isActive(); }
    bool hidesWhenStopped() const { return m_hides; }
    void setHidesWhenStopped(bool hides);
    QColor color() const { return m_color; }
    void setColor(const QColor &color);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QTimer m_timer;
    int m_step = 0;
    bool m_hides = true;
    QColor m_color = QColor(0x80, 0x80, 0x80);
};
