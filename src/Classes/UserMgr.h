#pragma once

#include <QString>
#include <QVariant>

#include <optional>

// The member session: class-level getters and setters over the persistent
// preferences (AppPaths::preferencesFile). Holds no state of its own.
class UserMgr
{
public:
    UserMgr() = delete;

    static qint64 getMemberId();
    static void setMemberId(const QVariant &memberId); // stored as it came

    static QString getOutMemberId();
    static void setOutMemberId(const QString &outMemberId);

    static std::optional<QString> getAccount();
    static std::optional<QString> getPassword();
    static void remember(const QString &account, const QString &password);
    static void unremember();

    static double getCurLon();
    static double getCurLat();
    static void saveCurLocation(double longitude, double latitude);
    static void clearCurLocation();

    static bool getAutoLogin();
    static void setAutoLoginStatus(bool on);
    static bool getRememberMe();
    static void setRememberMeStatus(bool on);
};
