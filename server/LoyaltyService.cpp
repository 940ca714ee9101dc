// The loyalty service: sales events, point cards, member coupons, their logs,
// reservations, id mappings and the version check.
#include "Crypto.h"
#include "Http.h"
#include "Records.h"

#include <algorithm>
#include <cmath>
#include <set>

namespace {

using Values::integerOf;
using Values::member;
using Values::realOf;
using Values::textOf;

constexpr const char *kBasePath = "/MerchantApps/service/thirdParty/";
// Store hours and rest days are kept in the stores' own time (Shanghai, UTC+8, no DST).
constexpr std::int64_t kStoreUtcOffsetMs = 8LL * 3600 * 1000;
// Bookings of a store within this distance of each other share the seats.
constexpr std::int64_t kSittingMs = 90LL * 60 * 1000;
constexpr double kShakeRadiusKm = 5.0;
constexpr std::size_t kShakePageSize = 3;

struct StoreInfo
{
    std::int64_t id = 0;
    std::int64_t merchantId = 0;
    double lat = 0;
    double lon = 0;
    Json doc;
    bool reservable = false;
    std::int64_t openMinute = 0;
    std::int64_t closeMinute = 0;
    std::string restWeekdays;
    std::int64_t seats = 0;
};

class Loyalty
{
public:
    explicit Loyalty(ServiceContext &context) : m_ctx(context) {}

    void handle(const httplib::Request &req, httplib::Response &res);
    void checkVersion(const httplib::Request &req, httplib::Response &res);
    void admin(const std::string &what, const httplib::Request &req, httplib::Response &res);

private:
    void requirePassKey(const std::string &passKey) const;
    void requireCompany(const std::string &key) const;

    std::map<std::int64_t, StoreInfo> stores();
    std::vector<Json> activeEvents(std::int64_t eventType);
    Json eventWithStore(const Json &event, const std::map<std::int64_t, StoreInfo> &all,
                        double lat, double lon, bool havePosition, double *distance);

    Json nearbyEvents(const Http::Params &params);
    Json shakeEvents(const Http::Params &params);
    Json reservedStoreIds();
    Json salesEventsByOuterStore(std::int64_t eventType, std::int64_t storeId);
    Json enableReserved(const Http::Params &params);
    std::string mapMemberId(const Http::Params &params);
    std::string mapStoreId(const Http::Params &params);

    bool knownMember(std::int64_t memberId);
    // The parsed docs of a member's rows, in the query's order.
    Json docsOf(const char *query, std::int64_t memberId);
    Json pointCardsOf(std::int64_t memberId);
    Json couponsOf(std::int64_t memberId);
    Json reservationsOf(std::int64_t memberId);
    Json syncPointCards(std::int64_t memberId, const Json &body);
    Json syncMemberCoupons(std::int64_t memberId, const Json &body);
    std::int64_t takePointCardLogs(const Json &body);
    std::int64_t takeCouponLogs(const Json &body);
    bool applyCouponLog(std::int64_t logId);
    std::int64_t doReservation(const Json &body);

    ServiceContext &m_ctx;
};

std::vector<Json> recordsOf(const Json &body)
{
    // The array body holds a list, or a single map for one record.
    if (body.is_array())
        return std::vector<Json>(body.begin(), body.end());
    if (body.is_object())
        return {body};
    throw HttpError{400, "expected a JSON array of records"};
}

Json parseDoc(const Json &text)
{
    Json doc = Json::parse(text.is_string() ? text.get<std::string>() : std::string("{}"), nullptr, false);
    return doc.is_object() ? doc : Json::object();
}

void Loyalty::requirePassKey(const std::string &passKey) const
{
    const auto time = Crypto::passKeyTime(passKey);
    if (!time)
        throw HttpError{403, "pass key refused"};
    const std::int64_t diff = Crypto::nowMs() - *time;
    if (diff > m_ctx.passKeyWindowMs || diff < -m_ctx.passKeyWindowMs)
        throw HttpError{403, "pass key expired"};
}

void Loyalty::requireCompany(const std::string &key) const
{
    if (key != m_ctx.companyKey)
        throw HttpError{403, "unknown company key"};
}

std::map<std::int64_t, StoreInfo> Loyalty::stores()
{
    auto guard = m_ctx.db.lock();
    std::vector<Database::Row> rows;
    m_ctx.db.exec("SELECT storeID, merchantId, lat, lon, doc, reservable, openMinute, closeMinute,"
                  " restWeekdays, seats FROM stores",
                  {}, &rows);
    std::map<std::int64_t, StoreInfo> out;
    for (const auto &row : rows) {
        StoreInfo s;
        s.id = integerOf(row[0]);
        s.merchantId = integerOf(row[1]);
        s.lat = realOf(row[2]);
        s.lon = realOf(row[3]);
        s.doc = parseDoc(row[4]);
        s.reservable = integerOf(row[5]) != 0;
        s.openMinute = integerOf(row[6]);
        s.closeMinute = integerOf(row[7]);
        s.restWeekdays = textOf(row[8]);
        s.seats = integerOf(row[9]);
        out.emplace(s.id, std::move(s));
    }
    return out;
}

std::vector<Json> Loyalty::activeEvents(std::int64_t eventType)
{
    auto guard = m_ctx.db.lock();
    std::vector<Database::Row> rows;
    const std::int64_t now = Crypto::nowMs();
    m_ctx.db.exec("SELECT doc FROM events WHERE eventType = ? AND startTime <= ? AND endTime >= ?"
                  " ORDER BY eventId",
                  {eventType, now, now}, &rows);
    std::vector<Json> out;
    for (const auto &row : rows)
        out.push_back(parseDoc(row[0]));
    return out;
}

// An event answered with the store it is shown for: its own store, or the
// nearest store of its list (the first one without a position).
Json Loyalty::eventWithStore(const Json &event, const std::map<std::int64_t, StoreInfo> &all,
                             double lat, double lon, bool havePosition, double *distance)
{
    Json out = event;
    std::vector<std::int64_t> candidates;
    const std::int64_t own = integerOf(member(event, "storeId"));
    if (own > 0)
        candidates.push_back(own);
    else
        candidates = Values::storeIdList(textOf(member(event, "enableStoreIds")));
    const StoreInfo *best = nullptr;
    double bestKm = 1e12;
    for (std::int64_t id : candidates) {
        const auto it = all.find(id);
        if (it == all.end())
            continue;
        const double km = havePosition ? Values::distanceKm(lat, lon, it->second.lat, it->second.lon) : 0.0;
        if (!best || km < bestKm) {
            best = &it->second;
            bestKm = km;
        }
    }
    if (best) {
        out["storeName"] = member(best->doc, "storeName");
        out["address"] = member(best->doc, "address");
        out["tel"] = member(best->doc, "tel");
        out["lat"] = best->lat;
        out["lon"] = best->lon;
    }
    if (distance)
        *distance = best ? bestKm : 1e12;
    return out;
}

Json Loyalty::nearbyEvents(const Http::Params &params)
{
    const double lat = params.requireReal("lat");
    const double lon = params.requireReal("lon");
    const std::int64_t type = params.requireInteger("eventType");
    const auto all = stores();
    std::vector<std::pair<double, Json>> found;
    for (const Json &event : activeEvents(type)) {
        double km = 0;
        Json shown = eventWithStore(event, all, lat, lon, true, &km);
        found.emplace_back(km, std::move(shown));
    }
    std::stable_sort(found.begin(), found.end(),
                     [](const auto &a, const auto &b) { return a.first < b.first; });
    std::vector<Json> ordered;
    for (auto &item : found)
        ordered.push_back(std::move(item.second));
    return Json(Http::slice(ordered, Http::pageOf(params)));
}

// Each shake shows the next few events within reach, nearest first, and
// starts over when all have been shown.
Json Loyalty::shakeEvents(const Http::Params &params)
{
    const double lat = params.requireReal("lat");
    const double lon = params.requireReal("lon");
    const std::int64_t type = params.requireInteger("eventType");
    const std::int64_t shakeCount = std::max<std::int64_t>(0, params.integerOr("shakeCount", 0));
    const auto all = stores();
    std::vector<std::pair<double, Json>> near;
    for (const Json &event : activeEvents(type)) {
        double km = 0;
        Json shown = eventWithStore(event, all, lat, lon, true, &km);
        if (km <= kShakeRadiusKm)
            near.emplace_back(km, std::move(shown));
    }
    std::stable_sort(near.begin(), near.end(),
                     [](const auto &a, const auto &b) { return a.first < b.first; });
    Json out = Json::array();
    if (near.empty())
        return out;
    const std::size_t pages = (near.size() + kShakePageSize - 1) / kShakePageSize;
    const std::size_t page = static_cast<std::size_t>(shakeCount) % pages;
    for (std::size_t i = page * kShakePageSize; i < near.size() && i < (page + 1) * kShakePageSize; ++i)
        out.push_back(near[i].second);
    return out;
}

Json Loyalty::reservedStoreIds()
{
    Json out = Json::array();
    for (const auto &[id, store] : stores())
        if (store.reservable)
            out.push_back(id);
    return out;
}

Json Loyalty::salesEventsByOuterStore(std::int64_t eventType, std::int64_t storeId)
{
    const auto all = stores();
    const auto it = all.find(storeId);
    Json out = Json::array();
    if (it == all.end())
        return out;
    for (const Json &event : activeEvents(eventType)) {
        const std::int64_t own = integerOf(member(event, "storeId"));
        const auto list = Values::storeIdList(textOf(member(event, "enableStoreIds")));
        const bool here = own > 0 ? own == storeId
                                  : std::find(list.begin(), list.end(), storeId) != list.end();
        if (!here)
            continue;
        Json shown = eventWithStore(event, all, it->second.lat, it->second.lon, true, nullptr);
        out.push_back(std::move(shown));
    }
    return out;
}

Json Loyalty::enableReserved(const Http::Params &params)
{
    const std::int64_t storeId = params.requireInteger("outerStoreId");
    const auto all = stores();
    const auto it = all.find(storeId);
    // An empty object tells the phone the store takes no reservations.
    if (it == all.end() || !it->second.reservable)
        return Json::object();
    const StoreInfo &s = it->second;
    return Json{{"reservationId", 0},
                {"storeKey", std::to_string(s.id)},
                {"merchantId", s.merchantId},
                {"requestType", 1},
                {"isBox", 0},
                {"peopleCount", 0},
                {"storeName", member(s.doc, "storeName")},
                {"storeAddress", member(s.doc, "address")},
                {"storeTel", member(s.doc, "tel")},
                {"storeLat", s.lat},
                {"storeLon", s.lon}};
}

std::string Loyalty::mapMemberId(const Http::Params &params)
{
    const std::string outer = params.requireText("outerMemberId");
    if (Values::integerOf(outer) <= 0)
        throw HttpError{400, "outerMemberId is not a member id"};
    const std::string account = params.text("account").value_or("");
    const std::string phone = params.text("phone").value_or("");
    auto guard = m_ctx.db.lock();
    std::vector<Database::Row> rows;
    const std::string canonical = std::to_string(Values::integerOf(outer));
    m_ctx.db.exec("SELECT memberId FROM loyalty_members WHERE outerMemberId = ?", {canonical}, &rows);
    if (!rows.empty()) {
        // Keep the account and phone current; empty values do not erase known ones.
        if (!account.empty())
            m_ctx.db.exec("UPDATE loyalty_members SET account = ? WHERE outerMemberId = ?", {account, canonical});
        if (!phone.empty())
            m_ctx.db.exec("UPDATE loyalty_members SET phone = ? WHERE outerMemberId = ?", {phone, canonical});
        return std::to_string(integerOf(rows[0][0]));
    }
    if (!m_ctx.db.exec("INSERT INTO loyalty_members (outerMemberId, account, phone) VALUES (?, ?, ?)",
                       {canonical, account, phone}))
        throw HttpError{500, "cannot record the member"};
    return std::to_string(m_ctx.db.lastInsertId());
}

std::string Loyalty::mapStoreId(const Http::Params &params)
{
    params.requireText("merchantId");
    const std::int64_t storeId = params.requireInteger("storeId");
    // The loyalty and catalogue services number the stores alike.
    const auto all = stores();
    if (all.find(storeId) == all.end())
        throw HttpError{404, "unknown store"};
    return "\"" + std::to_string(storeId) + "\"";
}

bool Loyalty::knownMember(std::int64_t memberId)
{
    auto guard = m_ctx.db.lock();
    std::vector<Database::Row> rows;
    m_ctx.db.exec("SELECT 1 FROM loyalty_members WHERE memberId = ?", {memberId}, &rows);
    return !rows.empty();
}

Json Loyalty::docsOf(const char *query, std::int64_t memberId)
{
    auto guard = m_ctx.db.lock();
    std::vector<Database::Row> rows;
    m_ctx.db.exec(query, {memberId}, &rows);
    Json out = Json::array();
    for (const auto &row : rows)
        out.push_back(parseDoc(row[0]));
    return out;
}

Json Loyalty::pointCardsOf(std::int64_t memberId)
{
    return docsOf("SELECT doc FROM point_cards WHERE memberId = ? ORDER BY lastUpdatedTime DESC, cardKey", memberId);
}

Json Loyalty::couponsOf(std::int64_t memberId)
{
    return docsOf("SELECT doc FROM member_coupons WHERE memberId = ? ORDER BY lastUpdatedTime DESC, couponKey",
                  memberId);
}

Json Loyalty::reservationsOf(std::int64_t memberId)
{
    return docsOf("SELECT doc FROM reservations WHERE requestMember = ?"
                  " ORDER BY appointmentTime DESC, reservationId DESC",
                  memberId);
}

// Cards merge by key: a card the service does not know is taken; a known one
// is replaced only by an upload with a later lastUpdatedTime. Records of other
// members, and keys held by another member, are left alone.
Json Loyalty::syncPointCards(std::int64_t memberId, const Json &body)
{
    const auto records = recordsOf(body);
    const bool ok = m_ctx.db.transaction([&] {
        for (const Json &raw : records) {
            if (!raw.is_object())
                continue;
            Json card = Records::normalize(raw, Records::pointCard());
            const std::string key = textOf(member(card, "cardKey"));
            if (key.empty() || integerOf(member(card, "memberId")) != memberId)
                continue;
            const std::int64_t updated = integerOf(member(card, "lastUpdatedTime"));
            std::vector<Database::Row> rows;
            if (!m_ctx.db.exec("SELECT memberId, lastUpdatedTime FROM point_cards WHERE cardKey = ?", {key}, &rows))
                return false;
            if (rows.empty()) {
                if (!m_ctx.db.exec("INSERT INTO point_cards (cardKey, memberId, lastUpdatedTime, doc)"
                                   " VALUES (?, ?, ?, ?)",
                                   {key, memberId, updated, card.dump()}))
                    return false;
            } else if (integerOf(rows[0][0]) == memberId && updated > integerOf(rows[0][1])) {
                if (!m_ctx.db.exec("UPDATE point_cards SET lastUpdatedTime = ?, doc = ? WHERE cardKey = ?",
                                   {updated, card.dump(), key}))
                    return false;
            }
        }
        return true;
    });
    if (!ok)
        throw HttpError{500, "cannot store the cards"};
    return pointCardsOf(memberId);
}

// Coupons merge by key like cards, but the uses left and the state belong to
// the service: they come from the event when a coupon is first seen and
// change only through the uploaded use logs.
Json Loyalty::syncMemberCoupons(std::int64_t memberId, const Json &body)
{
    const auto records = recordsOf(body);
    std::vector<std::string> newKeys;
    const bool ok = m_ctx.db.transaction([&] {
        for (const Json &raw : records) {
            if (!raw.is_object())
                continue;
            Json coupon = Records::normalize(raw, Records::memberCoupons());
            const std::string key = textOf(member(coupon, "couponKey"));
            if (key.empty() || integerOf(member(coupon, "memberId")) != memberId)
                continue;
            const std::int64_t updated = integerOf(member(coupon, "lastUpdatedTime"));
            const std::int64_t eventId = integerOf(member(coupon, "eventId"));
            std::vector<Database::Row> rows;
            if (!m_ctx.db.exec("SELECT memberId, lastUpdatedTime, doc FROM member_coupons WHERE couponKey = ?",
                               {key}, &rows))
                return false;
            if (rows.empty()) {
                std::vector<Database::Row> event;
                m_ctx.db.exec("SELECT couponUseLimit FROM events WHERE eventId = ?", {eventId}, &event);
                const std::int64_t limit = event.empty() ? integerOf(member(coupon, "leftCount"))
                                                         : integerOf(event[0][0]);
                coupon["leftCount"] = std::max<std::int64_t>(0, limit);
                coupon["status"] = limit > 0 ? 0 : 1;
                if (!m_ctx.db.exec("INSERT INTO member_coupons (couponKey, memberId, eventId, lastUpdatedTime, doc)"
                                   " VALUES (?, ?, ?, ?, ?)",
                                   {key, memberId, eventId, updated, coupon.dump()}))
                    return false;
                newKeys.push_back(key);
            } else if (integerOf(rows[0][0]) == memberId && updated > integerOf(rows[0][1])) {
                const Json held = parseDoc(rows[0][2]);
                coupon["leftCount"] = member(held, "leftCount");
                coupon["status"] = member(held, "status");
                if (!m_ctx.db.exec("UPDATE member_coupons SET lastUpdatedTime = ?, doc = ? WHERE couponKey = ?",
                                   {updated, coupon.dump(), key}))
                    return false;
            }
        }
        // Uses reported before their coupon arrived count now.
        for (const std::string &key : newKeys) {
            std::vector<Database::Row> pending;
            m_ctx.db.exec("SELECT id FROM member_coupon_logs WHERE couponKey = ? AND applied = 0 ORDER BY updatedTime, id",
                          {key}, &pending);
            for (const auto &row : pending)
                applyCouponLog(integerOf(row[0]));
        }
        return true;
    });
    if (!ok)
        throw HttpError{500, "cannot store the coupons"};
    return couponsOf(memberId);
}

// Logs are taken once: a log sent again (its acknowledgement was lost) is
// recognised by its content and counted without being stored twice.
std::int64_t Loyalty::takePointCardLogs(const Json &body)
{
    const auto records = recordsOf(body);
    std::int64_t taken = 0;
    const std::int64_t now = Crypto::nowMs();
    const bool ok = m_ctx.db.transaction([&] {
        for (const Json &raw : records) {
            if (!raw.is_object())
                continue;
            const Json log = Records::normalize(raw, Records::pointCardLog());
            const std::string key = textOf(member(log, "cardKey"));
            const std::int64_t memberId = integerOf(member(log, "memberId"));
            if (key.empty() || memberId <= 0)
                continue;
            if (!m_ctx.db.exec("INSERT OR IGNORE INTO point_card_logs (cardKey, memberId, updatedTime,"
                               " actionType, bPoint, aPoint, storeId, doc, receivedAt)"
                               " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)",
                               {key, memberId, integerOf(member(log, "updatedTime")),
                                integerOf(member(log, "actionType")), integerOf(member(log, "bPoint")),
                                integerOf(member(log, "aPoint")), integerOf(member(log, "storeId")),
                                log.dump(), now}))
                return false;
            ++taken;
        }
        return true;
    });
    if (!ok)
        throw HttpError{500, "cannot store the logs"};
    return taken;
}

std::int64_t Loyalty::takeCouponLogs(const Json &body)
{
    const auto records = recordsOf(body);
    std::int64_t taken = 0;
    const std::int64_t now = Crypto::nowMs();
    const bool ok = m_ctx.db.transaction([&] {
        for (const Json &raw : records) {
            if (!raw.is_object())
                continue;
            const Json log = Records::normalize(raw, Records::memberCouponLogs());
            const std::string key = textOf(member(log, "couponKey"));
            const std::int64_t memberId = integerOf(member(log, "memberId"));
            if (key.empty() || memberId <= 0)
                continue;
            if (!m_ctx.db.exec("INSERT OR IGNORE INTO member_coupon_logs (couponKey, memberId, updatedTime,"
                               " storeId, applied, doc, receivedAt) VALUES (?, ?, ?, ?, 0, ?, ?)",
                               {key, memberId, integerOf(member(log, "updatedTime")),
                                integerOf(member(log, "storeId")), log.dump(), now}))
                return false;
            if (m_ctx.db.changes() > 0)
                applyCouponLog(m_ctx.db.lastInsertId());
            ++taken;
        }
        return true;
    });
    if (!ok)
        throw HttpError{500, "cannot store the logs"};
    return taken;
}

// One use: the coupon loses a use when the log's member holds it, the store
// is one of its stores and uses are left; applied becomes 1 (counted),
// -1 (refused) or stays 0 (coupon not known yet).
bool Loyalty::applyCouponLog(std::int64_t logId)
{
    std::vector<Database::Row> logRows;
    m_ctx.db.exec("SELECT couponKey, memberId, storeId, updatedTime FROM member_coupon_logs WHERE id = ?",
                  {logId}, &logRows);
    if (logRows.empty())
        return false;
    const std::string key = textOf(logRows[0][0]);
    std::vector<Database::Row> rows;
    m_ctx.db.exec("SELECT memberId, doc, lastUpdatedTime FROM member_coupons WHERE couponKey = ?", {key}, &rows);
    if (rows.empty())
        return false;
    Json coupon = parseDoc(rows[0][1]);
    const auto stores = Values::storeIdList(textOf(member(coupon, "enableStoreIds")));
    const std::int64_t store = integerOf(logRows[0][2]);
    const std::int64_t left = integerOf(member(coupon, "leftCount"));
    const bool allowed = integerOf(rows[0][0]) == integerOf(logRows[0][1])
        && std::find(stores.begin(), stores.end(), store) != stores.end() && left > 0;
    if (!allowed) {
        m_ctx.db.exec("UPDATE member_coupon_logs SET applied = -1 WHERE id = ?", {logId});
        return false;
    }
    coupon["leftCount"] = left - 1;
    if (left - 1 == 0)
        coupon["status"] = 1;
    const std::int64_t updated = std::max(integerOf(rows[0][2]), integerOf(logRows[0][3]));
    coupon["lastUpdatedTime"] = updated;
    m_ctx.db.exec("UPDATE member_coupons SET doc = ?, lastUpdatedTime = ? WHERE couponKey = ?",
                  {coupon.dump(), updated, key});
    m_ctx.db.exec("UPDATE member_coupon_logs SET applied = 1 WHERE id = ?", {logId});
    return true;
}

// The answer is the new reservation's id, or a refusal: -1 the store takes no
// reservations (or the booking is incomplete), -2 the store is closed at that
// hour, -3 the time has passed, -4 the store rests that day, -5 no seats left.
std::int64_t Loyalty::doReservation(const Json &body)
{
    if (!body.is_object())
        throw HttpError{400, "expected one reservation"};
    Json r = Records::normalize(body, Records::reservation());
    if (!r.contains("appointmentTime") || !r.contains("storeKey") || !r.contains("requestMember"))
        throw HttpError{400, "reservation needs appointmentTime, storeKey and requestMember"};
    const std::int64_t storeId = Values::integerOf(textOf(r["storeKey"]));
    const std::int64_t memberId = integerOf(r["requestMember"]);
    const std::int64_t when = integerOf(r["appointmentTime"]);
    const std::int64_t people = integerOf(member(r, "peopleCount"));
    const auto all = stores();
    const auto it = all.find(storeId);
    if (it == all.end() || !it->second.reservable || people <= 0 || !knownMember(memberId)
        || textOf(member(r, "requestName")).empty() || textOf(member(r, "requestTel")).empty())
        return -1;
    const StoreInfo &s = it->second;
    const std::int64_t now = Crypto::nowMs();
    if (when <= now)
        return -3;
    const std::int64_t local = when + kStoreUtcOffsetMs;
    const std::int64_t day = local >= 0 ? local / 86400000 : (local - 86399999) / 86400000;
    const std::int64_t minute = (local - day * 86400000) / 60000;
    // 1970-01-01 was a Thursday; weekdays count from Monday = 1 to Sunday = 7.
    const std::int64_t weekday = ((day % 7) + 7 + 3) % 7 + 1;
    if (s.restWeekdays.find(std::to_string(weekday)) != std::string::npos)
        return -4;
    if (minute < s.openMinute || minute >= s.closeMinute)
        return -2;
    auto guard = m_ctx.db.lock();
    std::vector<Database::Row> rows;
    m_ctx.db.exec("SELECT COALESCE(SUM(peopleCount), 0) FROM reservations WHERE storeID = ?"
                  " AND appointmentTime > ? AND appointmentTime < ?",
                  {storeId, when - kSittingMs, when + kSittingMs}, &rows);
    const std::int64_t booked = rows.empty() ? 0 : integerOf(rows[0][0]);
    if (booked + people > s.seats)
        return -5;
    r["requestTime"] = now;
    r["merchantId"] = s.merchantId;
    r["storeName"] = member(s.doc, "storeName");
    r["storeAddress"] = member(s.doc, "address");
    r["storeTel"] = member(s.doc, "tel");
    r["storeLat"] = s.lat;
    r["storeLon"] = s.lon;
    r.erase("reservationId");
    if (!m_ctx.db.exec("INSERT INTO reservations (requestMember, storeID, appointmentTime, peopleCount, doc)"
                       " VALUES (?, ?, ?, ?, '{}')",
                       {memberId, storeId, when, people}))
        throw HttpError{500, "cannot store the reservation"};
    const std::int64_t id = m_ctx.db.lastInsertId();
    r["reservationId"] = id;
    m_ctx.db.exec("UPDATE reservations SET doc = ? WHERE reservationId = ?", {r.dump(), id});
    return id;
}

void Loyalty::handle(const httplib::Request &req, httplib::Response &res)
{
    const std::string rest = req.path.substr(std::string(kBasePath).size());
    const auto segments = Http::splitPath(rest);
    const std::string &method = segments[0];
    const std::vector<std::string> args(segments.begin() + 1, segments.end());
    // The pass key is checked first: without a valid one nothing is told,
    // not even whether the method exists.
    if (args.empty())
        throw HttpError{403, "pass key missing"};
    requirePassKey(args.back());
    const auto expect = [&](std::size_t count) {
        if (args.size() != count)
            throw HttpError{404, "unknown path for " + method};
    };
    const Http::Params params(req);

    if (method == "getNearbyStoreEventsByCompany2" || method == "shakeStoreEvents"
        || method == "reservedStoreIds" || method == "getPointCardsByCompany"
        || method == "getMemberCouponsByCompany" || method == "mapMemberId"
        || method == "mapStoreId" || method == "enableReserved" || method == "doReservation") {
        expect(2);
        requireCompany(args[0]);
        if (method == "getNearbyStoreEventsByCompany2")
            return Http::sendJson(res, nearbyEvents(params));
        if (method == "shakeStoreEvents")
            return Http::sendJson(res, shakeEvents(params));
        if (method == "reservedStoreIds")
            return Http::sendJson(res, reservedStoreIds());
        if (method == "getPointCardsByCompany")
            return Http::sendJson(res, pointCardsOf(params.requireInteger("memberId")));
        if (method == "getMemberCouponsByCompany")
            return Http::sendJson(res, couponsOf(params.requireInteger("memberId")));
        if (method == "mapMemberId")
            return Http::sendText(res, mapMemberId(params));
        if (method == "mapStoreId")
            return Http::sendText(res, mapStoreId(params));
        if (method == "enableReserved")
            return Http::sendJson(res, enableReserved(params));
        return Http::sendText(res, std::to_string(doReservation(Http::requireJsonBody(req))));
    }
    if (method == "syncPointCards" || method == "syncMemberCoupons") {
        expect(3);
        requireCompany(args[1]);
        const std::int64_t memberId = Values::integerOf(args[0]);
        if (memberId <= 0 || !knownMember(memberId))
            throw HttpError{404, "unknown member"};
        const Json body = Http::requireJsonBody(req);
        return Http::sendJson(res, method == "syncPointCards" ? syncPointCards(memberId, body)
                                                              : syncMemberCoupons(memberId, body));
    }
    if (method == "syncPointCardLogs" || method == "syncMemberCouponLogs") {
        expect(1);
        const Json body = Http::requireJsonBody(req);
        const std::int64_t taken = method == "syncPointCardLogs" ? takePointCardLogs(body) : takeCouponLogs(body);
        return Http::sendText(res, std::to_string(taken));
    }
    if (method == "salesEventsByOuterStore") {
        expect(4);
        requireCompany(args[1]);
        return Http::sendJson(res, salesEventsByOuterStore(Values::integerOf(args[0]),
                                                           Values::integerOf(args[2])));
    }
    if (method == "reservationHistory") {
        expect(3);
        requireCompany(args[0]);
        return Http::sendJson(res, reservationsOf(Values::integerOf(args[1])));
    }
    throw HttpError{404, "unknown method " + method};
}

void Loyalty::checkVersion(const httplib::Request &req, httplib::Response &res)
{
    const std::string bundle = req.matches[1];
    requirePassKey(req.matches[2]);
    auto guard = m_ctx.db.lock();
    std::vector<Database::Row> rows;
    m_ctx.db.exec("SELECT iosBuild, iosUrl FROM versions WHERE bundleId = ?", {bundle}, &rows);
    if (rows.empty())
        throw HttpError{404, "unknown application"};
    Http::sendJson(res, Json{{"iosBuild", rows[0][0]}, {"iosUrl", rows[0][1]}});
}

void Loyalty::admin(const std::string &what, const httplib::Request &req, httplib::Response &res)
{
    const Http::Params params(req);
    const std::int64_t memberId = params.requireInteger("memberId");
    if (what == "pointCards")
        return Http::sendJson(res, pointCardsOf(memberId));
    if (what == "memberCoupons")
        return Http::sendJson(res, couponsOf(memberId));
    if (what == "reservations")
        return Http::sendJson(res, reservationsOf(memberId));
    const bool cards = what == "pointCardLogs";
    if (!cards && what != "memberCouponLogs")
        throw HttpError{404, "unknown admin view"};
    auto guard = m_ctx.db.lock();
    std::vector<Database::Row> rows;
    m_ctx.db.exec(cards ? "SELECT doc, receivedAt, 1 FROM point_card_logs WHERE memberId = ? ORDER BY id"
                        : "SELECT doc, receivedAt, applied FROM member_coupon_logs WHERE memberId = ? ORDER BY id",
                  {memberId}, &rows);
    Json out = Json::array();
    for (const auto &row : rows) {
        Json log = parseDoc(row[0]);
        log["receivedAt"] = row[1];
        if (!cards)
            log["applied"] = row[2];
        out.push_back(std::move(log));
    }
    Http::sendJson(res, out);
}

template <typename F>
httplib::Server::Handler guarded(F f)
{
    return [f](const httplib::Request &req, httplib::Response &res) {
        try {
            f(req, res);
        } catch (const HttpError &error) {
            Http::sendError(res, error);
        } catch (const std::exception &error) {
            Http::sendError(res, {400, std::string("bad request: ") + error.what()});
        }
    };
}

} // namespace

void installLoyaltyService(httplib::Server &server, ServiceContext &context)
{
    auto loyalty = std::make_shared<Loyalty>(context);
    server.Post(R"(/MerchantApps/service/thirdParty/[^/]+(/.*)?)",
                guarded([loyalty](const httplib::Request &req, httplib::Response &res) { loyalty->handle(req, res); }));
    server.Get(R"(/appsmgr/vxm/checkVersion/([^/]+)/([^/]*))",
               guarded([loyalty](const httplib::Request &req, httplib::Response &res) { loyalty->checkVersion(req, res); }));
    server.Get(R"(/admin/([A-Za-z]+))",
               guarded([loyalty](const httplib::Request &req, httplib::Response &res) {
                   loyalty->admin(req.matches[1], req, res);
               }));
    server.set_mount_point("/merchantImgs/salesEventImgs", context.demoDir + "/salesEventImgs");
}
