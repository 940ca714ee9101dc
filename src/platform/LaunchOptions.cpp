#include "LaunchOptions.h"

#include "EditionConfig.h"

LaunchOptions LaunchOptions::parse(const QStringList &arguments)
{
    LaunchOptions options;
    // arguments[0] is the program.
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &arg = arguments.at(i);
        for (auto [name, target] : {std::pair{QStringLiteral("--config"), &options.configFile},
                                    std::pair{QStringLiteral("--nmea"), &options.nmeaFile}}) {
            if (arg == name) {
                if (i + 1 < arguments.size())
                    *target = arguments.at(++i);
                else
                    options.error = QStringLiteral("%1 needs a file").arg(name);
            } else if (arg.startsWith(name + u'=')) {
                *target = arg.mid(name.size() + 1);
            }
        }
    }
    return options;
}

bool LaunchOptions::applyConfig()
{
    if (configFile.isEmpty())
        return error.isEmpty();
    if (!EditionConfig::loadFile(configFile)) {
        error = QStringLiteral("cannot read the configuration %1").arg(configFile);
        return false;
    }
    return error.isEmpty();
}
