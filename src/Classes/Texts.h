#pragma once

#include <QString>

#include <functional>

// Localised texts by message key. The platform layer installs the string
// tables; until then, and for a key the tables lack, the text is empty.
class Texts
{
public:
    Texts() = delete;

    static QString get(const QString &key);
    // nullptr removes the lookup.
    static void setLookup(std::function<QString(const QString &key)> lookup);
};
