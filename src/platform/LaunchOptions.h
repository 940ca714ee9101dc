#pragma once

#include <QString>
#include <QStringList>

// The command line of the application: "--config FILE" (or
// "--config=FILE") merges an edition configuration file over the built-in
// one, "--nmea FILE" replays recorded positions.
struct LaunchOptions
{
    QString configFile;
    QString nmeaFile;
    // Empty when the command line was understood and the configuration loaded.
    QString error;

    static LaunchOptions parse(const QStringList &arguments);
    // Loads configFile into EditionConfig when given; false (and error set)
    // when it cannot be read.
    bool applyConfig();
};
