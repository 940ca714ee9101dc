#pragma once

#include <QHash>
#include <QLocale>
#include <QString>
#include <QStringList>

// The localised texts: one table per language in the resources
// (":/strings/en.json", ":/strings/zh_CN.json"), a JSON object from message
// key to text. Simplified Chinese for a Chinese system locale, English
// otherwise. A key the table lacks gives the empty text.
namespace Strings {

QStringList languages();
// The table of a language ("en", "zh_CN"); empty when there is none.
QHash<QString, QString> table(const QString &language);
QString languageFor(const QLocale &locale);
// Installs the lookup of locale's table into Texts.
void install(const QLocale &locale = QLocale::system());

} // namespace Strings
