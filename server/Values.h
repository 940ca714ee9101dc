#pragma once

#include <nlohmann/json.hpp>

#include <cstdint>
#include <string>
#include <vector>

// Values arrive as JSON numbers or as texts (the phone uploads everything it
// read from its store as text); these read them the way the phone does:
// leading blanks, a sign, the digits up to the first other character.
namespace Values {

using Json = nlohmann::json;

std::int64_t integerOf(const std::string &text);
double realOf(const std::string &text);

std::int64_t integerOf(const Json &value);
double realOf(const Json &value);
// Text form: strings as they are, numbers in decimal, null/absent empty.
std::string textOf(const Json &value);

// Member of an object, or null when absent (or the value is no object).
const Json &member(const Json &object, const char *name);

std::vector<std::int64_t> storeIdList(const std::string &text);
std::string joinIds(const std::vector<std::int64_t> &ids);

// Kilometres over the earth's surface.
double distanceKm(double lat1, double lon1, double lat2, double lon2);

} // namespace Values
