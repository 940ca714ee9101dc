// The catalogue service: stores, categories, banners, news, comments,
// favourites, member registration and login.
#include "Crypto.h"
#include "Http.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace {

using Values::integerOf;
using Values::member;
using Values::realOf;
using Values::textOf;

constexpr int kPasswordIterations = 60000;

Json parseDoc(const Json &text)
{
    Json doc = Json::parse(text.is_string() ? text.get<std::string>() : std::string("{}"), nullptr, false);
    return doc.is_object() ? doc : Json::object();
}

std::string lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// Picture and page names in the seed are relative: the answers give full
// addresses on the port the client used.
std::string absolute(const std::string &base, const std::string &path)
{
    if (path.empty() || path.rfind("http://", 0) == 0 || path.rfind("https://", 0) == 0)
        return path;
    return base + path;
}

struct StoreRow
{
    std::int64_t id;
    double lat;
    double lon;
    Json doc;
};

class Catalogue
{
public:
    explicit Catalogue(ServiceContext &context) : m_ctx(context) {}
    void handle(const std::string &method, const httplib::Request &req, httplib::Response &res);

private:
    std::vector<StoreRow> storesWhere(const std::string &where, const std::vector<Database::Param> &params);
    Json storeAnswer(const StoreRow &row, const std::string &base, bool withDistance, double lat, double lon);
    Json storeList(std::vector<StoreRow> rows, const Http::Params &params, const std::string &base,
                   bool byDistance, double lat, double lon);
    std::pair<std::string, std::vector<Database::Param>> categoryFilter(const Http::Params &params);

    Json categories(const Http::Params &params);
    Json login(const Http::Params &params);
    Json registerMember(const Http::Params &params);
    Json memberComment(const Http::Params &params);
    std::string editComment(const Http::Params &params);
    Json commentList(const Http::Params &params);
    std::int64_t requireMember(const Http::Params &params);
    void requireStore(std::int64_t storeId);

    ServiceContext &m_ctx;
};

std::vector<StoreRow> Catalogue::storesWhere(const std::string &where, const std::vector<Database::Param> &params)
{
    auto guard = m_ctx.db.lock();
    std::vector<Database::Row> rows;
    m_ctx.db.exec("SELECT storeID, lat, lon, doc FROM stores" + (where.empty() ? "" : " WHERE " + where)
                      + " ORDER BY storeID",
                  params, &rows);
    std::vector<StoreRow> out;
    for (const auto &row : rows)
        out.push_back({integerOf(row[0]), realOf(row[1]), realOf(row[2]), parseDoc(row[3])});
    return out;
}

Json Catalogue::storeAnswer(const StoreRow &row, const std::string &base, bool withDistance, double lat, double lon)
{
    Json store = row.doc;
    store["storePicUrl"] = absolute(base, textOf(member(store, "storePicUrl")));
    if (withDistance)
        store["distance"] = std::round(Values::distanceKm(lat, lon, row.lat, row.lon) * 100.0) / 100.0;
    return store;
}

Json Catalogue::storeList(std::vector<StoreRow> rows, const Http::Params &params, const std::string &base,
                          bool byDistance, double lat, double lon)
{
    if (byDistance)
        std::stable_sort(rows.begin(), rows.end(), [&](const StoreRow &a, const StoreRow &b) {
            return Values::distanceKm(lat, lon, a.lat, a.lon) < Values::distanceKm(lat, lon, b.lat, b.lon);
        });
    Json out = Json::array();
    for (const StoreRow &row : Http::slice(rows, Http::pageOf(params)))
        out.push_back(storeAnswer(row, base, byDistance, lat, lon));
    return out;
}

// Category 0 and sub category 0 stand for "all".
std::pair<std::string, std::vector<Database::Param>> Catalogue::categoryFilter(const Http::Params &params)
{
    const std::int64_t mainId = params.requireInteger("mainCategoryID");
    const std::int64_t subId = params.integerOr("subCategoryID", 0);
    std::string where = "1 = 1";
    std::vector<Database::Param> values;
    if (mainId > 0) {
        where += " AND mainCategoryID = ?";
        values.emplace_back(mainId);
    }
    if (subId > 0) {
        where += " AND subCategoryID = ?";
        values.emplace_back(subId);
    }
    return {where, values};
}

Json Catalogue::categories(const Http::Params &params)
{
    // isVIP 1 lists the brand store categories only, with their counts.
    const bool vip = params.integerOr("isVIP", 0) == 1;
    auto guard = m_ctx.db.lock();
    std::vector<Database::Row> mains;
    m_ctx.db.exec("SELECT c.mainCategoryID, c.name, (SELECT COUNT(*) FROM stores s WHERE"
                  " s.mainCategoryID = c.mainCategoryID AND (? = 0 OR s.isVip = 1))"
                  " FROM categories c ORDER BY c.position, c.mainCategoryID",
                  {std::int64_t(vip ? 1 : 0)}, &mains);
    Json out = Json::array();
    for (const auto &row : mains) {
        const std::int64_t count = integerOf(row[2]);
        if (vip && count == 0)
            continue;
        std::vector<Database::Row> subs;
        m_ctx.db.exec("SELECT subCategoryID, name FROM sub_categories WHERE mainCategoryID = ?"
                      " ORDER BY position, subCategoryID",
                      {integerOf(row[0])}, &subs);
        Json subList = Json::array();
        for (const auto &sub : subs)
            subList.push_back({{"subCategoryID", sub[0]}, {"subCategoryName", sub[1]}});
        out.push_back({{"mainCategoryID", row[0]}, {"mainCategoryName", row[1]}, {"storeCount", count},
                       {"subCategories", subList}});
    }
    return out;
}

Json Catalogue::login(const Http::Params &params)
{
    const std::string account = params.requireText("account");
    const std::string password = params.requireText("password");
    auto guard = m_ctx.db.lock();
    std::vector<Database::Row> rows;
    m_ctx.db.exec("SELECT memberID, salt, hash, iterations, tel FROM members WHERE account = ?", {account}, &rows);
    if (rows.empty()
        || !Crypto::constantTimeEquals(
            Crypto::pbkdf2Hex(password, textOf(rows[0][1]), static_cast<int>(integerOf(rows[0][3]))),
            textOf(rows[0][2])))
        return Json{{"memberID", 0}, {"msg", "Wrong account or password."}, {"phone", nullptr}};
    const std::string tel = textOf(rows[0][4]);
    return Json{{"memberID", std::to_string(integerOf(rows[0][0]))},
                {"msg", "Welcome back, " + account + "!"},
                {"phone", tel.empty() ? Json(nullptr) : Json(tel)}};
}

// Status 0 registered; 1 the nickname is taken; 2 a value is missing or malformed.
Json Catalogue::registerMember(const Http::Params &params)
{
    const std::string email = params.requireText("email");
    const std::string name = params.text("name").value_or("");
    const std::string nickname = params.requireText("nickname");
    const std::string password = params.requireText("password");
    const std::string tel = params.requireText("tel");
    const auto at = email.find('@');
    if (nickname.empty() || password.size() < 5 || password.size() > 12 || tel.empty()
        || at == std::string::npos || at == 0 || email.find('.', at) == std::string::npos)
        return Json{{"status", 2}, {"msg", "Please check the nickname, password, e-mail and mobile number."}};
    const std::string salt = Crypto::randomHex(16);
    const std::string hash = Crypto::pbkdf2Hex(password, salt, kPasswordIterations);
    if (salt.empty() || hash.empty())
        throw HttpError{500, "cannot hash the password"};
    auto guard = m_ctx.db.lock();
    std::vector<Database::Row> rows;
    m_ctx.db.exec("SELECT 1 FROM members WHERE account = ?", {nickname}, &rows);
    if (!rows.empty())
        return Json{{"status", 1}, {"msg", "The nickname " + nickname + " is already taken."}};
    if (!m_ctx.db.exec("INSERT INTO members (account, email, name, tel, salt, hash, iterations)"
                       " VALUES (?, ?, ?, ?, ?, ?, ?)",
                       {nickname, email, name.empty() ? nickname : name, tel, salt, hash,
                        std::int64_t(kPasswordIterations)}))
        return Json{{"status", 1}, {"msg", "The nickname " + nickname + " is already taken."}};
    return Json{{"status", 0}, {"msg", "Welcome, " + nickname + "! You can log in now."}};
}

std::int64_t Catalogue::requireMember(const Http::Params &params)
{
    const std::int64_t memberId = params.requireInteger("memberID");
    auto guard = m_ctx.db.lock();
    std::vector<Database::Row> rows;
    m_ctx.db.exec("SELECT 1 FROM members WHERE memberID = ?", {memberId}, &rows);
    if (rows.empty())
        throw HttpError{404, "unknown member"};
    return memberId;
}

void Catalogue::requireStore(std::int64_t storeId)
{
    auto guard = m_ctx.db.lock();
    std::vector<Database::Row> rows;
    m_ctx.db.exec("SELECT 1 FROM stores WHERE storeID = ?", {storeId}, &rows);
    if (rows.empty())
        throw HttpError{404, "unknown store"};
}

Json commentJson(const Database::Row &row)
{
    return Json{{"memberNickname", row[0]}, {"memberPicUrl", row[1]}, {"comment", row[2]},
                {"serviceRate", row[3]},    {"qualityRate", row[4]},  {"enviromentRate", row[5]},
                {"cpRate", row[6]},         {"recordTime", row[7]},   {"memberID", row[8]},
                {"storeID", row[9]}};
}

constexpr const char *kCommentColumns =
    "SELECT m.account, m.picUrl, c.comment, c.serviceRate, c.qualityRate, c.enviromentRate, c.cpRate,"
    " c.recordTime, c.memberID, c.storeID FROM comments c JOIN members m ON m.memberID = c.memberID";

Json Catalogue::memberComment(const Http::Params &params)
{
    const std::int64_t memberId = params.requireInteger("memberID");
    const std::int64_t storeId = params.requireInteger("storeID");
    auto guard = m_ctx.db.lock();
    std::vector<Database::Row> rows;
    m_ctx.db.exec(std::string(kCommentColumns) + " WHERE c.memberID = ? AND c.storeID = ?", {memberId, storeId},
                  &rows);
    return rows.empty() ? Json::object() : commentJson(rows[0]);
}

// "1" saved, "0" refused (an empty text or a rating outside 1 to 5). A member
// has one comment per store: writing again replaces it.
std::string Catalogue::editComment(const Http::Params &params)
{
    const std::int64_t memberId = requireMember(params);
    const std::int64_t storeId = params.requireInteger("storeID");
    requireStore(storeId);
    const std::string text = params.requireText("comment");
    std::int64_t rates[4];
    const char *names[4] = {"serviceRate", "qualityRate", "enviromentRate", "cpRate"};
    for (int i = 0; i < 4; ++i) {
        rates[i] = params.integerOr(names[i], 3);
        if (rates[i] < 1 || rates[i] > 5)
            return "0";
    }
    if (text.empty())
        return "0";
    auto guard = m_ctx.db.lock();
    const bool ok = m_ctx.db.exec(
        "INSERT INTO comments (memberID, storeID, comment, serviceRate, qualityRate, enviromentRate, cpRate,"
        " recordTime) VALUES (?, ?, ?, ?, ?, ?, ?, ?) ON CONFLICT (memberID, storeID) DO UPDATE SET"
        " comment = excluded.comment, serviceRate = excluded.serviceRate, qualityRate = excluded.qualityRate,"
        " enviromentRate = excluded.enviromentRate, cpRate = excluded.cpRate, recordTime = excluded.recordTime",
        {memberId, storeId, text, rates[0], rates[1], rates[2], rates[3], Crypto::nowMs()});
    return ok ? "1" : "0";
}

Json Catalogue::commentList(const Http::Params &params)
{
    const std::int64_t storeId = params.requireInteger("storeID");
    auto guard = m_ctx.db.lock();
    std::vector<Database::Row> rows;
    m_ctx.db.exec(std::string(kCommentColumns) + " WHERE c.storeID = ? ORDER BY c.recordTime DESC, c.id DESC",
                  {storeId}, &rows);
    Json out = Json::array();
    for (const auto &row : rows)
        out.push_back(commentJson(row));
    return out;
}

void Catalogue::handle(const std::string &method, const httplib::Request &req, httplib::Response &res)
{
    const Http::Params params(req);
    if (params.text("SKEY").value_or("") != m_ctx.skey)
        throw HttpError{403, "SKEY refused"};
    const std::string base = Http::baseUrl(req);

    if (method == "getStoreListBySearch") {
        const std::string keyword = lower(params.requireText("keyword"));
        const double lat = params.realOr("baseLat", 0);
        const double lon = params.realOr("baseLon", 0);
        const bool vip = params.integerOr("isVIP", 0) == 1;
        std::vector<StoreRow> found;
        for (StoreRow &row : storesWhere(vip ? "isVip = 1" : "", {})) {
            const std::string haystack = lower(textOf(member(row.doc, "storeName")) + " "
                                               + textOf(member(row.doc, "address")) + " "
                                               + textOf(member(row.doc, "intro")) + " "
                                               + textOf(member(row.doc, "discount")));
            if (haystack.find(keyword) != std::string::npos)
                found.push_back(std::move(row));
        }
        // The phone sends whole degrees here: near enough to order by, and
        // no position at all (0, 0) keeps the catalogue order.
        return Http::sendJson(res, storeList(found, params, base, lat != 0 || lon != 0, lat, lon));
    }
    if (method == "getStoreInfo") {
        const auto rows = storesWhere("storeID = ?", {params.requireInteger("storeID")});
        if (rows.empty())
            throw HttpError{404, "unknown store"};
        return Http::sendJson(res, storeAnswer(rows[0], base, false, 0, 0));
    }
    if (method == "getStoreListByID") {
        Json out = Json::array();
        for (std::int64_t id : Values::storeIdList(params.requireText("storeID")))
            for (const StoreRow &row : storesWhere("storeID = ?", {id}))
                out.push_back(storeAnswer(row, base, false, 0, 0));
        return Http::sendJson(res, out);
    }
    if (method == "getStoreEventList") {
        const std::int64_t storeId = params.requireInteger("storeID");
        auto guard = m_ctx.db.lock();
        std::vector<Database::Row> rows;
        m_ctx.db.exec("SELECT doc FROM events WHERE storeId = ? OR ',' || enableStoreIds || ',' LIKE ?"
                      " ORDER BY eventId",
                      {storeId, "%," + std::to_string(storeId) + ",%"}, &rows);
        const auto stores = storesWhere("storeID = ?", {storeId});
        Json out = Json::array();
        for (const auto &row : rows) {
            const Json event = parseDoc(row[0]);
            out.push_back({{"couponID", std::to_string(integerOf(member(event, "eventId")))},
                           {"storeName", stores.empty() ? Json("") : member(stores[0].doc, "storeName")},
                           {"title", member(event, "name")},
                           {"content", member(event, "brief")},
                           {"startTime", member(event, "startTime")},
                           {"endTime", member(event, "endTime")},
                           {"eventPicUrl", base + "eventImgs/" + textOf(member(event, "picture"))}});
        }
        return Http::sendJson(res, out);
    }
    if (method == "addToMyFavor" || method == "removeMyFavor") {
        const std::int64_t memberId = requireMember(params);
        const std::int64_t storeId = params.requireInteger("storeID");
        auto guard = m_ctx.db.lock();
        if (method == "addToMyFavor") {
            requireStore(storeId);
            m_ctx.db.exec("INSERT OR IGNORE INTO favourites (memberID, storeID, addedAt) VALUES (?, ?, ?)",
                          {memberId, storeId, Crypto::nowMs()});
        } else {
            m_ctx.db.exec("DELETE FROM favourites WHERE memberID = ? AND storeID = ?", {memberId, storeId});
        }
        return Http::sendText(res, "1");
    }
    if (method == "getMyFavorList") {
        const std::int64_t memberId = requireMember(params);
        Json out = Json::array();
        for (const StoreRow &row : storesWhere("storeID IN (SELECT storeID FROM favourites WHERE memberID = ?)",
                                               {memberId}))
            out.push_back(storeAnswer(row, base, false, 0, 0));
        return Http::sendJson(res, out);
    }
    if (method == "getStoreMainCategoryList")
        return Http::sendJson(res, categories(params));
    if (method == "getEventStoreListByMainCategory") {
        const auto [where, values] = categoryFilter(params);
        const double lat = params.requireReal("baseLat");
        const double lon = params.requireReal("baseLon");
        return Http::sendJson(res, storeList(storesWhere(where, values), params, base, true, lat, lon));
    }
    if (method == "getBrandStoreList") {
        const auto [where, values] = categoryFilter(params);
        auto rows = storesWhere(where + " AND isVip = 1", values);
        std::stable_sort(rows.begin(), rows.end(), [](const StoreRow &a, const StoreRow &b) {
            return integerOf(member(a.doc, "rate")) > integerOf(member(b.doc, "rate"));
        });
        return Http::sendJson(res, storeList(rows, params, base, false, 0, 0));
    }
    if (method == "getBannerList") {
        auto guard = m_ctx.db.lock();
        std::vector<Database::Row> rows;
        m_ctx.db.exec("SELECT doc FROM banners ORDER BY id", {}, &rows);
        Json out = Json::array();
        for (const auto &row : rows) {
            Json banner = parseDoc(row[0]);
            banner["imgUrl"] = absolute(base, textOf(member(banner, "imgUrl")));
            if (banner.contains("clickUrl"))
                banner["clickUrl"] = absolute(base, textOf(banner["clickUrl"]));
            out.push_back(std::move(banner));
        }
        return Http::sendJson(res, out);
    }
    if (method == "getEventList") {
        auto guard = m_ctx.db.lock();
        std::vector<Database::Row> rows;
        m_ctx.db.exec("SELECT doc FROM news ORDER BY startTime DESC, id DESC", {}, &rows);
        std::vector<Json> all;
        for (const auto &row : rows) {
            Json item = parseDoc(row[0]);
            item["bImgUrl"] = absolute(base, textOf(member(item, "bImgUrl")));
            all.push_back(std::move(item));
        }
        return Http::sendJson(res, Json(Http::slice(all, Http::pageOf(params))));
    }
    if (method == "memberLogin")
        return Http::sendJson(res, login(params));
    if (method == "memberRegister")
        return Http::sendJson(res, registerMember(params));
    if (method == "getMemberComment")
        return Http::sendJson(res, memberComment(params));
    if (method == "editMemberComment")
        return Http::sendText(res, editComment(params));
    if (method == "getStoreCommentList")
        return Http::sendJson(res, commentList(params));
    throw HttpError{404, "unknown method " + method};
}

} // namespace

void installCatalogueService(httplib::Server &server, ServiceContext &context)
{
    auto catalogue = std::make_shared<Catalogue>(context);
    const auto handler = [catalogue](const httplib::Request &req, httplib::Response &res) {
        try {
            catalogue->handle(req.matches[1], req, res);
        } catch (const HttpError &error) {
            Http::sendError(res, error);
        } catch (const std::exception &error) {
            Http::sendError(res, {400, std::string("bad request: ") + error.what()});
        }
    };
    server.Post(R"(/catalogue/([A-Za-z0-9]+)\.json)", handler);
    server.Get(R"(/catalogue/([A-Za-z0-9]+)\.json)", handler);
    server.set_mount_point("/img", context.demoDir + "/img");
    server.set_mount_point("/news", context.demoDir + "/news");
    server.set_mount_point("/eventImgs", context.demoDir + "/salesEventImgs");
}
