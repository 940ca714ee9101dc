#include "AcceptedPayloads.h"
#include "AppPaths.h"
#include "BuildConfig.h"
#include "Clock.h"
#include "PayloadCipher.h"
#include "PointCardUtil.h"
#include "RequestProbe.h"
#include "SQLiteHelper.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <memory>

namespace {

constexpr qint64 kNow = 1700000000000LL;
constexpr qint64 kMember = 42;
const QString kMerchant = u"7"_qs;

// An add-points or exchange payload; offsetMs is the making time relative to now.
QString addCode(const QString &merchant, qint64 offsetMs, const QString &points, qint64 storeId,
                int fieldCount = 7)
{
    QStringList fields{merchant, QString::number(kNow + offsetMs), points, u"501"_qs, u"alice"_qs,
                       QString::number(storeId), u"Store %1"_qs.arg(storeId), u"ignored"_qs};
    return PayloadCipher::encipherFields(fields.mid(0, fieldCount));
}

QString exchangeCode(const QString &merchant, qint64 offsetMs, qint64 storeId, int fieldCount = 6)
{
    QStringList fields{merchant, QString::number(kNow + offsetMs), u"502"_qs, u"bob"_qs,
                       QString::number(storeId), u"Store %1"_qs.arg(storeId), u"ignored"_qs};
    return PayloadCipher::encipherFields(fields.mid(0, fieldCount));
}

std::optional<PointCard> storedCard(const Field &cardKey)
{
    for (const PointCard &card : SQLiteHelper::getInstance().getAllEntities<PointCard>()) {
        if (card.cardKey.text() == cardKey.text())
            return card;
    }
    return std::nullopt;
}

QList<PointCardLog> logsOf(const Field &cardKey)
{
    QList<PointCardLog> logs;
    for (const PointCardLog &log : SQLiteHelper::getInstance().getAllEntities<PointCardLog>()) {
        if (log.cardKey.text() == cardKey.text())
            logs.append(log);
    }
    return logs;
}

// Every field in text form, to compare a card before and after a refusal.
QStringList textsOf(const PointCard &card)
{
    QStringList texts;
    for (const auto &spec : EntityInfo<PointCard>::fields)
        texts << (card.*spec.member).text();
    return texts;
}

} // namespace

class TestPointCardUtil : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_closedUrl;

    // A stored card of merchant 7 for member 42, as the screen holds it: read back from the store.
    PointCard makeCard(int totalPoints, int point, qint64 storeId, const QString &enableStoreIds)
    {
        PointCard card = PointCardUtil::genEmptyPointCard(
            Field(kMerchant), kMember, Field(u"member42"_qs), Field(qint64(3)), Field(u"Coffee card"_qs),
            Field(u"pic.png"_qs), Field(u"detail.png"_qs), Field(qint64(1000)), Field(qint64(2000)),
            Field(u"Store"_qs), Field(u"brief"_qs), Field(u"detail"_qs), totalPoints, Field(storeId),
            Field(enableStoreIds));
        card.point = Field(point);
        SQLiteHelper::getInstance().updateWithEntity(card);
        return storedCard(card.cardKey).value();
    }

    // Simulates a restart: the shared instances go, the files stay.
    static void restart()
    {
        SQLiteHelper::resetInstance();
        AcceptedPayloads::resetInstance();
    }

private Q_SLOTS:
    void initTestCase()
    {
        // Uploads started by the operations fail at once and leave the tables alone.
        m_closedUrl = RequestProbe::closedPortUrl();
    }

    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        AppPaths::setDataDir(m_dir->path());
        restart();
        BuildConfig::setLoyaltyBaseUrl(m_closedUrl);
        Clock::setSource([] { return kNow; });
    }

    void cleanup()
    {
        restart();
        Clock::setSource(nullptr);
        PointCardUtil::setRandomSource(nullptr);
        BuildConfig::setLoyaltyBaseUrl(QString());
        AppPaths::setDataDir(QString());
        m_dir.reset();
    }

    void isEnableStoreIds_data()
    {
        // "unset" stands for a field that holds no value.
        QTest::addColumn<qint64>("storeId");
        QTest::addColumn<QString>("cardStoreId");
        QTest::addColumn<QString>("enableStoreIds");
        QTest::addColumn<bool>("expected");
        QTest::newRow("own store") << qint64(12) << u"12"_qs << u"15"_qs << true;
        QTest::newRow("bound card ignores its list") << qint64(15) << u"12"_qs << u"15"_qs << false;
        QTest::newRow("listed") << qint64(15) << u"0"_qs << u"12,15"_qs << true;
        QTest::newRow("not listed") << qint64(1) << u"0"_qs << u"12,15"_qs << false;
        QTest::newRow("listed with blanks") << qint64(15) << u"0"_qs << u"12, 15"_qs << true;
        QTest::newRow("unbound, empty list") << qint64(0) << u"0"_qs << u""_qs << false;
        QTest::newRow("unbound, unset list") << qint64(15) << u"unset"_qs << u"unset"_qs << false;
        QTest::newRow("negative store id counts as unbound") << qint64(15) << u"-1"_qs << u"15"_qs << true;
    }
    void isEnableStoreIds()
    {
        QFETCH(qint64, storeId);
        QFETCH(QString, cardStoreId);
        QFETCH(QString, enableStoreIds);
        QFETCH(bool, expected);
        const auto field = [](const QString &text) { return text == u"unset"_qs ? Field() : Field(text); };
        QCOMPARE(PointCardUtil::isEnableStoreIds(storeId, field(cardStoreId), field(enableStoreIds)), expected);
    }

    void addPoints_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<qint64>("cardStoreId");
        QTest::addColumn<QString>("cardStores");
        QTest::addColumn<int>("expected");
        QTest::addColumn<qint64>("expectedStoreId"); // when accepted
        QTest::addColumn<QString>("expectedStoreName");

        QTest::newRow("7 fields, own store") << addCode(kMerchant, 0, u"3"_qs, 12) << qint64(12) << QString()
                                             << 3 << qint64(12) << u"Store 12"_qs;
        QTest::newRow("6 fields skip the store check")
            << addCode(kMerchant, 0, u"3"_qs, 15, 6) << qint64(12) << QString() << 3 << qint64(15) << QString();
        QTest::newRow("5 fields") << addCode(kMerchant, 0, u"3"_qs, 12, 5) << qint64(12) << QString() << -1
                                  << qint64(0) << QString();
        QTest::newRow("fields after the seventh ignored")
            << addCode(kMerchant, 0, u"3"_qs, 12, 8) << qint64(12) << QString() << 3 << qint64(12) << u"Store 12"_qs;
        QTest::newRow("7 fields, other store") << addCode(kMerchant, 0, u"3"_qs, 15) << qint64(12) << QString()
                                               << -1 << qint64(0) << QString();
        QTest::newRow("listed store binds the card")
            << addCode(kMerchant, 0, u"3"_qs, 15) << qint64(0) << u"12,15"_qs << 3 << qint64(15) << u"Store 15"_qs;
        QTest::newRow("unlisted store") << addCode(kMerchant, 0, u"3"_qs, 31) << qint64(0) << u"12,15"_qs << -1
                                        << qint64(0) << QString();
        QTest::newRow("no store list") << addCode(kMerchant, 0, u"3"_qs, 15) << qint64(0) << QString() << -1
                                       << qint64(0) << QString();
        QTest::newRow("merchant 007 is not 7") << addCode(u"007"_qs, 0, u"3"_qs, 12) << qint64(12) << QString()
                                               << -1 << qint64(0) << QString();
        QTest::newRow("599999 ms before") << addCode(kMerchant, -599999, u"3"_qs, 12) << qint64(12) << QString()
                                          << 3 << qint64(12) << u"Store 12"_qs;
        QTest::newRow("599999 ms after") << addCode(kMerchant, 599999, u"3"_qs, 12) << qint64(12) << QString()
                                         << 3 << qint64(12) << u"Store 12"_qs;
        QTest::newRow("600000 ms before") << addCode(kMerchant, -600000, u"3"_qs, 12) << qint64(12) << QString()
                                          << -1 << qint64(0) << QString();
        QTest::newRow("600000 ms after") << addCode(kMerchant, 600000, u"3"_qs, 12) << qint64(12) << QString()
                                         << -1 << qint64(0) << QString();
        QTest::newRow("two weeks before") << addCode(kMerchant, -14LL * 86400000, u"3"_qs, 12) << qint64(12)
                                          << QString() << -1 << qint64(0) << QString();
        QTest::newRow("time at the 64-bit minimum")
            << PayloadCipher::encipher(u"7,-9223372036854775808,3,501,alice,12,Store 12"_qs) << qint64(12)
            << QString() << -1 << qint64(0) << QString();
        QTest::newRow("time at the 64-bit maximum")
            << PayloadCipher::encipher(u"7,9223372036854775807,3,501,alice,12,Store 12"_qs) << qint64(12)
            << QString() << -1 << qint64(0) << QString();
        QTest::newRow("negative points") << addCode(kMerchant, 0, u"-2"_qs, 12) << qint64(12) << QString() << -2
                                         << qint64(12) << u"Store 12"_qs;
        QTest::newRow("points by the number rule") << addCode(kMerchant, 0, u" 4pts"_qs, 12) << qint64(12)
                                                   << QString() << 4 << qint64(12) << u"Store 12"_qs;
        QTest::newRow("worth a thousand full cards") << addCode(kMerchant, 0, u"10008"_qs, 12) << qint64(12)
                                                     << QString() << -1 << qint64(0) << QString();
        QTest::newRow("not a code") << u"hello world"_qs << qint64(12) << QString() << -1 << qint64(0) << QString();
        QTest::newRow("empty code") << QString() << qint64(12) << QString() << -1 << qint64(0) << QString();
    }
    void addPoints()
    {
        QFETCH(QString, code);
        QFETCH(qint64, cardStoreId);
        QFETCH(QString, cardStores);
        QFETCH(int, expected);
        QFETCH(qint64, expectedStoreId);
        QFETCH(QString, expectedStoreName);

        PointCard card = makeCard(10, 2, cardStoreId, cardStores);
        const QStringList before = textsOf(card);
        QCOMPARE(PointCardUtil::dPointQRCode(code, kMerchant, card, kMember), expected);

        const PointCard stored = storedCard(card.cardKey).value();
        const QList<PointCardLog> logs = logsOf(card.cardKey);
        if (expected == -1) {
            QCOMPARE(textsOf(card), before);
            QCOMPARE(textsOf(stored), before);
            QVERIFY(logs.isEmpty());
            return;
        }
        for (const PointCard *seen : {static_cast<const PointCard *>(&card), &stored}) {
            QCOMPARE(seen->point.toInt(), 2 + expected);
            QCOMPARE(seen->storeId.toId(), expectedStoreId);
            QCOMPARE(seen->storeName.text(), expectedStoreName);
            QCOMPARE(seen->lastUpdatedTime.toId(), kNow);
            QCOMPARE(seen->lastUpdatedUser.text(), u"alice"_qs);
            QCOMPARE(seen->lastUpdatedUserId.toId(), qint64(501));
        }
        QCOMPARE(logs.size(), 1);
        const PointCardLog &log = logs.first();
        QCOMPARE(log.bPoint.toInt(), 2);
        QCOMPARE(log.aPoint.toInt(), 2 + expected);
        QCOMPARE(log.actionType.toInt(), 1);
        QCOMPARE(log.updatedTime.toId(), kNow);
        QCOMPARE(log.updatedUser.text(), u"alice"_qs);
        QCOMPARE(log.updatedUserId.toId(), qint64(501));
        QCOMPARE(log.storeId.toId(), expectedStoreId);
        QCOMPARE(log.memberId.toId(), kMember);
        QCOMPARE(log.member.text(), u"member42"_qs);
        QCOMPARE(log.eventId.toId(), qint64(3));
        QCOMPARE(log.merchantId.text(), kMerchant);
        QCOMPARE(log.name.text(), u"Coffee card"_qs);
    }

    void codeEncipheredByOpenSslTool()
    {
        // Made with:
        //   printf '7,1700000000000,3,501,alice,12,Main Street' | openssl enc -des-ede3 -nosalt -a -A
        //     -K 70346b7737747a656d7832726863796e70346b7737747a65
        // (the key: the 16 key-text bytes, then the 8-byte completion)
        const QString code = u"dXAR/tZ9ROi4iwud3Grn/UKUj2cqT0iCft5PQK8o2GwY4jgylvhOw3AAP1/YWLRE"_qs;
        QCOMPARE(PayloadCipher::encipher(u"7,1700000000000,3,501,alice,12,Main Street"_qs), code);
        Clock::setSource([] { return kNow + 1000; });
        PointCard card = makeCard(10, 0, 12, QString());
        QCOMPARE(PointCardUtil::dPointQRCode(code, kMerchant, card, kMember), 3);
        QCOMPARE(storedCard(card.cardKey).value().storeName.text(), u"Main Street"_qs);
    }

    void overflow_data()
    {
        QTest::addColumn<int>("point");
        QTest::addColumn<int>("added");
        QTest::addColumn<QList<int>>("newCards");
        QTest::newRow("8 + 5: one card holds 3") << 8 << 5 << QList<int>{3};
        QTest::newRow("8 + 12: cards of 10 and 0") << 8 << 12 << QList<int>{10, 0};
        QTest::newRow("6 + 4: exactly full") << 6 << 4 << QList<int>{};
    }
    void overflow()
    {
        QFETCH(int, point);
        QFETCH(int, added);
        QFETCH(QList<int>, newCards);

        PointCard card = makeCard(10, point, 12, u"12,15"_qs);
        QCOMPARE(PointCardUtil::dPointQRCode(addCode(kMerchant, 0, QString::number(added), 12), kMerchant,
                                             card, kMember),
                 added);
        QCOMPARE(card.point.toInt(), 10);
        QCOMPARE(storedCard(card.cardKey).value().point.toInt(), 10);
        const QList<PointCardLog> scanLogs = logsOf(card.cardKey);
        QCOMPARE(scanLogs.size(), 1);
        QCOMPARE(scanLogs.first().bPoint.toInt(), point);
        QCOMPARE(scanLogs.first().aPoint.toInt(), 10);

        // New cards come in the order of their logs, after the scan's own entry.
        const QList<PointCardLog> allLogs = SQLiteHelper::getInstance().getAllEntities<PointCardLog>();
        QCOMPARE(allLogs.size(), 1 + newCards.size());
        QCOMPARE(allLogs.first().cardKey.text(), card.cardKey.text());
        QCOMPARE(SQLiteHelper::getInstance().getAllEntities<PointCard>().size(), 1 + newCards.size());
        QStringList keys{card.cardKey.text()};
        for (qsizetype i = 0; i < newCards.size(); ++i) {
            const PointCardLog &log = allLogs.at(i + 1);
            QVERIFY(!keys.contains(log.cardKey.text()));
            keys << log.cardKey.text();
            QCOMPARE(log.bPoint.toInt(), 0);
            QCOMPARE(log.aPoint.toInt(), newCards.at(i));
            QCOMPARE(log.actionType.toInt(), 1);
            QCOMPARE(log.updatedUser.text(), u"alice"_qs);
            QCOMPARE(log.storeId.toId(), qint64(12));
            QCOMPARE(log.updatedTime.toId(), kNow);

            const auto fresh = storedCard(log.cardKey);
            QVERIFY(fresh);
            QCOMPARE(fresh->point.toInt(), newCards.at(i));
            QCOMPARE(fresh->totalPoints.toInt(), 10);
            QCOMPARE(fresh->eventId.toId(), qint64(3));
            QCOMPARE(fresh->merchantId.text(), kMerchant);
            QCOMPARE(fresh->memberId.toId(), kMember);
            QCOMPARE(fresh->member.text(), u"member42"_qs);
            QCOMPARE(fresh->storeId.toId(), qint64(12));
            QCOMPARE(fresh->storeName.text(), u"Store 12"_qs);
            QCOMPARE(fresh->enableStoreIds.text(), u"12,15"_qs);
            QCOMPARE(fresh->picture.text(), u"pic.png"_qs);
            QCOMPARE(fresh->isUsed.toInt(), 0);
            QCOMPARE(fresh->isDeleted.toInt(), 0);
            QCOMPARE(fresh->lastUpdatedTime.toId(), kNow);
        }
    }

    void overflowKeepsEarlierWaitingLogs()
    {
        PointCard card = makeCard(10, 0, 12, QString());
        QCOMPARE(PointCardUtil::dPointQRCode(addCode(kMerchant, -2000, u"4"_qs, 12), kMerchant, card, kMember), 4);
        QCOMPARE(PointCardUtil::dPointQRCode(addCode(kMerchant, -1000, u"3"_qs, 12), kMerchant, card, kMember), 3);
        QCOMPARE(PointCardUtil::dPointQRCode(addCode(kMerchant, 0, u"5"_qs, 12), kMerchant, card, kMember), 5);

        const QList<PointCardLog> logs = logsOf(card.cardKey);
        QCOMPARE(logs.size(), 3);
        const QList<std::pair<int, int>> expected{{0, 4}, {4, 7}, {7, 10}};
        for (qsizetype i = 0; i < logs.size(); ++i) {
            QCOMPARE(logs.at(i).bPoint.toInt(), expected.at(i).first);
            QCOMPARE(logs.at(i).aPoint.toInt(), expected.at(i).second);
            QCOMPARE(logs.at(i).actionType.toInt(), 1);
        }
        QCOMPARE(SQLiteHelper::getInstance().getAllEntities<PointCard>().size(), 2);
    }

    void overflowWithoutPositiveTotalChangesNothing()
    {
        PointCard card = makeCard(0, 5, 12, QString());
        PointCardLog log;
        log.cardKey = card.cardKey;
        log.aPoint = Field(5);
        PointCardUtil::processOverPoint(card, log);
        QCOMPARE(card.point.toInt(), 5);
        QCOMPARE(log.aPoint.toInt(), 5);
        QCOMPARE(SQLiteHelper::getInstance().getAllEntities<PointCard>().size(), 1);
    }

    void exchange_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<qint64>("cardStoreId");
        QTest::addColumn<bool>("expected");
        QTest::addColumn<qint64>("expectedStoreId");
        QTest::addColumn<QString>("expectedStoreName");
        QTest::newRow("6 fields, own store") << exchangeCode(kMerchant, 0, 12) << qint64(12) << true << qint64(12)
                                             << u"Store 12"_qs;
        QTest::newRow("5 fields skip the store check")
            << exchangeCode(kMerchant, 0, 15, 5) << qint64(12) << true << qint64(15) << QString();
        QTest::newRow("4 fields") << exchangeCode(kMerchant, 0, 12, 4) << qint64(12) << false << qint64(0) << QString();
        QTest::newRow("other store") << exchangeCode(kMerchant, 0, 15) << qint64(12) << false << qint64(0) << QString();
        QTest::newRow("other merchant") << exchangeCode(u"8"_qs, 0, 12) << qint64(12) << false << qint64(0) << QString();
        QTest::newRow("599999 ms after") << exchangeCode(kMerchant, 599999, 12) << qint64(12) << true << qint64(12)
                                         << u"Store 12"_qs;
        QTest::newRow("600000 ms before") << exchangeCode(kMerchant, -600000, 12) << qint64(12) << false << qint64(0)
                                          << QString();
    }
    void exchange()
    {
        QFETCH(QString, code);
        QFETCH(qint64, cardStoreId);
        QFETCH(bool, expected);
        QFETCH(qint64, expectedStoreId);
        QFETCH(QString, expectedStoreName);

        PointCard card = makeCard(10, 10, cardStoreId, QString());
        const QStringList before = textsOf(card);
        QCOMPARE(PointCardUtil::dChangeQRCode(code, kMerchant, card, kMember), expected);
        const PointCard stored = storedCard(card.cardKey).value();
        const QList<PointCardLog> logs = logsOf(card.cardKey);
        if (!expected) {
            QCOMPARE(textsOf(stored), before);
            QVERIFY(logs.isEmpty());
            return;
        }
        QCOMPARE(stored.isUsed.toInt(), 1);
        QCOMPARE(stored.point.toInt(), 10);
        QCOMPARE(stored.storeId.toId(), expectedStoreId);
        QCOMPARE(stored.storeName.text(), expectedStoreName);
        QCOMPARE(stored.lastUpdatedUser.text(), u"bob"_qs);
        QCOMPARE(stored.lastUpdatedUserId.toId(), qint64(502));
        QCOMPARE(stored.lastUpdatedTime.toId(), kNow);
        QCOMPARE(logs.size(), 1);
        QCOMPARE(logs.first().actionType.toInt(), 4);
        QCOMPARE(logs.first().bPoint.toInt(), 10);
        QCOMPARE(logs.first().aPoint.toInt(), 10);
        QCOMPARE(logs.first().updatedUser.text(), u"bob"_qs);
        QCOMPARE(logs.first().updatedUserId.toId(), qint64(502));
        QCOMPARE(logs.first().storeId.toId(), expectedStoreId);
    }

    void replayRefused_data()
    {
        QTest::addColumn<bool>("exchangeFirst");
        QTest::addColumn<bool>("exchangeAgain");
        QTest::newRow("add points twice") << false << false;
        QTest::newRow("exchange twice") << true << true;
        QTest::newRow("exchange code again as add points") << true << false;
    }
    void replayRefused()
    {
        QFETCH(bool, exchangeFirst);
        QFETCH(bool, exchangeAgain);
        // Six fields: the exchange code also reads as an add-points code.
        const QString code = exchangeFirst ? exchangeCode(kMerchant, -1000, 12) : addCode(kMerchant, -1000, u"3"_qs, 12);
        const auto scan = [&](bool asExchange, PointCard &card) {
            return asExchange ? PointCardUtil::dChangeQRCode(code, kMerchant, card, kMember)
                              : PointCardUtil::dPointQRCode(code, kMerchant, card, kMember) != -1;
        };

        PointCard card = makeCard(10, 2, 12, QString());
        QVERIFY(scan(exchangeFirst, card));
        const QStringList accepted = textsOf(storedCard(card.cardKey).value());

        QVERIFY(!scan(exchangeAgain, card));
        QCOMPARE(textsOf(card), accepted);

        // Still refused after a restart, on a card read back from the store,
        // while the code's window is open.
        restart();
        Clock::setSource([] { return kNow + 598999; });
        PointCard reread = storedCard(card.cardKey).value();
        QVERIFY(!scan(exchangeAgain, reread));
        QCOMPARE(textsOf(storedCard(card.cardKey).value()), accepted);
        QCOMPARE(logsOf(card.cardKey).size(), 1);
        QCOMPARE(SQLiteHelper::getInstance().getAllEntities<PointCard>().size(), 1);
    }

    void otherCodesStillAccepted()
    {
        // Distinct codes of the same store and merchant, even for the same points.
        PointCard card = makeCard(100, 0, 12, QString());
        QCOMPARE(PointCardUtil::dPointQRCode(addCode(kMerchant, -5, u"3"_qs, 12), kMerchant, card, kMember), 3);
        QCOMPARE(PointCardUtil::dPointQRCode(addCode(kMerchant, -4, u"3"_qs, 12), kMerchant, card, kMember), 3);
        QCOMPARE(card.point.toInt(), 6);
        QCOMPARE(PointCardUtil::dPointQRCode(addCode(kMerchant, -4, u"3"_qs, 12), kMerchant, card, kMember), -1);
        QCOMPARE(card.point.toInt(), 6);
    }

    void replayRecordStaysSmall()
    {
        PointCard card = makeCard(100, 0, 12, QString());
        const QString first = addCode(kMerchant, 0, u"1"_qs, 12);
        QCOMPARE(PointCardUtil::dPointQRCode(first, kMerchant, card, kMember), 1);
        QCOMPARE(AcceptedPayloads::getInstance().size(), 1);

        // An hour later the first code's window has closed: its entry is dropped.
        Clock::setSource([] { return kNow + 3600000; });
        const QString later = PayloadCipher::encipher(u"7,%1,2,501,alice,12,Store 12"_qs.arg(kNow + 3600000));
        QCOMPARE(PointCardUtil::dPointQRCode(later, kMerchant, card, kMember), 2);
        QCOMPARE(AcceptedPayloads::getInstance().size(), 1);
        restart();
        QCOMPARE(AcceptedPayloads::getInstance().size(), 1);
        QFile file(AcceptedPayloads::filePath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.size() < 200);

        // Setting the clock back does not revive the dropped code.
        Clock::setSource([] { return kNow; });
        PointCard reread = storedCard(card.cardKey).value();
        QCOMPARE(PointCardUtil::dPointQRCode(first, kMerchant, reread, kMember), -1);
        QCOMPARE(storedCard(card.cardKey).value().point.toInt(), 3);
    }

    void unrecordableCodeRefused()
    {
        // Where the record file should go there is a folder: nothing can be written.
        QVERIFY(QDir().mkpath(AcceptedPayloads::filePath()));
        PointCard card = makeCard(10, 2, 12, QString());
        const QStringList before = textsOf(card);
        QCOMPARE(PointCardUtil::dPointQRCode(addCode(kMerchant, 0, u"3"_qs, 12), kMerchant, card, kMember), -1);
        QVERIFY(!PointCardUtil::dChangeQRCode(exchangeCode(kMerchant, 0, 12), kMerchant, card, kMember));
        QCOMPARE(textsOf(storedCard(card.cardKey).value()), before);
        QVERIFY(logsOf(card.cardKey).isEmpty());
    }

    void acceptedScanStartsUpload()
    {
        RequestProbe probe;
        QVERIFY(probe.listen());
        BuildConfig::setLoyaltyBaseUrl(probe.baseUrl());
        PointCard card = makeCard(10, 2, 12, QString());
        QCOMPARE(PointCardUtil::dPointQRCode(addCode(kMerchant, 0, u"3"_qs, 12), kMerchant, card, kMember), 3);
        QTRY_VERIFY(probe.received().contains("/syncPointCards/42/"));
        QVERIFY(probe.received().contains(card.cardKey.text().toLatin1()));
    }

    void newCardAndKey()
    {
        const PointCard card = makeCard(12, 0, 0, u"12,15"_qs);
        QCOMPARE(card.cardKey.text().size(), 32);
        for (const QChar c : card.cardKey.text())
            QVERIFY2(QStringLiteral("0123456789ABCDEF").contains(c), qPrintable(card.cardKey.text()));
        QCOMPARE(card.point.toInt(), 0);
        QCOMPARE(card.isUsed.toInt(), 0);
        QCOMPARE(card.isDeleted.toInt(), 0);
        QCOMPARE(card.lastUpdatedTime.toId(), qint64(0));
        QCOMPARE(card.lastUpdatedUserId.toId(), qint64(0));
        QVERIFY(card.lastUpdatedUser.isSet());
        QCOMPARE(card.totalPoints.toInt(), 12);
        QCOMPARE(card.name.text(), u"Coffee card"_qs);
        QCOMPARE(card.enableStoreIds.text(), u"12,15"_qs);
        QVERIFY(makeCard(12, 0, 0, QString()).cardKey.text() != card.cardKey.text());

        // Characters are drawn with repetition from the UUID's digits.
        PointCardUtil::setRandomSource([](quint32) { return quint32(0); });
        const QString same = PointCardUtil::genCardKey();
        QCOMPARE(same.size(), 32);
        QCOMPARE(same, QString(32, same.at(0)));
        PointCardUtil::setRandomSource([](quint32 bound) { return bound - 1; });
        const QString last = PointCardUtil::genCardKey();
        QCOMPARE(last, QString(32, last.at(0)));
    }

    void gridLayout_data()
    {
        QTest::addColumn<int>("total");
        QTest::addColumn<int>("collected");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("columns");
        QTest::addColumn<QList<int>>("dimmed");
        QTest::newRow("3: one row") << 3 << 1 << 1 << 3 << QList<int>{1, 2};
        QTest::newRow("4: two rows") << 4 << 0 << 2 << 2 << QList<int>{0, 1, 2, 3};
        QTest::newRow("7: two rows of 3") << 7 << 4 << 2 << 3 << QList<int>{4, 5};
        QTest::newRow("7 with 6: slot 6 is beyond the grid") << 7 << 6 << 2 << 3 << QList<int>{};
        QTest::newRow("11: two rows of 5") << 11 << 9 << 2 << 5 << QList<int>{9};
        QTest::newRow("12 with 5: three rows of 4") << 12 << 5 << 3 << 4 << QList<int>{5, 6, 7, 8, 9, 10, 11};
        QTest::newRow("full card") << 12 << 12 << 0 << 0 << QList<int>{};
        QTest::newRow("over-full card") << 12 << 13 << 0 << 0 << QList<int>{};
        QTest::newRow("no total") << 0 << -1 << 0 << 0 << QList<int>{};
        QTest::newRow("negative total") << -3 << -5 << 0 << 0 << QList<int>{};
    }
    void gridLayout()
    {
        QFETCH(int, total);
        QFETCH(int, collected);
        QFETCH(int, rows);
        QFETCH(int, columns);
        QFETCH(QList<int>, dimmed);
        const PointCardGridLayout layout =
            PointCardUtil::pointCardGridLayout(QSizeF(400.7, 300.2), QSize(20, 20), total, collected);
        QCOMPARE(layout.outline, QRect(0, 0, 400, 300));
        QCOMPARE(layout.rows, rows);
        QCOMPARE(layout.columns, columns);
        QList<int> numbers;
        for (const auto &slot : layout.dimmedSlots) {
            numbers << slot.number;
            QVERIFY(layout.outline.contains(slot.cell.center()));
        }
        QCOMPARE(numbers, dimmed);
        if (columns > 0) {
            QCOMPARE(layout.verticalLines.size(), columns - 1);
            QCOMPARE(layout.horizontalLines.size(), rows - 1);
        }
    }

    void gridCellAndLockSizes()
    {
        // 7 points, 2 rows of 3 over 301 x 101: cells rounded up to 101 x 51.
        const PointCardGridLayout small =
            PointCardUtil::pointCardGridLayout(QSizeF(301, 101), QSize(30, 20), 7, 0);
        QCOMPARE(small.cellSize, QSize(101, 51));
        QCOMPARE(small.lockSize, QSize(30, 20));
        const auto &slot4 = small.dimmedSlots.at(4);
        QCOMPARE(slot4.cell, QRect(101, 51, 101, 51));
        QCOMPARE(slot4.dimmed, QRect(102, 52, 101, 51));
        QCOMPARE(slot4.lock, QRect(101 + 35, 51 + 15, 30, 20));
        QCOMPARE(small.verticalLines, (QList<int>{101, 202}));
        QCOMPARE(small.horizontalLines, (QList<int>{51}));

        // A lock taller than the cell is cut to the cell's height only.
        const PointCardGridLayout big = PointCardUtil::pointCardGridLayout(QSizeF(301, 101), QSize(90, 80), 7, 0);
        QCOMPARE(big.lockSize, QSize(90, 51));
    }

    void gridImage()
    {
        QImage lock(20, 20, QImage::Format_ARGB32);
        lock.fill(Qt::red);
        const QSizeF view(400, 300);
        const auto alphaAt = [](const QImage &image, int x, int y) { return qAlpha(image.pixel(x, y)); };

        // 12 points, 5 collected: 3 rows of 4 cells of 100 x 100.
        const PointCardImage partial = PointCardUtil::genPointCardImg(view, lock, 12, 5);
        QCOMPARE(partial.frame, QRectF(0, 0, 400, 300));
        QCOMPARE(partial.image.size(), QSize(400, 300));
        const QImage &image = partial.image;
        QVERIFY(qAbs(alphaAt(image, 120, 130) - 128) <= 1); // slot 5: dimmed
        QCOMPARE(qRed(image.pixel(120, 130)), 0);
        QCOMPARE(image.pixelColor(150, 150), QColor(Qt::red)); // slot 5: its lock, centred
        QCOMPARE(alphaAt(image, 50, 130), 0); // slot 4: collected, the picture shows
        QCOMPARE(alphaAt(image, 50, 50), 0); // slot 0
        QVERIFY(qAbs(alphaAt(image, 320, 230) - 128) <= 1); // slot 11
        QCOMPARE(image.pixelColor(350, 250), QColor(Qt::red));

        // Column boundary in the first row: white dots, not a solid line.
        int white = 0;
        int clear = 0;
        for (int y = 1; y < 99; ++y) {
            const QColor c = image.pixelColor(100, y);
            if (c == QColor(Qt::white))
                ++white;
            else if (c.alpha() == 0)
                ++clear;
        }
        QVERIFY2(white >= 25 && clear >= 50, qPrintable(u"%1 white, %2 clear"_qs.arg(white).arg(clear)));

        // 7 points with 6 collected: the 7th slot lies beyond the 2 x 3 grid and is not drawn.
        const QImage beyond = PointCardUtil::genPointCardImg(view, lock, 7, 6).image;
        const QImage full = PointCardUtil::genPointCardImg(view, lock, 12, 12).image;
        for (const QImage *shown : {&beyond, &full}) {
            int dimmedPixels = 0;
            int outlinePixels = 0;
            for (int y = 0; y < shown->height(); ++y) {
                for (int x = 0; x < shown->width(); ++x) {
                    const QColor c = shown->pixelColor(x, y);
                    if (c.alpha() > 0 && c != QColor(Qt::white))
                        ++dimmedPixels;
                    if (c == QColor(Qt::white) && (x == 0 || y == 0))
                        ++outlinePixels;
                }
            }
            QCOMPARE(dimmedPixels, 0);
            QVERIFY(outlinePixels > 100);
        }
        // The full card shows the outline only: no inner lines either.
        QCOMPARE(full.pixelColor(200, 150).alpha(), 0);
        for (int y = 1; y < 299; ++y)
            QCOMPARE(full.pixelColor(100, y).alpha(), 0);

        // No view: nothing to draw, and no failure.
        const PointCardImage none = PointCardUtil::genPointCardImg(QSizeF(), lock, 12, 5);
        QVERIFY(none.image.isNull());
        QCOMPARE(none.frame, QRectF(0, 0, 0, 0));
    }
};

QTEST_GUILESS_MAIN(TestPointCardUtil)
#include "tst_pointcardutil.moc"
