#pragma once

#include <QString>

// Where the files that persist between runs live: the documents folder (the
// database, the image cache) and the preferences file. Both can be pointed at
// another folder, by setDataDir or the LOYALTY_DATA_DIR environment variable,
// for tests and demos.
namespace AppPaths {

QString documentsDir();
QString preferencesFile();
void setDataDir(const QString &dir); // empty restores the defaults
QString dataDir(); // the folder set, empty for the defaults

} // namespace AppPaths
