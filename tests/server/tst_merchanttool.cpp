// loyalty-merchant: the payloads of its QR codes decipher to the fields the
// phone reads.
#include "ServiceFixture.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QTest>

namespace {

struct Run
{
    int exitCode = -1;
    QByteArray payload;
    QByteArray code;
    QByteArray output;
};

Run runTool(const QStringList &args)
{
    const QString server = qEnvironmentVariable("LOYALTY_SERVER");
    QProcess tool;
    tool.start(QFileInfo(server).dir().filePath(QStringLiteral("loyalty-merchant")), args);
    Run run;
    if (!tool.waitForFinished(20000))
        return run;
    run.exitCode = tool.exitCode();
    run.output = tool.readAllStandardOutput();
    for (const QByteArray &line : run.output.split('\n')) {
        if (line.startsWith("payload: "))
            run.payload = line.mid(9);
        else if (line.startsWith("code: "))
            run.code = line.mid(6);
    }
    return run;
}

} // namespace

class TestMerchantTool : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void enciphersThePayloadForms_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("expected");
        const QStringList staff{QStringLiteral("--merchant-id"), QStringLiteral("1001"), QStringLiteral("--staff-id"),
                                QStringLiteral("42"), QStringLiteral("--staff-name"), QStringLiteral("Alice Wu"),
                                QStringLiteral("--time-ms"), QStringLiteral("1700000000123"), QStringLiteral("--no-qr")};
        const QStringList points{QStringLiteral("--points"), QStringLiteral("3")};
        const QStringList store{QStringLiteral("--store-id"), QStringLiteral("15")};
        const QStringList name{QStringLiteral("--store-name"), QStringLiteral("Bund Noodle House")};
        QTest::newRow("add, 5 fields") << QStringList{QStringLiteral("add")} + staff + points
                                       << QByteArray("1001,1700000000123,3,42,Alice Wu");
        QTest::newRow("add, 6 fields") << QStringList{QStringLiteral("add")} + staff + points + store
                                       << QByteArray("1001,1700000000123,3,42,Alice Wu,15");
        QTest::newRow("add, 7 fields") << QStringList{QStringLiteral("add")} + staff + points + store + name
                                       << QByteArray("1001,1700000000123,3,42,Alice Wu,15,Bund Noodle House");
        QTest::newRow("exchange, 5 fields") << QStringList{QStringLiteral("exchange")} + staff + store
                                            << QByteArray("1001,1700000000123,42,Alice Wu,15");
        QTest::newRow("exchange, 6 fields") << QStringList{QStringLiteral("exchange")} + staff + store + name
                                            << QByteArray("1001,1700000000123,42,Alice Wu,15,Bund Noodle House");
        QTest::newRow("enciphered coupon") << QStringList{QStringLiteral("coupon-code")} + staff + store
                                           << QByteArray("1001,1700000000123,42,Alice Wu,15");
    }
    void enciphersThePayloadForms()
    {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, expected);
        const Run run = runTool(args);
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.payload, expected);
        QVERIFY(!run.code.isEmpty());
        QCOMPARE(ServiceFixture::tripleDesDecrypt(run.code), expected);
    }

    void simpleCouponCodeSignsMerchantAndStoreName()
    {
        const Run run = runTool({QStringLiteral("coupon"), QStringLiteral("--merchant-id"), QStringLiteral("1002"),
                                 QStringLiteral("--store-id"), QStringLiteral("12"), QStringLiteral("--store-name"),
                                 QStringLiteral("Morning Cup"), QStringLiteral("--no-qr")});
        QCOMPARE(run.exitCode, 0);
        const QByteArray digest =
            QCryptographicHash::hash("GRP-DEMO-7Q2X_1002_Morning Cup", QCryptographicHash::Md5).toHex();
        QCOMPARE(run.code, digest + "_12");
    }

    void timeDefaultsToNow()
    {
        const qint64 before = QDateTime::currentMSecsSinceEpoch();
        const Run run = runTool({QStringLiteral("exchange"), QStringLiteral("--merchant-id"), QStringLiteral("7"),
                                 QStringLiteral("--staff-id"), QStringLiteral("1"), QStringLiteral("--staff-name"),
                                 QStringLiteral("Bo"), QStringLiteral("--no-qr")});
        const qint64 after = QDateTime::currentMSecsSinceEpoch();
        QCOMPARE(run.exitCode, 0);
        const QList<QByteArray> fields = ServiceFixture::tripleDesDecrypt(run.code).split(',');
        QCOMPARE(fields.size(), 4);
        QVERIFY(fields.at(1).toLongLong() >= before && fields.at(1).toLongLong() <= after);
    }

    void writesTheQrCodeAsPng()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("code.png"));
        const Run run = runTool({QStringLiteral("add"), QStringLiteral("--merchant-id"), QStringLiteral("1001"),
                                 QStringLiteral("--points"), QStringLiteral("1"), QStringLiteral("--staff-id"),
                                 QStringLiteral("2"), QStringLiteral("--staff-name"), QStringLiteral("Li"),
                                 QStringLiteral("--store-id"), QStringLiteral("1"), QStringLiteral("--png"), file});
        QCOMPARE(run.exitCode, 0);
        QFile png(file);
        QVERIFY(png.open(QIODevice::ReadOnly));
        QVERIFY(png.read(8) == QByteArray("\x89PNG\r\n\x1a\n"));
        // The terminal drawing is square: as many rows as modules across.
        const QList<QByteArray> rows = run.output.split('\n').mid(2);
        QVERIFY(rows.size() > 21);
        QCOMPARE(QString::fromUtf8(rows.at(0)).size(), 2 * (rows.size() - 1));
    }

    void refusesWhatThePayloadCannotHold_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("comma in a name") << QStringList{QStringLiteral("add"), QStringLiteral("--merchant-id"), QStringLiteral("1"),
                                                       QStringLiteral("--points"), QStringLiteral("1"), QStringLiteral("--staff-id"),
                                                       QStringLiteral("2"), QStringLiteral("--staff-name"), QStringLiteral("Li, Wang")};
        QTest::newRow("store name without store") << QStringList{QStringLiteral("exchange"), QStringLiteral("--merchant-id"), QStringLiteral("1"),
                                                                QStringLiteral("--staff-id"), QStringLiteral("2"), QStringLiteral("--staff-name"),
                                                                QStringLiteral("Li"), QStringLiteral("--store-name"), QStringLiteral("X")};
        QTest::newRow("points not a number") << QStringList{QStringLiteral("add"), QStringLiteral("--merchant-id"), QStringLiteral("1"),
                                                           QStringLiteral("--points"), QStringLiteral("many"), QStringLiteral("--staff-id"),
                                                           QStringLiteral("2"), QStringLiteral("--staff-name"), QStringLiteral("Li")};
        QTest::newRow("unknown kind") << QStringList{QStringLiteral("refund"), QStringLiteral("--merchant-id"), QStringLiteral("1")};
    }
    void refusesWhatThePayloadCannotHold()
    {
        QFETCH(QStringList, args);
        const Run run = runTool(args);
        QCOMPARE(run.exitCode, 2);
        QVERIFY(run.code.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestMerchantTool)
#include "tst_merchanttool.moc"
