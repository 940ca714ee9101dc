#include "PointCardUtil.h"

#include "AcceptedPayloads.h"
#include "Cipher.h"
#include "Clock.h"
#include "InnerRequest.h"
#include "NumberRule.h"
#include "SQLiteHelper.h"
#include "Tools.h"

#include <QPainter>
#include <QPen>
#include <QRandomGenerator>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

std::function<quint32(quint32)> &randomSource()
{
    static std::function<quint32(quint32)> source;
    return source;
}

quint32 randomBelow(quint32 bound)
{
    const quint32 drawn = randomSource() ? randomSource()(bound) : QRandomGenerator::global()->bounded(bound);
    return drawn < bound ? drawn : drawn % bound;
}

// The payload's fields; an undecipherable code gives one empty field.
QStringList payloadFields(const QString &qrCode)
{
    return Cipher::decrypt3DES(qrCode).split(QLatin1Char(','));
}

bool withinWindow(qint64 nowMs, qint64 madeAtMs)
{
    // Over the full 64-bit values: unsigned subtraction gives the exact distance.
    const quint64 distance = madeAtMs > nowMs ? quint64(madeAtMs) - quint64(nowMs)
                                              : quint64(nowMs) - quint64(madeAtMs);
    return distance <= quint64(AcceptedPayloads::kWindowMs);
}

int saturatedAdd(int a, int b)
{
    const qint64 sum = qint64(a) + qint64(b);
    return int(std::clamp<qint64>(sum, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

// The most full cards one code may split off. Each new card is written on the
// UI thread, so a forged code worth millions of cards must not get that far.
constexpr int kMaxOverflowCards = 100;

int overflowCards(int point, int totalPoints)
{
    if (totalPoints <= 0 || point <= totalPoints)
        return 0;
    return (point - totalPoints) / totalPoints;
}

// Whether a row read back from the store holds the values of a log entry.
// Numeric columns may come back normalised ("012" as "12"), so those compare
// by the number rule.
bool sameLogValues(const PointCardLog &stored, const PointCardLog &entry)
{
    for (const auto &spec : EntityInfo<PointCardLog>::fields) {
        const Field &a = stored.*spec.member;
        const Field &b = entry.*spec.member;
        if (a.isSet() != b.isSet())
            return false;
        const bool equal = spec.kind == FieldKind::Text ? a.text() == b.text() : a.toId() == b.toId();
        if (!equal)
            return false;
    }
    return true;
}

// Replaces the one stored row of a log entry by its corrected values. The
// store updates by the first field, which all logs of a card share, so the
// row is found by its identity (the newest row with the entry's values),
// deleted and written again; earlier waiting logs of the card stay as they are.
void rewriteLogEntry(const PointCardLog &written, const PointCardLog &corrected)
{
    SQLiteHelper &store = SQLiteHelper::getInstance();
    const auto rows = store.getAllEntitiesWithRowIds<PointCardLog>();
    for (auto it = rows.crbegin(); it != rows.crend(); ++it) {
        if (sameLogValues(it->second, written)) {
            store.deleteRowIds<PointCardLog>({it->first});
            break;
        }
    }
    store.insertWithEntity(corrected);
}

PointCardLog logEntryFor(const PointCard &card)
{
    PointCardLog log;
    log.cardKey = card.cardKey;
    log.name = card.name;
    log.eventId = card.eventId;
    log.member = card.member;
    log.memberId = card.memberId;
    log.merchantId = card.merchantId;
    return log;
}

// What the add-points and exchange payloads share, from the staff id on:
// staff id, staff name, store id and, optionally, store name.
struct StorePayload
{
    QString merchant;
    qint64 madeAt = 0;
    qint64 staffId = 0;
    QString staffName;
    qint64 storeId = 0;
    std::optional<QString> storeName;
};

std::optional<StorePayload> readStorePayload(const QStringList &fields, int staffAt)
{
    if (fields.size() < staffAt + 3)
        return std::nullopt;
    StorePayload payload;
    payload.merchant = fields.at(0);
    payload.madeAt = NumberRule::readInteger(fields.at(1));
    payload.staffId = NumberRule::readInteger(fields.at(staffAt));
    payload.staffName = fields.at(staffAt + 1);
    payload.storeId = NumberRule::readInteger(fields.at(staffAt + 2));
    if (fields.size() > staffAt + 3)
        payload.storeName = fields.at(staffAt + 3);
    return payload;
}

// The merchant, the time window and, when the payload names its store, the store.
bool accepts(const StorePayload &payload, const QString &packageName, const PointCard &card, qint64 now)
{
    if (payload.merchant != packageName || !withinWindow(now, payload.madeAt))
        return false;
    return !payload.storeName || PointCardUtil::isEnableStoreIds(payload.storeId, card.storeId, card.enableStoreIds);
}

// The card as changed by the payload's staff at its store.
void stamp(PointCard &card, const StorePayload &payload, qint64 now)
{
    card.lastUpdatedTime = Field(now);
    card.lastUpdatedUser = Field(payload.staffName);
    card.lastUpdatedUserId = Field(payload.staffId);
    card.storeId = Field(payload.storeId);
    card.storeName = Field(payload.storeName.value_or(QString()));
}

PointCardLog logEntryFor(const PointCard &card, const StorePayload &payload, qint64 now)
{
    PointCardLog log = logEntryFor(card);
    log.updatedTime = Field(now);
    log.updatedUser = Field(payload.staffName);
    log.updatedUserId = Field(payload.staffId);
    log.storeId = Field(payload.storeId);
    return log;
}

PointCardLog withUnsetAsEmpty(const PointCardLog &log)
{
    PointCardLog copy = log;
    for (const auto &spec : EntityInfo<PointCardLog>::fields) {
        if (!(copy.*spec.member).isSet())
            copy.*spec.member = Field(QString());
    }
    return copy;
}

} // namespace

qint64 PointCardUtil::getNowDateTime()
{
    return Clock::nowMs();
}

bool PointCardUtil::isEnableStoreIds(qint64 storeId, const Field &pointCardStoreId,
                                     const Field &enableStoreIds)
{
    const qint64 cardStore = pointCardStoreId.toId();
    if (cardStore > 0)
        return storeId == cardStore;
    const QList<qint64> listed = NumberRule::readStoreIds(enableStoreIds.text());
    return listed.contains(storeId);
}

int PointCardUtil::dPointQRCode(const QString &qrCode, const QString &packageName,
                                PointCard &pointCard, qint64 memberId)
{
    // merchant, time, points, staff id, staff name, store id[, store name]
    const QStringList fields = payloadFields(qrCode);
    const std::optional<StorePayload> payload = readStorePayload(fields, 3);
    if (!payload)
        return -1;
    const int points = NumberRule::readInt32(fields.at(2));
    const qint64 now = getNowDateTime();
    if (!accepts(*payload, packageName, pointCard, now))
        return -1;
    if (overflowCards(saturatedAdd(pointCard.point.toInt(), points), pointCard.totalPoints.toInt())
        > kMaxOverflowCards)
        return -1;
    // The same code shown again within its window must not add the points again.
    if (!AcceptedPayloads::getInstance().tryAccept(payload->merchant, payload->madeAt, now))
        return -1;

    SQLiteHelper &store = SQLiteHelper::getInstance();
    const int before = pointCard.point.toInt();
    pointCard.point = Field(saturatedAdd(before, points));
    stamp(pointCard, *payload, now);
    store.updateWithEntity(pointCard);

    PointCardLog log = logEntryFor(pointCard, *payload, now);
    log.bPoint = Field(before);
    log.aPoint = pointCard.point;
    log.actionType = Field(1);
    store.insertWithEntity(log);

    processOverPoint(pointCard, log);
    InnerRequest::syncPointCard(memberId);
    return points;
}

bool PointCardUtil::dChangeQRCode(const QString &qrCode, const QString &packageName,
                                  PointCard &pointCard, qint64 memberId)
{
    // merchant, time, staff id, staff name, store id[, store name]
    const std::optional<StorePayload> payload = readStorePayload(payloadFields(qrCode), 2);
    if (!payload)
        return false;
    const qint64 now = getNowDateTime();
    if (!accepts(*payload, packageName, pointCard, now))
        return false;
    if (!AcceptedPayloads::getInstance().tryAccept(payload->merchant, payload->madeAt, now))
        return false;

    SQLiteHelper &store = SQLiteHelper::getInstance();
    pointCard.isUsed = Field(1);
    stamp(pointCard, *payload, now);
    store.updateWithEntity(pointCard);

    PointCardLog log = logEntryFor(pointCard, *payload, now);
    log.bPoint = pointCard.point;
    log.aPoint = pointCard.point;
    log.actionType = Field(4);
    store.insertWithEntity(log);

    InnerRequest::syncPointCard(memberId);
    return true;
}

PointCard PointCardUtil::genEmptyPointCard(const Field &merchantId, qint64 memberId, const Field &member,
                                           const Field &eventId, const Field &eventName,
                                           const Field &picture, const Field &detailPic,
                                           const Field &startTime, const Field &endTime,
                                           const Field &storeName, const Field &brief,
                                           const Field &detail, int totalPoints, const Field &storeId,
                                           const Field &enableStoreIds)
{
    PointCard card;
    card.cardKey = Field(genCardKey());
    card.merchantId = merchantId;
    card.name = eventName;
    card.eventId = eventId;
    card.isDeleted = Field(0);
    card.isUsed = Field(0);
    card.lastUpdatedTime = Field(qint64(0));
    card.lastUpdatedUser = Field(QString());
    card.lastUpdatedUserId = Field(qint64(0));
    card.member = member;
    card.memberId = Field(memberId);
    card.point = Field(0);
    card.storeId = storeId;
    card.enableStoreIds = enableStoreIds;
    card.picture = picture;
    card.detailPic = detailPic;
    card.startTime = startTime;
    card.endTime = endTime;
    card.storeName = storeName;
    card.brief = brief;
    card.detail = detail;
    card.totalPoints = Field(totalPoints);
    SQLiteHelper::getInstance().insertWithEntity(card);
    return card;
}

void PointCardUtil::processOverPoint(PointCard &pointCard, PointCardLog &pointCardLog)
{
    const int total = pointCard.totalPoints.toInt();
    const qint64 over = qint64(pointCard.point.toInt()) - total;
    // The split divides by the total; a card without a positive total is never topped up.
    if (over <= 0 || total <= 0)
        return;

    SQLiteHelper &store = SQLiteHelper::getInstance();
    pointCard.point = Field(total);
    store.updateWithEntity(pointCard);

    const PointCardLog written = pointCardLog;
    pointCardLog.aPoint = pointCard.point;
    rewriteLogEntry(written, pointCardLog);

    const PointCardLog template_ = withUnsetAsEmpty(pointCardLog);
    const qint64 fullCards = over / total;
    const int rest = int(over % total);
    for (qint64 pass = 0; pass <= fullCards; ++pass) {
        const int points = pass < fullCards ? total : rest;
        PointCard card = genEmptyPointCard(pointCard.merchantId, pointCard.memberId.toId(),
                                           pointCard.member, pointCard.eventId, pointCard.name,
                                           pointCard.picture, pointCard.detailPic,
                                           pointCard.startTime, pointCard.endTime,
                                           pointCard.storeName, pointCard.brief, pointCard.detail,
                                           total, pointCard.storeId, pointCard.enableStoreIds);
        card.point = Field(points);
        card.lastUpdatedTime = Field(getNowDateTime());
        store.updateWithEntity(card);

        PointCardLog entry = template_;
        entry.cardKey = card.cardKey;
        entry.bPoint = Field(0);
        entry.aPoint = Field(points);
        store.insertWithEntity(entry);
    }
}

QString PointCardUtil::genCardKey()
{
    const QString digits = Tools::getUUID().remove(QLatin1Char('-'));
    if (digits.isEmpty())
        return {};
    QString key;
    key.reserve(32);
    for (int i = 0; i < 32; ++i)
        key.append(digits.at(qsizetype(randomBelow(quint32(digits.size())))));
    return key;
}

void PointCardUtil::setRandomSource(std::function<quint32(quint32)> source)
{
    randomSource() = std::move(source);
}

PointCardGridLayout PointCardUtil::pointCardGridLayout(const QSizeF &viewSize, const QSize &lockSize,
                                                       int totalPoints, int collectedPoints)
{
    PointCardGridLayout layout;
    const auto whole = [](qreal value) {
        return value > 0 && value < qreal(std::numeric_limits<int>::max()) ? int(value) : 0;
    };
    const int wi = whole(viewSize.width());
    const int hi = whole(viewSize.height());
    layout.outline = QRect(0, 0, wi, hi);

    const int a = totalPoints;
    const int b = collectedPoints;
    if (b >= a)
        return layout; // a full card shows the outline only
    const int rows = a < 4 ? 1 : (a <= 11 ? 2 : 3);
    const int columns = a / rows;
    if (columns <= 0)
        return layout;
    layout.rows = rows;
    layout.columns = columns;
    const int cellHeight = (hi + rows - 1) / rows;
    const int cellWidth = (wi + columns - 1) / columns;
    layout.cellSize = QSize(cellWidth, cellHeight);
    const bool fits = lockSize.width() <= cellWidth && lockSize.height() <= cellHeight;
    layout.lockSize = fits ? lockSize
                           : QSize(std::min(lockSize.width(), cellWidth),
                                   std::min(lockSize.height(), cellHeight));

    for (int i = 0; i < rows; ++i) {
        const int y = cellHeight * i;
        for (int j = 0; j < columns; ++j) {
            const int x = cellWidth * j;
            const int slot = i * columns + j;
            if (slot >= b) {
                const QRect cell(x, y, cellWidth, cellHeight);
                const QRect lock(x + (cellWidth - layout.lockSize.width()) / 2,
                                 y + (cellHeight - layout.lockSize.height()) / 2,
                                 layout.lockSize.width(), layout.lockSize.height());
                layout.dimmedSlots.append({slot, cell, QRect(x + 1, y + 1, cellWidth, cellHeight), lock});
            }
            if (i == 0 && j > 0)
                layout.verticalLines.append(x);
        }
        if (i > 0)
            layout.horizontalLines.append(y);
    }
    return layout;
}

PointCardImage PointCardUtil::genPointCardImg(const QSizeF &viewSize, const QImage &lock,
                                              int totalPoints, int collectedPoints)
{
    PointCardImage result;
    result.frame = QRectF(QPointF(0, 0), viewSize.isValid() ? viewSize : QSizeF(0, 0));
    const PointCardGridLayout layout =
        pointCardGridLayout(viewSize, lock.size(), totalPoints, collectedPoints);
    const QSize imageSize(int(std::ceil(result.frame.width())), int(std::ceil(result.frame.height())));
    if (imageSize.isEmpty())
        return result;

    QImage image(imageSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    QPen dotted(Qt::white);
    dotted.setWidthF(1.0);
    dotted.setCapStyle(Qt::RoundCap);
    dotted.setDashPattern({0.0, 3.0});
    painter.setPen(dotted);
    painter.setBrush(Qt::NoBrush);

    const int wi = layout.outline.width();
    const int hi = layout.outline.height();
    // Drawn row by row, in the order the cells and their lines overlap.
    qsizetype next = 0;
    for (int i = 0; i < layout.rows; ++i) {
        for (int j = 0; j < layout.columns; ++j) {
            const int slot = i * layout.columns + j;
            if (next < layout.dimmedSlots.size() && layout.dimmedSlots.at(next).number == slot) {
                const auto &dimmed = layout.dimmedSlots.at(next++);
                painter.fillRect(dimmed.dimmed, QColor::fromRgbF(0, 0, 0, 0.5));
                painter.drawRect(QRectF(dimmed.dimmed));
                if (!lock.isNull())
                    painter.drawImage(dimmed.lock, lock);
            }
            if (i == 0 && j > 0) {
                const int x = layout.cellSize.width() * j;
                painter.drawLine(QLineF(x, 0, x, hi));
            }
        }
        if (i > 0) {
            const int y = layout.cellSize.height() * i;
            painter.drawLine(QLineF(0, y, wi, y));
        }
    }
    painter.drawRect(QRectF(layout.outline));
    painter.end();
    result.image = image;
    return result;
}
