#include "Field.h"
#include "NumberRule.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

class TestNumberRule : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readInteger_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qint64>("expected");
        QTest::newRow("plain") << u"42"_qs << qint64(42);
        QTest::newRow("leading blanks") << u"  \t 7"_qs << qint64(7);
        QTest::newRow("plus sign") << u"+12"_qs << qint64(12);
        QTest::newRow("minus sign") << u"-12"_qs << qint64(-12);
        QTest::newRow("stops at other character") << u"12ab3"_qs << qint64(12);
        QTest::newRow("decimal text is cut") << u"-3.9"_qs << qint64(-3);
        QTest::newRow("no digits") << u"abc"_qs << qint64(0);
        QTest::newRow("sign only") << u"-"_qs << qint64(0);
        QTest::newRow("empty") << QString() << qint64(0);
        QTest::newRow("blank before sign only") << u" - 5"_qs << qint64(0);
        QTest::newRow("64-bit") << u"9007199254740993"_qs << qint64(9007199254740993LL);
        QTest::newRow("saturates high") << u"99999999999999999999"_qs << std::numeric_limits<qint64>::max();
        QTest::newRow("saturates low") << u"-99999999999999999999"_qs << std::numeric_limits<qint64>::min();
        QTest::newRow("minimum") << u"-9223372036854775808"_qs << std::numeric_limits<qint64>::min();
    }
    void readInteger()
    {
        QFETCH(QString, text);
        QFETCH(qint64, expected);
        QCOMPARE(NumberRule::readInteger(text), expected);
    }

    void readReal_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("expected");
        QTest::newRow("decimal") << u" 39.9"_qs << 39.9;
        QTest::newRow("negative") << u"-116.25x"_qs << -116.25;
        QTest::newRow("leading point") << u".5"_qs << 0.5;
        QTest::newRow("exponent") << u"3e2"_qs << 300.0;
        QTest::newRow("dangling exponent") << u"3e"_qs << 3.0;
        QTest::newRow("plus") << u"+2.5"_qs << 2.5;
        QTest::newRow("none") << u"km"_qs << 0.0;
        QTest::newRow("point only") << u"."_qs << 0.0;
    }
    void readReal()
    {
        QFETCH(QString, text);
        QFETCH(double, expected);
        QCOMPARE(NumberRule::readReal(text), expected);
    }

    void readInt32Saturates()
    {
        QCOMPARE(NumberRule::readInt32(u"3000000000"), std::numeric_limits<int>::max());
        QCOMPARE(NumberRule::readInt32(u"-3000000000"), std::numeric_limits<int>::min());
    }

    void storeIds_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<qint64>>("expected");
        QTest::newRow("empty") << QString() << QList<qint64>{};
        QTest::newRow("one") << u"12"_qs << QList<qint64>{12};
        QTest::newRow("three") << u"12,15,31"_qs << QList<qint64>{12, 15, 31};
        QTest::newRow("elements by number rule") << u" 12,x,15a"_qs << QList<qint64>{12, 0, 15};
    }
    void storeIds()
    {
        QFETCH(QString, text);
        QFETCH(QList<qint64>, expected);
        QCOMPARE(NumberRule::readStoreIds(text), expected);
    }

    // A value that arrived as a JSON number and one that arrived as a JSON
    // text read the same wherever they are used.
    void fieldReadsNumbersAndTextsAlike_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<qint64>("asId");
        QTest::addColumn<int>("asInt");
        QTest::addColumn<double>("asReal");
        QTest::addColumn<QString>("asText");
        QTest::newRow("number 7") << QByteArray(R"({"v":7})") << qint64(7) << 7 << 7.0 << u"7"_qs;
        QTest::newRow("text 7") << QByteArray(R"({"v":"7"})") << qint64(7) << 7 << 7.0 << u"7"_qs;
        QTest::newRow("real cut toward zero") << QByteArray(R"({"v":-7.8})") << qint64(-7) << -7 << -7.8 << u"-7.8"_qs;
        QTest::newRow("big id keeps 64 bits") << QByteArray(R"({"v":9007199254740993})")
                                              << qint64(9007199254740993LL) << std::numeric_limits<int>::max()
                                              << 9007199254740992.0 << u"9007199254740993"_qs;
        QTest::newRow("boolean") << QByteArray(R"({"v":true})") << qint64(1) << 1 << 1.0 << u"1"_qs;
        QTest::newRow("list") << QByteArray(R"({"v":[1]})") << qint64(0) << 0 << 0.0 << u"[1]"_qs;
        QTest::newRow("missing") << QByteArray(R"({})") << qint64(0) << 0 << 0.0 << QString();
    }
    void fieldReadsNumbersAndTextsAlike()
    {
        QFETCH(QByteArray, json);
        QFETCH(qint64, asId);
        QFETCH(int, asInt);
        QFETCH(double, asReal);
        QFETCH(QString, asText);
        const Field field(QJsonDocument::fromJson(json).object().value(u"v"));
        QCOMPARE(field.toId(), asId);
        QCOMPARE(field.toInt(), asInt);
        QCOMPARE(field.toReal(), asReal);
        QCOMPARE(field.text(), asText);
    }

    void unsetIsNotEmptyText()
    {
        const Field unset(QJsonValue(QJsonValue::Null));
        const Field empty(QString{});
        QVERIFY(!unset.isSet());
        QVERIFY(empty.isSet());
        QCOMPARE(unset.text(), empty.text());
        QVERIFY(!(unset == empty));
    }
};

QTEST_APPLESS_MAIN(TestNumberRule)
#include "tst_numberrule.moc"
