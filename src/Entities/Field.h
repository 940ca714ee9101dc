#pragma once

#include <QJsonValue>
#include <QString>

// One record field: unset, or exactly the JSON value that arrived (number,
// text, list or map). Every computation reads it through the number rule.
class Field
{
public:
    Field() = default;
    Field(const QJsonValue &value); // null and undefined leave it unset
    Field(const QString &text) : m_value(text) {}
    Field(const char16_t *text) : m_value(QString::fromUtf16(text)) {}
    Field(qint64 number) : m_value(number) {}
    Field(int number) : m_value(number) {}
    Field(double number) : m_value(number) {}

    bool isSet() const { return !m_value.isUndefined(); }
    void clear() { m_value = QJsonValue(QJsonValue::Undefined); }

    // The value as it arrived; undefined when unset.
    const QJsonValue &json() const { return m_value; }
    bool isText() const { return m_value.isString(); }

    // Text form: unset gives "", numbers in decimal, lists and maps as JSON.
    QString text() const;
    qint64 toId() const;
    int toInt() const;
    double toReal() const;

    bool operator==(const Field &other) const { return m_value == other.m_value; }

private:
    QJsonValue m_value{QJsonValue::Undefined};
};
