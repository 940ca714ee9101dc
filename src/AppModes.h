#pragma once

#include <QString>
#include <QStringList>

// How the program runs: the interactive application, a smoke run that
// launches and activates the shell and exits, or a tour that renders the
// screens to PNG files. main() only hands the command line over.
struct AppModes
{
    QString configFile;     // --config FILE: an edition configuration over the built-in one
    QString nmeaFile;       // --nmea FILE: recorded positions instead of the system's
    QString dataDir;        // --data-dir DIR: where the database and the session live
    QString screenshotsDir; // --screenshots DIR: render the tour there and exit
    QString scanImage;      // --scan-image PATH: a picture the QR scanner reads instead of the camera
    bool selfTest = false;  // --self-test: launch, activate, exit 0 when the shell stands
    QString error;          // empty when the command line was understood

    static AppModes parse(const QStringList &arguments);
    // True when a window can be shown: an X11 or Wayland display, or a
    // platform chosen through QT_QPA_PLATFORM.
    static bool displayAvailable();

    // Before the QApplication exists: without a display (or for the
    // modes that need none) the offscreen platform is chosen. Returns what
    // to tell the user, or "".
    QString prepareEnvironment();

    // With the QApplication made: runs the chosen mode, answers the exit code.
    int exec();

    // The tour: every screen that exists, in each language, into dir.
    // Answers the files written (empty on failure).
    static QStringList writeScreenshots(const QString &dir);
    // Launch and activation offscreen; 0 when the shell stands up.
    static int runSelfTest();

private:
    bool m_tourInstead = false;
};
