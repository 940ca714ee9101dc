#pragma once

#include <QPointer>
#include <QTimer>
#include <QWidget>

class QGraphicsOpacityEffect;

// A progress indicator over a view: a dark rounded box with a spinning
// wheel and a label, or with the label only (a short notice, "toast").
// It covers its view and takes its touches while shown.
class ProgressHUD : public QWidget
{
    Q_OBJECT
public:
    enum class Mode { Indeterminate, Text };

    explicit ProgressHUD(QWidget *view);

    Mode mode() const { return m_mode; }
    void setMode(Mode mode);
    QString labelText() const { return m_label; }
    void setLabelText(const QString &text);
    // Space between the box's edge and its content.
    void setMargin(int margin);
    int margin() const { return m_margin; }
    // The box's centre is moved this far below the view's centre.
    void setYOffset(int offset);
    int yOffset() const { return m_yOffset; }
    void setRemoveFromSuperViewOnHide(bool remove) { m_removeOnHide = remove; }

    void show(bool animated);
    void hide(bool animated);
    // Hides after delaySeconds; the timer is hideTimer().
    void hide(bool animated, double delaySeconds);
    QTimer *hideTimer() { return &m_hideTimer; }
    bool isShowing() const { return m_showing; }
    // The box, in this view's coordinates.
    QRect boxRect() const;

Q_SIGNALS:
    void wasHidden(ProgressHUD *hud);

protected:
    void paintEvent(QPaintEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    void done();

    Mode m_mode = Mode::Indeterminate;
    QString m_label;
    int m_margin = 20;
    int m_yOffset = 0;
    bool m_removeOnHide = false;
    bool m_showing = false;
    int m_angle = 0;
    QTimer m_spin;
    QTimer m_hideTimer;
    QGraphicsOpacityEffect *m_opacity;
};
