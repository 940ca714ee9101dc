// Fills an empty database from the JSON files of the demo folder.
#include "Crypto.h"
#include "Http.h"
#include "Records.h"

#include <algorithm>
#include <fstream>
#include <sstream>

namespace {

using Values::integerOf;
using Values::member;
using Values::realOf;
using Values::textOf;

constexpr int kSeedIterations = 60000;

bool readJson(const std::string &path, Json &out, std::string &error)
{
    std::ifstream in(path);
    if (!in) {
        error = "cannot read " + path;
        return false;
    }
    std::stringstream text;
    text << in.rdbuf();
    out = Json::parse(text.str(), nullptr, false);
    if (out.is_discarded()) {
        error = path + " is not valid JSON";
        return false;
    }
    return true;
}

// The point cards a demo member already holds, made from their events as the
// phone makes them: the member is given a loyalty id, as at a first login.
bool seedHeldCards(Database &db, const Json &members, const Json &events, const Json &stores)
{
    for (const Json &m : members) {
        const Json &cards = member(m, "pointCards");
        if (!cards.is_array() || cards.empty())
            continue;
        const std::string account = textOf(member(m, "account"));
        std::vector<Database::Row> rows;
        if (!db.exec("SELECT memberID FROM members WHERE account = ?", {account}, &rows) || rows.empty())
            return false;
        if (!db.exec("INSERT INTO loyalty_members (outerMemberId, account, phone) VALUES (?, ?, ?)",
                     {std::to_string(integerOf(rows[0][0])), account, textOf(member(m, "tel"))}))
            return false;
        const std::int64_t loyaltyId = db.lastInsertId();
        for (const Json &held : cards) {
            const std::int64_t eventId = integerOf(member(held, "eventId"));
            const auto event = std::find_if(events.begin(), events.end(),
                                            [&](const Json &e) { return integerOf(member(e, "eventId")) == eventId; });
            if (event == events.end())
                return false;
            Json card = Json::object();
            for (const char *name : {"eventId", "name", "picture", "detailPic", "startTime", "endTime", "brief",
                                     "detail", "totalPoints", "merchantId", "storeId", "enableStoreIds"})
                card[name] = member(*event, name);
            const std::int64_t storeId = integerOf(member(*event, "storeId"));
            for (const Json &store : stores)
                if (integerOf(member(store, "storeID")) == storeId)
                    card["storeName"] = member(store, "storeName");
            card["cardKey"] = member(held, "cardKey");
            card["point"] = member(held, "point");
            card["lastUpdatedTime"] = member(held, "lastUpdatedTime");
            card["memberId"] = loyaltyId;
            card["member"] = account;
            card["isUsed"] = 0;
            card["isDeleted"] = 0;
            card = Records::normalize(card, Records::pointCard());
            if (!db.exec("INSERT INTO point_cards (cardKey, memberId, lastUpdatedTime, doc) VALUES (?, ?, ?, ?)",
                         {textOf(member(card, "cardKey")), loyaltyId, integerOf(member(card, "lastUpdatedTime")),
                          card.dump()}))
                return false;
        }
    }
    return true;
}

} // namespace

bool seedDemoData(ServiceContext &ctx, std::string &error)
{
    Json group, categories, stores, banners, news, events, comments;
    const std::string dir = ctx.demoDir + "/";
    if (!readJson(dir + "group.json", group, error) || !readJson(dir + "categories.json", categories, error)
        || !readJson(dir + "stores.json", stores, error) || !readJson(dir + "banners.json", banners, error)
        || !readJson(dir + "news.json", news, error) || !readJson(dir + "events.json", events, error)
        || !readJson(dir + "comments.json", comments, error))
        return false;

    Database &db = ctx.db;
    const bool ok = db.transaction([&] {
        if (!db.exec("INSERT INTO group_info (companyKey, skey, name) VALUES (?, ?, ?)",
                     {textOf(member(group, "companyKey")), textOf(member(group, "skey")), textOf(member(group, "name"))}))
            return false;
        for (const Json &m : member(group, "merchants"))
            if (!db.exec("INSERT INTO merchants (merchantId, name) VALUES (?, ?)",
                         {integerOf(member(m, "merchantId")), textOf(member(m, "name"))}))
                return false;
        for (const Json &v : member(group, "versions"))
            if (!db.exec("INSERT INTO versions (bundleId, iosBuild, iosUrl) VALUES (?, ?, ?)",
                         {textOf(member(v, "bundleId")), textOf(member(v, "iosBuild")), textOf(member(v, "iosUrl"))}))
                return false;
        for (const Json &m : member(group, "members")) {
            const std::string salt = Crypto::randomHex(16);
            if (!db.exec("INSERT INTO members (account, email, name, tel, salt, hash, iterations, picUrl)"
                         " VALUES (?, ?, ?, ?, ?, ?, ?, ?)",
                         {textOf(member(m, "account")), textOf(member(m, "email")), textOf(member(m, "name")), textOf(member(m, "tel")), salt,
                          Crypto::pbkdf2Hex(textOf(member(m, "password")), salt, kSeedIterations),
                          std::int64_t(kSeedIterations), textOf(member(m, "picUrl"))}))
                return false;
        }
        std::int64_t position = 0;
        for (const Json &c : categories) {
            if (!db.exec("INSERT INTO categories (mainCategoryID, name, position) VALUES (?, ?, ?)",
                         {integerOf(member(c, "mainCategoryID")), textOf(member(c, "mainCategoryName")), position++}))
                return false;
            std::int64_t subPosition = 0;
            for (const Json &s : member(c, "subCategories"))
                if (!db.exec("INSERT INTO sub_categories (subCategoryID, mainCategoryID, name, position)"
                             " VALUES (?, ?, ?, ?)",
                             {integerOf(member(s, "subCategoryID")), integerOf(member(c, "mainCategoryID")),
                              textOf(member(s, "subCategoryName")), subPosition++}))
                    return false;
        }
        static const char *const storeFields[] = {"storeID", "storeName", "rate", "discount", "cost",
                                                  "storePicUrl", "lat", "lon", "address", "tel", "intro"};
        for (const Json &s : stores) {
            Json doc = Json::object();
            for (const char *name : storeFields)
                if (s.contains(name))
                    doc[name] = s[name];
            const Json &r = member(s, "reservation");
            if (!db.exec("INSERT INTO stores (storeID, merchantId, mainCategoryID, subCategoryID, isVip, lat, lon,"
                         " searchText, doc, reservable, openMinute, closeMinute, restWeekdays, seats)"
                         " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
                         {integerOf(member(s, "storeID")), integerOf(member(s, "merchantId")), integerOf(member(s, "mainCategoryID")),
                          integerOf(member(s, "subCategoryID")), integerOf(member(s, "isVip")), realOf(member(s, "lat")),
                          realOf(member(s, "lon")), textOf(member(s, "storeName")), doc.dump(), std::int64_t(r.is_object() ? 1 : 0),
                          integerOf(member(r, "openMinute")), integerOf(member(r, "closeMinute")),
                          textOf(member(r, "restWeekdays")), integerOf(member(r, "seats"))}))
                return false;
        }
        std::int64_t id = 0;
        for (const Json &b : banners)
            if (!db.exec("INSERT INTO banners (id, doc) VALUES (?, ?)", {++id, b.dump()}))
                return false;
        id = 0;
        for (const Json &n : news)
            if (!db.exec("INSERT INTO news (id, startTime, doc) VALUES (?, ?, ?)",
                         {++id, integerOf(member(n, "startTime")), n.dump()}))
                return false;
        for (const Json &e : events)
            if (!db.exec("INSERT INTO events (eventId, eventType, merchantId, storeId, enableStoreIds, startTime,"
                         " endTime, couponUseLimit, doc) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)",
                         {integerOf(member(e, "eventId")), integerOf(member(e, "eventType")), integerOf(member(e, "merchantId")),
                          integerOf(member(e, "storeId")), textOf(member(e, "enableStoreIds")),
                          integerOf(member(e, "startTime")), integerOf(member(e, "endTime")),
                          integerOf(member(e, "couponUseLimit")), e.dump()}))
                return false;
        for (const Json &c : comments)
            if (!db.exec("INSERT INTO comments (memberID, storeID, comment, serviceRate, qualityRate,"
                         " enviromentRate, cpRate, recordTime) SELECT memberID, ?, ?, ?, ?, ?, ?, ?"
                         " FROM members WHERE account = ?",
                         {integerOf(member(c, "storeID")), textOf(member(c, "comment")), integerOf(member(c, "serviceRate")),
                          integerOf(member(c, "qualityRate")), integerOf(member(c, "enviromentRate")), integerOf(member(c, "cpRate")),
                          integerOf(member(c, "recordTime")), textOf(member(c, "account"))}))
                return false;
        return seedHeldCards(db, member(group, "members"), events, stores);
    });
    if (!ok)
        error = "seeding failed: " + db.lastError();
    return ok;
}
