#pragma once

#include <QDateTime>
#include <QWidget>

class QDateTimeEdit;

// Chooses a date and time (or one of them), kept within its bounds.
class DatePicker : public QWidget
{
    Q_OBJECT
public:
    enum class Mode { Date, Time, DateAndTime };

    explicit DatePicker(QWidget *parent = nullptr);

    QDateTime date() const;
    void setDate(const QDateTime &date);
    void setMinimumDate(const QDateTime &date);
    QDateTime minimumDate() const;
    void setMaximumDate(const QDateTime &date);
    Mode mode() const { return m_mode; }
    void setMode(Mode mode);
    QDateTimeEdit *editor() const { return m_edit; }

Q_SIGNALS:
    // A change by hand; setDate in code does not emit it.
    void valueChanged(const QDateTime &date);

private:
    QDateTimeEdit *m_edit;
    Mode m_mode = Mode::DateAndTime;
    bool m_settingInCode = false;
};
