#include "AppTestSupport.h"
#include "BuildConfig.h"
#include "CouponDetailCtrl.h"
#include "HttpClient.h"
#include "MainWalletCtrl.h"
#include "NavigationController.h"
#include "PhoneButton.h"
#include "PhoneLabel.h"
#include "PhoneWindow.h"
#include "PointCardDetailCtrl.h"
#include "ProgressHUD.h"
#include "SQLiteHelper.h"
#include "ScriptedHttpServer.h"
#include "StoreDetailCtrl.h"
#include "UserMgr.h"
#include "Views.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QTest>

#include <memory>

// Waits until every transfer has been answered and its callbacks have run.
#define WAIT_IDLE() QTRY_COMPARE(HttpClient::inFlightCount() + HttpClient::queuedCount(), 0)

namespace {

constexpr qint64 kMemberId = 7;
const QString kOutMemberId = u"9001"_qs;

const QString kPointCards = u"getPointCardsByCompany"_qs;
const QString kFavorites = u"getMyFavorList"_qs;
const QString kCoupons = u"getMemberCouponsByCompany"_qs;

// Every record is told apart by its storeName, which all three rows show with tag 2.
PointCard card(const QString &storeName, qint64 updated = 0)
{
    PointCard c;
    c.cardKey = u"key-"_qs + storeName;
    c.name = u"card of "_qs + storeName;
    c.storeName = storeName;
    c.memberId = kMemberId;
    c.point = 3;
    c.totalPoints = 10;
    c.isUsed = 0;
    c.isDeleted = 0;
    c.lastUpdatedTime = updated;
    return c;
}

MemberCoupons coupon(const QString &storeName, qint64 updated = 0)
{
    MemberCoupons c;
    c.couponKey = u"key-"_qs + storeName;
    c.name = u"coupon of "_qs + storeName;
    c.storeName = storeName;
    c.memberId = kMemberId;
    c.isDeleted = 0;
    c.lastUpdatedTime = updated;
    return c;
}

Store store(const QString &storeName, qint64 id)
{
    Store s;
    s.storeID = id;
    s.storeName = storeName;
    return s;
}

template <typename T>
QByteArray json(const QList<T> &records)
{
    QJsonArray array;
    for (const T &record : records)
        array.append(EntityRecords::toMap(record));
    return QJsonDocument(array).toJson(QJsonDocument::Compact);
}

// One record of each kind in the local store.
void seedLocal()
{
    SQLiteHelper &db = SQLiteHelper::getInstance();
    QVERIFY(db.insertWithEntity(card(u"local card"_qs)));
    QVERIFY(db.insertWithEntity(store(u"local store"_qs, 11)));
    QVERIFY(db.insertWithEntity(coupon(u"local coupon"_qs)));
}

ScriptedAnswer ok(const QByteArray &body)
{
    return ScriptedAnswer{200, body, {}, false};
}

const ScriptedAnswer kHang{200, {}, {}, true};

// The wallet as the root of a stack in a window on screen.
struct WalletShell
{
    PhoneWindow window;
    MainWalletCtrl *wallet = new MainWalletCtrl;
    NavigationController *nav = new NavigationController(wallet);

    WalletShell()
    {
        window.setRootViewController(nav);
        window.show();
    }
    TableView *table() const { return wallet->tView(); }

    // The storeName of every row in sight, top first.
    QStringList shownRows() const
    {
        QStringList names;
        for (const IndexPath &path : table()->indexPathsForVisibleRows()) {
            auto *label = Views::withTag<PhoneLabel>(table()->cellForRow(path), 2);
            names << (label ? label->text() : u"(no label)"_qs);
        }
        return names;
    }
    QStringList toasts() const
    {
        QStringList texts;
        for (ProgressHUD *hud : window.findChildren<ProgressHUD *>()) {
            if (hud->mode() == ProgressHUD::Mode::Text && hud->isShowing())
                texts << hud->labelText();
        }
        return texts;
    }
    void press(int tag) const
    {
        PhoneButton *button = wallet->tabButton(tag);
        QVERIFY(button);
        QTest::mouseClick(button, Qt::LeftButton);
    }
    void tapRow(int row) const
    {
        TableViewCell *cell = table()->cellForRow({0, row});
        QVERIFY(cell);
        QTest::mouseClick(cell, Qt::LeftButton);
    }
};

QStringList namesOf(const QList<PointCard> &records)
{
    QStringList names;
    for (const PointCard &r : records)
        names << r.storeName.text();
    return names;
}

} // namespace

class TestMainWallet : public QObject
{
    Q_OBJECT

    std::unique_ptr<AppTestEnvironment> env;
    ScriptedHttpServer server;
    // The answer of each service method; a method without one hangs until released.
    QHash<QString, ScriptedAnswer> answers;

    qsizetype askedFor(const QString &method) const
    {
        qsizetype count = 0;
        for (const RecordedRequest &request : server.requests())
            count += request.segments().contains(method + u".json"_qs) || request.segments().contains(method) ? 1 : 0;
        return count;
    }
    const RecordedRequest *lastFor(const QString &method) const
    {
        const QList<RecordedRequest> &all = server.requests();
        for (auto it = all.crbegin(); it != all.crend(); ++it) {
            if (it->segments().contains(method + u".json"_qs) || it->segments().contains(method))
                return &*it;
        }
        return nullptr;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(server.isListening());
        // The catalogue address is read once per process.
        EditionConfig::set(u"THIRD_PARTY_HOST"_qs, server.baseUrl());
        HttpClient::setTransferTimeout(5000);
    }

    void init()
    {
        env = std::make_unique<AppTestEnvironment>();
        EditionConfig::set(u"THIRD_PARTY_HOST"_qs, server.baseUrl());
        BuildConfig::setLoyaltyBaseUrl(server.baseUrl());
        SQLiteHelper::resetInstance();
        UserMgr::setMemberId(kMemberId);
        UserMgr::setOutMemberId(kOutMemberId);
        MainWalletCtrl::setBtnTag(MainWalletCtrl::PointCardTab);
        server.clear();
        answers.clear();
        server.setHandler([this](const RecordedRequest &request) {
            for (const QString &method : {kPointCards, kFavorites, kCoupons}) {
                if (request.segments().contains(method) || request.segments().contains(method + u".json"_qs))
                    return answers.value(method, kHang);
            }
            // Row pictures.
            return ScriptedAnswer{404, {}, {}, false};
        });
    }

    void cleanup()
    {
        // A request may reach the server only after an earlier one was released.
        QTRY_VERIFY([this] {
            while (server.hangingCount() > 0)
                server.releaseOne(ScriptedAnswer{500, {}, {}, false});
            return HttpClient::inFlightCount() + HttpClient::queuedCount() == 0;
        }());
        server.setHandler({});
        SQLiteHelper::resetInstance();
        BuildConfig::setLoyaltyBaseUrl(QString());
        env.reset();
    }

    void localListFirstThenTheAnswer_data()
    {
        QTest::addColumn<int>("tag");
        QTest::addColumn<QString>("method");
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<QByteArray>("sentParameter");
        QTest::addColumn<QString>("rowClass");
        QTest::addColumn<int>("rowHeight");
        QTest::newRow("point cards")
            << 1 << kPointCards << json<PointCard>({card(u"remote 1"_qs, 2), card(u"remote 2"_qs, 1)})
            << QByteArray("memberId=7") << u"CellPointCard"_qs << 96;
        QTest::newRow("favourite stores")
            << 2 << kFavorites << json<Store>({store(u"remote 1"_qs, 21), store(u"remote 2"_qs, 22)})
            << QByteArray("memberID=9001") << u"CellStore"_qs << 80;
        QTest::newRow("coupons")
            << 3 << kCoupons << json<MemberCoupons>({coupon(u"remote 1"_qs, 2), coupon(u"remote 2"_qs, 1)})
            << QByteArray("memberId=7") << u"CellCoupon"_qs << 80;
    }
    void localListFirstThenTheAnswer()
    {
        QFETCH(int, tag);
        QFETCH(QString, method);
        QFETCH(QByteArray, answer);
        QFETCH(QByteArray, sentParameter);
        QFETCH(QString, rowClass);
        QFETCH(int, rowHeight);
        seedLocal();
        MainWalletCtrl::setBtnTag(tag);
        WalletShell shell;
        QCOMPARE(shell.wallet->title(), u"<myFavor>"_qs);

        QTRY_COMPARE(server.hangingCount(), 1);
        QCOMPARE(askedFor(method), 1);
        QVERIFY(lastFor(method)->body.contains(sentParameter));
        const QString local = tag == 1 ? u"local card"_qs : tag == 2 ? u"local store"_qs : u"local coupon"_qs;
        QCOMPARE(shell.shownRows(), QStringList{local});
        TableViewCell *row = shell.table()->cellForRow({0, 0});
        QCOMPARE(QString::fromLatin1(row->metaObject()->className()), rowClass);
        QCOMPARE(row->reuseIdentifier(), rowClass);
        QCOMPARE(shell.table()->rectForRow({0, 0}).height(), rowHeight);

        server.releaseOne(ok(answer));
        WAIT_IDLE();
        const QStringList remote{u"remote 1"_qs, u"remote 2"_qs};
        QCOMPARE(shell.shownRows(), remote);
        QVERIFY(shell.toasts().isEmpty());
        QVERIFY(!topAlert());
    }

    void answerForATabLeftMeanwhileIsKeptQuietly()
    {
        seedLocal();
        answers.insert(kCoupons, ok(json<MemberCoupons>({coupon(u"remote coupon"_qs)})));
        WalletShell shell;
        QTRY_COMPARE(server.hangingCount(), 1);
        QCOMPARE(shell.shownRows(), QStringList{u"local card"_qs});

        shell.press(3);
        QTRY_COMPARE(shell.shownRows(), QStringList{u"remote coupon"_qs});
        // A reload would drop the selection.
        shell.table()->selectRow({0, 0}, false);

        // The point cards answer an empty list: it would be reported if the tab were still selected.
        server.releaseOne(ok("[]"));
        WAIT_IDLE();
        QVERIFY(shell.wallet->pointCardData().isEmpty());
        QCOMPARE(shell.table()->indexPathForSelectedRow(), (IndexPath{0, 0}));
        QCOMPARE(shell.shownRows(), QStringList{u"remote coupon"_qs});
        QVERIFY(shell.toasts().isEmpty());
    }

    void noDataOnlyAfterAnEmptyAnswer_data()
    {
        QTest::addColumn<int>("tag");
        QTest::addColumn<bool>("seeded");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<int>("rowsAfter");
        QTest::addColumn<bool>("toast");
        QTest::newRow("point cards: empty list answered") << 1 << true << 200 << QByteArray("[]") << 0 << true;
        QTest::newRow("stores: empty list answered") << 2 << true << 200 << QByteArray("[]") << 0 << true;
        QTest::newRow("coupons: nothing held, nothing answered") << 3 << false << 200 << QByteArray("[]") << 0 << true;
        QTest::newRow("point cards: nothing held, a card answered")
            << 1 << false << 200 << json<PointCard>({card(u"remote card"_qs)}) << 1 << false;
        QTest::newRow("coupons: failed request keeps the local list")
            << 3 << true << 500 << QByteArray() << 1 << false;
        QTest::newRow("stores: failed request, nothing held") << 2 << false << 503 << QByteArray() << 0 << false;
        QTest::newRow("point cards: empty body keeps the local store")
            << 1 << true << 200 << QByteArray() << 1 << false;
    }
    void noDataOnlyAfterAnEmptyAnswer()
    {
        QFETCH(int, tag);
        QFETCH(bool, seeded);
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        QFETCH(int, rowsAfter);
        QFETCH(bool, toast);
        if (seeded)
            seedLocal();
        MainWalletCtrl::setBtnTag(tag);
        WalletShell shell;
        QTRY_COMPARE(server.hangingCount(), 1);
        QCOMPARE(shell.table()->numberOfRows(0), seeded ? 1 : 0);
        // An empty local list shown before the answer is not reported.
        QVERIFY(shell.toasts().isEmpty());

        server.releaseOne(ScriptedAnswer{status, body, {}, false});
        WAIT_IDLE();
        QCOMPARE(shell.table()->numberOfRows(0), rowsAfter);
        QCOMPARE(shell.shownRows().size(), rowsAfter);
        QCOMPARE(shell.toasts(), toast ? QStringList{u"<noData>"_qs} : QStringList());
    }

    void tabButtonsSelectTheirList()
    {
        seedLocal();
        answers.insert(kPointCards, ok(json<PointCard>({card(u"local card"_qs)})));
        answers.insert(kFavorites, ok(json<Store>({store(u"local store"_qs, 11)})));
        answers.insert(kCoupons, ok(json<MemberCoupons>({coupon(u"local coupon"_qs)})));
        WalletShell shell;
        const QStringList titles{u"<pointCard>"_qs, u"<store>"_qs, u"<coupons>"_qs};
        for (int tag = 1; tag <= 3; ++tag)
            QCOMPARE(shell.wallet->tabButton(tag)->title(PhoneButton::Normal), titles.at(tag - 1));

        const QStringList shown{u"local card"_qs, u"local store"_qs, u"local coupon"_qs};
        const QStringList methods{kPointCards, kFavorites, kCoupons};
        WAIT_IDLE();
        for (int tag : {3, 2, 1, 3}) {
            const qsizetype asked = askedFor(methods.at(tag - 1));
            shell.press(tag);
            QCOMPARE(MainWalletCtrl::btnTag(), tag);
            for (int other = 1; other <= 3; ++other)
                QCOMPARE(shell.wallet->tabButton(other)->isEnabled(), other != tag);
            QCOMPARE(shell.wallet->tabButton(tag)->currentTitleColor(), QColor(Qt::white));
            QCOMPARE(shell.shownRows(), QStringList{shown.at(tag - 1)});
            WAIT_IDLE();
            QCOMPARE(askedFor(methods.at(tag - 1)), asked + 1);
        }
        // The selected button takes no touches: nothing more is asked.
        shell.press(3);
        QCOMPARE(HttpClient::inFlightCount() + HttpClient::queuedCount(), 0);
        QVERIFY(shell.toasts().isEmpty());
    }

    void unknownTabLoadsNothing()
    {
        seedLocal();
        MainWalletCtrl::setBtnTag(9);
        WalletShell shell;
        QCOMPARE(shell.table()->numberOfRows(0), 0);
        for (int tag = 1; tag <= 3; ++tag)
            QVERIFY(shell.wallet->tabButton(tag)->isEnabled());
        // Requests are handed to the transfer queue at once.
        QCOMPARE(HttpClient::inFlightCount() + HttpClient::queuedCount(), 0);
    }

    void selectedTabOutlivesTheScreen()
    {
        seedLocal();
        {
            WalletShell shell;
            shell.press(2);
        }
        WalletShell again;
        QCOMPARE(MainWalletCtrl::btnTag(), 2);
        QVERIFY(!again.wallet->tabButton(2)->isEnabled());
        QVERIFY(again.wallet->tabButton(1)->isEnabled());
        QCOMPARE(again.shownRows(), QStringList{u"local store"_qs});
        QVERIFY(again.wallet->pointCardData().isEmpty());
    }

    void answerAfterTheScreenIsGoneIsHarmless()
    {
        auto shell = std::make_unique<WalletShell>();
        QTRY_COMPARE(server.hangingCount(), 1);
        shell.reset();
        // A new wallet likely takes the memory of the old one: a late answer
        // reaching the gone screen would show up in the new one.
        WalletShell again;
        QTRY_COMPARE(server.hangingCount(), 2);
        server.releaseOne(ok(json<PointCard>({card(u"late card"_qs)})));
        QTRY_COMPARE(HttpClient::inFlightCount() + HttpClient::queuedCount(), 1);
        QVERIFY(again.wallet->pointCardData().isEmpty());
        QVERIFY(again.shownRows().isEmpty());
        QVERIFY(again.toasts().isEmpty());
        // The request layer still refreshed the local store.
        QCOMPARE(namesOf(SQLiteHelper::getInstance().getAllPointCard(kMemberId)), QStringList{u"late card"_qs});
    }

    void choosingARowOpensItsRecord_data()
    {
        QTest::addColumn<int>("tag");
        QTest::newRow("point card") << 1;
        QTest::newRow("store") << 2;
        QTest::newRow("coupon") << 3;
    }
    void choosingARowOpensItsRecord()
    {
        QFETCH(int, tag);
        SQLiteHelper &db = SQLiteHelper::getInstance();
        QVERIFY(db.insertWithEntity(card(u"newer card"_qs, 2)));
        QVERIFY(db.insertWithEntity(card(u"older card"_qs, 1)));
        QVERIFY(db.insertWithEntity(store(u"first store"_qs, 31)));
        QVERIFY(db.insertWithEntity(store(u"second store"_qs, 32)));
        QVERIFY(db.insertWithEntity(coupon(u"newer coupon"_qs, 2)));
        QVERIFY(db.insertWithEntity(coupon(u"older coupon"_qs, 1)));
        MainWalletCtrl::setBtnTag(tag);
        WalletShell shell;
        QTRY_COMPARE(server.hangingCount(), 1);
        QCOMPARE(shell.shownRows().size(), 2);

        shell.tapRow(1);
        QCOMPARE(shell.table()->indexPathForSelectedRow(), (IndexPath{-1, -1}));
        QCOMPARE(shell.nav->viewControllers().size(), 2);
        ViewController *top = shell.nav->topViewController();
        if (tag == 1) {
            auto *detail = qobject_cast<PointCardDetailCtrl *>(top);
            QVERIFY(detail);
            QCOMPARE(detail->pointCard().cardKey.text(), u"key-older card"_qs);
        } else if (tag == 2) {
            auto *detail = qobject_cast<StoreDetailCtrl *>(top);
            QVERIFY(detail);
            QCOMPARE(detail->storeId().toId(), 32);
            QCOMPARE(detail->store().storeName.text(), u"second store"_qs);
        } else {
            auto *detail = qobject_cast<CouponDetailCtrl *>(top);
            QVERIFY(detail);
            QCOMPARE(detail->mCoupon().couponKey.text(), u"key-older coupon"_qs);
        }
    }

    void returningFromADetailLoadsTheListAgain()
    {
        seedLocal();
        MainWalletCtrl::setBtnTag(3);
        WalletShell shell;
        QTRY_COMPARE(server.hangingCount(), 1);
        shell.tapRow(0);
        QTRY_VERIFY(!shell.nav->isTransitioning());
        // A coupon used on the detail screen.
        QVERIFY(SQLiteHelper::getInstance().deleteWithEntity<MemberCoupons>());
        QVERIFY(SQLiteHelper::getInstance().insertWithEntity(coupon(u"changed coupon"_qs)));
        shell.nav->popViewControllerAnimated(false);
        QCOMPARE(shell.shownRows(), QStringList{u"changed coupon"_qs});
        QTRY_COMPARE(askedFor(kCoupons), 2);
    }
};

QTEST_MAIN(TestMainWallet)
#include "tst_mainwallet.moc"
