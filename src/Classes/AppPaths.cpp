#include "AppPaths.h"

#include <QDir>
#include <QStandardPaths>

namespace AppPaths {

namespace {

QString &overriddenDir()
{
    static QString dir = qEnvironmentVariable("LOYALTY_DATA_DIR");
    return dir;
}

QString ensured(const QString &dir)
{
    QDir().mkpath(dir);
    return dir;
}

} // namespace

QString documentsDir()
{
    if (!overriddenDir().isEmpty())
        return ensured(overriddenDir());
    return ensured(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
}

QString preferencesFile()
{
    const QString dir = overriddenDir().isEmpty()
        ? QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation)
        : overriddenDir();
    return ensured(dir) + QStringLiteral("/preferences.ini");
}

void setDataDir(const QString &dir)
{
    overriddenDir() = dir;
}

QString dataDir()
{
    return overriddenDir();
}

} // namespace AppPaths
