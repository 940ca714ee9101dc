#include "BuildConfig.h"

namespace BuildConfig {

namespace {

QString &overriddenBaseUrl()
{
    static QString url = qEnvironmentVariable("LOYALTY_BASE_URL");
    return url;
}

} // namespace

QString loyaltyBaseUrl()
{
    const QString &url = overriddenBaseUrl();
    return url.isEmpty() ? QStringLiteral(LOYALTY_BASE_URL) : url;
}

void setLoyaltyBaseUrl(const QString &url)
{
    overriddenBaseUrl() = url;
}

} // namespace BuildConfig
