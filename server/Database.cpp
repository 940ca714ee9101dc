#include "Database.h"

#include <sqlite3.h>

#include <iostream>

Database::~Database()
{
    if (m_db)
        sqlite3_close(m_db);
}

bool Database::open(const std::string &path, std::string &error)
{
    if (sqlite3_open_v2(path.c_str(), &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr)
        != SQLITE_OK) {
        error = m_db ? sqlite3_errmsg(m_db) : "cannot open database";
        return false;
    }
    sqlite3_busy_timeout(m_db, 2000);
    // A file that is not a database shows here, not at the first request.
    if (!exec("PRAGMA journal_mode=WAL") || !exec("PRAGMA foreign_keys=ON")) {
        error = m_lastError;
        return false;
    }
    return true;
}

bool Database::exec(const std::string &sql, const std::vector<Param> &params, std::vector<Row> *rows)
{
    sqlite3_stmt *stmt = nullptr;
    if (sqlite3_prepare_v2(m_db, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) {
        m_lastError = sqlite3_errmsg(m_db);
        std::cerr << "sql error: " << m_lastError << " in " << sql << '\n';
        return false;
    }
    for (std::size_t i = 0; i < params.size(); ++i) {
        const int index = static_cast<int>(i) + 1;
        const Param &p = params[i];
        if (std::holds_alternative<std::int64_t>(p))
            sqlite3_bind_int64(stmt, index, std::get<std::int64_t>(p));
        else if (std::holds_alternative<double>(p))
            sqlite3_bind_double(stmt, index, std::get<double>(p));
        else if (std::holds_alternative<std::string>(p)) {
            const std::string &s = std::get<std::string>(p);
            sqlite3_bind_text(stmt, index, s.data(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
        } else
            sqlite3_bind_null(stmt, index);
    }
    int rc = SQLITE_ROW;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        if (!rows)
            continue;
        Row row;
        const int count = sqlite3_column_count(stmt);
        for (int c = 0; c < count; ++c) {
            switch (sqlite3_column_type(stmt, c)) {
            case SQLITE_INTEGER:
                row.emplace_back(static_cast<std::int64_t>(sqlite3_column_int64(stmt, c)));
                break;
            case SQLITE_FLOAT:
                row.emplace_back(sqlite3_column_double(stmt, c));
                break;
            case SQLITE_NULL:
                row.emplace_back(nullptr);
                break;
            default: {
                const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(stmt, c));
                row.emplace_back(std::string(text ? text : "",
                                             static_cast<std::size_t>(sqlite3_column_bytes(stmt, c))));
            }
            }
        }
        rows->push_back(std::move(row));
    }
    const bool ok = rc == SQLITE_DONE;
    if (!ok) {
        m_lastError = sqlite3_errmsg(m_db);
        std::cerr << "sql error: " << m_lastError << '\n';
    }
    sqlite3_finalize(stmt);
    return ok;
}

std::int64_t Database::lastInsertId() const
{
    return sqlite3_last_insert_rowid(m_db);
}

int Database::changes() const
{
    return sqlite3_changes(m_db);
}

bool Database::transaction(const std::function<bool()> &work)
{
    auto guard = lock();
    if (!exec("BEGIN IMMEDIATE"))
        return false;
    if (!work()) {
        exec("ROLLBACK");
        return false;
    }
    if (!exec("COMMIT")) {
        exec("ROLLBACK");
        return false;
    }
    return true;
}

bool Database::isEmpty()
{
    auto guard = lock();
    std::vector<Row> rows;
    if (!exec("SELECT COUNT(*) FROM group_info", {}, &rows) || rows.empty())
        return true;
    return rows[0][0].get<std::int64_t>() == 0;
}

bool Database::createSchema()
{
    static const char *const statements[] = {
        "CREATE TABLE IF NOT EXISTS group_info (companyKey TEXT PRIMARY KEY, skey TEXT NOT NULL,"
        " name TEXT NOT NULL)",
        "CREATE TABLE IF NOT EXISTS merchants (merchantId INTEGER PRIMARY KEY, name TEXT NOT NULL)",
        "CREATE TABLE IF NOT EXISTS categories (mainCategoryID INTEGER PRIMARY KEY,"
        " name TEXT NOT NULL, position INTEGER NOT NULL)",
        "CREATE TABLE IF NOT EXISTS sub_categories (subCategoryID INTEGER PRIMARY KEY,"
        " mainCategoryID INTEGER NOT NULL REFERENCES categories, name TEXT NOT NULL,"
        " position INTEGER NOT NULL)",
        "CREATE TABLE IF NOT EXISTS stores (storeID INTEGER PRIMARY KEY, merchantId INTEGER NOT NULL,"
        " mainCategoryID INTEGER NOT NULL, subCategoryID INTEGER NOT NULL, isVip INTEGER NOT NULL,"
        " lat REAL NOT NULL, lon REAL NOT NULL, searchText TEXT NOT NULL, doc TEXT NOT NULL,"
        " reservable INTEGER NOT NULL, openMinute INTEGER NOT NULL, closeMinute INTEGER NOT NULL,"
        " restWeekdays TEXT NOT NULL, seats INTEGER NOT NULL)",
        "CREATE TABLE IF NOT EXISTS banners (id INTEGER PRIMARY KEY, doc TEXT NOT NULL)",
        "CREATE TABLE IF NOT EXISTS news (id INTEGER PRIMARY KEY, startTime INTEGER NOT NULL,"
        " doc TEXT NOT NULL)",
        "CREATE TABLE IF NOT EXISTS events (eventId INTEGER PRIMARY KEY, eventType INTEGER NOT NULL,"
        " merchantId INTEGER NOT NULL, storeId INTEGER NOT NULL, enableStoreIds TEXT NOT NULL,"
        " startTime INTEGER NOT NULL, endTime INTEGER NOT NULL, couponUseLimit INTEGER NOT NULL,"
        " doc TEXT NOT NULL)",
        "CREATE TABLE IF NOT EXISTS members (memberID INTEGER PRIMARY KEY AUTOINCREMENT,"
        " account TEXT NOT NULL UNIQUE COLLATE NOCASE, email TEXT NOT NULL, name TEXT NOT NULL,"
        " tel TEXT NOT NULL, salt TEXT NOT NULL, hash TEXT NOT NULL, iterations INTEGER NOT NULL,"
        " picUrl TEXT NOT NULL DEFAULT '')",
        "CREATE TABLE IF NOT EXISTS loyalty_members (memberId INTEGER PRIMARY KEY AUTOINCREMENT,"
        " outerMemberId TEXT NOT NULL UNIQUE, account TEXT NOT NULL, phone TEXT NOT NULL)",
        "CREATE TABLE IF NOT EXISTS favourites (memberID INTEGER NOT NULL, storeID INTEGER NOT NULL,"
        " addedAt INTEGER NOT NULL, PRIMARY KEY (memberID, storeID))",
        "CREATE TABLE IF NOT EXISTS comments (id INTEGER PRIMARY KEY AUTOINCREMENT,"
        " memberID INTEGER NOT NULL, storeID INTEGER NOT NULL, comment TEXT NOT NULL,"
        " serviceRate INTEGER NOT NULL, qualityRate INTEGER NOT NULL,"
        " enviromentRate INTEGER NOT NULL, cpRate INTEGER NOT NULL, recordTime INTEGER NOT NULL,"
        " UNIQUE (memberID, storeID))",
        "CREATE TABLE IF NOT EXISTS point_cards (cardKey TEXT PRIMARY KEY, memberId INTEGER NOT NULL,"
        " lastUpdatedTime INTEGER NOT NULL, doc TEXT NOT NULL)",
        "CREATE TABLE IF NOT EXISTS point_card_logs (id INTEGER PRIMARY KEY AUTOINCREMENT,"
        " cardKey TEXT NOT NULL, memberId INTEGER NOT NULL, updatedTime INTEGER NOT NULL,"
        " actionType INTEGER NOT NULL, bPoint INTEGER NOT NULL, aPoint INTEGER NOT NULL,"
        " storeId INTEGER NOT NULL, doc TEXT NOT NULL, receivedAt INTEGER NOT NULL,"
        " UNIQUE (cardKey, updatedTime, actionType, bPoint, aPoint))",
        "CREATE TABLE IF NOT EXISTS member_coupons (couponKey TEXT PRIMARY KEY,"
        " memberId INTEGER NOT NULL, eventId INTEGER NOT NULL, lastUpdatedTime INTEGER NOT NULL,"
        " doc TEXT NOT NULL)",
        "CREATE TABLE IF NOT EXISTS member_coupon_logs (id INTEGER PRIMARY KEY AUTOINCREMENT,"
        " couponKey TEXT NOT NULL, memberId INTEGER NOT NULL, updatedTime INTEGER NOT NULL,"
        " storeId INTEGER NOT NULL, applied INTEGER NOT NULL, doc TEXT NOT NULL,"
        " receivedAt INTEGER NOT NULL, UNIQUE (couponKey, updatedTime, storeId))",
        "CREATE TABLE IF NOT EXISTS reservations (reservationId INTEGER PRIMARY KEY AUTOINCREMENT,"
        " requestMember INTEGER NOT NULL, storeID INTEGER NOT NULL,"
        " appointmentTime INTEGER NOT NULL, peopleCount INTEGER NOT NULL, doc TEXT NOT NULL)",
        "CREATE TABLE IF NOT EXISTS versions (bundleId TEXT PRIMARY KEY, iosBuild TEXT NOT NULL,"
        " iosUrl TEXT NOT NULL)",
    };
    auto guard = lock();
    for (const char *sql : statements)
        if (!exec(sql))
            return false;
    return true;
}
