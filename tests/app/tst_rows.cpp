#include "AppTestSupport.h"
#include "BuildConfig.h"
#include "CellCoupon.h"
#include "CellPointCard.h"
#include "CellStore.h"
#include "Event.h"
#include "MyUIImageView.h"
#include "PartialDynamicContentBox.h"
#include "PartialPointCardPoint.h"
#include "PartialPointCardRow.h"
#include "PhoneButton.h"
#include "PhoneImageView.h"
#include "PhoneLabel.h"
#include "UILabelStyle.h"
#include "Views.h"

#include <QTest>

#include <memory>

namespace {

using Style = void (*)(PhoneLabel *);

// The colour and font a label gets from a named style.
bool styledAs(PhoneLabel *label, Style style)
{
    PhoneLabel reference;
    style(&reference);
    return label->textColor() == reference.textColor() && label->font() == reference.font();
}

QString labelText(QWidget *row, int tag)
{
    auto *label = Views::withTag<PhoneLabel>(row, tag);
    return label ? label->text() : u"(no label)"_qs;
}

MyUIImageView *imageOf(QWidget *row)
{
    return dynamic_cast<MyUIImageView *>(Views::withTag(row, 1));
}

int litStars(const QList<PhoneImageView *> &stars)
{
    int lit = 0;
    for (PhoneImageView *star : stars)
        lit += star->imageName() == u"star_small_on.png"_qs ? 1 : 0;
    return lit;
}

} // namespace

class TestRows : public QObject
{
    Q_OBJECT

    std::unique_ptr<AppTestEnvironment> env;

private Q_SLOTS:
    void init()
    {
        env = std::make_unique<AppTestEnvironment>();
        // Pictures are asked of a port nobody listens on.
        BuildConfig::setLoyaltyBaseUrl(u"http://127.0.0.1:1/"_qs);
        Texts::setLookup([](const QString &key) {
            if (key == u"exchangeTimes"_qs)
                return u"%d more to go"_qs;
            return u"<"_qs + key + u'>';
        });
    }
    void cleanup()
    {
        BuildConfig::setLoyaltyBaseUrl(QString());
        env.reset();
    }

    void storeStarsByRate_data()
    {
        QTest::addColumn<Field>("rate");
        QTest::addColumn<int>("lit");
        QTest::newRow("3") << Field(3) << 3;
        QTest::newRow("above 5") << Field(7) << 5;
        QTest::newRow("unset") << Field() << 0;
        QTest::newRow("as text") << Field(u"4"_qs) << 4;
        QTest::newRow("negative") << Field(-2) << 0;
    }
    void storeStarsByRate()
    {
        QFETCH(Field, rate);
        QFETCH(int, lit);
        CellStore cell;
        Store store;
        store.rate = rate;
        cell.setCellValue(store);
        QList<PhoneImageView *> stars;
        for (int tag = 5; tag <= 9; ++tag)
            stars << Views::withTag<PhoneImageView>(&cell, tag);
        QVERIFY(!stars.contains(nullptr));
        QCOMPARE(litStars(stars), lit);
        // Lit stars come first.
        for (int k = 0; k < 5; ++k)
            QCOMPARE(stars[k]->imageName() == u"star_small_on.png"_qs, k < lit);
    }

    void storeRowFill()
    {
        CellStore cell;
        QCOMPARE(cell.reuseIdentifier(), u"CellStore"_qs);
        Store store;
        store.storeName = Field(u"Harbour Noodle House"_qs);
        store.discount = Field(u"10% off"_qs);
        store.cost = Field(45);
        store.storePicUrl = Field(u"http://127.0.0.1:1/pics/store.png"_qs);
        cell.setCellValue(store);
        QCOMPARE(labelText(&cell, 2), u"Harbour Noodle House"_qs);
        QVERIFY(styledAs(Views::withTag<PhoneLabel>(&cell, 2), UILabelStyle::CellByTitle));
        QCOMPARE(labelText(&cell, 3), u"10% off"_qs);
        QCOMPARE(labelText(&cell, 4), u"<averageCost>45"_qs);
        QVERIFY(styledAs(Views::withTag<PhoneLabel>(&cell, 4), UILabelStyle::CellByAverageCost));
        QCOMPARE(imageOf(&cell)->imageUrl(), u"http://127.0.0.1:1/pics/store.png"_qs);

        // A refill with a store lacking cost leaves nothing of the first.
        Store bare;
        bare.storeName = Field(u"Golden Wok"_qs);
        cell.setCellValue(bare);
        QCOMPARE(labelText(&cell, 2), u"Golden Wok"_qs);
        QCOMPARE(labelText(&cell, 3), QString());
        QCOMPARE(labelText(&cell, 4), u"<averageCost>"_qs);
        QCOMPARE(imageOf(&cell)->imageUrl(), QString());
    }

    void storeRowFadesIn()
    {
        CellStore cell;
        Animations::setEnabled(true);
        cell.setCellValue(Store(), true);
        QWidget *name = Views::withTag(&cell, 2);
        QCOMPARE(Animations::opacity(name), 0.0);
        QTRY_COMPARE(Animations::opacity(name), 1.0);
        Animations::setEnabled(false);
        // Without the fade the row is opaque at once, even after a fade.
        cell.setCellValue(Store(), false);
        QCOMPARE(Animations::opacity(name), 1.0);
        QCOMPARE(Animations::opacity(Views::withTag(&cell, 1)), 1.0);
    }

    void imageAddressRule_data()
    {
        QTest::addColumn<QString>("picture");
        QTest::addColumn<bool>("relative");
        QTest::newRow("full address") << u"http://cdn.example/a.png"_qs << false;
        QTest::newRow("file name") << u"a.png"_qs << true;
        QTest::newRow("https is not taken as full") << u"https://cdn.example/a.png"_qs << true;
    }
    void imageAddressRule()
    {
        QFETCH(QString, picture);
        QFETCH(bool, relative);
        const QString address = relative ? Event::genFullImagePath(picture) : picture;
        QVERIFY(address.startsWith(u"http://127.0.0.1:1/"_qs) == relative);
        CellCoupon coupon;
        MemberCoupons record;
        record.picture = Field(picture);
        coupon.setCellValue(record);
        QCOMPARE(imageOf(&coupon)->imageUrl(), address);
        CellPointCard card;
        PointCard pointCard;
        pointCard.picture = Field(picture);
        card.setCellValue(pointCard);
        QCOMPARE(imageOf(&card)->imageUrl(), address);
    }

    void couponRowFill()
    {
        CellCoupon cell;
        Event event;
        event.storeName = Field(u"Corner Bakery"_qs);
        event.name = Field(u"Free croissant"_qs);
        const qint64 start = QDateTime(QDate(2012, 11, 7), QTime(0, 0)).toMSecsSinceEpoch();
        const qint64 end = QDateTime(QDate(2012, 11, 30), QTime(12, 0)).toMSecsSinceEpoch();
        event.startTime = Field(start);
        event.endTime = Field(end);
        cell.setCellValue(event);
        QCOMPARE(labelText(&cell, 2), u"Corner Bakery"_qs);
        QVERIFY(styledAs(Views::withTag<PhoneLabel>(&cell, 2), UILabelStyle::CellByTitle));
        QCOMPARE(labelText(&cell, 3), u"Free croissant"_qs);
        QCOMPARE(labelText(&cell, 4), u"2012-11-07 ~ 2012-11-30"_qs);
        QVERIFY(styledAs(Views::withTag<PhoneLabel>(&cell, 4), UILabelStyle::CellByDuration));
    }

    void pointCardRowShowsStrip()
    {
        CellPointCard cell;
        PointCard card;
        card.storeName = Field(u"Green Leaf"_qs);
        card.name = Field(u"Tea card"_qs);
        card.brief = Field(u"Ten stamps, one pot"_qs);
        card.point = Field(7);
        card.totalPoints = Field(u"10"_qs);
        card.isUsed = Field(0);
        QVERIFY(!cell.pointStrip());
        cell.setCellValue(card);
        QCOMPARE(labelText(&cell, 2), u"Green Leaf"_qs);
        QCOMPARE(labelText(&cell, 3), u"Tea card"_qs);
        QCOMPARE(labelText(&cell, 4), u"Ten stamps, one pot"_qs);
        QVERIFY(Views::withTag<PhoneButton>(&cell, 5)->isHidden());
        QVERIFY(!Views::withTag(&cell, 6)->isHidden());
        PartialPointCardPoint *strip = cell.pointStrip();
        QVERIFY(strip);
        QCOMPARE(labelText(strip, 1), u"7"_qs);
        QCOMPARE(labelText(strip, 3), u"3 more to go"_qs);

        // The strip is reused by the next fill.
        card.point = Field(10);
        cell.setCellValue(card);
        QCOMPARE(cell.pointStrip(), strip);
        QCOMPARE(Views::withTag(&cell, 6)->findChildren<PartialPointCardPoint *>().size(), 1);
        QCOMPARE(labelText(strip, 3), u"<toExchange>"_qs);
    }

    void pointsStrip_data()
    {
        QTest::addColumn<int>("point");
        QTest::addColumn<int>("total");
        QTest::addColumn<int>("isUsed");
        QTest::addColumn<QString>("status");
        QTest::addColumn<bool>("normalStyle");
        QTest::newRow("7 of 10") << 7 << 10 << 0 << u"3 more to go"_qs << true;
        QTest::newRow("10 of 10") << 10 << 10 << 0 << u"<toExchange>"_qs << false;
        QTest::newRow("over the total") << 12 << 10 << 0 << u"<toExchange>"_qs << false;
        QTest::newRow("exchanged, few points") << 3 << 10 << 1 << u"<toExchanged>"_qs << false;
        QTest::newRow("exchanged, full") << 10 << 10 << 1 << u"<toExchanged>"_qs << false;
    }
    void pointsStrip()
    {
        QFETCH(int, point);
        QFETCH(int, total);
        QFETCH(int, isUsed);
        QFETCH(QString, status);
        QFETCH(bool, normalStyle);
        PartialPointCardPoint strip;
        strip.setValue(point, total, isUsed);
        QCOMPARE(labelText(&strip, 1), QString::number(point));
        QCOMPARE(labelText(&strip, 2), QString::number(total));
        QCOMPARE(labelText(&strip, 3), status);
        QVERIFY(styledAs(Views::withTag<PhoneLabel>(&strip, 3),
                         normalStyle ? UILabelStyle::CellByPointCardNormal : UILabelStyle::CellByPointCardOver));
    }

    void integerFormats_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("text");
        QTest::newRow("%d") << u"%d more"_qs << u"3 more"_qs;
        QTest::newRow("%@") << u"still %@"_qs << u"still 3"_qs;
        QTest::newRow("%ld") << u"%ld left"_qs << u"3 left"_qs;
        QTest::newRow("percent sign") << u"100%% sure: %i"_qs << u"100% sure: 3"_qs;
        QTest::newRow("one place only") << u"%d and %d"_qs << u"3 and %d"_qs;
        QTest::newRow("no place") << u"almost there"_qs << u"almost there"_qs;
        QTest::newRow("hostile") << u"%s%n%x"_qs << u"%s%n%x"_qs;
    }
    void integerFormats()
    {
        QFETCH(QString, format);
        QFETCH(QString, text);
        QCOMPARE(PartialPointCardPoint::formatInteger(format, 3), text);
    }

    void textRow()
    {
        PartialPointCardRow row;
        QWidget *container = Views::withTag(&row, 2);
        QVERIFY(container);
        row.setValue(u"Stamp card"_qs, 4, 10, 0);
        QCOMPARE(labelText(&row, 1), u"Stamp card"_qs);
        QVERIFY(styledAs(Views::withTag<PhoneLabel>(&row, 1), UILabelStyle::CellByDuration));
        const auto strips = container->findChildren<PartialPointCardPoint *>();
        QCOMPARE(strips.size(), 1);
        QCOMPARE(labelText(strips.first(), 1), u"4"_qs);
        QCOMPARE(labelText(strips.first(), 3), u"6 more to go"_qs);

        // Only a text, or missing points: no strip.
        row.setValue(u"Coupon"_qs, std::nullopt, std::nullopt, std::nullopt);
        QCOMPARE(labelText(&row, 1), u"Coupon"_qs);
        QVERIFY(container->findChildren<PartialPointCardPoint *>().isEmpty());
        row.setValue(u"Half"_qs, 4, 10, std::nullopt);
        QVERIFY(container->findChildren<PartialPointCardPoint *>().isEmpty());
    }

    void contentBox_data()
    {
        QTest::addColumn<int>("star");
        QTest::addColumn<QString>("date");
        QTest::addColumn<bool>("hasDate");
        QTest::addColumn<int>("lit");
        QTest::addColumn<int>("starCount");
        QTest::newRow("3 stars, no date") << 3 << QString() << false << 3 << 5;
        QTest::newRow("3 stars, empty date") << 3 << QString() << true << 3 << 5;
        QTest::newRow("0 stars, date") << 0 << u"2012-11-07"_qs << true << 0 << 0;
        QTest::newRow("store detail") << -1 << QString() << false << 0 << 0;
    }
    void contentBox()
    {
        QFETCH(int, star);
        QFETCH(QString, date);
        QFETCH(bool, hasDate);
        QFETCH(int, lit);
        QFETCH(int, starCount);
        const QString body = u"Friendly staff and a quiet corner by the window. The noodles came quickly and "
                             u"the broth was rich."_qs;
        PartialDynamicContentBox box(u"Alice"_qs, star, body, hasDate ? std::optional(date) : std::nullopt);
        QCOMPARE(box.width(), 309);
        QCOMPARE(box.headView()->geometry(), QRect(0, 0, 309, 36));
        QCOMPARE(box.titleLabel()->text(), u"Alice"_qs);
        QCOMPARE(box.titleLabel()->geometry(), QRect(10, 0, 215, 36));

        const QList<PhoneImageView *> stars = box.stars();
        QCOMPARE(stars.size(), starCount);
        QCOMPARE(litStars(stars), lit);
        for (int i = 0; i < stars.size(); ++i)
            QCOMPARE(stars[i]->geometry(), QRect(220 + 13 * i, 11, 13, 13));

        const QSizeF need = PartialDynamicContentBox::getSize(body, 12, 289);
        QVERIFY(need.height() > QFontMetricsF(Fonts::system(12)).height() * 1.5); // two lines or more
        const QRect content = box.contentLabel()->geometry();
        QCOMPARE(content.topLeft(), QPoint(10, 5));
        QCOMPARE(content.width(), 289);
        QCOMPARE(content.height(), int(std::ceil(need.height())));

        const bool dateShown = hasDate && !date.isEmpty();
        QCOMPARE(box.dateLabel() != nullptr, dateShown);
        int middleBottom = content.bottom() + 1;
        if (dateShown) {
            const QRect dateRect = box.dateLabel()->geometry();
            QCOMPARE(dateRect, QRect(0, content.bottom() + 1 + 5, 299, 21));
            QCOMPARE(box.dateLabel()->text(), date);
            QVERIFY(box.dateLabel()->alignment() & Qt::AlignRight);
            middleBottom = dateRect.bottom() + 1;
        }
        QCOMPARE(box.middleView()->geometry(), QRect(0, 36, 309, middleBottom));
        QCOMPARE(box.footView()->geometry(), QRect(0, 36 + middleBottom, 309, 5));
        QCOMPARE(box.height(), 36 + middleBottom + 5);
    }

    void contentBoxSizes()
    {
        QCOMPARE(PartialDynamicContentBox::getSize(QString(), 12, 289), QSizeF(0, 0));
        const QSizeF one = PartialDynamicContentBox::getSize(u"short"_qs, 12, 289);
        const QSizeF wide = PartialDynamicContentBox::getSize(QString(40, u'x') + u' ' + QString(40, u'x'), 12, 100);
        QVERIFY(one.height() > 0);
        QVERIFY(wide.height() > one.height());
        std::unique_ptr<PartialDynamicContentBox> detail(
            PartialDynamicContentBox::initWithStoreDetail(u"Introduction"_qs, u"Open daily."_qs));
        QVERIFY(detail->stars().isEmpty());
        QVERIFY(!detail->dateLabel());
        QCOMPARE(detail->contentLabel()->text(), u"Open daily."_qs);
    }
};

QTEST_MAIN(TestRows)
#include "tst_rows.moc"
