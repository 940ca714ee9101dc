#pragma once

#include "Entity.h"

#include <QColor>
#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <functional>

// Stateless helpers shared by the screens and the requests.
class Tools
{
public:
    Tools() = delete;

    using MessageHandler = std::function<void(const QString &title, const QString &message)>;

    // Alerts go through one hook that the platform layer installs; with none
    // installed a message is dropped. nullptr removes the hook.
    static void setMessageHandler(MessageHandler handler);
    static void showMsg(const QString &message); // titled with the "warningTitle" text
    static void showMsg(const QString &title, const QString &message);

    // The names of the type's own fields in declaration order.
    template <Entity T>
    static QStringList arrayWithEntity()
    {
        return EntityRecords::fieldNames<T>();
    }
    template <Entity T>
    static QStringList arrayWithEntity(const T &)
    {
        return EntityRecords::fieldNames<T>();
    }

    // Every field by name; unset gives "", numbers stay numbers.
    template <Entity T>
    static QJsonObject dictionaryWithEntity(const T &record)
    {
        return EntityRecords::toMap(record);
    }

    // "#rrggbb" or "rrggbb" (surrounding blanks allowed); anything unusable is black.
    static QColor colorForHex(const QString &hex);
    static bool validateUrl(const QString &text);
    static bool validateEmail(const QString &text);
    // A new random UUID, upper-case 8-4-4-4-12.
    static QString getUUID();
    // Removes every "<...>" tag, then every "&nbsp;".
    static QString stripTags(const QString &text);
};
