#include "Store.h"

#include "UserMgr.h"

#include <QtMath>

#include <algorithm>
#include <cmath>

namespace {

// Great-circle distance (haversine) on the mean earth radius, as the
// platform's location service measures it.
double metresBetween(double lat1, double lon1, double lat2, double lon2)
{
    constexpr double earthRadiusMetres = 6371007.2;
    const double dLat = qDegreesToRadians(lat2 - lat1);
    const double dLon = qDegreesToRadians(lon2 - lon1);
    const double h = std::sin(dLat / 2) * std::sin(dLat / 2)
        + std::cos(qDegreesToRadians(lat1)) * std::cos(qDegreesToRadians(lat2))
            * std::sin(dLon / 2) * std::sin(dLon / 2);
    return 2 * earthRadiusMetres * std::atan2(std::sqrt(h), std::sqrt(1 - h));
}

// A store whose distance has no whole kilometre yet (unset, or under 1 km)
// is measured from the session position.
void measureIfNeeded(Store &store, double fromLat, double fromLon)
{
    if (std::trunc(store.distance2.toReal()) > 0)
        return;
    store.distance2 = metresBetween(fromLat, fromLon, store.lat.toReal(), store.lon.toReal()) / 1000.0;
}

} // namespace

QList<Store> Store::sortByDistance(QList<Store> &stores)
{
    const double lat = UserMgr::getCurLat();
    const double lon = UserMgr::getCurLon();
    for (Store &store : stores)
        measureIfNeeded(store, lat, lon);
    QList<Store> sorted = stores;
    std::stable_sort(sorted.begin(), sorted.end(), [](const Store &a, const Store &b) {
        return a.distance2.toReal() < b.distance2.toReal();
    });
    return sorted;
}

QString Store::transDistance(double kilometres)
{
    if (UserMgr::getCurLat() == 0 || UserMgr::getCurLon() == 0)
        return {};
    // Tiers of 100 km, 10 km and 1 km, tested on whole kilometres; the
    // kilometre forms show the distance rounded to a whole number.
    const qint64 whole = qint64(std::trunc(kilometres));
    const double rounded = std::round(kilometres);
    if (whole / 100 > 0)
        return QStringLiteral("%1 km").arg(qint64(rounded));
    if (whole / 10 > 0)
        return QStringLiteral("%1 km").arg(rounded, 0, 'f', 1);
    if (whole > 0)
        return QStringLiteral("%1 km").arg(rounded, 0, 'f', 2);
    return QStringLiteral("%1 m").arg(qint64(std::round(kilometres * 1000)));
}
