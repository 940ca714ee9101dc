#include "Dates.h"

#include <QLocale>
#include <QRegularExpression>

namespace {

// 1 = Sunday ... 7 = Saturday.
int weekday(const QDate &date)
{
    return date.dayOfWeek() % 7 + 1;
}

// The first day of the week that holds the date, weeks starting on firstDay.
QDate weekStart(const QDate &date, Qt::DayOfWeek firstDay)
{
    return date.addDays(-((date.dayOfWeek() - int(firstDay) + 7) % 7));
}

// The first day of week 1 of the year: the first week with at least
// minimumDays days in that year.
QDate firstWeekStart(int year, Qt::DayOfWeek firstDay, int minimumDays)
{
    const QDate januaryFirst(year, 1, 1);
    const QDate start = weekStart(januaryFirst, firstDay);
    const qint64 daysInYear = 7 - start.daysTo(januaryFirst);
    return daysInYear >= minimumDays ? start : start.addDays(7);
}

bool isMillisecondsText(const QString &text)
{
    static const QRegularExpression digits(QStringLiteral("^-?[0-9]{1,19}$"));
    return digits.match(text).hasMatch();
}

std::optional<QString> sideText(const Field &side, const QString &format)
{
    QDateTime date;
    if (side.isText()) {
        const std::optional<QDateTime> parsed = Dates::dateFromString(side.text());
        if (parsed) {
            date = *parsed;
        } else if (isMillisecondsText(side.text())) {
            // Records read back from the local store hold their times as decimal texts.
            date = QDateTime::fromSecsSinceEpoch(side.toId() / 1000);
        } else {
            return std::nullopt;
        }
    } else if (side.json().isDouble()) {
        date = QDateTime::fromSecsSinceEpoch(side.toId() / 1000);
    }
    if (!date.isValid())
        return std::nullopt;
    return Dates::dateFormat(date, format);
}

} // namespace

QString Dates::dateTimeFormat(qint64 seconds, const QString &format)
{
    return dateFormat(QDateTime::fromSecsSinceEpoch(seconds), format);
}

QString Dates::dateFormat(const QDateTime &date, const QString &format)
{
    if (!date.isValid())
        return {};
    return QLocale::system().toString(date, format);
}

std::optional<QDateTime> Dates::dateFromString(const QString &text)
{
    // A machine layout from the services, so it is read with fixed digits
    // whatever the device's locale.
    const QDateTime date = QDateTime::fromString(text, QStringLiteral("yyyy/MM/dd HH:mm:ss"));
    if (!date.isValid())
        return std::nullopt;
    return date;
}

QString Dates::getDuration(const Field &start, const Field &end)
{
    return getDuration(start, end, QStringLiteral("yyyy-MM-dd"));
}

QString Dates::getDuration(const Field &start, const Field &end, const QString &format)
{
    const std::optional<QString> startText = sideText(start, format);
    const std::optional<QString> endText = sideText(end, format);
    if (startText && endText)
        return *startText + QStringLiteral(" ~ ") + *endText;
    if (startText)
        return *startText;
    if (endText)
        return *endText;
    return {};
}

QDateTime Dates::dateFromYearMonthDay(int year, int month, int day)
{
    const QDate first(year, 1, 1);
    if (!first.isValid())
        return {};
    const QDate date = first.addMonths(month - 1).addDays(qint64(day) - 1);
    return date.isValid() ? date.startOfDay() : QDateTime();
}

int Dates::yearOfDate(const QDateTime &date)
{
    return date.date().year();
}

int Dates::monthOfDate(const QDateTime &date)
{
    return date.date().month();
}

int Dates::dayOfDate(const QDateTime &date)
{
    return date.date().day();
}

int Dates::weekWithYear(const QDateTime &date)
{
    return weekWithYear(date, QLocale::system());
}

int Dates::weekWithYear(const QDateTime &date, const QLocale &locale)
{
    const QDate day = date.date();
    if (!day.isValid())
        return 0;
    const Qt::DayOfWeek firstDay = locale.firstDayOfWeek();
    const int minimumDays = firstDay == Qt::Monday ? 4 : 1;
    const int year = day.year();
    QDate start = firstWeekStart(year + 1, firstDay, minimumDays);
    if (day < start) {
        start = firstWeekStart(year, firstDay, minimumDays);
        if (day < start)
            start = firstWeekStart(year - 1, firstDay, minimumDays);
    }
    return int(start.daysTo(day) / 7) + 1;
}

int Dates::monthOfTotalDay(const QDateTime &date)
{
    const QDate day = date.date();
    return day.isValid() ? day.daysInMonth() : 0;
}

QDateTime Dates::dateWithMonthsFromDate(int months, const QDateTime &date)
{
    return date.addMonths(months);
}

QDateTime Dates::dateWithWeeksFromDate(int weeks, const QDateTime &date)
{
    return date.addDays(qint64(weeks) * 7);
}

QDateTime Dates::dateWithDaysFromDate(int days, const QDateTime &date)
{
    return date.addDays(days);
}

QDateTime Dates::weekOfFirstDay(const QDateTime &date)
{
    if (!date.isValid())
        return {};
    return date.addDays(1 - weekday(date.date()));
}

QDateTime Dates::weekOfLastDay(const QDateTime &date)
{
    if (!date.isValid())
        return {};
    return date.addDays(7 - weekday(date.date()));
}
