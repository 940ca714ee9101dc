// The point card screen against the reference services: held cards, the
// scan screening through the real scanning view, the stamp grid and the
// wallet button.
#include "AcceptedPayloads.h"
#include "AppTestSupport.h"
#include "BuildConfig.h"
#include "CellStore.h"
#include "HttpClient.h"
#include "LoginCtrl.h"
#include "MyAlertView.h"
#include "NavigationController.h"
#include "PartialPointCardRow.h"
#include "PayloadCipher.h"
#include "PhoneLabel.h"
#include "PhoneWindow.h"
#include "PointCardDetailCtrl.h"
#include "ProgressHUD.h"
#include "QRScannerView.h"
#include "SQLiteHelper.h"
#include "ScreenTools.h"
#include "ServiceFixture.h"
#include "StoreDetailCtrl.h"
#include "Tools.h"
#include "UserMgr.h"
#include "Views.h"

#include <QDateTime>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTest>
#include <QUrlQuery>

#include <memory>

namespace {

constexpr qint64 kMerchant = 1001;

// The demo's event 1: ten stamps at store 1. Event 2 is the dining group's
// card, valid at stores 1 to 11.
PointCard eventCard(int eventId)
{
    const bool single = eventId == 1;
    return EntityRecords::fromJson<PointCard>(QJsonObject{
        {u"cardKey"_qs, QString()},
        {u"name"_qs, single ? u"Noodle stamp card"_qs : u"Dining group card"_qs},
        {u"eventId"_qs, eventId},
        {u"merchantId"_qs, kMerchant},
        {u"point"_qs, 0},
        {u"isUsed"_qs, 0},
        {u"isDeleted"_qs, 0},
        {u"totalPoints"_qs, single ? 10 : 8},
        {u"storeId"_qs, single ? 1 : 0},
        {u"enableStoreIds"_qs, single ? u"1"_qs : u"1,2,3,4,5,6,7,8,9,10,11"_qs},
        {u"storeName"_qs, u"Bund Noodle House"_qs},
        {u"brief"_qs, u"A free bowl"_qs},
        {u"detail"_qs, QString()},
        {u"detailPic"_qs, u"event-%1-detail.png"_qs.arg(eventId)},
        {u"startTime"_qs, 1704038400000LL},
        {u"endTime"_qs, 2082729600000LL},
    });
}

// The member's stored card of the event with points.
PointCard heldCard(qint64 member, int eventId, int points, const QString &key)
{
    PointCard card = eventCard(eventId);
    card.cardKey = Field(key);
    card.memberId = Field(member);
    card.point = Field(points);
    SQLiteHelper::getInstance().insertWithEntity(card);
    return card;
}

std::optional<PointCard> storedCard(const QString &key)
{
    for (const PointCard &card : SQLiteHelper::getInstance().getAllEntities<PointCard>()) {
        if (card.cardKey.text() == key)
            return card;
    }
    return std::nullopt;
}

QString addCode(int points, const QStringList &store)
{
    return PayloadCipher::encipherFields(QStringList{QString::number(kMerchant),
                                                     QString::number(QDateTime::currentMSecsSinceEpoch()),
                                                     QString::number(points), u"42"_qs, u"Alice"_qs}
                                         + store);
}

QString exchangeCode(const QStringList &store)
{
    return PayloadCipher::encipherFields(QStringList{QString::number(kMerchant),
                                                     QString::number(QDateTime::currentMSecsSinceEpoch()),
                                                     u"42"_qs, u"Alice"_qs}
                                         + store);
}

QStringList textsOf(const QList<QWidget *> &views)
{
    QStringList texts;
    for (QWidget *view : views) {
        if (auto *label = qobject_cast<QLabel *>(view))
            texts << label->text();
    }
    return texts;
}

// A point card screen on a stack in a shown window.
struct Screen
{
    PhoneWindow window;
    NavigationController *nav = nullptr;
    PointCardDetailCtrl *card = nullptr;

    explicit Screen(const PointCard &pointCard, const std::optional<Store> &store = std::nullopt)
    {
        auto *root = new MainCtrl;
        nav = new NavigationController(root);
        window.setRootViewController(nav);
        window.show();
        card = new PointCardDetailCtrl;
        card->setPointCard(pointCard);
        if (store)
            card->setStore(*store);
        QSignalSpy pictured(card, &PointCardDetailCtrl::detailPictureShown);
        nav->pushViewController(card, false);
        if (pictured.isEmpty())
            pictured.wait(10000);
    }

    // Scans a QR code holding text through the scanning view's picture path;
    // the alert's message, closed.
    QString scan(const QString &text, QTemporaryDir &dir)
    {
        const QString path = dir.filePath(u"code.png"_qs);
        ScreenTools::qrImage(text, 360).save(path);
        QRScannerView::setScanImagePath(path);
        QTest::mouseClick(card->scanButton(), Qt::LeftButton);
        if (!card->scanner())
            return QString();
        if (!QTest::qWaitFor([] { return topAlert() != nullptr; }, 10000))
            return u"(no alert)"_qs;
        const QString message = topAlert()->message();
        AppTestEnvironment::closeAlerts();
        return message;
    }

    QStringList rowTexts() const
    {
        auto *row = card->pointCardRowView()->findChild<PartialPointCardRow *>();
        return row ? textsOf(row->findChildren<QWidget *>()) : QStringList();
    }
    QString storeRowName() const
    {
        auto *name = Views::withTag<PhoneLabel>(card->storeRow(), 2);
        return name ? name->text() : QString();
    }
};

ProgressHUD *shownToast(QWidget *window)
{
    for (ProgressHUD *hud : window->findChildren<ProgressHUD *>()) {
        if (hud->mode() == ProgressHUD::Mode::Text && hud->isShowing())
            return hud;
    }
    return nullptr;
}

void answerAlert(const QString &message, int index)
{
    AlertView *alert = topAlert();
    QVERIFY(alert);
    QCOMPARE(alert->message(), message);
    QTest::mouseClick(alert->button(index), Qt::LeftButton);
}

} // namespace

class TestPointCardDetail : public QObject
{
    Q_OBJECT

    ServiceFixture services;
    qint64 member = 0;
    std::unique_ptr<AppTestEnvironment> env;

    // Card keys are the services' keys too: one per member.
    QString heldKey() const { return u"held-%1"_qs.arg(member); }

    void pointAtServices()
    {
        BuildConfig::setLoyaltyBaseUrl(u"http://127.0.0.1:%1/"_qs.arg(services.loyaltyPort()));
        EditionConfig::set(u"THIRD_PARTY_HOST"_qs, u"http://127.0.0.1:%1/"_qs.arg(services.cataloguePort()));
    }

    // The services keep a member's cards between tests: each test has its own member.
    qint64 newMember()
    {
        static int made = 0;
        const QString account = u"card%1"_qs.arg(++made);
        QUrlQuery form;
        form.addQueryItem(u"email"_qs, account + u"@example.com"_qs);
        form.addQueryItem(u"name"_qs, account);
        form.addQueryItem(u"nickname"_qs, account);
        form.addQueryItem(u"password"_qs, u"secret1"_qs);
        form.addQueryItem(u"tel"_qs, u"13800000000"_qs);
        services.catalogue(u"memberRegister"_qs, form);
        return services.loyaltyMemberFor(account, u"secret1"_qs);
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY2(services.start(), qPrintable(services.error()));
    }
    void init()
    {
        env = std::make_unique<AppTestEnvironment>();
        ScreenTools::installMessageHandler();
        SQLiteHelper::resetInstance();
        AcceptedPayloads::resetInstance();
        pointAtServices();
        member = newMember();
        QVERIFY(member > 0);
        UserMgr::setMemberId(member);
    }
    void cleanup()
    {
        // Answers still on their way would land in the next test's store.
        QTRY_VERIFY_WITH_TIMEOUT(HttpClient::inFlightCount() == 0 && HttpClient::queuedCount() == 0, 15000);
        QRScannerView::setScanImagePath(QString());
        Tools::setMessageHandler(nullptr);
        env.reset();
        SQLiteHelper::resetInstance();
        AcceptedPayloads::resetInstance();
    }

    void opensTheHeldCardOfAnEvent_data()
    {
        QTest::addColumn<int>("heldPoints");
        QTest::addColumn<bool>("replaced");
        QTest::newRow("held, part-filled") << 3 << true;
        QTest::newRow("held, full") << 10 << false;
    }
    void opensTheHeldCardOfAnEvent()
    {
        QFETCH(int, heldPoints);
        QFETCH(bool, replaced);
        heldCard(member, 1, heldPoints, heldKey());
        Screen screen(eventCard(1));
        QCOMPARE(screen.card->pointCard().cardKey.text(), replaced ? heldKey() : QString());
        QCOMPARE(screen.card->pointCard().point.toInt(), replaced ? heldPoints : 0);
        // The picture address is completed from the file name, and the card was drawn.
        QVERIFY(screen.card->pointCard().detailPic.text().startsWith(BuildConfig::loyaltyBaseUrl()));
        QVERIFY(screen.card->detailPicView()->findChild<PhoneImageView *>(u"stampGrid"_qs));
        QVERIFY(!screen.card->badgeImageView()->isVisible());
        QVERIFY(!screen.card->dateLabel()->text().isEmpty());
    }

    void scanScreensThenApplies_data()
    {
        QTest::addColumn<int>("heldPoints"); // -1: no card held
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("points");
        QTest::addColumn<int>("isUsed");
        QTest::addColumn<bool>("cardMade");
        QTest::newRow("6-field add code: field 5 is the store")
            << -1 << addCode(2, {u"1"_qs}) << u"<setPointDone>"_qs << 2 << 0 << true;
        QTest::newRow("7-field add code on a held card")
            << 3 << addCode(4, {u"1"_qs, u"Bund Noodle House"_qs}) << u"<setPointDone>"_qs << 7 << 0 << true;
        QTest::newRow("5-field add code") << -1 << addCode(2, {}) << u"<setPointFail>"_qs << 0 << 0 << false;
        QTest::newRow("another store") << -1 << addCode(2, {u"2"_qs}) << u"<disableStore>"_qs << 0 << 0 << false;
        QTest::newRow("not a payload") << -1 << u"hello"_qs << u"<setPointFail>"_qs << 0 << 0 << false;
        QTest::newRow("full card, 5-field exchange code: field 4 is the store")
            << 10 << exchangeCode({u"1"_qs}) << u"<exchangePointDone>"_qs << 10 << 1 << true;
        QTest::newRow("full card, 4-field exchange code") << 10 << exchangeCode({}) << u"<setPointFail>"_qs << 10 << 0
                                                           << true;
        QTest::newRow("full card, exchange at another store")
            << 10 << exchangeCode({u"3"_qs}) << u"<disableStore>"_qs << 10 << 0 << true;
    }
    void scanScreensThenApplies()
    {
        QFETCH(int, heldPoints);
        QFETCH(QString, code);
        QFETCH(QString, message);
        QFETCH(int, points);
        QFETCH(int, isUsed);
        QFETCH(bool, cardMade);
        PointCard shown = heldPoints < 0 ? eventCard(1) : heldCard(member, 1, heldPoints, heldKey());
        Screen screen(shown);
        QTemporaryDir dir;

        QCOMPARE(screen.scan(code, dir), message);
        QVERIFY(!screen.card->scanner());
        const PointCard &now = screen.card->pointCard();
        QCOMPARE(now.point.toInt(), points);
        QCOMPARE(now.isUsed.toInt(), isUsed);
        QCOMPARE(screen.card->badgeImageView()->isVisible(), isUsed == 1);
        const QList<PointCard> stored = SQLiteHelper::getInstance().getAllEntities<PointCard>();
        QCOMPARE(stored.isEmpty(), !cardMade);
        if (cardMade) {
            std::optional<PointCard> reread = storedCard(now.cardKey.text());
            QVERIFY(reread);
            QCOMPARE(reread->point.toInt(), points);
            QCOMPARE(reread->isUsed.toInt(), isUsed);
        }
        // Redrawn: the row's text names the card and the points strip shows.
        QVERIFY(screen.rowTexts().join(u' ').contains(u"Noodle stamp card"_qs));
    }

    void emptyScanFailsWithoutCard()
    {
        Screen screen(eventCard(1));
        screen.card->didScan(QString());
        QVERIFY(topAlert());
        QCOMPARE(topAlert()->message(), u"<setPointFail>"_qs);
        QVERIFY(SQLiteHelper::getInstance().getAllEntities<PointCard>().isEmpty());
    }

    void scanningTheSameCodeTwiceIsRefused()
    {
        Screen screen(eventCard(1));
        QTemporaryDir dir;
        const QString code = addCode(3, {u"1"_qs});
        QCOMPARE(screen.scan(code, dir), u"<setPointDone>"_qs);
        QCOMPARE(screen.scan(code, dir), u"<setPointFail>"_qs);
        QCOMPARE(screen.card->pointCard().point.toInt(), 3);
    }

    void overflowShowsTheFullCardAndTheNextScanExchanges()
    {
        heldCard(member, 1, 8, heldKey());
        Screen screen(eventCard(1));
        QTemporaryDir dir;
        QCOMPARE(screen.scan(addCode(5, {u"1"_qs}), dir), u"<setPointDone>"_qs);
        QCOMPARE(screen.card->pointCard().cardKey.text(), heldKey());
        QCOMPARE(screen.card->pointCard().point.toInt(), 10);
        // The surplus went onto a new card of the same event.
        QCOMPARE(SQLiteHelper::getInstance().getAllEntities<PointCard>().size(), 2);
        QCOMPARE(screen.scan(exchangeCode({u"1"_qs}), dir), u"<exchangePointDone>"_qs);
        QCOMPARE(screen.card->pointCard().isUsed.toInt(), 1);
        QVERIFY(screen.card->badgeImageView()->isVisible());
    }

    void loggedOutScanAndWalletButtonOpenTheLogin_data()
    {
        QTest::addColumn<bool>("scan");
        QTest::newRow("scan") << true;
        QTest::newRow("wallet button") << false;
    }
    void loggedOutScanAndWalletButtonOpenTheLogin()
    {
        QFETCH(bool, scan);
        UserMgr::setMemberId(0);
        Screen screen(eventCard(1));
        QTest::mouseClick(scan ? screen.card->scanButton() : screen.card->favoritesButton(), Qt::LeftButton);
        QTRY_VERIFY(qobject_cast<LoginCtrl *>(screen.nav->topViewController()));
        QVERIFY(!screen.card->scanner());
        QVERIFY(!topAlert());
    }

    void removedOrExchangedCardIgnoresScan_data()
    {
        QTest::addColumn<int>("isDeleted");
        QTest::addColumn<int>("isUsed");
        QTest::newRow("removed") << 1 << 0;
        QTest::newRow("exchanged") << 0 << 1;
    }
    void removedOrExchangedCardIgnoresScan()
    {
        QFETCH(int, isDeleted);
        QFETCH(int, isUsed);
        PointCard card = eventCard(1);
        card.cardKey = Field(u"gone"_qs);
        card.isDeleted = Field(isDeleted);
        card.isUsed = Field(isUsed);
        Screen screen(card);
        QTest::mouseClick(screen.card->scanButton(), Qt::LeftButton);
        QVERIFY(!screen.card->scanner());
        QVERIFY(!topAlert());
    }

    void cancelledScanChangesNothing()
    {
        Screen screen(eventCard(1));
        QTest::mouseClick(screen.card->scanButton(), Qt::LeftButton);
        QVERIFY(screen.card->scanner());
        QTest::mouseClick(screen.card->scanner()->cancelButton(), Qt::LeftButton);
        QTRY_VERIFY(!screen.card->scanner());
        QVERIFY(!topAlert());
        QVERIFY(SQLiteHelper::getInstance().getAllEntities<PointCard>().isEmpty());
    }

    void walletButtonAddsACardNotHeld()
    {
        Screen screen(eventCard(1));
        QTest::mouseClick(screen.card->favoritesButton(), Qt::LeftButton);
        answerAlert(u"<addFavorCouponConfirm>"_qs, 1);
        ProgressHUD *toast = shownToast(&screen.window);
        QVERIFY(toast);
        QCOMPARE(toast->labelText(), u"<addFavorDone>"_qs);
        const QString key = screen.card->pointCard().cardKey.text();
        QVERIFY(!key.isEmpty());
        QVERIFY(storedCard(key));
    }

    void walletButtonRemovesAHeldCard()
    {
        heldCard(member, 1, 3, heldKey());
        // Opened with an event card: the held card is found when the button is pressed.
        PointCard shown = eventCard(1);
        Screen screen(shown);
        QCOMPARE(screen.card->pointCard().cardKey.text(), heldKey());

        QTest::mouseClick(screen.card->favoritesButton(), Qt::LeftButton);
        answerAlert(u"<removeFavorStoresEventConfirm>"_qs, 1);
        QVERIFY(screen.card->HUD()->isShowing());
        QCOMPARE(screen.card->HUD()->labelText(), u"<deleting>"_qs);
        QTRY_VERIFY_WITH_TIMEOUT(topAlert(), 10000);
        QVERIFY(!screen.card->HUD()->isShowing());
        QCOMPARE(storedCard(heldKey())->isDeleted.toInt(), 1);
        answerAlert(u"<removeFavorDone>"_qs, 0);
        QTRY_COMPARE(screen.nav->viewControllers().size(), 1);
    }

    void walletButtonCancelKeepsTheCard()
    {
        heldCard(member, 1, 3, heldKey());
        Screen screen(eventCard(1));
        QTest::mouseClick(screen.card->favoritesButton(), Qt::LeftButton);
        answerAlert(u"<removeFavorStoresEventConfirm>"_qs, 0);
        QCOMPARE(storedCard(heldKey())->isDeleted.toInt(), 0);
        QCOMPARE(screen.nav->viewControllers().size(), 2);
    }

    void storeRowFromTheOpenerOrTheService()
    {
        Store given;
        given.storeID = Field(1);
        given.storeName = Field(u"Given store"_qs);
        {
            Screen screen(eventCard(1), given);
            QCOMPARE(screen.storeRowName(), u"Given store"_qs);
            QVERIFY(!screen.card->storeButton());
        }
        Screen screen(eventCard(1));
        if (!screen.card->store()) {
            QSignalSpy loaded(screen.card, &PointCardDetailCtrl::storeLoaded);
            QVERIFY(loaded.wait(10000));
        }
        QCOMPARE(screen.storeRowName(), u"Bund Noodle House"_qs);
        QVERIFY(screen.card->storeButton());
        QTest::mouseClick(screen.card->storeButton(), Qt::LeftButton);
        auto *detail = qobject_cast<StoreDetailCtrl *>(screen.nav->topViewController());
        QVERIFY(detail);
        QCOMPARE(detail->storeId().toId(), 1);
        QCOMPARE(detail->store().storeName.text(), u"Bund Noodle House"_qs);
    }
};

QTEST_MAIN(TestPointCardDetail)
#include "tst_pointcarddetail.moc"
