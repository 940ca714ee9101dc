#include "SqlStatement.h"

#include <sqlite3.h>

#include <cctype>
#include <utility>

SqlStatement SqlStatement::prepare(sqlite3 *db, const QByteArray &sql)
{
    if (!db)
        return {};
    sqlite3_stmt *stmt = nullptr;
    const char *tail = nullptr;
    if (sqlite3_prepare_v2(db, sql.constData(), int(sql.size()), &stmt, &tail) != SQLITE_OK || !stmt) {
        sqlite3_finalize(stmt);
        return {};
    }
    // A second statement hidden behind the first is never run.
    for (const char *end = sql.constData() + sql.size(); tail && tail < end; ++tail) {
        const unsigned char c = static_cast<unsigned char>(*tail);
        if (!std::isspace(c) && c != ';') {
            sqlite3_finalize(stmt);
            return {};
        }
    }
    return SqlStatement(stmt);
}

SqlStatement::~SqlStatement()
{
    sqlite3_finalize(m_stmt);
}

SqlStatement::SqlStatement(SqlStatement &&other) noexcept : m_stmt(std::exchange(other.m_stmt, nullptr))
{
}

SqlStatement &SqlStatement::operator=(SqlStatement &&other) noexcept
{
    if (this != &other) {
        sqlite3_finalize(m_stmt);
        m_stmt = std::exchange(other.m_stmt, nullptr);
    }
    return *this;
}

StatementUse::~StatementUse()
{
    if (m_stmt) {
        sqlite3_reset(m_stmt);
        sqlite3_clear_bindings(m_stmt);
    }
}

SqlTransaction::SqlTransaction(sqlite3 *db) : m_db(db)
{
    m_active = db && sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr) == SQLITE_OK;
}

SqlTransaction::~SqlTransaction()
{
    // SQLite may already have rolled back on its own (a full disk, an I/O
    // error); only roll back what is still open.
    if (m_active && !sqlite3_get_autocommit(m_db))
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
}

bool SqlTransaction::commit()
{
    if (!m_active || sqlite3_get_autocommit(m_db))
        return false;
    if (sqlite3_exec(m_db, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK)
        return false; // still open: the destructor rolls it back
    m_active = false;
    return true;
}
