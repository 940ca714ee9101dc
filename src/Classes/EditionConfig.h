#pragma once

#include <QJsonObject>
#include <QJsonValue>
#include <QString>

// The edition's configuration (company key, catalogue address, ...). The
// values built into the application come from the resource
// ":/edition/Info.json"; a file given at run time replaces them key by key,
// and tests set single values. Read and written on the UI thread.
namespace EditionConfig {

// The value of a key; undefined when the key is not configured.
QJsonValue value(const QString &key);
bool contains(const QString &key);
// Text form: texts as they are, numbers in decimal, "" when missing.
QString text(const QString &key);

// Merges the keys of a JSON object file over the current values. False, and
// nothing changed, when the file cannot be read or is not a JSON object.
bool loadFile(const QString &path);
// An undefined value removes the key.
void set(const QString &key, const QJsonValue &value);
// Back to the built-in values.
void reset();

QJsonObject all();

} // namespace EditionConfig
