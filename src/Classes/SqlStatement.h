#pragma once

#include <QByteArray>

struct sqlite3;
struct sqlite3_stmt;

// Owns one prepared statement; finalised when the owner goes.
class SqlStatement
{
public:
    SqlStatement() = default;
    // Compiles the first statement of sql. Fails (an empty result) on a syntax
    // error, an unknown table or column, or when text follows the statement.
    static SqlStatement prepare(sqlite3 *db, const QByteArray &sql);

    ~SqlStatement();
    SqlStatement(SqlStatement &&other) noexcept;
    SqlStatement &operator=(SqlStatement &&other) noexcept;
    SqlStatement(const SqlStatement &) = delete;
    SqlStatement &operator=(const SqlStatement &) = delete;

    sqlite3_stmt *get() const { return m_stmt; }
    explicit operator bool() const { return m_stmt != nullptr; }

private:
    explicit SqlStatement(sqlite3_stmt *stmt) : m_stmt(stmt) {}
    sqlite3_stmt *m_stmt = nullptr;
};

// A cached statement between two uses: resets it and drops its bindings at the
// end of the scope, so a half-read SELECT never keeps its read lock.
class StatementUse
{
public:
    explicit StatementUse(sqlite3_stmt *stmt) : m_stmt(stmt) {}
    ~StatementUse();
    StatementUse(const StatementUse &) = delete;
    StatementUse &operator=(const StatementUse &) = delete;

private:
    sqlite3_stmt *m_stmt;
};

// One write transaction: rolls back unless commit() succeeded.
class SqlTransaction
{
public:
    explicit SqlTransaction(sqlite3 *db);
    ~SqlTransaction();
    SqlTransaction(const SqlTransaction &) = delete;
    SqlTransaction &operator=(const SqlTransaction &) = delete;

    bool isActive() const { return m_active; }
    bool commit();

private:
    sqlite3 *m_db;
    bool m_active = false;
};
