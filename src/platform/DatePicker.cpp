#include "DatePicker.h"

#include <QDateTimeEdit>
#include <QVBoxLayout>

DatePicker::DatePicker(QWidget *parent) : QWidget(parent), m_edit(new QDateTimeEdit(this))
{
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_edit);
    resize(320, 216);
    setAutoFillBackground(true);
    m_edit->setCalendarPopup(false);
    m_edit->setDateTime(QDateTime::currentDateTime());
    setMode(Mode::DateAndTime);
    connect(m_edit, &QDateTimeEdit::dateTimeChanged, this, [this](const QDateTime &value) {
        if (!m_settingInCode)
            Q_EMIT valueChanged(value);
    });
}

QDateTime DatePicker::date() const
{
    return m_edit->dateTime();
}

void DatePicker::setDate(const QDateTime &date)
{
    m_settingInCode = true;
    m_edit->setDateTime(date);
    m_settingInCode = false;
}

void DatePicker::setMinimumDate(const QDateTime &date)
{
    m_settingInCode = true;
    m_edit->setMinimumDateTime(date);
    m_settingInCode = false;
}

QDateTime DatePicker::minimumDate() const
{
    return m_edit->minimumDateTime();
}

void DatePicker::setMaximumDate(const QDateTime &date)
{
    m_settingInCode = true;
    m_edit->setMaximumDateTime(date);
    m_settingInCode = false;
}

void DatePicker::setMode(Mode mode)
{
    m_mode = mode;
    switch (mode) {
    case Mode::Date:
        m_edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
        break;
    case Mode::Time:
        m_edit->setDisplayFormat(QStringLiteral("HH:mm"));
        break;
    case Mode::DateAndTime:
        m_edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd HH:mm"));
        break;
    }
}
