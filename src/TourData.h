#pragma once

#include "PointCard.h"
#include "Store.h"

#include <QList>
#include <QString>
#include <QTemporaryDir>

// Sample member data for the screenshot tour: a logged-in member with point
// cards in every state, favourite stores and coupons, written to the local
// store of the current data folder, with their pictures in the image cache.
namespace TourData {

constexpr qint64 MemberId = 1;

enum class CardState { Empty, PartFilled, Full, Exchanged };

// For its lifetime the process works in a data folder of its own, seeded,
// and its requests go to a closed local port, so the tour shows the same
// screens whether or not services are running. The previous folder and
// addresses come back at the end.
class Sandbox
{
public:
    Sandbox();
    ~Sandbox();
    Sandbox(const Sandbox &) = delete;
    Sandbox &operator=(const Sandbox &) = delete;

private:
    QTemporaryDir m_dir;
    QString m_previousDir;
    QString m_previousBaseUrl;
    QString m_previousCatalogueHost;
};

// Writes the member session, the records and the pictures.
void seed();
// The stored card in that state.
PointCard card(CardState state);
// The store the sample cards belong to.
Store store();
// Sample stores, the first being that store.
QList<Store> stores();

} // namespace TourData
