#include "EditionConfig.h"

#include <QFile>
#include <QJsonDocument>
#include <QLocale>

#include <optional>

namespace EditionConfig {

namespace {

std::optional<QJsonObject> readObject(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    return document.object();
}

QJsonObject builtIn()
{
    return readObject(QStringLiteral(":/edition/Info.json")).value_or(QJsonObject());
}

QJsonObject &values()
{
    static QJsonObject current = builtIn();
    return current;
}

} // namespace

QJsonValue value(const QString &key)
{
    return values().value(key);
}

bool contains(const QString &key)
{
    return values().contains(key);
}

QString text(const QString &key)
{
    const QJsonValue v = value(key);
    switch (v.type()) {
    case QJsonValue::String:
        return v.toString();
    case QJsonValue::Double: {
        const double number = v.toDouble();
        const qint64 whole = v.toInteger();
        if (static_cast<double>(whole) == number)
            return QString::number(whole);
        return QString::number(number, 'g', QLocale::FloatingPointShortest);
    }
    case QJsonValue::Bool:
        return v.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    default:
        return {};
    }
}

bool loadFile(const QString &path)
{
    const std::optional<QJsonObject> loaded = readObject(path);
    if (!loaded)
        return false;
    QJsonObject &current = values();
    for (auto it = loaded->begin(); it != loaded->end(); ++it)
        current.insert(it.key(), it.value());
    return true;
}

void set(const QString &key, const QJsonValue &newValue)
{
    if (newValue.isUndefined())
        values().remove(key);
    else
        values().insert(key, newValue);
}

void reset()
{
    values() = builtIn();
}

QJsonObject all()
{
    return values();
}

} // namespace EditionConfig
