#include "Dates.h"

#include <QJsonArray>
#include <QTest>

#include <ctime>

namespace {

// POSIX zone rules, so the cases need no time zone database.
const QByteArray kShanghai = "CST-8";
const QByteArray kNewYork = "EST5EDT,M3.2.0,M11.1.0";

void useZone(const QByteArray &zone)
{
    qputenv("TZ", zone);
    tzset();
}

QDateTime local(int y, int mo, int d, int h = 0, int mi = 0, int s = 0)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s));
}

} // namespace

class TestDates : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { m_savedZone = qgetenv("TZ"); }
    void cleanupTestCase()
    {
        if (m_savedZone.isNull())
            qunsetenv("TZ");
        else
            qputenv("TZ", m_savedZone);
        tzset();
    }

    void periodText_data()
    {
        QTest::addColumn<QByteArray>("zone");
        QTest::addColumn<Field>("start");
        QTest::addColumn<Field>("end");
        QTest::addColumn<QString>("expected");
        // Epoch values from `TZ=<zone> date -d '<local time>' +%s`.
        const qint64 nov8Shanghai = 1352304000000; // 2012-11-08 00:00:00 +08
        QTest::newRow("text start, number end") << kShanghai << Field(u"2012/11/07 10:00:00"_qs)
                                                << Field(nov8Shanghai) << u"2012-11-07 ~ 2012-11-08"_qs;
        QTest::newRow("end alone, a millisecond before midnight")
            << kShanghai << Field() << Field(nov8Shanghai - 1) << u"2012-11-07"_qs;
        QTest::newRow("same instant, other zone") << kNewYork << Field() << Field(nov8Shanghai)
                                                  << u"2012-11-07"_qs;
        QTest::newRow("number as a real") << kShanghai << Field(double(nov8Shanghai) + 0.75) << Field()
                                          << u"2012-11-08"_qs;
        QTest::newRow("start in another layout, no end")
            << kShanghai << Field(u"2012-11-07"_qs) << Field() << QString();
        QTest::newRow("bad start text, good end")
            << kShanghai << Field(u"07/11/2012 10:00:00"_qs) << Field(nov8Shanghai) << u"2012-11-08"_qs;
        QTest::newRow("milliseconds as stored texts")
            << kShanghai << Field(u"1352304000000"_qs) << Field(u"-28800999"_qs) << u"2012-11-08 ~ 1970-01-01"_qs;
        QTest::newRow("digits with a tail are no time")
            << kShanghai << Field(u"1352304000000x"_qs) << Field() << QString();
        QTest::newRow("neither side") << kShanghai << Field() << Field() << QString();
        QTest::newRow("a list is no date")
            << kShanghai << Field(QJsonValue(QJsonArray{1})) << Field() << QString();
        QTest::newRow("negative milliseconds cut toward zero")
            << kShanghai << Field(qint64(-28800999)) << Field() << u"1970-01-01"_qs;
    }
    void periodText()
    {
        QFETCH(QByteArray, zone);
        QFETCH(Field, start);
        QFETCH(Field, end);
        QFETCH(QString, expected);
        useZone(zone);
        QCOMPARE(Dates::getDuration(start, end), expected);
    }

    void periodTextWithFormat()
    {
        useZone(kNewYork);
        // 1352003400 is 2012-11-04 00:30 EDT, one hour before the clocks go back.
        const QString format = u"yyyy/MM/dd HH:mm"_qs;
        QCOMPARE(Dates::getDuration(Field(qint64(1352003400000)), Field(qint64(1352010600000)), format),
                 u"2012/11/04 00:30 ~ 2012/11/04 01:30"_qs);
        QCOMPARE(Dates::dateTimeFormat(1352003400 + 3600, format), u"2012/11/04 01:30"_qs);
    }

    void dateFromString()
    {
        useZone(kShanghai);
        const std::optional<QDateTime> date = Dates::dateFromString(u"2012/11/07 10:00:00"_qs);
        QVERIFY(date.has_value());
        QCOMPARE(date->toSecsSinceEpoch(), qint64(1352253600)); // 02:00 UTC
        QCOMPARE(Dates::dateFromString(u"2012/11/07"_qs), std::nullopt);
        QCOMPARE(Dates::dateFromString(u"2012/13/07 10:00:00"_qs), std::nullopt);
        QCOMPARE(Dates::dateFromString(QString()), std::nullopt);
        QCOMPARE(Dates::dateFormat(QDateTime(), u"yyyy"_qs), QString());
    }

    void dateFromYearMonthDay_data()
    {
        QTest::addColumn<int>("year");
        QTest::addColumn<int>("month");
        QTest::addColumn<int>("day");
        QTest::addColumn<QDate>("expected");
        QTest::newRow("ordinary") << 2012 << 11 << 7 << QDate(2012, 11, 7);
        QTest::newRow("leap day") << 2012 << 2 << 29 << QDate(2012, 2, 29);
        QTest::newRow("day past month end rolls over") << 2013 << 2 << 30 << QDate(2013, 3, 2);
        QTest::newRow("day 0 is the previous month's last") << 2012 << 3 << 0 << QDate(2012, 2, 29);
        QTest::newRow("month 13 is next January") << 2012 << 13 << 1 << QDate(2013, 1, 1);
        QTest::newRow("month 0 is last December") << 2012 << 0 << 31 << QDate(2011, 12, 31);
    }
    void dateFromYearMonthDay()
    {
        QFETCH(int, year);
        QFETCH(int, month);
        QFETCH(int, day);
        QFETCH(QDate, expected);
        useZone(kNewYork);
        const QDateTime date = Dates::dateFromYearMonthDay(year, month, day);
        QCOMPARE(date.date(), expected);
        QCOMPARE(date.time(), QTime(0, 0));
        QCOMPARE(Dates::yearOfDate(date), expected.year());
        QCOMPARE(Dates::monthOfDate(date), expected.month());
        QCOMPARE(Dates::dayOfDate(date), expected.day());
    }

    void monthOfTotalDay_data()
    {
        QTest::addColumn<QDate>("date");
        QTest::addColumn<int>("days");
        QTest::newRow("leap February") << QDate(2012, 2, 10) << 29;
        QTest::newRow("February") << QDate(2013, 2, 28) << 28;
        QTest::newRow("century, not leap") << QDate(1900, 2, 1) << 28;
        QTest::newRow("400th year, leap") << QDate(2000, 2, 1) << 29;
        QTest::newRow("30-day month") << QDate(2012, 4, 30) << 30;
        QTest::newRow("December") << QDate(2012, 12, 31) << 31;
    }
    void monthOfTotalDay()
    {
        QFETCH(QDate, date);
        QFETCH(int, days);
        QCOMPARE(Dates::monthOfTotalDay(date.startOfDay()), days);
    }

    void moveByMonthsWeeksDays_data()
    {
        QTest::addColumn<QChar>("unit");
        QTest::addColumn<int>("count");
        QTest::addColumn<QDateTime>("from");
        QTest::addColumn<QDateTime>("expected");
        QTest::newRow("Jan 31 + 1 month, leap year") << QChar(u'm') << 1 << local(2012, 1, 31, 9, 15)
                                                     << local(2012, 2, 29, 9, 15);
        QTest::newRow("Jan 31 + 1 month") << QChar(u'm') << 1 << local(2013, 1, 31) << local(2013, 2, 28);
        QTest::newRow("Mar 31 - 1 month") << QChar(u'm') << -1 << local(2012, 3, 31) << local(2012, 2, 29);
        QTest::newRow("leap day + 12 months") << QChar(u'm') << 12 << local(2012, 2, 29) << local(2013, 2, 28);
        QTest::newRow("2 weeks over the year end") << QChar(u'w') << 2 << local(2012, 12, 25, 8)
                                                   << local(2013, 1, 8, 8);
        QTest::newRow("-1 week") << QChar(u'w') << -1 << local(2012, 3, 1) << local(2012, 2, 23);
        // The clocks go forward on 2012-03-11: a day later is still noon.
        QTest::newRow("1 day over the spring change") << QChar(u'd') << 1 << local(2012, 3, 10, 12)
                                                      << local(2012, 3, 11, 12);
        QTest::newRow("-365 days over a leap day") << QChar(u'd') << -365 << local(2013, 1, 1)
                                                   << local(2012, 1, 2);
    }
    void moveByMonthsWeeksDays()
    {
        QFETCH(QChar, unit);
        QFETCH(int, count);
        QFETCH(QDateTime, from);
        QFETCH(QDateTime, expected);
        useZone(kNewYork);
        const QDateTime moved = unit == u'm'   ? Dates::dateWithMonthsFromDate(count, from)
                                : unit == u'w' ? Dates::dateWithWeeksFromDate(count, from)
                                               : Dates::dateWithDaysFromDate(count, from);
        QCOMPARE(moved, expected);
    }

    void springChangeIsShortDay()
    {
        useZone(kNewYork);
        // date -d '2012-03-10 12:00' +%s and date -d '2012-03-11 12:00' +%s
        const QDateTime moved = Dates::dateWithDaysFromDate(1, QDateTime::fromSecsSinceEpoch(1331398800));
        QCOMPARE(moved.toSecsSinceEpoch(), qint64(1331481600));
    }

    void weekFirstAndLastDay_data()
    {
        QTest::addColumn<QDateTime>("date");
        QTest::addColumn<QDateTime>("first");
        QTest::addColumn<QDateTime>("last");
        QTest::newRow("Sunday is its own first day") << local(2012, 11, 4, 10, 30) << local(2012, 11, 4, 10, 30)
                                                     << local(2012, 11, 10, 10, 30);
        QTest::newRow("Saturday is its own last day") << local(2012, 11, 10) << local(2012, 11, 4)
                                                      << local(2012, 11, 10);
        QTest::newRow("week over the year end") << local(2013, 1, 1, 23, 59) << local(2012, 12, 30, 23, 59)
                                                << local(2013, 1, 5, 23, 59);
        QTest::newRow("week over a leap day") << local(2012, 3, 1) << local(2012, 2, 26) << local(2012, 3, 3);
    }
    void weekFirstAndLastDay()
    {
        QFETCH(QDateTime, date);
        QFETCH(QDateTime, first);
        QFETCH(QDateTime, last);
        useZone(kNewYork);
        QCOMPARE(Dates::weekOfFirstDay(date), first);
        QCOMPARE(Dates::weekOfLastDay(date), last);
        QCOMPARE(Dates::weekOfFirstDay(date).date().dayOfWeek(), int(Qt::Sunday));
        QCOMPARE(Dates::weekOfLastDay(date).date().dayOfWeek(), int(Qt::Saturday));
    }

    void weekOfYearSundayFirst_data()
    {
        QTest::addColumn<QDate>("date");
        QTest::addColumn<int>("week");
        // 1 January is always in week 1; weeks begin on Sunday.
        QTest::newRow("Saturday 1 January") << QDate(2011, 1, 1) << 1;
        QTest::newRow("the next day") << QDate(2011, 1, 2) << 2;
        QTest::newRow("last full week of 2012") << QDate(2012, 12, 29) << 52;
        QTest::newRow("Sunday before 1 January") << QDate(2012, 12, 30) << 1;
        QTest::newRow("53rd week") << QDate(2011, 12, 25) << 53;
    }
    void weekOfYearSundayFirst()
    {
        QFETCH(QDate, date);
        QFETCH(int, week);
        const QLocale us(QLocale::English, QLocale::UnitedStates);
        QCOMPARE(us.firstDayOfWeek(), Qt::Sunday);
        QCOMPARE(Dates::weekWithYear(date.startOfDay(), us), week);
    }

    void weekOfYearMondayFirstIsIso()
    {
        const QLocale de(QLocale::German, QLocale::Germany);
        QCOMPARE(de.firstDayOfWeek(), Qt::Monday);
        for (QDate day(2008, 12, 1); day < QDate(2017, 2, 1); day = day.addDays(1)) {
            QCOMPARE(Dates::weekWithYear(day.startOfDay(), de), day.weekNumber());
        }
    }

private:
    QByteArray m_savedZone;
};

QTEST_APPLESS_MAIN(TestDates)
#include "tst_dates.moc"
