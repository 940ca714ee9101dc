#include "SQLiteHelper.h"

#include "AppPaths.h"
#include "SqlStatement.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QVarLengthArray>

#include <sqlite3.h>

#include <algorithm>
#include <charconv>
#include <bit>
#include <cstring>
#include <limits>
#include <mutex>
#include <unordered_map>

namespace {

constexpr qint64 kSchemaVersion = 20121108;
constexpr qint64 kLastOldVersion = 20121107;
// Statements built here are few (one per query and per set of written
// fields); the bound only guards against callers passing ever-new texts.
constexpr std::size_t kMaxCachedStatements = 128;

struct Shared
{
    std::mutex mutex;
    std::unique_ptr<SQLiteHelper> instance;
};

Shared &shared()
{
    static Shared holder;
    return holder;
}

bool isAscii(const unsigned char *text, int size)
{
    for (int i = 0; i < size; ++i) {
        if (text[i] >= 0x80)
            return false;
    }
    return true;
}

// Every column comes back as its text form; NULL leaves the field unset.
Field readField(sqlite3_stmt *stmt, int column)
{
    if (sqlite3_column_type(stmt, column) == SQLITE_NULL)
        return {};
    const unsigned char *text = sqlite3_column_text(stmt, column);
    const int size = sqlite3_column_bytes(stmt, column);
    if (!text)
        return {};
    const char *chars = reinterpret_cast<const char *>(text);
    if (isAscii(text, size))
        return Field(QJsonValue(QLatin1StringView(chars, size)));
    return Field(QJsonValue(QString::fromUtf8(chars, size)));
}

// Turns result rows into fields. Each text is a QJsonValue with a container of
// its own unless it comes out of a parsed document, so a row's new texts go
// through one JSON array and share one container: far less memory, and most
// of the time of large reads. Values seen recently in the same
// column (member, flags, a card's event texts and pictures, store lists)
// are shared instead of built again.
class RowReader
{
public:
    RowReader(sqlite3_stmt *stmt, const QVarLengthArray<int, 32> &columnOfField)
        : m_stmt(stmt), m_columnOfField(columnOfField), m_caching(columnOfField.size(), true),
          m_hits(columnOfField.size(), 0), m_misses(columnOfField.size(), 0), m_repeats(columnOfField.size()),
          m_json(1024, Qt::Uninitialized)
    {
    }

    // Looks at the current row's columns, before its record exists.
    void look()
    {
        m_used = 0;
        append('[');
        m_fresh.clear();
        m_repeated.clear();
        // Short results (one card, a few coupons) never set up the cache.
        const bool cache = ++m_rows > kUncachedRows;
        if (cache && m_recent.isEmpty())
            m_recent.resize(m_columnOfField.size() * kSlots);
        for (qsizetype field = 0; field < m_columnOfField.size(); ++field) {
            const int column = m_columnOfField[field];
            const int type = column < 0 ? SQLITE_NULL : sqlite3_column_type(m_stmt, column);
            char digits[24];
            const char *chars = nullptr;
            int size = 0;
            if (type == SQLITE_INTEGER) {
                // The decimal text SQLite would give, without its conversion.
                chars = digits;
                size = int(std::to_chars(digits, digits + sizeof digits, sqlite3_column_int64(m_stmt, column)).ptr - digits);
            } else if (type != SQLITE_NULL) {
                chars = reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, column));
                size = sqlite3_column_bytes(m_stmt, column);
            }
            if (!chars)
                continue; // NULL: the new record's field stays unset
            Recent *slot = nullptr;
            if (cache && m_caching[field]) {
                const QByteArrayView bytes(chars, size);
                slot = &m_recent[field * kSlots + (qHash(bytes) & (kSlots - 1))];
                if (slot->value.isSet() && slot->bytes == bytes) {
                    m_repeats[field] = slot->value;
                    m_repeated.append(field);
                    ++m_hits[field];
                    continue;
                }
                slot->bytes.resize(size); // keeps its capacity
                std::memcpy(slot->bytes.data(), chars, std::size_t(size));
                // A column of unique values (keys, times) stops paying for the lookup.
                if (++m_misses[field] == kTrial && m_hits[field] < kTrial / 4)
                    m_caching[field] = false;
            }
            if (!m_fresh.isEmpty())
                append(',');
            appendText(chars, size);
            m_fresh.append({field, slot});
        }
        append(']');
    }

    // Fills the new record of the row looked at.
    void fill(Field *const *record)
    {
        for (const qsizetype field : m_repeated)
            *record[field] = std::move(m_repeats[field]);
        if (m_fresh.isEmpty())
            return;
        QJsonParseError error{};
        const QJsonArray values = QJsonDocument::fromJson(QByteArray::fromRawData(m_json.constData(), m_used), &error).array();
        const bool parsed = error.error == QJsonParseError::NoError && values.size() == m_fresh.size();
        for (qsizetype i = 0; i < m_fresh.size(); ++i) {
            const auto [field, slot] = m_fresh[i];
            // Not UTF-8: read as SQLite's text converts, one value at a time.
            *record[field] = parsed ? Field(values.at(i)) : readField(m_stmt, m_columnOfField[field]);
            if (slot)
                slot->value = *record[field];
        }
    }

private:
    char *room(qsizetype bytes)
    {
        if (m_json.size() < m_used + bytes)
            m_json.resize(std::max(m_json.size() * 2, m_used + bytes));
        return m_json.data() + m_used;
    }

    void append(char c)
    {
        *room(1) = c;
        ++m_used;
    }

    void appendText(const char *text, int size)
    {
        static constexpr char hex[] = "0123456789abcdef";
        char *const start = room(qsizetype(size) * 6 + 2);
        char *out = start;
        *out++ = '"';
        for (int i = 0; i < size; ++i) {
            const unsigned char c = static_cast<unsigned char>(text[i]);
            if (c >= 0x20 && c != '"' && c != '\\') {
                *out++ = char(c);
                continue;
            }
            *out++ = '\\';
            *out++ = 'u';
            *out++ = '0';
            *out++ = '0';
            *out++ = hex[c >> 4];
            *out++ = hex[c & 15];
        }
        *out++ = '"';
        m_used += out - start;
    }

    static constexpr qsizetype kSlots = 64; // per column, chosen by hash
    static constexpr int kTrial = 64;       // misses before a column's hit rate is judged
    static constexpr int kUncachedRows = 4;

    struct Recent
    {
        QByteArray bytes;
        Field value; // unset: slot empty
    };

    sqlite3_stmt *m_stmt;
    const QVarLengthArray<int, 32> &m_columnOfField;
    QList<Recent> m_recent;
    QVarLengthArray<bool, 32> m_caching;
    QVarLengthArray<int, 32> m_hits;
    QVarLengthArray<int, 32> m_misses;
    QVarLengthArray<Field, 32> m_repeats;
    QVarLengthArray<std::pair<qsizetype, Recent *>, 32> m_fresh;
    QVarLengthArray<qsizetype, 32> m_repeated;
    QByteArray m_json;
    qsizetype m_used = 0;
    int m_rows = 0;
};

// Binds one value as a parameter, never as SQL text. Numbers bind as numbers
// (64-bit when integral), except in "TEXT" columns, which get the value's text
// form so that no digits are lost to SQLite's own formatting of reals.
// Texts live in `holder` until the statement has run.
bool bindValue(sqlite3_stmt *stmt, int index, const QJsonValue &value, bool textColumn, QString &holder)
{
    switch (value.type()) {
    case QJsonValue::Null:
    case QJsonValue::Undefined:
        return sqlite3_bind_null(stmt, index) == SQLITE_OK;
    case QJsonValue::Bool:
        return sqlite3_bind_int64(stmt, index, value.toBool() ? 1 : 0) == SQLITE_OK;
    case QJsonValue::Double:
        if (!textColumn) {
            constexpr qint64 marker = std::numeric_limits<qint64>::min();
            const qint64 whole = value.toInteger(marker);
            if (whole != marker)
                return sqlite3_bind_int64(stmt, index, whole) == SQLITE_OK;
            return sqlite3_bind_double(stmt, index, value.toDouble()) == SQLITE_OK;
        }
        holder = Field(value).text();
        break;
    case QJsonValue::String:
        holder = value.toString();
        break;
    case QJsonValue::Array:
    case QJsonValue::Object:
        holder = Field(value).text();
        break;
    }
    return sqlite3_bind_text16(stmt, index, holder.utf16(), int(holder.size() * 2), SQLITE_STATIC)
        == SQLITE_OK;
}

QString columnList(const QStringList &columns, quint64 mask)
{
    QString list;
    for (qsizetype i = 0; i < columns.size(); ++i) {
        if (mask & (quint64(1) << i)) {
            if (!list.isEmpty())
                list += u',';
            list += columns[i];
        }
    }
    return list;
}

QString insertStatement(const QString &table, const QStringList &columns, quint64 mask)
{
    const int count = std::popcount(mask);
    QString marks;
    marks.reserve(count * 2);
    for (int i = 0; i < count; ++i)
        marks += i ? QStringLiteral(",?") : QStringLiteral("?");
    return QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(table, columnList(columns, mask), marks);
}

bool runOnce(sqlite3 *db, const QString &sql)
{
    const SqlStatement stmt = SqlStatement::prepare(db, sql.toUtf8());
    return stmt && sqlite3_step(stmt.get()) == SQLITE_DONE;
}

} // namespace

struct SQLiteHelper::Private
{
    QString path;
    sqlite3 *db = nullptr;
    std::unordered_map<QString, SqlStatement> statements;
    // Per table, the highest rowid handed out in an upload snapshot. SQLite
    // reuses the rowid of a deleted last row, so a later row could otherwise
    // take the identity of a row that a pending snapshot still means to delete.
    QHash<QString, qint64> snapshotFloor;
};

SQLiteHelper &SQLiteHelper::getInstance()
{
    Shared &holder = shared();
    const std::lock_guard lock(holder.mutex);
    if (!holder.instance)
        holder.instance.reset(new SQLiteHelper);
    return *holder.instance;
}

void SQLiteHelper::resetInstance()
{
    Shared &holder = shared();
    const std::lock_guard lock(holder.mutex);
    holder.instance.reset();
}

SQLiteHelper::SQLiteHelper() : d(std::make_unique<Private>())
{
    d->path = QDir(AppPaths::documentsDir()).filePath(QStringLiteral("main.db"));
    const bool fileExisted = QFileInfo::exists(d->path);
    // When the file cannot be opened now the schema is not looked at again in
    // this process; later operations retry the open and fail cleanly.
    if (ensureOpen())
        checkSchema(fileExisted);
}

SQLiteHelper::~SQLiteHelper()
{
    d->statements.clear(); // finalised before the connection closes
    if (d->db)
        sqlite3_close(d->db);
}

bool SQLiteHelper::ensureOpen()
{
    if (d->db)
        return true;
    sqlite3 *db = nullptr;
    const int result = sqlite3_open_v2(d->path.toUtf8().constData(), &db,
                                       SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (result != SQLITE_OK) {
        sqlite3_close(db);
        return false;
    }
    d->db = db;
    return true;
}

void SQLiteHelper::checkSchema(bool fileExisted)
{
    const QString createVersion = QStringLiteral("CREATE TABLE IF NOT EXISTS `db_version` (`version` NUMBERIC)");
    if (!fileExisted)
        runOnce(d->db, createVersion);

    qint64 version = 0;
    {
        const SqlStatement read = SqlStatement::prepare(d->db, QByteArrayLiteral("SELECT `version` FROM `db_version`"));
        if (read && sqlite3_step(read.get()) == SQLITE_ROW)
            version = sqlite3_column_int64(read.get(), 0);
    }
    if (fileExisted && version > kLastOldVersion)
        return;

    // One transaction, so an interrupted rebuild leaves the old version and
    // simply runs again at the next start.
    SqlTransaction transaction(d->db);
    const Table *tables[] = {&tableOf<Store>(),         &tableOf<PointCard>(),        &tableOf<PointCardLog>(),
                             &tableOf<MemberCoupons>(), &tableOf<MemberCouponLogs>(), &tableOf<Reservation>()};
    for (const Table *table : tables) {
        QStringList columns;
        for (qsizetype i = 0; i < table->columns.size(); ++i)
            columns << table->columns[i] + (table->textColumns[i] ? QStringLiteral(" TEXT") : QStringLiteral(" NUMBERIC"));
        runOnce(d->db, QStringLiteral("DROP TABLE %1").arg(table->name)); // absent table: ignored
        runOnce(d->db, QStringLiteral("CREATE TABLE IF NOT EXISTS `%1` (%2);").arg(table->name, columns.join(u',')));
    }
    // A file left by an earlier build may have no version table; without one
    // the version could not be written and this rebuild would repeat at every start.
    if (fileExisted)
        runOnce(d->db, createVersion);
    runOnce(d->db, QStringLiteral("DELETE FROM `db_version`"));
    const SqlStatement write = SqlStatement::prepare(d->db, QByteArrayLiteral("INSERT INTO `db_version` (`version`) VALUES (?)"));
    if (write) {
        sqlite3_bind_int64(write.get(), 1, kSchemaVersion);
        sqlite3_step(write.get());
    }
    transaction.commit();
}

void SQLiteHelper::trimStatements()
{
    // Only called where no cached statement is held.
    if (d->statements.size() > kMaxCachedStatements)
        d->statements.clear();
}

sqlite3_stmt *SQLiteHelper::statement(const QString &sql)
{
    if (!d->db)
        return nullptr;
    const auto found = d->statements.find(sql);
    if (found != d->statements.end())
        return found->second.get();
    SqlStatement prepared = SqlStatement::prepare(d->db, sql.toUtf8());
    if (!prepared)
        return nullptr;
    sqlite3_stmt *stmt = prepared.get();
    d->statements.emplace(sql, std::move(prepared));
    return stmt;
}

bool SQLiteHelper::keepAboveSnapshots(const Table &table)
{
    const auto floor = d->snapshotFloor.constFind(table.name);
    if (floor == d->snapshotFloor.constEnd())
        return true;
    const qint64 rowId = sqlite3_last_insert_rowid(d->db);
    if (rowId > *floor)
        return true;
    sqlite3_stmt *move = statement(QStringLiteral("UPDATE `%1` SET rowid = ? WHERE rowid = ?").arg(table.name));
    if (!move)
        return false;
    const StatementUse use(move);
    sqlite3_bind_int64(move, 1, *floor + 1);
    sqlite3_bind_int64(move, 2, rowId);
    return sqlite3_step(move) == SQLITE_DONE;
}

bool SQLiteHelper::refreshTable(const Table &table, const QByteArray &json)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || (!document.isArray() && !document.isObject()))
        return false;
    if (!ensureOpen())
        return false;
    trimStatements();

    // One transaction: a process killed half-way leaves the old rows, and the
    // rows are not committed one by one.
    SqlTransaction transaction(d->db);
    if (!transaction.isActive())
        return false;
    if (!runOnce(d->db, QStringLiteral("DELETE FROM %1").arg(table.name)))
        return false;
    if (document.isObject())
        return transaction.commit() && document.object().isEmpty();

    const QJsonArray elements = document.array();
    const qsizetype columnCount = table.columns.size();
    QHash<quint64, sqlite3_stmt *> inserts; // by the set of fields an element names
    QVarLengthArray<QJsonValue, 32> values(columnCount);
    QVarLengthArray<QString, 32> holders(columnCount);
    qsizetype written = 0;
    for (const QJsonValue &element : elements) {
        if (!element.isObject())
            continue; // written as nothing; the count below reports it
        const QJsonObject object = element.toObject();
        quint64 mask = 0;
        for (qsizetype i = 0; i < columnCount; ++i) {
            const auto member = object.constFind(table.columns[i]);
            if (member != object.constEnd()) {
                mask |= quint64(1) << i;
                values[i] = member.value();
            }
        }
        if (!mask)
            continue;
        auto insert = inserts.constFind(mask);
        if (insert == inserts.constEnd())
            insert = inserts.insert(mask, statement(insertStatement(table.name, table.columns, mask)));
        sqlite3_stmt *stmt = *insert;
        if (!stmt)
            return false;
        {
            const StatementUse use(stmt);
            int index = 0;
            for (qsizetype i = 0; i < columnCount; ++i) {
                if ((mask & (quint64(1) << i)) && !bindValue(stmt, ++index, values[i], table.textColumns[i], holders[i]))
                    return false;
            }
            // A failing write (full disk, I/O error) abandons the whole refresh
            // and keeps the old rows, rather than leaving a partial table.
            if (sqlite3_step(stmt) != SQLITE_DONE)
                return false;
        }
        if (!keepAboveSnapshots(table))
            return false;
        ++written;
    }
    if (!transaction.commit())
        return false;
    return written == elements.size();
}

bool SQLiteHelper::selectRows(const Table &table, const QString &sqlCmd, const QList<Field> &arguments,
                              bool withRowIds, void *context, RowReceiver receive)
{
    if (!ensureOpen())
        return false;
    // A value the caller does not have matches nothing.
    for (const Field &argument : arguments) {
        if (!argument.isSet())
            return true;
    }
    trimStatements();

    QString sql = withRowIds ? QStringLiteral("SELECT rowid, * FROM %@")
                             : sqlCmd.trimmed().isEmpty() ? QStringLiteral("SELECT * FROM %@") : sqlCmd;
    sql.replace(QStringLiteral("%@"), table.name);
    sqlite3_stmt *stmt = statement(sql);
    if (!stmt || !sqlite3_stmt_readonly(stmt) || sqlite3_column_count(stmt) == 0)
        return false; // reads only: no writes, no transaction control
    const StatementUse use(stmt);
    QVarLengthArray<QString, 8> holders(arguments.size());
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        if (!bindValue(stmt, int(i + 1), arguments[i].json(), false, holders[i]))
            return false;
    }

    // Fields take the column of the same name, wherever the statement puts it.
    const qsizetype fieldCount = table.columns.size();
    QVarLengthArray<int, 32> columnOfField(fieldCount, -1);
    const int columnCount = sqlite3_column_count(stmt);
    for (int column = withRowIds ? 1 : 0; column < columnCount; ++column) {
        const char *name = sqlite3_column_name(stmt, column);
        if (!name)
            return false; // out of memory
        const qsizetype field = table.columns.indexOf(QLatin1StringView(name));
        if (field >= 0 && columnOfField[field] < 0)
            columnOfField[field] = column;
    }

    QVarLengthArray<Field *, 32> record(fieldCount);
    RowReader reader(stmt, columnOfField);
    qint64 highestRowId = 0;
    int step = SQLITE_ROW;
    while ((step = sqlite3_step(stmt)) == SQLITE_ROW) {
        const qint64 rowId = withRowIds ? sqlite3_column_int64(stmt, 0) : 0;
        highestRowId = std::max(highestRowId, rowId);
        reader.look();
        receive(context, rowId, record.data());
        reader.fill(record.data());
    }
    if (step != SQLITE_DONE)
        return false;
    if (withRowIds && highestRowId > 0) {
        qint64 &floor = d->snapshotFloor[table.name];
        floor = std::max(floor, highestRowId);
    }
    return true;
}

bool SQLiteHelper::insertRow(const Table &table, const QList<Field> &row)
{
    quint64 mask = 0;
    for (qsizetype i = 0; i < row.size(); ++i) {
        if (row[i].isSet())
            mask |= quint64(1) << i;
    }
    if (!mask || !ensureOpen())
        return false;
    trimStatements();

    // A rowid that may need moving above a snapshot is moved in the same
    // transaction as its insert.
    std::optional<SqlTransaction> transaction;
    if (d->snapshotFloor.contains(table.name)) {
        transaction.emplace(d->db);
        if (!transaction->isActive())
            return false;
    }
    sqlite3_stmt *stmt = statement(insertStatement(table.name, table.columns, mask));
    if (!stmt)
        return false;
    {
        const StatementUse use(stmt);
        QVarLengthArray<QString, 32> holders(row.size());
        int index = 0;
        for (qsizetype i = 0; i < row.size(); ++i) {
            if (row[i].isSet() && !bindValue(stmt, ++index, row[i].json(), table.textColumns[i], holders[i]))
                return false;
        }
        if (sqlite3_step(stmt) != SQLITE_DONE)
            return false;
    }
    if (!keepAboveSnapshots(table))
        return false;
    return !transaction || transaction->commit();
}

bool SQLiteHelper::updateRow(const Table &table, const QList<Field> &row)
{
    if (row.isEmpty() || !row.first().isSet() || row.first().text().isEmpty())
        return false;
    QString assignments;
    for (qsizetype i = 1; i < row.size(); ++i) {
        if (!row[i].isSet())
            continue;
        if (!assignments.isEmpty())
            assignments += u',';
        assignments += QStringLiteral("`%1` = ?").arg(table.columns[i]);
    }
    if (assignments.isEmpty() || !ensureOpen())
        return false;
    trimStatements();

    sqlite3_stmt *stmt = statement(
        QStringLiteral("UPDATE `%1` SET %2 WHERE `%3` = ?").arg(table.name, assignments, table.columns.first()));
    if (!stmt)
        return false;
    const StatementUse use(stmt);
    QVarLengthArray<QString, 32> holders(row.size());
    int index = 0;
    for (qsizetype i = 1; i < row.size(); ++i) {
        if (row[i].isSet() && !bindValue(stmt, ++index, row[i].json(), table.textColumns[i], holders[i]))
            return false;
    }
    if (!bindValue(stmt, ++index, row.first().json(), table.textColumns.first(), holders[0]))
        return false;
    return sqlite3_step(stmt) == SQLITE_DONE;
}

bool SQLiteHelper::runWrite(const QString &sql, const QList<Field> &arguments)
{
    if (!ensureOpen())
        return false;
    for (const Field &argument : arguments) {
        if (!argument.isSet())
            return false; // names nothing to change
    }
    trimStatements();
    sqlite3_stmt *stmt = statement(sql);
    if (!stmt)
        return false;
    const StatementUse use(stmt);
    QVarLengthArray<QString, 4> holders(arguments.size());
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        if (!bindValue(stmt, int(i + 1), arguments[i].json(), false, holders[i]))
            return false;
    }
    return sqlite3_step(stmt) == SQLITE_DONE;
}

bool SQLiteHelper::deleteRows(const Table &table, const QList<qint64> &rowIds)
{
    if (!ensureOpen())
        return false;
    trimStatements();
    SqlTransaction transaction(d->db);
    if (!transaction.isActive())
        return false;
    sqlite3_stmt *stmt = statement(QStringLiteral("DELETE FROM `%1` WHERE rowid = ?").arg(table.name));
    if (!stmt)
        return false;
    for (const qint64 rowId : rowIds) {
        const StatementUse use(stmt);
        sqlite3_bind_int64(stmt, 1, rowId);
        if (sqlite3_step(stmt) != SQLITE_DONE)
            return false;
    }
    return transaction.commit();
}

QList<PointCard> SQLiteHelper::getAllPointCard(qint64 memberId)
{
    return getAllEntitiesWithSqlCmd<PointCard>(
        QStringLiteral("SELECT * FROM %@ WHERE `memberId` = ? AND `isDeleted` = 0 "
                       "ORDER BY `isUsed` ASC, `lastUpdatedTime` DESC"),
        {Field(memberId)});
}

namespace {

template <class T>
std::optional<T> firstOf(const QList<T> &records)
{
    if (records.isEmpty())
        return std::nullopt;
    return records.first();
}

} // namespace

std::optional<PointCard> SQLiteHelper::getPointCardWithEventId(qint64 memberId, const Field &eventId,
                                                                const Field &storeId, const Field &enableStoreIds)
{
    return firstOf(getAllEntitiesWithSqlCmd<PointCard>(
        QStringLiteral("SELECT * FROM %@ WHERE `memberId` = ? AND `eventId` = ? AND `isDeleted` = 0 "
                       "AND `isUsed` = 0 AND `storeId` = ? AND `enableStoreIds` = ? AND `point` < `totalPoints`"),
        {Field(memberId), eventId, storeId, enableStoreIds}));
}

std::optional<PointCard> SQLiteHelper::getPointCardWithCardKey(qint64 memberId, const Field &cardKey,
                                                                const Field &storeId, const Field &enableStoreIds)
{
    return firstOf(getAllEntitiesWithSqlCmd<PointCard>(
        QStringLiteral("SELECT * FROM %@ WHERE `memberId` = ? AND `cardKey` = ? AND `isDeleted` = 0 "
                       "AND `storeId` = ? AND `enableStoreIds` = ?"),
        {Field(memberId), cardKey, storeId, enableStoreIds}));
}

QList<MemberCoupons> SQLiteHelper::getAllMemberCoupons(qint64 memberId)
{
    return getAllEntitiesWithSqlCmd<MemberCoupons>(
        QStringLiteral("SELECT * FROM %@ WHERE `memberId` = ? AND `isDeleted` = 0 ORDER BY `lastUpdatedTime` DESC"),
        {Field(memberId)});
}

std::optional<MemberCoupons> SQLiteHelper::getMemberCoupons(qint64 memberId, const Field &eventId,
                                                            const Field &enableStoreIds)
{
    return firstOf(getAllEntitiesWithSqlCmd<MemberCoupons>(
        QStringLiteral("SELECT * FROM %@ WHERE `memberId` = ? AND `eventId` = ? AND `isDeleted` = 0 "
                       "AND `enableStoreIds` = ?"),
        {Field(memberId), eventId, enableStoreIds}));
}

QList<Reservation> SQLiteHelper::getAllReservationHistory(qint64 memberId)
{
    return getAllEntitiesWithSqlCmd<Reservation>(
        QStringLiteral("SELECT * FROM %@ WHERE `requestMember` = ? ORDER BY `appointmentTime` DESC"),
        {Field(memberId)});
}

std::optional<Store> SQLiteHelper::getMyStoreByStoreId(const Field &storeId)
{
    return firstOf(getAllEntitiesWithSqlCmd<Store>(QStringLiteral("SELECT * FROM %@ WHERE `storeID` = ?"), {storeId}));
}

bool SQLiteHelper::deleteMyStoreByStoreId(const Field &storeId)
{
    return runWrite(QStringLiteral("DELETE FROM %1 WHERE `storeID` = ?").arg(tableOf<Store>().name), {storeId});
}
