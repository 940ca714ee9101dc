#include "Values.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace Values {

std::int64_t integerOf(const std::string &text)
{
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n' || text[i] == '\r'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    std::int64_t value = 0;
    constexpr std::int64_t limit = std::numeric_limits<std::int64_t>::max();
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        const int digit = text[i] - '0';
        if (value > (limit - digit) / 10)
            return negative ? std::numeric_limits<std::int64_t>::min() : limit;
        value = value * 10 + digit;
    }
    return negative ? -value : value;
}

double realOf(const std::string &text)
{
    const char *start = text.c_str();
    char *end = nullptr;
    const double value = std::strtod(start, &end);
    if (end == start || !std::isfinite(value))
        return 0.0;
    return value;
}

std::int64_t integerOf(const Json &value)
{
    if (value.is_number_integer())
        return value.get<std::int64_t>();
    if (value.is_number_float()) {
        const double d = value.get<double>();
        if (!std::isfinite(d) || std::fabs(d) > 9.2e18)
            return 0;
        return static_cast<std::int64_t>(d);
    }
    if (value.is_boolean())
        return value.get<bool>() ? 1 : 0;
    if (value.is_string())
        return integerOf(value.get<std::string>());
    return 0;
}

double realOf(const Json &value)
{
    if (value.is_number())
        return value.get<double>();
    if (value.is_string())
        return realOf(value.get<std::string>());
    return 0.0;
}

std::string textOf(const Json &value)
{
    if (value.is_string())
        return value.get<std::string>();
    if (value.is_null())
        return {};
    return value.dump();
}

const Json &member(const Json &object, const char *name)
{
    static const Json none;
    if (!object.is_object())
        return none;
    const auto it = object.find(name);
    return it == object.end() ? none : *it;
}

std::vector<std::int64_t> storeIdList(const std::string &text)
{
    std::vector<std::int64_t> ids;
    std::size_t start = 0;
    while (start <= text.size() && !text.empty()) {
        const std::size_t comma = text.find(',', start);
        const std::string piece = text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        if (!piece.empty())
            ids.push_back(integerOf(piece));
        if (comma == std::string::npos)
            break;
        start = comma + 1;
    }
    return ids;
}

std::string joinIds(const std::vector<std::int64_t> &ids)
{
    std::string out;
    for (std::size_t i = 0; i < ids.size(); ++i) {
        if (i > 0)
            out += ',';
        out += std::to_string(ids[i]);
    }
    return out;
}

double distanceKm(double lat1, double lon1, double lat2, double lon2)
{
    constexpr double radius = 6371.0088;
    constexpr double toRad = 3.14159265358979323846 / 180.0;
    const double dLat = (lat2 - lat1) * toRad;
    const double dLon = (lon2 - lon1) * toRad;
    const double a = std::sin(dLat / 2) * std::sin(dLat / 2)
        + std::cos(lat1 * toRad) * std::cos(lat2 * toRad) * std::sin(dLon / 2) * std::sin(dLon / 2);
    return 2 * radius * std::asin(std::min(1.0, std::sqrt(a)));
}

} // namespace Values
