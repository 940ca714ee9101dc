#pragma once

#include <nlohmann/json.hpp>

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <variant>
#include <vector>

struct sqlite3;

// One SQLite connection shared by both services; every use holds the lock,
// so the request threads of the two servers never meet inside SQLite.
class Database
{
public:
    using Param = std::variant<std::nullptr_t, std::int64_t, double, std::string>;
    using Row = std::vector<nlohmann::json>;

    Database() = default;
    ~Database();
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;

    bool open(const std::string &path, std::string &error);
    bool createSchema();
    bool isEmpty();

    // Runs one statement; rows, when given, receive the result rows
    // (integers, reals, texts or null). Callers hold lock().
    bool exec(const std::string &sql, const std::vector<Param> &params = {},
              std::vector<Row> *rows = nullptr);
    std::int64_t lastInsertId() const;
    int changes() const;

    // Runs work inside a transaction; rolls back when it returns false.
    bool transaction(const std::function<bool()> &work);

    std::unique_lock<std::recursive_mutex> lock() { return std::unique_lock(m_mutex); }
    const std::string &lastError() const { return m_lastError; }

private:
    sqlite3 *m_db = nullptr;
    std::recursive_mutex m_mutex;
    std::string m_lastError;
};
