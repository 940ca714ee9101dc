#include "AppPaths.h"
#include "UserMgr.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

class TestUserMgr : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        AppPaths::setDataDir(m_dir->path());
    }

    void nothingStored()
    {
        QCOMPARE(UserMgr::getMemberId(), 0);
        QCOMPARE(UserMgr::getOutMemberId(), QString());
        QCOMPARE(UserMgr::getAccount(), std::nullopt);
        QCOMPARE(UserMgr::getPassword(), std::nullopt);
        QCOMPARE(UserMgr::getCurLat(), 0.0);
        QCOMPARE(UserMgr::getCurLon(), 0.0);
        QVERIFY(!UserMgr::getAutoLogin());
        QVERIFY(!UserMgr::getRememberMe());
    }

    void memberIdAsTextOrNumber_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<qint64>("expected");
        QTest::newRow("text") << QVariant(u"123"_qs) << qint64(123);
        QTest::newRow("number") << QVariant(qint64(9007199254740993LL)) << qint64(9007199254740993LL);
        QTest::newRow("logout") << QVariant(0) << qint64(0);
    }
    void memberIdAsTextOrNumber()
    {
        QFETCH(QVariant, stored);
        QFETCH(qint64, expected);
        UserMgr::setMemberId(stored);
        QCOMPARE(UserMgr::getMemberId(), expected);
    }

    void keysAreTheFileFormat()
    {
        UserMgr::setMemberId(5);
        UserMgr::setOutMemberId(u"out-5"_qs);
        UserMgr::remember(u"amy"_qs, u"pw"_qs);
        UserMgr::setAutoLoginStatus(true);
        UserMgr::setRememberMeStatus(true);
        UserMgr::saveCurLocation(116.4, 39.9);
        const QSettings file(AppPaths::preferencesFile(), QSettings::IniFormat);
        const QStringList expected{u"current_latitude"_qs, u"current_longitude"_qs, u"out_user_id"_qs,
                                   u"user_account"_qs, u"user_autologin"_qs, u"user_id"_qs,
                                   u"user_password"_qs, u"user_remember_me"_qs};
        QCOMPARE(file.allKeys(), expected);
    }

    void savePosition_data()
    {
        QTest::addColumn<double>("lon");
        QTest::addColumn<double>("lat");
        QTest::addColumn<double>("storedLon");
        QTest::addColumn<double>("storedLat");
        QTest::newRow("east and north") << 116.4 << 39.9 << 116.4 << 39.9;
        QTest::newRow("west of Greenwich") << -0.1 << 51.5 << 0.0 << 0.0;
        QTest::newRow("south") << 151.2 << -33.9 << 0.0 << 0.0;
        QTest::newRow("zero") << 0.0 << 39.9 << 0.0 << 0.0;
    }
    void savePosition()
    {
        QFETCH(double, lon);
        QFETCH(double, lat);
        QFETCH(double, storedLon);
        QFETCH(double, storedLat);
        UserMgr::saveCurLocation(lon, lat);
        QCOMPARE(UserMgr::getCurLon(), storedLon);
        QCOMPARE(UserMgr::getCurLat(), storedLat);
    }

    void unrememberKeepsPosition()
    {
        UserMgr::setMemberId(5);
        UserMgr::remember(u"amy"_qs, u"pw"_qs);
        UserMgr::setRememberMeStatus(true);
        UserMgr::saveCurLocation(116.4, 39.9);
        UserMgr::unremember();
        QCOMPARE(UserMgr::getMemberId(), 0);
        QCOMPARE(UserMgr::getAccount(), std::nullopt);
        QVERIFY(!UserMgr::getRememberMe());
        QCOMPARE(UserMgr::getCurLat(), 39.9);
        UserMgr::clearCurLocation();
        QCOMPARE(UserMgr::getCurLat(), 0.0);
    }

    void logoutWithRememberMeKeepsAccount()
    {
        UserMgr::setMemberId(5);
        UserMgr::remember(u"amy"_qs, u"pw"_qs);
        UserMgr::setMemberId(0);
        UserMgr::setOutMemberId(QString());
        QCOMPARE(UserMgr::getMemberId(), 0);
        QCOMPARE(UserMgr::getAccount(), std::optional<QString>(u"amy"_qs));
        QCOMPARE(UserMgr::getPassword(), std::optional<QString>(u"pw"_qs));
    }

    void survivesReopening()
    {
        UserMgr::remember(u"amy"_qs, u"pw"_qs);
        const QString file = AppPaths::preferencesFile();
        AppPaths::setDataDir(QString());
        AppPaths::setDataDir(m_dir->path());
        QCOMPARE(AppPaths::preferencesFile(), file);
        QCOMPARE(UserMgr::getAccount(), std::optional<QString>(u"amy"_qs));
    }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

QTEST_GUILESS_MAIN(TestUserMgr)
#include "tst_usermgr.moc"
