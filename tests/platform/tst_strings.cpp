#include "Strings.h"
#include "Texts.h"

#include <QDirIterator>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

// The message keys the screens show; each table must have every one.
static const char *const ScreenKeys[] = {
    "warningTitle", "ok", "cancel", "loading", "done", "noData", "noInternet", "home", "nearby", "coupon",
    "order", "wallet", "favor", "member", "memberLogoutConfirm", "logoutDone", "updateApkTitle",
    "updateApkInfo", "later", "updateNow", "averageCost", "toExchanged", "exchangeTimes", "toExchange",
    "news", "hotEvent", "shake", "shakeTitle", "shakeSubTitle", "all", "setPointDone", "setPointFail",
    "getPointDoneWithNoLogin", "exchangePointDone", "exchangePointFail", "disableStore",
    "removeFavorStoresEventConfirm", "removeFavorDone", "removeFavorFail", "addFavorCouponConfirm",
    "addFavorDone", "addFavorFail", "inputNicknameMiss", "inputPasswordMiss", "inputEmailMiss",
    "inputEmailError", "inputConfirmPasswordMiss", "inputMobileNoMiss", "inputRequestNameMiss",
    "inputRequestTelMiss", "inputPeopleCountMiss", "inputAppointmentTimeMiss", "yourReservationInfo",
    "makingReservationDone", "shareToSMS", "shareToEmail", "shareToWeibo", "saveCommentDone",
    "saveCommentFail", "inputCommentMiss", "logining", "registering", "rememberMe", "autoLogoin",
};

class TestStrings : public QObject
{
    Q_OBJECT

    // Every key the sources look up with Texts::get(u"...").
    static QSet<QString> keysInSources()
    {
        QSet<QString> keys;
        static const QRegularExpression use(uR"re(Texts::get\(\s*(?:u|QStringLiteral\()"([A-Za-z0-9_]+)")re"_qs);
        QDirIterator it(QStringLiteral(LOYALTY_SOURCE_DIR), {u"*.cpp"_qs, u"*.h"_qs}, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            QFile file(it.next());
            if (!file.open(QIODevice::ReadOnly))
                continue;
            const QString text = QString::fromUtf8(file.readAll());
            for (const auto &m : use.globalMatch(text))
                keys.insert(m.captured(1));
        }
        return keys;
    }

private Q_SLOTS:
    void cleanup() { Texts::setLookup(nullptr); }

    void everyTableHasEveryKey_data()
    {
        QTest::addColumn<QString>("language");
        for (const QString &language : Strings::languages())
            QTest::newRow(qPrintable(language)) << language;
    }
    void everyTableHasEveryKey()
    {
        QFETCH(QString, language);
        const QHash<QString, QString> table = Strings::table(language);
        QVERIFY(!table.isEmpty());
        QSet<QString> wanted = keysInSources();
        QVERIFY2(wanted.contains(u"loading"_qs), "the source scan found no keys");
        for (const char *key : ScreenKeys)
            wanted.insert(QLatin1String(key));
        QStringList missing;
        for (const QString &key : std::as_const(wanted)) {
            if (!table.contains(key))
                missing << key;
        }
        missing.sort();
        QVERIFY2(missing.isEmpty(), qPrintable(missing.join(u", "_qs)));
        QCOMPARE(table.value(u"exchangeTimes"_qs).count(u"%d"_qs), 1);
    }

    void tablesHaveTheSameKeys()
    {
        const auto en = Strings::table(u"en"_qs).keys();
        const auto zh = Strings::table(u"zh_CN"_qs).keys();
        QCOMPARE(QSet<QString>(en.begin(), en.end()), QSet<QString>(zh.begin(), zh.end()));
    }

    void localeChoosesTheTable_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("language");
        QTest::newRow("simplified chinese") << QLocale(QLocale::Chinese, QLocale::China) << u"zh_CN"_qs;
        QTest::newRow("english") << QLocale(QLocale::English, QLocale::UnitedKingdom) << u"en"_qs;
        QTest::newRow("other") << QLocale(QLocale::French, QLocale::France) << u"en"_qs;
        QTest::newRow("traditional chinese")
            << QLocale(QLocale::Chinese, QLocale::TraditionalChineseScript, QLocale::Taiwan) << u"en"_qs;
    }
    void localeChoosesTheTable()
    {
        QFETCH(QLocale, locale);
        QFETCH(QString, language);
        QCOMPARE(Strings::languageFor(locale), language);
        Strings::install(locale);
        QCOMPARE(Texts::get(u"ok"_qs), Strings::table(language).value(u"ok"_qs));
        QVERIFY(!Texts::get(u"ok"_qs).isEmpty());
        QCOMPARE(Texts::get(u"noSuchKeyAnywhere"_qs), QString());
    }
};

QTEST_GUILESS_MAIN(TestStrings)
#include "tst_strings.moc"
