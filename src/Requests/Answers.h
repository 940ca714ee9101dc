#pragma once

#include "Entity.h"
#include "NumberRule.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QList>
#include <QString>

#include <functional>
#include <optional>

// How answer bodies of both services are read.
namespace Answers {

// Not empty, a JSON array or object with at least one entry and, when a list
// is expected, an array whose first entry is not null.
inline bool checkJSONString(const QByteArray &answer, bool isArray)
{
    if (answer.isEmpty())
        return false;
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(answer, &error);
    if (error.error != QJsonParseError::NoError)
        return false;
    if (document.isArray()) {
        const QJsonArray array = document.array();
        return !array.isEmpty() && !(isArray && array.first().isNull());
    }
    if (document.isObject())
        return !isArray && !document.object().isEmpty();
    return false;
}

// A list answer: the records when the list check passes, else none.
template <Entity T>
std::optional<QList<T>> recordList(const QByteArray &answer)
{
    if (!checkJSONString(answer, true))
        return std::nullopt;
    return EntityRecords::listFromJson<T>(QJsonDocument::fromJson(answer).array());
}

// An object answer: one record when the object check passes. An array that
// passes the check gives the record of its first entry when that is a map.
template <Entity T>
std::optional<T> record(const QByteArray &answer)
{
    if (!checkJSONString(answer, false))
        return std::nullopt;
    const QJsonDocument document = QJsonDocument::fromJson(answer);
    if (document.isObject())
        return EntityRecords::fromJson<T>(document.object());
    const QJsonValue first = document.array().first();
    if (first.isObject())
        return EntityRecords::fromJson<T>(first.toObject());
    return std::nullopt;
}

inline std::optional<QJsonObject> object(const QByteArray &answer)
{
    if (!checkJSONString(answer, false))
        return std::nullopt;
    const QJsonDocument document = QJsonDocument::fromJson(answer);
    if (!document.isObject())
        return std::nullopt;
    return document.object();
}

inline QString text(const QByteArray &answer)
{
    return QString::fromUtf8(answer);
}

// The integer value of a text answer: leading blanks, a sign, digits; 0 when none.
inline qint64 integer(const QByteArray &answer)
{
    return NumberRule::readInteger(text(answer));
}

// Request callbacks for an optional block taking (success flag, payload):
// handTo reads the answer body with `read` and passes it on with true;
// failTo passes false and no payload.
template <class Block, class Read>
std::function<void(const QByteArray &)> handTo(Block block, Read read)
{
    return [block, read](const QByteArray &body) {
        if (block)
            block(true, read(body));
    };
}

template <class Block>
std::function<void()> failTo(Block block)
{
    return [block] {
        if (block)
            block(false, std::nullopt);
    };
}

} // namespace Answers
