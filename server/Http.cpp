#include "Http.h"

#include <iostream>
#include <mutex>

namespace Http {

Params::Params(const httplib::Request &req)
{
    for (const auto &[name, value] : req.params)
        m_values.emplace(name, value);
    const std::string type = req.get_header_value("Content-Type");
    if (type.rfind("application/x-www-form-urlencoded", 0) == 0 || req.body.empty())
        return;
    // A JSON object body carries the parameters as its members.
    const Json body = Json::parse(req.body, nullptr, false);
    if (!body.is_object())
        return;
    for (const auto &[name, value] : body.items())
        if (!value.is_null())
            m_values.emplace(name, Values::textOf(value));
}

std::optional<std::string> Params::text(const std::string &name) const
{
    const auto it = m_values.find(name);
    if (it == m_values.end())
        return std::nullopt;
    return it->second;
}

std::string Params::requireText(const std::string &name) const
{
    auto value = text(name);
    if (!value)
        throw HttpError{400, "missing parameter " + name};
    return *value;
}

static bool looksNumeric(const std::string &text)
{
    const std::size_t i = text.find_first_not_of(" \t");
    if (i == std::string::npos)
        return false;
    std::size_t j = i;
    if (text[j] == '+' || text[j] == '-')
        ++j;
    return j < text.size() && ((text[j] >= '0' && text[j] <= '9') || text[j] == '.');
}

std::int64_t Params::requireInteger(const std::string &name) const
{
    const std::string value = requireText(name);
    if (!looksNumeric(value))
        throw HttpError{400, "parameter " + name + " is not a number"};
    return Values::integerOf(value);
}

double Params::requireReal(const std::string &name) const
{
    const std::string value = requireText(name);
    if (!looksNumeric(value))
        throw HttpError{400, "parameter " + name + " is not a number"};
    return Values::realOf(value);
}

std::int64_t Params::integerOr(const std::string &name, std::int64_t fallback) const
{
    const auto value = text(name);
    return value && looksNumeric(*value) ? Values::integerOf(*value) : fallback;
}

double Params::realOr(const std::string &name, double fallback) const
{
    const auto value = text(name);
    return value && looksNumeric(*value) ? Values::realOf(*value) : fallback;
}

Json requireJsonBody(const httplib::Request &req)
{
    Json body = Json::parse(req.body, nullptr, false);
    if (body.is_discarded())
        throw HttpError{400, "body is not JSON"};
    return body;
}

void sendJson(httplib::Response &res, const Json &value)
{
    res.status = 200;
    res.set_content(value.dump(-1, ' ', false, Json::error_handler_t::replace),
                    "application/json; charset=utf-8");
}

void sendText(httplib::Response &res, const std::string &text)
{
    res.status = 200;
    res.set_content(text, "text/plain; charset=utf-8");
}

void sendError(httplib::Response &res, const HttpError &error)
{
    res.status = error.status;
    res.set_content(error.message + "\n", "text/plain; charset=utf-8");
}

std::vector<std::string> splitPath(const std::string &path)
{
    std::vector<std::string> segments;
    std::size_t start = 0;
    while (true) {
        const std::size_t slash = path.find('/', start);
        segments.push_back(path.substr(start, slash == std::string::npos ? std::string::npos : slash - start));
        if (slash == std::string::npos)
            break;
        start = slash + 1;
    }
    return segments;
}

std::string baseUrl(const httplib::Request &req)
{
    std::string host = req.get_header_value("Host");
    if (host.empty() || host.find_first_of("/\\\"<> ") != std::string::npos)
        host = "127.0.0.1";
    return "http://" + host + "/";
}

Page pageOf(const Params &params)
{
    // A missing window means the first page; a window is at most 100 long
    // so a wild endIndex cannot ask for the whole table at once.
    const std::int64_t start = std::max<std::int64_t>(0, params.integerOr("startIndex", 0));
    std::int64_t end = params.integerOr("endIndex", start + 15);
    if (end < start)
        return {static_cast<std::size_t>(start), 0};
    end = std::min(end, start + 99);
    return {static_cast<std::size_t>(start), static_cast<std::size_t>(end - start + 1)};
}

void installLogger(httplib::Server &server, const char *service)
{
    static std::mutex logMutex;
    server.set_logger([service](const httplib::Request &req, const httplib::Response &res) {
        std::lock_guard guard(logMutex);
        std::cerr << service << ' ' << req.method << ' ' << req.path << ' ' << res.status << ' '
                  << req.body.size() << "B\n";
    });
}

} // namespace Http
