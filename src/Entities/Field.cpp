#include "Field.h"

#include "NumberRule.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <QLocale>

#include <limits>

Field::Field(const QJsonValue &value)
    : m_value(value.isNull() ? QJsonValue(QJsonValue::Undefined) : value)
{
}

QString Field::text() const
{
    switch (m_value.type()) {
    case QJsonValue::String:
        return m_value.toString();
    case QJsonValue::Double: {
        constexpr qint64 marker = std::numeric_limits<qint64>::min();
        const qint64 whole = m_value.toInteger(marker);
        if (whole != marker)
            return QString::number(whole);
        return QString::number(m_value.toDouble(), 'g', QLocale::FloatingPointShortest);
    }
    case QJsonValue::Bool:
        return m_value.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    case QJsonValue::Array:
        return QString::fromUtf8(QJsonDocument(m_value.toArray()).toJson(QJsonDocument::Compact));
    case QJsonValue::Object:
        return QString::fromUtf8(QJsonDocument(m_value.toObject()).toJson(QJsonDocument::Compact));
    case QJsonValue::Null:
    case QJsonValue::Undefined:
        break;
    }
    return {};
}

qint64 Field::toId() const
{
    switch (m_value.type()) {
    case QJsonValue::String:
        return NumberRule::readInteger(m_value.toString());
    case QJsonValue::Double: {
        // Integers keep all 64 bits; other reals are cut toward zero.
        constexpr qint64 marker = std::numeric_limits<qint64>::min();
        const qint64 whole = m_value.toInteger(marker);
        return whole != marker ? whole : NumberRule::truncateToInteger(m_value.toDouble());
    }
    case QJsonValue::Bool:
        return m_value.toBool() ? 1 : 0;
    default:
        return 0;
    }
}

int Field::toInt() const
{
    if (m_value.isString())
        return NumberRule::readInt32(m_value.toString());
    const qint64 value = toId();
    if (value > std::numeric_limits<int>::max())
        return std::numeric_limits<int>::max();
    if (value < std::numeric_limits<int>::min())
        return std::numeric_limits<int>::min();
    return int(value);
}

double Field::toReal() const
{
    switch (m_value.type()) {
    case QJsonValue::String:
        return NumberRule::readReal(m_value.toString());
    case QJsonValue::Double:
        return m_value.toDouble();
    case QJsonValue::Bool:
        return m_value.toBool() ? 1.0 : 0.0;
    default:
        return 0.0;
    }
}
