#pragma once

#include "AlertView.h"
#include "Animations.h"
#include "AppPaths.h"
#include "EditionConfig.h"
#include "Fonts.h"
#include "StyledViews.h"
#include "Texts.h"

#include <QTemporaryDir>

// Every test of this folder: its own data folder, no animations, and texts
// that show their key ("<ok>") so tests can tell them apart.
struct AppTestEnvironment
{
    QTemporaryDir dir;

    AppTestEnvironment()
    {
        AppPaths::setDataDir(dir.path());
        Animations::setEnabled(false);
        StyledViews::registerLayoutClasses();
        Texts::setLookup([](const QString &key) { return u"<"_qs + key + u'>'; });
    }
    ~AppTestEnvironment()
    {
        closeAlerts();
        Texts::setLookup(nullptr);
        EditionConfig::reset();
        AppPaths::setDataDir(QString());
    }

    static void closeAlerts()
    {
        for (AlertView *alert : AlertView::visibleAlerts())
            alert->dismissWithClickedButtonIndex(-1, false);
    }
};

inline AlertView *topAlert()
{
    const QList<AlertView *> alerts = AlertView::visibleAlerts();
    return alerts.isEmpty() ? nullptr : alerts.last();
}
