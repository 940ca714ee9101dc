#include "TourData.h"

#include "AppPaths.h"
#include "BuildConfig.h"
#include "EditionConfig.h"
#include "Event.h"
#include "LoadImageRequest.h"
#include "MemberCoupons.h"
#include "SQLiteHelper.h"
#include "UserMgr.h"

#include <QBuffer>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>

namespace TourData {

namespace {

constexpr qint64 kStart = 1704038400000LL; // 2024-01-01
constexpr qint64 kEnd = 2082729600000LL; // 2036-01-01

struct Sample
{
    CardState state;
    const char16_t *key;
    const char16_t *name;
    const char16_t *brief;
    int points;
    int total;
    QColor from;
    QColor to;
};

const Sample kSamples[] = {
    {CardState::PartFilled, u"tour-part", u"Noodle stamp card", u"A free bowl after 10 visits", 4, 10,
     QColor(0xC0, 0x2D, 0x5A), QColor(0xF2, 0x9E, 0x4C)},
    {CardState::Full, u"tour-full", u"Coffee card", u"6 coffees, 1 free", 6, 6, QColor(0x4E, 0x34, 0x2E),
     QColor(0xC8, 0x9F, 0x7A)},
    {CardState::Exchanged, u"tour-used", u"Book lover card", u"12 stamps for a book voucher", 12, 12,
     QColor(0x1E, 0x4D, 0x7B), QColor(0x6F, 0xB1, 0xD9)},
    {CardState::Empty, u"tour-empty", u"Dining group card", u"8 meals, the 9th is on us", 0, 8,
     QColor(0x2E, 0x7D, 0x32), QColor(0xA5, 0xD6, 0x7A)},
};

const Sample &sampleOf(CardState state)
{
    for (const Sample &sample : kSamples) {
        if (sample.state == state)
            return sample;
    }
    return kSamples[0];
}

QString pictureUrl(const Sample &sample, bool detail)
{
    return Event::genFullImagePath(QString::fromUtf16(sample.key) + (detail ? u"-detail.png"_qs : u".png"_qs));
}

// A card picture: a gradient with the card's name, as a store would design it.
QByteArray drawPicture(const Sample &sample, QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, size.width(), size.height());
    gradient.setColorAt(0, sample.from);
    gradient.setColorAt(1, sample.to);
    painter.fillRect(image.rect(), gradient);
    painter.setPen(Qt::white);
    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(size.height() / 7);
    painter.setFont(font);
    painter.drawText(image.rect().adjusted(size.width() / 12, 0, 0, -size.height() / 12),
                     Qt::AlignLeft | Qt::AlignBottom, QString::fromUtf16(sample.name));
    painter.end();
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

PointCard cardOf(const Sample &sample)
{
    PointCard card;
    card.cardKey = Field(QString::fromUtf16(sample.key));
    card.name = Field(QString::fromUtf16(sample.name));
    card.brief = Field(QString::fromUtf16(sample.brief));
    card.memberId = Field(MemberId);
    card.eventId = Field(int(sample.state) + 1);
    card.merchantId = Field(1001);
    card.point = Field(sample.points);
    card.totalPoints = Field(sample.total);
    card.isUsed = Field(sample.state == CardState::Exchanged ? 1 : 0);
    card.isDeleted = Field(0);
    card.lastUpdatedTime = Field(kStart + 1000 * int(sample.state));
    card.storeId = Field(1);
    card.enableStoreIds = Field(u"1"_qs);
    card.storeName = Field(u"Bund Noodle House"_qs);
    card.startTime = Field(kStart);
    card.endTime = Field(kEnd);
    card.picture = Field(pictureUrl(sample, false));
    card.detailPic = Field(pictureUrl(sample, true));
    return card;
}

QList<MemberCoupons> coupons()
{
    const struct
    {
        const char16_t *key;
        const char16_t *name;
        const char16_t *store;
    } samples[] = {
        {u"tour-coupon-1", u"10% off lunch", u"Bund Noodle House"},
        {u"tour-coupon-2", u"Free dessert with two mains", u"Golden Wok"},
    };
    QList<MemberCoupons> list;
    int order = 0;
    for (const auto &sample : samples) {
        MemberCoupons coupon;
        coupon.couponKey = Field(QString::fromUtf16(sample.key));
        coupon.name = Field(QString::fromUtf16(sample.name));
        coupon.storeName = Field(QString::fromUtf16(sample.store));
        coupon.memberId = Field(MemberId);
        coupon.isDeleted = Field(0);
        coupon.leftCount = Field(1);
        coupon.status = Field(0);
        coupon.lastUpdatedTime = Field(kStart - ++order);
        coupon.startTime = Field(kStart);
        coupon.endTime = Field(kEnd);
        coupon.picture = Field(pictureUrl(kSamples[order - 1], false));
        list.append(coupon);
    }
    return list;
}

} // namespace

Sandbox::Sandbox()
    : m_previousDir(AppPaths::dataDir()), m_previousBaseUrl(BuildConfig::loyaltyBaseUrl()),
      m_previousCatalogueHost(EditionConfig::text(u"THIRD_PARTY_HOST"_qs))
{
    const QString closed = u"http://127.0.0.1:1/"_qs;
    BuildConfig::setLoyaltyBaseUrl(closed);
    EditionConfig::set(u"THIRD_PARTY_HOST"_qs, closed);
    AppPaths::setDataDir(m_dir.path());
    SQLiteHelper::resetInstance();
    seed();
}

Sandbox::~Sandbox()
{
    SQLiteHelper::resetInstance();
    AppPaths::setDataDir(m_previousDir);
    BuildConfig::setLoyaltyBaseUrl(m_previousBaseUrl);
    EditionConfig::set(u"THIRD_PARTY_HOST"_qs, m_previousCatalogueHost);
}

void seed()
{
    UserMgr::setMemberId(MemberId);
    UserMgr::setOutMemberId(QString::number(MemberId));
    SQLiteHelper &local = SQLiteHelper::getInstance();
    LoadImageRequest &images = LoadImageRequest::getInstance();
    for (const Sample &sample : kSamples) {
        local.insertWithEntity(cardOf(sample));
        images.saveImageInLocal(pictureUrl(sample, false), drawPicture(sample, QSize(152, 128)));
        images.saveImageInLocal(pictureUrl(sample, true), drawPicture(sample, QSize(600, 360)));
    }
    // The first three are the member's favourites.
    for (const Store &store : stores().mid(0, 3))
        local.insertWithEntity(store);
    for (const MemberCoupons &coupon : coupons())
        local.insertWithEntity(coupon);
}

QList<Store> stores()
{
    const struct
    {
        int id;
        const char16_t *name;
        const char16_t *discount;
        const char16_t *cost;
        int rate;
    } samples[] = {
        {1, u"Bund Noodle House", u"10% off on weekdays", u"45", 4},
        {12, u"Green Leaf Tea Room", u"Second cup free", u"28", 3},
        {7, u"Golden Wok", u"", u"", 5},
        {14, u"Corner Bakery", u"20% off after 8 pm", u"15", 0},
        {9, u"Sunrise Grill", u"Lunch set 38", u"60", 2},
    };
    QList<Store> list;
    for (const auto &sample : samples) {
        Store store;
        store.storeID = Field(sample.id);
        store.storeName = Field(QString::fromUtf16(sample.name));
        store.discount = Field(QString::fromUtf16(sample.discount));
        if (*sample.cost)
            store.cost = Field(QString::fromUtf16(sample.cost));
        store.rate = Field(sample.rate);
        list.append(store);
    }
    return list;
}

PointCard card(CardState state)
{
    return cardOf(sampleOf(state));
}

Store store()
{
    return stores().first();
}

} // namespace TourData
