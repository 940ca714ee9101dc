#pragma once

#include <QString>

// Values fixed in the build. The loyalty service base URL comes from the CMake
// cache variable LOYALTY_BASE_URL; the LOYALTY_BASE_URL environment variable
// or setLoyaltyBaseUrl overrides it for development and tests.
namespace BuildConfig {

QString loyaltyBaseUrl();
void setLoyaltyBaseUrl(const QString &url); // empty restores the build value

} // namespace BuildConfig
