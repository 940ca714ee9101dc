#include "UserMgr.h"

#include "AppPaths.h"
#include "NumberRule.h"

#include <QSettings>

#include <memory>

namespace {

const QString kUserId = QStringLiteral("user_id");
const QString kOutUserId = QStringLiteral("out_user_id");
const QString kAccount = QStringLiteral("user_account");
const QString kPassword = QStringLiteral("user_password");
const QString kLongitude = QStringLiteral("current_longitude");
const QString kLatitude = QStringLiteral("current_latitude");
const QString kAutoLogin = QStringLiteral("user_autologin");
const QString kRememberMe = QStringLiteral("user_remember_me");

std::unique_ptr<QSettings> preferences()
{
    return std::make_unique<QSettings>(AppPaths::preferencesFile(), QSettings::IniFormat);
}

std::optional<QString> optionalText(const QString &key)
{
    const QVariant value = preferences()->value(key);
    if (!value.isValid())
        return std::nullopt;
    return value.toString();
}

} // namespace

qint64 UserMgr::getMemberId()
{
    return NumberRule::readInteger(preferences()->value(kUserId).toString());
}

void UserMgr::setMemberId(const QVariant &memberId)
{
    preferences()->setValue(kUserId, memberId);
}

QString UserMgr::getOutMemberId()
{
    return preferences()->value(kOutUserId).toString();
}

void UserMgr::setOutMemberId(const QString &outMemberId)
{
    preferences()->setValue(kOutUserId, outMemberId);
}

std::optional<QString> UserMgr::getAccount()
{
    return optionalText(kAccount);
}

std::optional<QString> UserMgr::getPassword()
{
    return optionalText(kPassword);
}

void UserMgr::remember(const QString &account, const QString &password)
{
    const auto settings = preferences();
    settings->setValue(kAccount, account);
    settings->setValue(kPassword, password);
}

void UserMgr::unremember()
{
    const auto settings = preferences();
    for (const QString &key : {kUserId, kAccount, kPassword, kOutUserId, kAutoLogin, kRememberMe})
        settings->remove(key);
}

double UserMgr::getCurLon()
{
    return preferences()->value(kLongitude).toDouble();
}

double UserMgr::getCurLat()
{
    return preferences()->value(kLatitude).toDouble();
}

void UserMgr::saveCurLocation(double longitude, double latitude)
{
    // Only a fix with both degrees above 0 counts; anything else means "no position".
    const bool usable = longitude > 0 && latitude > 0;
    const auto settings = preferences();
    settings->setValue(kLongitude, usable ? longitude : 0.0);
    settings->setValue(kLatitude, usable ? latitude : 0.0);
}

void UserMgr::clearCurLocation()
{
    const auto settings = preferences();
    settings->remove(kLongitude);
    settings->remove(kLatitude);
}

bool UserMgr::getAutoLogin()
{
    return preferences()->value(kAutoLogin, false).toBool();
}

void UserMgr::setAutoLoginStatus(bool on)
{
    preferences()->setValue(kAutoLogin, on);
}

bool UserMgr::getRememberMe()
{
    return preferences()->value(kRememberMe, false).toBool();
}

void UserMgr::setRememberMeStatus(bool on)
{
    preferences()->setValue(kRememberMe, on);
}
