#include "AppPaths.h"
#include "BuildConfig.h"
#include "Cipher.h"
#include "Clock.h"
#include "EditionConfig.h"
#include "MemberCouponUtil.h"
#include "PayloadCipher.h"
#include "RequestProbe.h"
#include "SQLiteHelper.h"

#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

constexpr qint64 kNow = 1700000000000LL;
constexpr qint64 kMember = 42;

MemberCoupons shownCoupon()
{
    MemberCoupons coupon;
    coupon.couponKey = Field(QString());
    coupon.name = Field(u"Free coffee"_qs);
    coupon.eventId = Field(qint64(9));
    coupon.leftCount = Field(1);
    coupon.merchantId = Field(qint64(7));
    coupon.storeName = Field(u"Main Street"_qs);
    coupon.storeId = Field(qint64(0));
    coupon.enableStoreIds = Field(u"12,15"_qs);
    coupon.status = Field(0);
    coupon.lastUpdatedTime = Field(qint64(0));
    return coupon;
}

QString digestOf(const QString &companyKey, int merchantId, const QString &storeName)
{
    return Cipher::md5(u"%1_%2_%3"_qs.arg(companyKey).arg(merchantId).arg(storeName));
}

} // namespace

class TestMemberCouponUtil : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_closedUrl;

private Q_SLOTS:
    void initTestCase()
    {
        m_closedUrl = RequestProbe::closedPortUrl();
    }

    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        AppPaths::setDataDir(m_dir->path());
        SQLiteHelper::resetInstance();
        BuildConfig::setLoyaltyBaseUrl(m_closedUrl);
        EditionConfig::set(u"COMPANY_KEY"_qs, u"GRP-DEMO-7Q2X"_qs);
        Clock::setSource([] { return kNow; });
    }

    void cleanup()
    {
        SQLiteHelper::resetInstance();
        Clock::setSource(nullptr);
        EditionConfig::reset();
        BuildConfig::setLoyaltyBaseUrl(QString());
        AppPaths::setDataDir(QString());
        m_dir.reset();
    }

    void isEnableStoreIds_data()
    {
        QTest::addColumn<QString>("list");
        QTest::addColumn<qint64>("storeId");
        QTest::addColumn<bool>("expected");
        QTest::newRow("empty list, store 0") << u""_qs << qint64(0) << false;
        QTest::newRow("empty list, store 15") << u""_qs << qint64(15) << false;
        QTest::newRow("listed") << u"12,15"_qs << qint64(15) << true;
        QTest::newRow("first listed") << u"12,15"_qs << qint64(12) << true;
        QTest::newRow("not listed") << u"12,15"_qs << qint64(1) << false;
        QTest::newRow("prefix of a listed id") << u"12,150"_qs << qint64(15) << false;
    }
    void isEnableStoreIds()
    {
        QFETCH(QString, list);
        QFETCH(qint64, storeId);
        QFETCH(bool, expected);
        QCOMPARE(MemberCouponUtil::isEnableStoreIds(storeId, Field(list)), expected);
        QVERIFY(!MemberCouponUtil::isEnableStoreIds(storeId, Field())); // unset: no store
    }

    void readCouponCode_data()
    {
        using Kind = CouponCodeReading::Kind;
        const QString company = u"GRP-DEMO-7Q2X"_qs;
        const QString digest = digestOf(company, 7, u"Main Street"_qs);
        const auto payload = [](const QString &text) { return PayloadCipher::encipher(text); };

        QTest::addColumn<QString>("code");
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("storeId");
        QTest::newRow("simple code") << digest + u"_15"_qs << int(Kind::SimpleCode) << 15;
        QTest::newRow("simple code, extra pieces ignored") << digest + u"_15_x"_qs << int(Kind::SimpleCode) << 15;
        QTest::newRow("simple code, store id 0") << digest + u"_0"_qs << int(Kind::SimpleCode) << 0;
        QTest::newRow("simple code, store id by the number rule") << digest + u"_ 12a"_qs << int(Kind::SimpleCode) << 12;
        QTest::newRow("simple code, another store name")
            << digestOf(company, 7, u"Side Street"_qs) + u"_15"_qs << int(Kind::Unreadable) << 0;
        QTest::newRow("simple code, another company key")
            << digestOf(u"GRP-OTHER"_qs, 7, u"Main Street"_qs) + u"_15"_qs << int(Kind::Unreadable) << 0;
        QTest::newRow("simple code, another merchant")
            << digestOf(company, 8, u"Main Street"_qs) + u"_15"_qs << int(Kind::Unreadable) << 0;
        QTest::newRow("simple code, upper-case digest") << digest.toUpper() + u"_15"_qs << int(Kind::Unreadable) << 0;
        QTest::newRow("digest alone") << digest << int(Kind::Unreadable) << 0;
        QTest::newRow("enciphered, 5 fields")
            << payload(u"7,1700000000000,501,alice,15"_qs) << int(Kind::EncipheredCode) << 15;
        QTest::newRow("enciphered, 6 fields")
            << payload(u"7,1700000000000,501,alice,12,Main Street"_qs) << int(Kind::EncipheredCode) << 12;
        QTest::newRow("enciphered, a year old") << payload(u"7,1668000000000,501,alice,15"_qs)
                                                << int(Kind::EncipheredCode) << 15;
        QTest::newRow("enciphered, merchant 007 reads as 7")
            << payload(u"007,1700000000000,501,alice,15"_qs) << int(Kind::EncipheredCode) << 15;
        QTest::newRow("enciphered, 4 fields") << payload(u"7,1700000000000,501,alice"_qs) << int(Kind::Unreadable) << 0;
        QTest::newRow("enciphered, another merchant")
            << payload(u"8,1700000000000,501,alice,15"_qs) << int(Kind::OtherMerchant) << 0;
        QTest::newRow("not a code") << u"hello, world, again, and, more"_qs << int(Kind::Unreadable) << 0;
        QTest::newRow("empty") << QString() << int(Kind::Unreadable) << 0;
    }
    void readCouponCode()
    {
        QFETCH(QString, code);
        QFETCH(int, kind);
        QFETCH(int, storeId);
        const CouponCodeReading reading = MemberCouponUtil::readCouponCode(code, shownCoupon());
        QCOMPARE(int(reading.kind), kind);
        QCOMPARE(reading.storeId, storeId);
        QCOMPARE(reading.accepted(), storeId >= 1);
    }

    void simpleCodeFollowsCompanyKey()
    {
        const QString code = digestOf(u"GRP-DEMO-7Q2X"_qs, 7, u"Main Street"_qs) + u"_15"_qs;
        QCOMPARE(MemberCouponUtil::readCouponCode(code, shownCoupon()).storeId, 15);
        EditionConfig::set(u"COMPANY_KEY"_qs, u"GRP-OTHER"_qs);
        QCOMPARE(MemberCouponUtil::readCouponCode(code, shownCoupon()).storeId, 0);
    }

    void collect()
    {
        MemberCoupons coupon = shownCoupon();
        MemberCoupons &collected = MemberCouponUtil::genEmptyMemberCoupon(coupon, kMember, Field(u"member42"_qs));
        QCOMPARE(&collected, &coupon);
        const QString key = coupon.couponKey.text();
        QCOMPARE(key.size(), 32);
        for (const QChar c : key)
            QVERIFY2(QStringLiteral("0123456789ABCDEF").contains(c), qPrintable(key));
        QCOMPARE(coupon.isDeleted.toInt(), 0);
        QCOMPARE(coupon.lastUpdatedTime.toId(), kNow);
        QCOMPARE(coupon.memberId.toId(), kMember);
        QCOMPARE(coupon.member.text(), u"member42"_qs);

        const auto stored = SQLiteHelper::getInstance().getMemberCoupons(kMember, coupon.eventId, coupon.enableStoreIds);
        QVERIFY(stored);
        QCOMPARE(stored->couponKey.text(), key);
        QCOMPARE(stored->name.text(), u"Free coffee"_qs);
        QCOMPARE(stored->leftCount.toInt(), 1);
        QCOMPARE(stored->storeName.text(), u"Main Street"_qs);

        // Collecting the same record again gives it another key (and another row).
        MemberCouponUtil::genEmptyMemberCoupon(coupon, kMember, Field(u"member42"_qs));
        QVERIFY(coupon.couponKey.text() != key);
        QCOMPARE(SQLiteHelper::getInstance().getAllMemberCoupons(kMember).size(), 2);
    }

    void recordUse_data()
    {
        QTest::addColumn<int>("storeId");
        QTest::addColumn<bool>("logged");
        QTest::newRow("listed store") << 15 << true;
        QTest::newRow("unlisted store") << 1 << false;
        QTest::newRow("no store") << 0 << false;
    }
    void recordUse()
    {
        QFETCH(int, storeId);
        QFETCH(bool, logged);
        MemberCoupons coupon = shownCoupon();
        MemberCouponUtil::genEmptyMemberCoupon(coupon, kMember, Field(u"member42"_qs));
        Clock::setSource([] { return kNow + 5000; });

        QCOMPARE(MemberCouponUtil::changeMemberCoupon(coupon, kMember, Field(u"member42"_qs), storeId), logged);
        const QList<MemberCouponLogs> logs = SQLiteHelper::getInstance().getAllEntities<MemberCouponLogs>();
        QCOMPARE(logs.size(), logged ? 1 : 0);
        // The coupon keeps its count until the service answers.
        const auto stored = SQLiteHelper::getInstance().getMemberCoupons(kMember, coupon.eventId, coupon.enableStoreIds);
        QVERIFY(stored);
        QCOMPARE(stored->leftCount.toInt(), 1);
        QCOMPARE(stored->lastUpdatedTime.toId(), kNow);
        if (!logged)
            return;
        const MemberCouponLogs &log = logs.first();
        QCOMPARE(log.logId.toId(), qint64(0));
        QVERIFY(log.logId.isSet());
        QCOMPARE(log.couponKey.text(), coupon.couponKey.text());
        QCOMPARE(log.name.text(), u"Free coffee"_qs);
        QCOMPARE(log.eventId.toId(), qint64(9));
        QCOMPARE(log.leftCount.toInt(), 1);
        QCOMPARE(log.merchantId.toId(), qint64(7));
        QCOMPARE(log.memberId.toId(), kMember);
        QCOMPARE(log.member.text(), u"member42"_qs);
        QCOMPARE(log.isDeleted.toInt(), 0);
        QVERIFY(log.isDeleted.isSet());
        QCOMPARE(log.updatedTime.toId(), kNow + 5000);
        QCOMPARE(log.storeId.toId(), qint64(storeId));
    }

    void useStartsUpload()
    {
        RequestProbe probe;
        QVERIFY(probe.listen());
        BuildConfig::setLoyaltyBaseUrl(probe.baseUrl());
        MemberCoupons coupon = shownCoupon();
        MemberCouponUtil::genEmptyMemberCoupon(coupon, kMember, Field(u"member42"_qs));
        QVERIFY(MemberCouponUtil::changeMemberCoupon(coupon, kMember, Field(u"member42"_qs), 12));
        QTRY_VERIFY(probe.received().contains("/syncMemberCoupons/42/"));
        QTRY_VERIFY(probe.received().contains(coupon.couponKey.text().toLatin1()));
    }
};

QTEST_GUILESS_MAIN(TestMemberCouponUtil)
#include "tst_membercouponutil.moc"
