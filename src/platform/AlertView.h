#pragma once

#include <QList>
#include <QString>
#include <QWidget>

class QLabel;
class QVBoxLayout;
class PhoneButton;

// A question over a dimmed phone window: a title, a message and buttons
// (object names "alertButton0", "alertButton1", ...). A press on button i
// emits clicked(i), then willDismiss(i), closes, and emits didDismiss(i);
// the alert then deletes itself. Escape (or cancelAlert) emits cancelled:
// whoever shows the alert decides how a cancel closes it.
class AlertView : public QWidget
{
    Q_OBJECT
public:
    enum class Style { Alert, ActionSheet };

    AlertView(const QString &title, const QString &message, QWidget *parent = nullptr);

    // The index of the new button.
    int addButton(const QString &title);
    int numberOfButtons() const { return int(m_buttons.size()); }
    QString buttonTitle(int index) const;
    PhoneButton *button(int index) const;
    // -1 when none; Escape then closes nothing by itself.
    int cancelButtonIndex() const { return m_cancelIndex; }
    void setCancelButtonIndex(int index) { m_cancelIndex = index; }
    QString title() const;
    QString message() const;

    void show();
    bool isShown() const { return m_shown; }
    void dismissWithClickedButtonIndex(int index, bool animated);
    void cancelAlert();

    // Every alert on screen now, oldest first.
    static QList<AlertView *> visibleAlerts();

Q_SIGNALS:
    void willPresent(AlertView *alert);
    void didPresent(AlertView *alert);
    void clicked(AlertView *alert, int index);
    void cancelled(AlertView *alert);
    void willDismiss(AlertView *alert, int index);
    void didDismiss(AlertView *alert, int index);

protected:
    void setStyle(Style style) { m_style = style; }
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void layoutBox();

    Style m_style = Style::Alert;
    QWidget *m_box;
    QLabel *m_title;
    QLabel *m_message;
    QList<PhoneButton *> m_buttons;
    int m_cancelIndex = -1;
    bool m_shown = false;
    bool m_dismissed = false;
};

// Choices that rise from the bottom of the window; the cancel button last.
class ActionSheet : public AlertView
{
    Q_OBJECT
public:
    explicit ActionSheet(const QString &title, QWidget *parent = nullptr);
};
