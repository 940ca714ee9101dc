// The whole road of one point against the reference services: a new member
// registers and logs in from the member menu, scans codes made by the
// merchant tool, and the card and its logs reach the services; then the same
// without the services, and the waiting logs go up once they are back.
#include "AcceptedPayloads.h"
#include "AppDelegate.h"
#include "AppTestSupport.h"
#include "BuildConfig.h"
#include "Event.h"
#include "InnerRequest.h"
#include "HttpClient.h"
#include "LoginCtrl.h"
#include "MainWalletCtrl.h"
#include "NavigationController.h"
#include "PhoneButton.h"
#include "PhoneWindow.h"
#include "PointCardDetailCtrl.h"
#include "QRScannerView.h"
#include "RegisterCtrl.h"
#include "SQLiteHelper.h"
#include "ScreenTools.h"
#include "ServiceFixture.h"
#include "TabBarController.h"
#include "TextField.h"
#include "Tools.h"
#include "UserMgr.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {

constexpr int kWaitMs = 15000;

// A QR picture from the merchant tool; empty when the tool failed.
QString merchantCode(const QStringList &args, const QString &png)
{
    QProcess tool;
    tool.start(QFileInfo(qEnvironmentVariable("LOYALTY_SERVER")).dir().filePath(u"loyalty-merchant"_qs),
               args + QStringList{u"--merchant-id"_qs, u"1001"_qs, u"--staff-id"_qs, u"42"_qs,
                                  u"--staff-name"_qs, u"Alice"_qs, u"--store-id"_qs, u"1"_qs, u"--png"_qs, png});
    if (!tool.waitForFinished(20000) || tool.exitCode() != 0)
        return QString();
    return png;
}

QString alertMessage()
{
    if (!QTest::qWaitFor([] { return topAlert() != nullptr; }, kWaitMs))
        return u"(no alert)"_qs;
    return topAlert()->message();
}

void pressOk()
{
    AlertView *alert = topAlert();
    QVERIFY(alert);
    QTest::mouseClick(alert->button(alert->numberOfButtons() - 1), Qt::LeftButton);
}

void type(TextField *field, const QString &text)
{
    QVERIFY(field);
    field->clear();
    QTest::keyClicks(field, text);
}

} // namespace

class TestJourney : public QObject
{
    Q_OBJECT

    ServiceFixture services;
    std::unique_ptr<AppTestEnvironment> env;
    QTemporaryDir codes;
    int codesMade = 0;

    void pointAtLoyalty() { BuildConfig::setLoyaltyBaseUrl(u"http://127.0.0.1:%1/"_qs.arg(services.loyaltyPort())); }

    QJsonArray admin(const QString &view, qint64 member)
    {
        return services.get(services.loyaltyPort(), u"admin/%1?memberId=%2"_qs.arg(view).arg(member)).array();
    }
    QJsonObject serviceCard(qint64 member, const QString &cardKey)
    {
        for (const QJsonValue &card : admin(u"pointCards"_qs, member)) {
            if (card[u"cardKey"_qs].toString() == cardKey)
                return card.toObject();
        }
        return {};
    }
    int serviceLogsOf(qint64 member, const QString &cardKey)
    {
        int count = 0;
        for (const QJsonValue &log : admin(u"pointCardLogs"_qs, member))
            count += log[u"cardKey"_qs].toString() == cardKey ? 1 : 0;
        return count;
    }

    QString addCode(int points)
    {
        return merchantCode({u"add"_qs, u"--points"_qs, QString::number(points)},
                            codes.filePath(u"code%1.png"_qs.arg(++codesMade)));
    }
    QString exchangeCode()
    {
        return merchantCode({u"exchange"_qs}, codes.filePath(u"code%1.png"_qs.arg(++codesMade)));
    }

    // Scans the picture through the screen's scanning view; the alert's message, closed.
    static QString scan(PointCardDetailCtrl *screen, const QString &picture)
    {
        QRScannerView::setScanImagePath(picture);
        QTest::mouseClick(screen->scanButton(), Qt::LeftButton);
        const QString message = alertMessage();
        AppTestEnvironment::closeAlerts();
        return message;
    }

    // The demo's event 1 (ten stamps at store 1) as the store screen makes its card.
    static PointCard eventCard()
    {
        PointCard card;
        bool answered = false;
        InnerRequest::salesEventsByOuterStore(1, Field(1), [&](bool ok, std::optional<QList<Event>> events) {
            answered = true;
            if (!ok || !events)
                return;
            for (const Event &event : *events) {
                if (event.eventId.toId() == 1)
                    card = Event::caseToPointCard(event);
            }
        });
        if (!QTest::qWaitFor([&] { return answered; }, kWaitMs))
            return card;
        card.storeId = Field(1);
        card.storeName = Field(u"Bund Noodle House"_qs);
        return card;
    }

    static PointCardDetailCtrl *openCard(NavigationController *nav, const PointCard &card)
    {
        auto *screen = new PointCardDetailCtrl;
        screen->setPointCard(card);
        QSignalSpy shown(screen, &PointCardDetailCtrl::detailPictureShown);
        nav->pushViewController(screen, false);
        if (shown.isEmpty())
            shown.wait(kWaitMs);
        return screen;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY2(services.start(), qPrintable(services.error()));
        env = std::make_unique<AppTestEnvironment>();
        ScreenTools::installMessageHandler();
        SQLiteHelper::resetInstance();
        AcceptedPayloads::resetInstance();
        pointAtLoyalty();
        EditionConfig::set(u"THIRD_PARTY_HOST"_qs, u"http://127.0.0.1:%1/"_qs.arg(services.cataloguePort()));
    }
    void cleanupTestCase()
    {
        QTRY_VERIFY_WITH_TIMEOUT(HttpClient::inFlightCount() == 0, kWaitMs);
        QRScannerView::setScanImagePath(QString());
        Tools::setMessageHandler(nullptr);
        env.reset();
        SQLiteHelper::resetInstance();
        AcceptedPayloads::resetInstance();
    }

    void registerThenLogInFromTheMemberMenu()
    {
        AppDelegate shell;
        shell.didFinishLaunchingWithOptions();
        shell.window()->show();
        shell.touchButton(shell.stripButton(4));
        QTest::mouseClick(shell.floatButton(1), Qt::LeftButton);
        NavigationController *nav = shell.selectedNavigationController();
        auto *login = qobject_cast<LoginCtrl *>(nav->topViewController());
        QVERIFY(login);

        QTest::mouseClick(login->registerBtn(), Qt::LeftButton);
        auto *form = qobject_cast<RegisterCtrl *>(nav->topViewController());
        QVERIFY(form);
        type(form->nickText(), u"walker"_qs);
        type(form->passwordText(), u"steps12"_qs);
        type(form->ckPasswordText(), u"steps12"_qs);
        type(form->emailText(), u"walker@example.com"_qs);
        type(form->mobileText(), u"13900000000"_qs);
        QTest::mouseClick(form->registerBtn(), Qt::LeftButton);
        QVERIFY(alertMessage() != u"(no alert)"_qs);
        pressOk();
        QTRY_COMPARE(nav->topViewController(), login);

        // Remembered by the registration: the login screen is filled in.
        QCOMPARE(login->mobileText()->text(), u"walker"_qs);
        QCOMPARE(login->passwordText()->text(), u"steps12"_qs);
        QTest::mouseClick(login->loginBtn(), Qt::LeftButton);
        QVERIFY(alertMessage() != u"(no alert)"_qs);
        QCOMPARE(UserMgr::getMemberId(), 0);
        pressOk();
        QVERIFY(UserMgr::getMemberId() > 0);
        QVERIFY(!UserMgr::getOutMemberId().isEmpty());
        // The member menu's favourites go on: the wallet.
        QTRY_COMPARE(shell.tabBarController()->selectedIndex(), 4);
    }

    void pointsReachTheServicesAndTheWallet()
    {
        const qint64 member = UserMgr::getMemberId();
        QVERIFY(member > 0);
        AppDelegate shell;
        shell.didFinishLaunchingWithOptions();
        shell.window()->show();
        shell.touchButton(shell.stripButton(4));
        shell.tabBarController()->setSelectedIndex(4);
        shell.floatView()->hide();
        NavigationController *nav = shell.selectedNavigationController();

        const QString first = addCode(3);
        QVERIFY(!first.isEmpty());
        PointCardDetailCtrl *screen = openCard(nav, eventCard());
        QCOMPARE(scan(screen, first), u"<setPointDone>"_qs);
        const QString key = screen->pointCard().cardKey.text();
        QVERIFY(!key.isEmpty());
        QCOMPARE(screen->pointCard().point.toInt(), 3);
        QVERIFY(screen->detailPicView()->findChild<PhoneImageView *>(u"stampGrid"_qs));

        // Uploaded: the card with its points and one log.
        QTRY_COMPARE_WITH_TIMEOUT(serviceCard(member, key)[u"point"_qs].toInt(), 3, kWaitMs);
        QTRY_COMPARE_WITH_TIMEOUT(serviceLogsOf(member, key), 1, kWaitMs);
        QTRY_VERIFY_WITH_TIMEOUT(SQLiteHelper::getInstance().getAllEntities<PointCardLog>().isEmpty(), kWaitMs);

        // The same code again is refused.
        QCOMPARE(scan(screen, first), u"<setPointFail>"_qs);
        QCOMPARE(screen->pointCard().point.toInt(), 3);

        // Filled up, then exchanged.
        QCOMPARE(scan(screen, addCode(7)), u"<setPointDone>"_qs);
        QCOMPARE(screen->pointCard().point.toInt(), 10);
        QCOMPARE(scan(screen, exchangeCode()), u"<exchangePointDone>"_qs);
        QCOMPARE(screen->pointCard().isUsed.toInt(), 1);
        QTRY_COMPARE_WITH_TIMEOUT(serviceCard(member, key)[u"isUsed"_qs].toInt(), 1, kWaitMs);

        // Back in the wallet: the card as the services keep it.
        nav->popViewControllerAnimated(false);
        auto *wallet = qobject_cast<MainWalletCtrl *>(nav->topViewController());
        QVERIFY(wallet);
        QTRY_VERIFY_WITH_TIMEOUT(std::any_of(wallet->pointCardData().cbegin(), wallet->pointCardData().cend(),
                                             [&](const PointCard &card) {
                                                 return card.cardKey.text() == key && card.point.toInt() == 10
                                                     && card.isUsed.toInt() == 1;
                                             }),
                                 kWaitMs);
    }

    void offlinePointsWaitAndGoUpOnce()
    {
        const qint64 member = UserMgr::getMemberId();
        QVERIFY(member > 0);
        const PointCard event = eventCard();
        QVERIFY(services.stop());

        PhoneWindow window;
        auto *nav = new NavigationController(new MainCtrl);
        window.setRootViewController(nav);
        window.show();
        const QString code = addCode(2);
        PointCardDetailCtrl *screen = openCard(nav, event);
        // The exchanged card is not offered again: a new one takes the points.
        QVERIFY(screen->pointCard().cardKey.text().isEmpty());
        QCOMPARE(scan(screen, code), u"<setPointDone>"_qs);
        const QString key = screen->pointCard().cardKey.text();
        QCOMPARE(screen->pointCard().point.toInt(), 2);
        QTRY_COMPARE_WITH_TIMEOUT(HttpClient::inFlightCount(), 0, kWaitMs);
        QCOMPARE(SQLiteHelper::getInstance().getAllEntities<PointCardLog>().size(), 1);

        // The services come back (on new ports): the next sync takes the log up, once.
        QVERIFY2(services.start(), qPrintable(services.error()));
        pointAtLoyalty();
        bool synced = false;
        InnerRequest::syncPointCard(member, [&](bool ok) { synced = ok; });
        QTRY_VERIFY_WITH_TIMEOUT(synced, kWaitMs);
        QTRY_VERIFY_WITH_TIMEOUT(SQLiteHelper::getInstance().getAllEntities<PointCardLog>().isEmpty(), kWaitMs);
        QCOMPARE(serviceLogsOf(member, key), 1);
        QCOMPARE(serviceCard(member, key)[u"point"_qs].toInt(), 2);

        synced = false;
        InnerRequest::syncPointCard(member, [&](bool ok) { synced = ok; });
        QTRY_VERIFY_WITH_TIMEOUT(synced, kWaitMs);
        QTRY_COMPARE_WITH_TIMEOUT(HttpClient::inFlightCount(), 0, kWaitMs);
        QCOMPARE(serviceLogsOf(member, key), 1);
    }
};

QTEST_MAIN(TestJourney)
#include "tst_journey.moc"
