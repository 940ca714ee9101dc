#pragma once

#include "Field.h"
#include "PointCard.h"
#include "PointCardLog.h"

#include <QImage>
#include <QList>
#include <QRect>
#include <QRectF>
#include <QSize>
#include <QSizeF>
#include <QString>

#include <functional>

// Where the stamp grid puts its cells over a card picture of a given size.
struct PointCardGridLayout
{
    int rows = 0;
    int columns = 0; // 0: no cells are drawn, only the outline
    QSize cellSize;
    QSize lockSize;
    struct Slot
    {
        int number; // row * columns + column
        QRect cell; // the cell at its origin
        QRect dimmed; // the half-black rectangle, one point inside the cell's origin
        QRect lock; // the lock image, centred in the cell
    };
    QList<Slot> dimmedSlots; // the points not yet collected that fit the grid
    QList<int> verticalLines; // x of each column boundary, drawn from the top to the bottom
    QList<int> horizontalLines; // y of each row boundary, drawn across
    QRect outline; // (0, 0, Wi, Hi)
};

// The drawn grid and where it goes: an image view covering the picture view.
struct PointCardImage
{
    QImage image;
    QRectF frame; // in the picture view's coordinates
};

// Point card operations: checking and applying the stores' QR payloads,
// new cards, the overflow onto new cards, and the stamp grid. Class-level only;
// called on the UI thread.
class PointCardUtil
{
public:
    PointCardUtil() = delete;

    static qint64 getNowDateTime();

    // Whether the payload's store may serve the card: its own store when it is
    // bound to one, otherwise one of its listed stores.
    static bool isEnableStoreIds(qint64 storeId, const Field &pointCardStoreId,
                                 const Field &enableStoreIds);

    // The points added, or -1 when the payload is refused (nothing changed then).
    static int dPointQRCode(const QString &qrCode, const QString &packageName,
                            PointCard &pointCard, qint64 memberId);
    // True when the card was exchanged, false when the payload is refused.
    static bool dChangeQRCode(const QString &qrCode, const QString &packageName,
                              PointCard &pointCard, qint64 memberId);

    // A new card of the event with no points, already stored.
    static PointCard genEmptyPointCard(const Field &merchantId, qint64 memberId, const Field &member,
                                       const Field &eventId, const Field &eventName,
                                       const Field &picture, const Field &detailPic,
                                       const Field &startTime, const Field &endTime,
                                       const Field &storeName, const Field &brief,
                                       const Field &detail, int totalPoints, const Field &storeId,
                                       const Field &enableStoreIds);

    // Cuts an over-full card back to its total and moves the surplus onto new
    // cards; pointCardLog is the entry just written for the change.
    static void processOverPoint(PointCard &pointCard, PointCardLog &pointCardLog);

    // 32 characters drawn with repetition from a fresh UUID's hex digits.
    static QString genCardKey();
    // The random source of card keys: a number in [0, bound). nullptr restores the default.
    static void setRandomSource(std::function<quint32(quint32 bound)> source);

    // The stamp grid for a picture view of viewSize and a lock image of lockSize.
    static PointCardGridLayout pointCardGridLayout(const QSizeF &viewSize, const QSize &lockSize,
                                                   int totalPoints, int collectedPoints);
    // Draws the grid: white dotted lines, dimmed slots with the lock for the
    // points not yet collected. The screen replaces the picture view's image
    // views by one showing image at frame.
    static PointCardImage genPointCardImg(const QSizeF &viewSize, const QImage &lock,
                                          int totalPoints, int collectedPoints);
};
