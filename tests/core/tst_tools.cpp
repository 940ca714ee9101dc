#include "PointCard.h"
#include "StoreCategory.h"
#include "Texts.h"
#include "Tools.h"

#include <QJsonArray>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

class TestTools : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup()
    {
        Tools::setMessageHandler(nullptr);
        Texts::setLookup(nullptr);
    }

    void colorForHex_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QColor>("expected");
        const QColor black(0, 0, 0);
        QTest::newRow("blanks, # and lower case") << u"  #ff8800 \n"_qs << QColor(255, 136, 0);
        QTest::newRow("no #") << u"0A1b2C"_qs << QColor(10, 27, 44);
        QTest::newRow("# and three digits") << u"#f80"_qs << black;
        QTest::newRow("# and five digits") << u"#ff880"_qs << black;
        QTest::newRow("seven digits") << u"ff88001"_qs << black;
        QTest::newRow("empty") << QString() << black;
        QTest::newRow("pair without a leading digit") << u"GG0000"_qs << black;
        QTest::newRow("pair with only a leading digit") << u"FGA0x1"_qs << QColor(15, 160, 0);
        QTest::newRow("blank inside a pair") << u"# 8FFFF"_qs << QColor(0, 255, 255);
    }
    void colorForHex()
    {
        QFETCH(QString, text);
        QFETCH(QColor, expected);
        const QColor color = Tools::colorForHex(text);
        QCOMPARE(color, expected);
        QCOMPARE(color.alpha(), 255);
    }

    void validateUrl_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::newRow("scheme alone") << u"http://"_qs << false;
        QTest::newRow("one more character") << u"http://a"_qs << true;
        QTest::newRow("address") << u"http://127.0.0.1:18080/pic.png"_qs << true;
        QTest::newRow("https") << u"https://example.net/"_qs << false;
        QTest::newRow("upper-case scheme") << u"HTTP://example.net/"_qs << false;
        QTest::newRow("leading blank") << u" http://example.net/"_qs << false;
        QTest::newRow("empty") << QString() << false;
    }
    void validateUrl()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QCOMPARE(Tools::validateUrl(text), valid);
    }

    void validateEmail_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::newRow("plain") << u"member@example.net"_qs << true;
        QTest::newRow("signs before @") << u"a.b_c%d+e-f@mail.example.cn"_qs << true;
        QTest::newRow("two letters after dot") << u"a@b.cn"_qs << true;
        QTest::newRow("four letters after dot") << u"a@b.info"_qs << true;
        QTest::newRow("one letter after dot") << u"a@b.c"_qs << false;
        QTest::newRow("five letters after dot") << u"a@b.museum"_qs << false;
        QTest::newRow("no @") << u"member.example.net"_qs << false;
        QTest::newRow("nothing before @") << u"@example.net"_qs << false;
        QTest::newRow("text after the address") << u"a@b.cn x"_qs << false;
        QTest::newRow("text before the address") << u"x a@b.cn"_qs << false;
        QTest::newRow("second line") << u"a@b.cn\nb@c.cn"_qs << false;
        QTest::newRow("trailing line break") << u"a@b.cn\n"_qs << false;
    }
    void validateEmail()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QCOMPARE(Tools::validateEmail(text), valid);
    }

    void stripTags_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("tags and nbsp") << u"a<b>b</b>&nbsp;c"_qs << u"abc"_qs;
        QTest::newRow("lone <") << u"1 < 2"_qs << u"1 < 2"_qs;
        QTest::newRow("empty tag stays") << u"x<>y"_qs << u"x<>y"_qs;
        QTest::newRow("attributes and line breaks") << u"<p class=\"x\"\n>hi</p\n>"_qs << u"hi"_qs;
        QTest::newRow("tag inside a tag") << u"<<a>b>c"_qs << u"b>c"_qs;
        QTest::newRow("nbsp split by a tag") << u"x&nb<i>sp;y"_qs << u"xy"_qs;
        QTest::newRow("upper-case NBSP stays") << u"&NBSP;"_qs << u"&NBSP;"_qs;
    }
    void stripTags()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(Tools::stripTags(text), expected);
    }

    void stripTagsKeepsAbsentText()
    {
        QVERIFY(Tools::stripTags(QString()).isNull());
        const QString empty(u""_qs);
        QVERIFY(!Tools::stripTags(empty).isNull());
        QCOMPARE(Tools::stripTags(empty), empty);
    }

    void getUUIDForm()
    {
        const QRegularExpression form(u"^[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}$"_qs);
        QSet<QString> seen;
        for (int i = 0; i < 100; ++i) {
            const QString uuid = Tools::getUUID();
            QVERIFY2(form.match(uuid).hasMatch(), qPrintable(uuid));
            seen.insert(uuid);
        }
        QCOMPARE(seen.size(), 100);
    }

    void arrayWithEntity()
    {
        const QStringList names = Tools::arrayWithEntity<PointCard>();
        QCOMPARE(Tools::arrayWithEntity(PointCard{}), names);
        QCOMPARE(names.size(), qsizetype(EntityInfo<PointCard>::fields.size()));
        QCOMPARE(names.first(), u"cardKey"_qs);
        QCOMPARE(names.last(), u"enableStoreIds"_qs);
        QCOMPARE(names.indexOf(u"memberId"_qs), 2);

        const QStringList categoryNames{u"mainCategoryID"_qs, u"mainCategoryName"_qs, u"storeCount"_qs,
                                        u"subCategories"_qs};
        QCOMPARE(Tools::arrayWithEntity<StoreCategory>(), categoryNames);
        QCOMPARE(Tools::arrayWithEntity(StoreCategory{}), categoryNames);
    }

    void dictionaryWithEntity()
    {
        PointCard card;
        card.cardKey = u"K-1"_qs;
        card.memberId = qint64(9007199254740993LL);
        card.point = 7;
        card.storeId = u"15"_qs;
        const QJsonObject map = Tools::dictionaryWithEntity(card);

        QCOMPARE(QStringList(map.keys()).size(), Tools::arrayWithEntity<PointCard>().size());
        for (const QString &name : Tools::arrayWithEntity<PointCard>())
            QVERIFY2(map.contains(name), qPrintable(name));
        QCOMPARE(map.value(u"cardKey"_qs), QJsonValue(u"K-1"_qs));
        QVERIFY(map.value(u"memberId"_qs).isDouble());
        QCOMPARE(map.value(u"memberId"_qs).toInteger(), 9007199254740993LL);
        QVERIFY(map.value(u"point"_qs).isDouble());
        QCOMPARE(map.value(u"point"_qs).toInt(), 7);
        // A number that arrived as text stays text.
        QCOMPARE(map.value(u"storeId"_qs), QJsonValue(u"15"_qs));
        QCOMPARE(map.value(u"name"_qs), QJsonValue(QString()));
        QVERIFY(map.value(u"name"_qs).isString());
        QCOMPARE(map.value(u"lastUpdatedTime"_qs), QJsonValue(QString()));
    }

    void showMsgGoesThroughTheHook()
    {
        // Nothing installed: dropped without harm.
        Tools::showMsg(u"lost"_qs);

        QList<QPair<QString, QString>> shown;
        Tools::setMessageHandler([&shown](const QString &title, const QString &message) {
            shown.append({title, message});
        });
        Tools::showMsg(u"no lookup yet"_qs);
        Texts::setLookup([](const QString &key) {
            return key == u"warningTitle"_qs ? u"Warning"_qs : QString();
        });
        Tools::showMsg(u"setPointDone"_qs);
        Tools::showMsg(u"Title"_qs, u"Body"_qs);
        Tools::setMessageHandler(nullptr);
        Tools::showMsg(u"after removal"_qs);

        const QList<QPair<QString, QString>> expected{
            {QString(), u"no lookup yet"_qs}, {u"Warning"_qs, u"setPointDone"_qs}, {u"Title"_qs, u"Body"_qs}};
        QCOMPARE(shown, expected);
    }

    void textsLookup()
    {
        QCOMPARE(Texts::get(u"ok"_qs), QString());
        Texts::setLookup([](const QString &key) { return key == u"ok"_qs ? u"OK"_qs : QString(); });
        QCOMPARE(Texts::get(u"ok"_qs), u"OK"_qs);
        QCOMPARE(Texts::get(u"missing"_qs), QString());
        Texts::setLookup(nullptr);
        QCOMPARE(Texts::get(u"ok"_qs), QString());
    }
};

QTEST_APPLESS_MAIN(TestTools)
#include "tst_tools.moc"
