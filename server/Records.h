#pragma once

#include "Values.h"

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

// Field lists of the loyalty records the phone uploads, with how each is
// answered: texts stay texts, numbers go out as JSON numbers.
namespace Records {

enum class Kind { Text, Integer, Real, Raw };
using Field = std::pair<const char *, Kind>;
using Fields = std::vector<Field>;

inline const Fields &pointCard()
{
    static const Fields fields{
        {"cardKey", Kind::Text}, {"name", Kind::Text}, {"memberId", Kind::Integer},
        {"member", Kind::Text}, {"eventId", Kind::Integer}, {"point", Kind::Integer},
        {"isUsed", Kind::Integer}, {"isDeleted", Kind::Integer}, {"merchantId", Kind::Integer},
        {"lastUpdatedTime", Kind::Integer}, {"lastUpdatedUserId", Kind::Integer},
        {"lastUpdatedUser", Kind::Text}, {"picture", Kind::Text}, {"detailPic", Kind::Text},
        {"startTime", Kind::Integer}, {"endTime", Kind::Integer}, {"storeName", Kind::Text},
        {"brief", Kind::Text}, {"detail", Kind::Text}, {"totalPoints", Kind::Integer},
        {"storeId", Kind::Integer}, {"enableStoreIds", Kind::Text}};
    return fields;
}

inline const Fields &pointCardLog()
{
    static const Fields fields{
        {"cardKey", Kind::Text}, {"name", Kind::Text}, {"memberId", Kind::Integer},
        {"member", Kind::Text}, {"eventId", Kind::Integer}, {"bPoint", Kind::Integer},
        {"aPoint", Kind::Integer}, {"actionType", Kind::Integer}, {"merchantId", Kind::Integer},
        {"updatedTime", Kind::Integer}, {"updatedUserId", Kind::Integer},
        {"updatedUser", Kind::Text}, {"storeId", Kind::Integer}};
    return fields;
}

inline const Fields &memberCoupons()
{
    static const Fields fields{
        {"couponKey", Kind::Text}, {"name", Kind::Text}, {"memberId", Kind::Integer},
        {"member", Kind::Text}, {"eventId", Kind::Integer}, {"leftCount", Kind::Integer},
        {"isDeleted", Kind::Integer}, {"merchantId", Kind::Integer},
        {"lastUpdatedTime", Kind::Integer}, {"picture", Kind::Text}, {"detailPic", Kind::Text},
        {"storeName", Kind::Text}, {"totalPoints", Kind::Integer}, {"detail", Kind::Text},
        {"brief", Kind::Text}, {"startTime", Kind::Integer}, {"endTime", Kind::Integer},
        {"storeId", Kind::Integer}, {"enableStoreIds", Kind::Text}, {"status", Kind::Integer}};
    return fields;
}

inline const Fields &memberCouponLogs()
{
    static const Fields fields{
        {"logId", Kind::Integer}, {"couponKey", Kind::Text}, {"name", Kind::Text},
        {"memberId", Kind::Integer}, {"member", Kind::Text}, {"eventId", Kind::Integer},
        {"leftCount", Kind::Integer}, {"isDeleted", Kind::Integer},
        {"merchantId", Kind::Integer}, {"updatedTime", Kind::Integer},
        {"storeId", Kind::Integer}};
    return fields;
}

inline const Fields &reservation()
{
    static const Fields fields{
        {"reservationId", Kind::Integer}, {"requestName", Kind::Text},
        {"requestTel", Kind::Text}, {"peopleCount", Kind::Integer},
        {"appointmentTime", Kind::Integer}, {"requestTime", Kind::Raw},
        {"requestMember", Kind::Integer}, {"storeKey", Kind::Text},
        {"merchantId", Kind::Integer}, {"gender", Kind::Text}, {"addInfo", Kind::Text},
        {"requestType", Kind::Raw}, {"isBox", Kind::Integer}, {"storeName", Kind::Text},
        {"storeAddress", Kind::Text}, {"storeTel", Kind::Text}, {"storeLat", Kind::Real},
        {"storeLon", Kind::Real}};
    return fields;
}

// The record's known fields in natural JSON types. An empty text in a number
// field is how the phone uploads an unset value: it stays unset.
inline Values::Json normalize(const Values::Json &record, const Fields &fields)
{
    Values::Json out = Values::Json::object();
    for (const auto &[name, kind] : fields) {
        const Values::Json &value = Values::member(record, name);
        if (value.is_null())
            continue;
        switch (kind) {
        case Kind::Text:
            out[name] = Values::textOf(value);
            break;
        case Kind::Integer:
            if (value.is_string() && value.get<std::string>().empty())
                break;
            out[name] = Values::integerOf(value);
            break;
        case Kind::Real:
            if (value.is_string() && value.get<std::string>().empty())
                break;
            out[name] = Values::realOf(value);
            break;
        case Kind::Raw:
            if (value.is_string() && value.get<std::string>().empty())
                break;
            out[name] = value;
            break;
        }
    }
    return out;
}

} // namespace Records
