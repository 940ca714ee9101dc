#include "NumberRule.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace NumberRule {

namespace {

qsizetype skipBlanks(QStringView text)
{
    qsizetype i = 0;
    while (i < text.size() && text[i].isSpace())
        ++i;
    return i;
}

bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }

template <typename Int>
Int saturate(qint64 value)
{
    if (value > std::numeric_limits<Int>::max())
        return std::numeric_limits<Int>::max();
    if (value < std::numeric_limits<Int>::min())
        return std::numeric_limits<Int>::min();
    return static_cast<Int>(value);
}

} // namespace

qint64 readInteger(QStringView text)
{
    qsizetype i = skipBlanks(text);
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    // Accumulate as a negative number so that the minimum value fits.
    constexpr qint64 minValue = std::numeric_limits<qint64>::min();
    qint64 value = 0;
    bool overflow = false;
    for (; i < text.size() && isDigit(text[i]); ++i) {
        const int digit = text[i].unicode() - u'0';
        if (overflow || value < (minValue + digit) / 10) {
            overflow = true;
            continue;
        }
        value = value * 10 - digit;
    }
    if (overflow)
        return negative ? minValue : std::numeric_limits<qint64>::max();
    if (negative)
        return value;
    return value == minValue ? std::numeric_limits<qint64>::max() : -value;
}

int readInt32(QStringView text)
{
    return saturate<int>(readInteger(text));
}

double readReal(QStringView text)
{
    qsizetype i = skipBlanks(text);
    std::string number;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        number += char(text[i++].unicode());
    bool digits = false;
    for (; i < text.size() && isDigit(text[i]); ++i, digits = true)
        number += char(text[i].unicode());
    if (i < text.size() && text[i] == u'.') {
        number += '.';
        for (++i; i < text.size() && isDigit(text[i]); ++i, digits = true)
            number += char(text[i].unicode());
    }
    if (!digits)
        return 0.0;
    if (i < text.size() && (text[i] == u'e' || text[i] == u'E')) {
        std::string exponent = "e";
        qsizetype j = i + 1;
        if (j < text.size() && (text[j] == u'+' || text[j] == u'-'))
            exponent += char(text[j++].unicode());
        bool exponentDigits = false;
        for (; j < text.size() && isDigit(text[j]); ++j, exponentDigits = true)
            exponent += char(text[j].unicode());
        if (exponentDigits)
            number += exponent;
    }
    // from_chars ignores the process locale, unlike strtod; it rejects a
    // leading '+' and reports overflow and underflow alike as out of range.
    const char *begin = number.data();
    if (*begin == '+')
        ++begin;
    double value = 0.0;
    const auto result = std::from_chars(begin, number.data() + number.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        const bool tiny = number.find("e-") != std::string::npos;
        const double magnitude = tiny ? 0.0 : HUGE_VAL;
        return number[0] == '-' ? -magnitude : magnitude;
    }
    return value;
}

qint64 truncateToInteger(double value)
{
    if (std::isnan(value))
        return 0;
    const double cut = std::trunc(value);
    if (cut >= 9223372036854775807.0)
        return std::numeric_limits<qint64>::max();
    if (cut <= -9223372036854775808.0)
        return std::numeric_limits<qint64>::min();
    return static_cast<qint64>(cut);
}

int truncateToInt32(double value)
{
    return saturate<int>(truncateToInteger(value));
}

} // namespace NumberRule

namespace NumberRule {

QList<qint64> readStoreIds(QStringView text)
{
    QList<qint64> ids;
    if (text.isEmpty())
        return ids;
    for (QStringView element : text.split(u','))
        ids.append(readInteger(element));
    return ids;
}

} // namespace NumberRule
