#pragma once

#include "Field.h"

#include <QDateTime>
#include <QLocale>
#include <QString>

#include <optional>

// Date formatting and calendar arithmetic in the device's time zone and
// locale. Dates are local QDateTime instants, so a formatted date can show
// its time as well; the calendar operations work on the local day and keep
// the time of day. An invalid QDateTime stands for "no date".
class Dates
{
public:
    Dates() = delete;

    // Seconds since 1970-01-01 00:00 UTC formatted with a Qt date pattern.
    static QString dateTimeFormat(qint64 seconds, const QString &format);
    static QString dateFormat(const QDateTime &date, const QString &format);
    // "yyyy/MM/dd HH:mm:ss" local time; none when the text has another layout.
    static std::optional<QDateTime> dateFromString(const QString &text);

    // "start ~ end" with "yyyy-MM-dd"; a text side is parsed with
    // dateFromString, a number side is milliseconds since 1970.
    static QString getDuration(const Field &start, const Field &end);
    static QString getDuration(const Field &start, const Field &end, const QString &format);

    // The local midnight of that day; out-of-range months and days roll over
    // into the neighbouring months and years.
    static QDateTime dateFromYearMonthDay(int year, int month, int day);
    static int yearOfDate(const QDateTime &date);
    static int monthOfDate(const QDateTime &date);
    static int dayOfDate(const QDateTime &date);
    // Week of the year by the system locale's week rule.
    static int weekWithYear(const QDateTime &date);
    // Weeks begin on the locale's first weekday. Monday-first locales count
    // as ISO 8601 does (week 1 holds the first Thursday); the others put
    // 1 January in week 1.
    static int weekWithYear(const QDateTime &date, const QLocale &locale);
    static int monthOfTotalDay(const QDateTime &date); // days in the date's month

    static QDateTime dateWithMonthsFromDate(int months, const QDateTime &date);
    static QDateTime dateWithWeeksFromDate(int weeks, const QDateTime &date);
    static QDateTime dateWithDaysFromDate(int days, const QDateTime &date);
    // The Sunday and the Saturday of the date's week.
    static QDateTime weekOfFirstDay(const QDateTime &date);
    static QDateTime weekOfLastDay(const QDateTime &date);
};
