#pragma once

#include "Database.h"
#include "Values.h"

#include <httplib.h>

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

using Json = nlohmann::json;

// What both services share: the database, the demo folder and the group.
struct ServiceContext
{
    Database db;
    std::string demoDir;
    std::string companyKey;
    std::string skey;
    std::int64_t passKeyWindowMs = 5 * 60 * 1000;
};

// A request failure with its HTTP status; handlers return it instead of throwing.
struct HttpError
{
    int status;
    std::string message;
};

namespace Http {

// Parameters of a form body, the query, or the members of a JSON object body.
class Params
{
public:
    explicit Params(const httplib::Request &req);
    std::optional<std::string> text(const std::string &name) const;
    bool has(const std::string &name) const { return text(name).has_value(); }
    // Required values: a missing one is a bad request.
    std::string requireText(const std::string &name) const;
    std::int64_t requireInteger(const std::string &name) const;
    double requireReal(const std::string &name) const;
    std::int64_t integerOr(const std::string &name, std::int64_t fallback) const;
    double realOr(const std::string &name, double fallback) const;

private:
    std::map<std::string, std::string> m_values;
};

// The JSON document of an "array" body; a bad request when it does not parse.
Json requireJsonBody(const httplib::Request &req);

void sendJson(httplib::Response &res, const Json &value);
void sendText(httplib::Response &res, const std::string &text);
void sendError(httplib::Response &res, const HttpError &error);

// Splits "a/b//c" into its segments, empty ones included.
std::vector<std::string> splitPath(const std::string &path);

// The address of this server as the client reached it ("http://host:port/").
std::string baseUrl(const httplib::Request &req);

// Page window: positions startIndex to endIndex, both included.
struct Page
{
    std::size_t offset = 0;
    std::size_t count = 0;
};
Page pageOf(const Params &params);
template <typename T>
std::vector<T> slice(const std::vector<T> &all, const Page &page)
{
    if (page.offset >= all.size())
        return {};
    const std::size_t end = std::min(all.size(), page.offset + page.count);
    return std::vector<T>(all.begin() + static_cast<std::ptrdiff_t>(page.offset),
                          all.begin() + static_cast<std::ptrdiff_t>(end));
}

void installLogger(httplib::Server &server, const char *service);

} // namespace Http

void installLoyaltyService(httplib::Server &server, ServiceContext &context);
void installCatalogueService(httplib::Server &server, ServiceContext &context);
bool seedDemoData(ServiceContext &context, std::string &error);
