#include "AppPaths.h"
#include "SQLiteHelper.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <sqlite3.h>

#include <unistd.h>

#include <csignal>
#include <limits>
#include <cstdio>
#include <cstring>
#include <set>
#include <thread>
#include <vector>

namespace {

QString dbPath(const QString &dir)
{
    return dir + QStringLiteral("/main.db");
}

SQLiteHelper &store()
{
    return SQLiteHelper::getInstance();
}

// A record from JSON text; null members leave fields unset.
template <class T>
T record(const QByteArray &json)
{
    return EntityRecords::fromJson<T>(QJsonDocument::fromJson(json).object());
}

QJsonObject merged(QJsonObject base, const QJsonObject &overrides)
{
    for (auto it = overrides.begin(); it != overrides.end(); ++it)
        base.insert(it.key(), it.value());
    return base;
}

template <class T>
QStringList firstFieldTexts(const QList<T> &records)
{
    QStringList texts;
    for (const T &one : records)
        texts << (one.*EntityInfo<T>::fields[0].member).text();
    return texts;
}

QStringList cardKeys(const QList<PointCard> &cards)
{
    return firstFieldTexts(cards);
}

// A direct connection for building fixtures and looking at the file.
class RawDb
{
public:
    explicit RawDb(const QString &path)
    {
        sqlite3_open_v2(path.toUtf8().constData(), &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    }
    ~RawDb() { sqlite3_close(m_db); }
    RawDb(const RawDb &) = delete;
    RawDb &operator=(const RawDb &) = delete;

    bool exec(const QByteArray &sql) { return sqlite3_exec(m_db, sql.constData(), nullptr, nullptr, nullptr) == SQLITE_OK; }

    // Every row joined by "|" (NULL as "<null>"); a failing statement gives "<error>".
    QStringList rows(const QByteArray &sql) const
    {
        sqlite3_stmt *stmt = nullptr;
        if (sqlite3_prepare_v2(m_db, sql.constData(), -1, &stmt, nullptr) != SQLITE_OK)
            return {QStringLiteral("<error>")};
        QStringList result;
        int step = SQLITE_ROW;
        while ((step = sqlite3_step(stmt)) == SQLITE_ROW) {
            QStringList cells;
            for (int i = 0; i < sqlite3_column_count(stmt); ++i) {
                const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(stmt, i));
                cells << (text ? QString::fromUtf8(text) : QStringLiteral("<null>"));
            }
            result << cells.join(u'|');
        }
        sqlite3_finalize(stmt);
        if (step != SQLITE_DONE)
            return {QStringLiteral("<error>")};
        return result;
    }

private:
    sqlite3 *m_db = nullptr;
};

template <class T>
QStringList expectedColumns()
{
    QStringList columns;
    for (const auto &spec : EntityInfo<T>::fields)
        columns << QString::fromLatin1(spec.name) + u'|'
                + (spec.kind == FieldKind::Text ? QStringLiteral("TEXT") : QStringLiteral("NUMBERIC"));
    return columns;
}

QByteArray manyCardsJson(int count, qint64 memberId)
{
    QJsonArray cards;
    for (int i = 0; i < count; ++i) {
        cards.append(QJsonObject{{QStringLiteral("cardKey"), QStringLiteral("new-%1").arg(i)},
                                 {QStringLiteral("memberId"), memberId},
                                 {QStringLiteral("name"), QStringLiteral("A card with a name long enough to fill pages")},
                                 {QStringLiteral("point"), i % 10},
                                 {QStringLiteral("totalPoints"), 10},
                                 {QStringLiteral("isUsed"), 0},
                                 {QStringLiteral("isDeleted"), 0}});
    }
    return QJsonDocument(cards).toJson(QJsonDocument::Compact);
}

// The child side of refreshKilledMidway: a refresh that SIGKILLs its own
// process from SQLite's update hook once enough new rows sit in the open
// transaction. The hook is installed on every connection the process opens,
// from outside the store.
namespace KilledRefresh {

constexpr char kDirVariable[] = "TST_SQLITEHELPER_KILL_DIR";
constexpr int kRowsBeforeKill = 3000;
constexpr char kMarker[] = "killed inside the refresh";
int insertsSeen = 0;

void onRowChange(void *, int operation, const char *, const char *table, sqlite3_int64)
{
    if (operation != SQLITE_INSERT || std::strcmp(table, "PointCard") != 0)
        return;
    if (++insertsSeen == kRowsBeforeKill) {
        std::fputs(kMarker, stdout);
        std::fflush(stdout);
        std::raise(SIGKILL);
    }
}

int onOpen(sqlite3 *db, char **, const sqlite3_api_routines *)
{
    // A tiny page cache makes SQLite write changed pages into main.db before
    // the commit, so only the journal can bring the old rows back.
    sqlite3_exec(db, "PRAGMA cache_size=4", nullptr, nullptr, nullptr);
    sqlite3_update_hook(db, onRowChange, nullptr);
    return SQLITE_OK;
}

int run(const QString &dir)
{
    AppPaths::setDataDir(dir);
    sqlite3_auto_extension(reinterpret_cast<void (*)()>(onOpen));
    store().refreshDataWithJSON<PointCard>(manyCardsJson(10000, 7));
    return 3; // the hook never fired
}

} // namespace KilledRefresh

} // namespace

class TestSQLiteHelper : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;

    QString path() const { return dbPath(m_dir->path()); }

    void useFreshFolder()
    {
        SQLiteHelper::resetInstance();
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        AppPaths::setDataDir(m_dir->path());
    }

    static bool insertCards(const QList<QJsonObject> &cards)
    {
        for (const QJsonObject &card : cards) {
            if (!store().insertWithEntity(EntityRecords::fromJson<PointCard>(card)))
                return false;
        }
        return true;
    }

private Q_SLOTS:
    void init() { useFreshFolder(); }

    void cleanup()
    {
        SQLiteHelper::resetInstance();
        AppPaths::setDataDir(QString());
    }

    void firstStartBuildsSchema()
    {
        QVERIFY(!QFile::exists(path()));
        store();
        QVERIFY(QFile::exists(path()));

        RawDb raw(path());
        QCOMPARE(raw.rows("SELECT `version` FROM `db_version`"), QStringList{u"20121108"_qs});
        QCOMPARE(raw.rows("SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY rowid"),
                 (QStringList{u"db_version"_qs, u"Store"_qs, u"PointCard"_qs, u"PointCardLog"_qs,
                              u"MemberCoupons"_qs, u"MemberCouponLogs"_qs, u"Reservation"_qs}));
        // The statements as the format gives them, byte for byte.
        QCOMPARE(raw.rows("SELECT sql FROM sqlite_master WHERE name IN ('db_version', 'Store') ORDER BY rowid"),
                 (QStringList{u"CREATE TABLE `db_version` (`version` NUMBERIC)"_qs,
                              u"CREATE TABLE `Store` (storeID NUMBERIC,storeName TEXT,rate NUMBERIC,discount TEXT,"
                              "cost TEXT,storePicUrl TEXT,lat NUMBERIC,lon NUMBERIC,address TEXT,tel TEXT,"
                              "intro TEXT,distance NUMBERIC,distance2 NUMBERIC)"_qs}));
        QCOMPARE(raw.rows("SELECT name, type FROM pragma_table_info('PointCard')"), expectedColumns<PointCard>());
        QCOMPARE(raw.rows("SELECT name, type FROM pragma_table_info('PointCardLog')"), expectedColumns<PointCardLog>());
        QCOMPARE(raw.rows("SELECT name, type FROM pragma_table_info('MemberCoupons')"), expectedColumns<MemberCoupons>());
        QCOMPARE(raw.rows("SELECT name, type FROM pragma_table_info('MemberCouponLogs')"),
                 expectedColumns<MemberCouponLogs>());
        QCOMPARE(raw.rows("SELECT name, type FROM pragma_table_info('Reservation')"), expectedColumns<Reservation>());
        QCOMPARE(raw.rows("SELECT count(*) FROM PointCard"), QStringList{u"0"_qs});
    }

    void existingFile_data()
    {
        QTest::addColumn<QByteArray>("versionSetup");
        QTest::addColumn<bool>("rebuilt");
        QTest::newRow("current version") << QByteArray("CREATE TABLE db_version (version NUMBERIC);"
                                                       "INSERT INTO db_version VALUES (20121108);")
                                         << false;
        QTest::newRow("newer version") << QByteArray("CREATE TABLE db_version (version NUMBERIC);"
                                                     "INSERT INTO db_version VALUES (20130101);")
                                       << false;
        QTest::newRow("old version") << QByteArray("CREATE TABLE db_version (version NUMBERIC);"
                                                   "INSERT INTO db_version VALUES (20121107);")
                                     << true;
        QTest::newRow("no version row") << QByteArray("CREATE TABLE db_version (version NUMBERIC);") << true;
        QTest::newRow("no version table") << QByteArray() << true;
    }
    void existingFile()
    {
        QFETCH(QByteArray, versionSetup);
        QFETCH(bool, rebuilt);
        {
            RawDb raw(path());
            QVERIFY(raw.exec("CREATE TABLE PointCard (cardKey TEXT, legacy TEXT);"
                             "INSERT INTO PointCard VALUES ('kept', 'x');"));
            if (!versionSetup.isEmpty())
                QVERIFY(raw.exec(versionSetup));
        }
        store();
        {
            RawDb raw(path());
            QCOMPARE(raw.rows("SELECT count(*) FROM PointCard"), QStringList{rebuilt ? u"0"_qs : u"1"_qs});
            const QStringList columns = raw.rows("SELECT name, type FROM pragma_table_info('PointCard')");
            QCOMPARE(columns == expectedColumns<PointCard>(), rebuilt);
            QCOMPARE(raw.rows("SELECT count(*) FROM sqlite_master WHERE name = 'Reservation'"),
                     QStringList{rebuilt ? u"1"_qs : u"0"_qs});
            if (rebuilt)
                QCOMPARE(raw.rows("SELECT `version` FROM `db_version`"), QStringList{u"20121108"_qs});
        }
        if (rebuilt)
            QVERIFY(store().insertWithEntity(record<PointCard>(R"({"cardKey":"after rebuild"})")));

        // The next start finds the current schema and touches nothing.
        SQLiteHelper::resetInstance();
        store();
        RawDb raw(path());
        QCOMPARE(raw.rows("SELECT cardKey FROM PointCard"), QStringList{rebuilt ? u"after rebuild"_qs : u"kept"_qs});
        QCOMPARE(raw.rows("SELECT count(*) FROM db_version"), QStringList{u"1"_qs});
    }

    void oneInstanceForAllThreads()
    {
        std::vector<std::thread> threads;
        std::vector<SQLiteHelper *> seen(8, nullptr);
        for (std::size_t i = 0; i < seen.size(); ++i)
            threads.emplace_back([&seen, i] { seen[i] = &SQLiteHelper::getInstance(); });
        for (std::thread &thread : threads)
            thread.join();
        QCOMPARE(std::set<SQLiteHelper *>(seen.begin(), seen.end()).size(), std::size_t(1));
    }

    void refresh_data()
    {
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<bool>("expected");
        QTest::addColumn<QStringList>("keysAfter");
        const QStringList old{u"old-member-0"_qs, u"old-member-9"_qs};
        QTest::newRow("empty array") << QByteArray("[]") << true << QStringList();
        QTest::newRow("not JSON") << QByteArray(R"([{"cardKey":)") << false << old;
        QTest::newRow("empty bytes") << QByteArray() << false << old;
        QTest::newRow("empty object") << QByteArray("{}") << true << QStringList();
        QTest::newRow("object") << QByteArray(R"({"cardKey":"x"})") << false << QStringList();
        QTest::newRow("object then number") << QByteArray(R"([{"cardKey":"a"},5])") << false << QStringList{u"a"_qs};
        QTest::newRow("mixed elements") << QByteArray(R"([{"cardKey":"a"},"text",null,{"noField":1},[],{"cardKey":"b"}])")
                                        << false << QStringList{u"a"_qs, u"b"_qs};
        QTest::newRow("all objects") << QByteArray(R"([{"cardKey":"a","memberId":3},{"cardKey":"b","memberId":0}])")
                                     << true << QStringList{u"a"_qs, u"b"_qs};
        // A null member counts as a field named: the row is written, all NULL.
        QTest::newRow("only a null") << QByteArray(R"([{"cardKey":null}])") << true << QStringList{QString()};
    }
    void refresh()
    {
        QFETCH(QByteArray, answer);
        QFETCH(bool, expected);
        QFETCH(QStringList, keysAfter);
        QVERIFY(store().refreshDataWithJSON<PointCard>(
            R"([{"cardKey":"old-member-0","memberId":0},{"cardKey":"old-member-9","memberId":9}])"));

        QCOMPARE(store().refreshDataWithJSON<PointCard>(answer), expected);
        QCOMPARE(cardKeys(store().getAllEntities<PointCard>()), keysAfter);
        // Nothing of the refresh is left pending.
        RawDb raw(path());
        QCOMPARE(raw.rows("SELECT count(*) FROM PointCard"), QStringList{QString::number(keysAfter.size())});
    }

    void valuesReadBackAsText_data()
    {
        QTest::addColumn<bool>("viaInsert");
        QTest::newRow("refresh") << false;
        QTest::newRow("insert") << true;
    }
    void valuesReadBackAsText()
    {
        QFETCH(bool, viaInsert);
        const QByteArray card = R"({"cardKey":"007","point":"7","totalPoints":10,"storeId":"012",
            "memberId":9007199254740993,"name":null,"picture":12.5,"lastUpdatedTime":1352332800000,
            "storeName":"Café 北京","enableStoreIds":"12,15"})";
        const QByteArray place = R"({"storeID":3,"lat":31.2304,"lon":"121.4737","tel":"021 1234"})";
        if (viaInsert) {
            QVERIFY(store().insertWithEntity(record<PointCard>(card)));
            QVERIFY(store().insertWithEntity(record<Store>(place)));
        } else {
            QVERIFY(store().refreshDataWithJSON<PointCard>('[' + card + ']'));
            QVERIFY(store().refreshDataWithJSON<Store>('[' + place + ']'));
        }

        const QList<PointCard> cards = store().getAllEntities<PointCard>();
        QCOMPARE(cards.size(), 1);
        const PointCard &read = cards.first();
        const QList<std::pair<const Field *, QString>> expected{
            {&read.cardKey, u"007"_qs},         // text column keeps the text
            {&read.point, u"7"_qs},             // a decimal text becomes a number
            {&read.totalPoints, u"10"_qs},
            {&read.storeId, u"12"_qs},
            {&read.memberId, u"9007199254740993"_qs}, // all 64 bits
            {&read.picture, u"12.5"_qs},
            {&read.lastUpdatedTime, u"1352332800000"_qs},
            {&read.storeName, u"Café 北京"_qs},
            {&read.enableStoreIds, u"12,15"_qs}};
        for (const auto &[field, text] : expected) {
            QVERIFY(field->isText());
            QCOMPARE(field->text(), text);
        }
        QVERIFY(!read.name.isSet());   // null
        QVERIFY(!read.detail.isSet()); // missing
        QCOMPARE(read.point.toInt(), 7);

        const QList<Store> stores = store().getAllEntities<Store>();
        QCOMPARE(stores.size(), 1);
        QCOMPARE(stores.first().lat.text(), u"31.2304"_qs);
        QCOMPARE(stores.first().lon.toReal(), 121.4737);
        QCOMPARE(stores.first().tel.text(), u"021 1234"_qs);
    }

    // Many rows of mixed values, compared with what SQLite's own text of
    // each column gives (invalid UTF-8 read as QString::fromUtf8 reads it).
    void everyCellReadsAsSqliteText()
    {
        store();
        struct Cell
        {
            int type; // SQLITE_TEXT, SQLITE_INTEGER, SQLITE_FLOAT or SQLITE_NULL
            QByteArray text;
            qint64 integer = 0;
            double real = 0;
        };
        const QList<Cell> pool{
            {SQLITE_TEXT, QByteArray(""), 0, 0},
            {SQLITE_TEXT, QByteArray("12,15"), 0, 0},
            {SQLITE_TEXT, QByteArray("quote \" backslash \\ slash /"), 0, 0},
            {SQLITE_TEXT, QByteArray("tab\tline\nbell\x07"), 0, 0},
            {SQLITE_TEXT, QByteArray("nul\0inside", 10), 0, 0},
            {SQLITE_TEXT, QByteArray("Caf\xc3\xa9 \xe5\x8c\x97\xe4\xba\xac \xf0\x9f\x98\x80"), 0, 0},
            {SQLITE_TEXT, QByteArray("bad \xff\xfe utf8"), 0, 0},
            {SQLITE_TEXT, QByteArray("cut \xe5\x8c"), 0, 0},
            {SQLITE_TEXT, QByteArray("surrogate \xed\xa0\x80"), 0, 0},
            {SQLITE_TEXT, QByteArray("overlong \xc0\xaf"), 0, 0},
            {SQLITE_TEXT, QByteArray("noncharacter \xef\xbf\xbe"), 0, 0},
            {SQLITE_TEXT, QByteArray("x' OR '1'='1"), 0, 0},
            {SQLITE_INTEGER, {}, 0, 0},
            {SQLITE_INTEGER, {}, -1, 0},
            {SQLITE_INTEGER, {}, std::numeric_limits<qint64>::max(), 0},
            {SQLITE_INTEGER, {}, std::numeric_limits<qint64>::min(), 0},
            {SQLITE_FLOAT, {}, 0, 2.5},
            {SQLITE_FLOAT, {}, 0, 0.1},
            {SQLITE_FLOAT, {}, 0, -1e300},
            {SQLITE_NULL, {}, 0, 0},
        };
        QRandomGenerator random(1352332800);
        const int columns = int(EntityInfo<PointCard>::fields.size());
        {
            sqlite3 *db = nullptr;
            QVERIFY(sqlite3_open_v2(path().toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK);
            sqlite3_stmt *insert = nullptr;
            QByteArray marks = "?";
            for (int i = 1; i < columns; ++i)
                marks += ",?";
            QCOMPARE(sqlite3_prepare_v2(db, "INSERT INTO PointCard VALUES (" + marks + ")", -1, &insert, nullptr), SQLITE_OK);
            sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
            for (int row = 0; row < 400; ++row) {
                for (int column = 0; column < columns; ++column) {
                    // Some columns repeat a few values, some never repeat,
                    // and the mix changes half-way through.
                    const int style = (column + (row >= 200 ? 1 : 0)) % 3;
                    Cell cell;
                    if (style == 0)
                        cell = pool[random.bounded(int(pool.size()))];
                    else if (style == 1)
                        cell = {SQLITE_TEXT, "row " + QByteArray::number(row) + " column " + QByteArray::number(column), 0, 0};
                    else
                        cell = {SQLITE_INTEGER, {}, qint64(row) * 1000003 - 7, 0};
                    const int index = column + 1;
                    if (cell.type == SQLITE_TEXT)
                        sqlite3_bind_text(insert, index, cell.text.constData(), int(cell.text.size()), SQLITE_TRANSIENT);
                    else if (cell.type == SQLITE_INTEGER)
                        sqlite3_bind_int64(insert, index, cell.integer);
                    else if (cell.type == SQLITE_FLOAT)
                        sqlite3_bind_double(insert, index, cell.real);
                    else
                        sqlite3_bind_null(insert, index);
                }
                QCOMPARE(sqlite3_step(insert), SQLITE_DONE);
                sqlite3_reset(insert);
            }
            sqlite3_finalize(insert);
            sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);

            // The reference: each column's text, as SQLite gives it.
            QList<QStringList> expected;
            QList<QList<bool>> isNull;
            sqlite3_stmt *select = nullptr;
            sqlite3_prepare_v2(db, "SELECT * FROM PointCard", -1, &select, nullptr);
            while (sqlite3_step(select) == SQLITE_ROW) {
                QStringList texts;
                QList<bool> nulls;
                for (int column = 0; column < columns; ++column) {
                    const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(select, column));
                    texts << (text ? QString::fromUtf8(text, sqlite3_column_bytes(select, column)) : QString());
                    nulls << !text;
                }
                expected << texts;
                isNull << nulls;
            }
            sqlite3_finalize(select);
            sqlite3_close(db);

            const QList<PointCard> cards = store().getAllEntities<PointCard>();
            QCOMPARE(cards.size(), expected.size());
            for (qsizetype row = 0; row < cards.size(); ++row) {
                for (int column = 0; column < columns; ++column) {
                    const Field &field = cards[row].*EntityInfo<PointCard>::fields[std::size_t(column)].member;
                    const QByteArray where = "row " + QByteArray::number(row) + " column " + QByteArray::number(column);
                    QVERIFY2(field.isSet() == !isNull[row][column], where.constData());
                    if (field.isSet()) {
                        QVERIFY2(field.isText(), where.constData());
                        QVERIFY2(field.text() == expected[row][column], where.constData());
                    }
                }
            }
        }
    }

    void allPointCardsOrder()
    {
        QVERIFY(insertCards({
            QJsonObject{{u"cardKey"_qs, u"A"_qs}, {u"memberId"_qs, 5}, {u"isUsed"_qs, 0}, {u"isDeleted"_qs, 0}, {u"lastUpdatedTime"_qs, 100}},
            QJsonObject{{u"cardKey"_qs, u"used-latest"_qs}, {u"memberId"_qs, 5}, {u"isUsed"_qs, 1}, {u"isDeleted"_qs, 0}, {u"lastUpdatedTime"_qs, 900}},
            QJsonObject{{u"cardKey"_qs, u"C"_qs}, {u"memberId"_qs, 5}, {u"isUsed"_qs, 0}, {u"isDeleted"_qs, 0}, {u"lastUpdatedTime"_qs, 300}},
            QJsonObject{{u"cardKey"_qs, u"removed"_qs}, {u"memberId"_qs, 5}, {u"isUsed"_qs, 0}, {u"isDeleted"_qs, 1}, {u"lastUpdatedTime"_qs, 500}},
            QJsonObject{{u"cardKey"_qs, u"other-member"_qs}, {u"memberId"_qs, 6}, {u"isUsed"_qs, 0}, {u"isDeleted"_qs, 0}, {u"lastUpdatedTime"_qs, 400}},
            // The same values arriving as texts sort and filter alike.
            QJsonObject{{u"cardKey"_qs, u"texts"_qs}, {u"memberId"_qs, u"5"_qs}, {u"isUsed"_qs, u"0"_qs}, {u"isDeleted"_qs, u"0"_qs}, {u"lastUpdatedTime"_qs, u"200"_qs}},
        }));
        QCOMPARE(cardKeys(store().getAllPointCard(5)),
                 (QStringList{u"C"_qs, u"texts"_qs, u"A"_qs, u"used-latest"_qs}));
        QCOMPARE(cardKeys(store().getAllPointCard(6)), QStringList{u"other-member"_qs});
        QVERIFY(store().getAllPointCard(0).isEmpty());
    }

    // One card at a time against both single-card queries.
    void pointCardLookups_data()
    {
        QTest::addColumn<QJsonObject>("changes");
        QTest::addColumn<QJsonValue>("queryStoreId");
        QTest::addColumn<QJsonValue>("queryStoreIds");
        QTest::addColumn<bool>("foundByEvent");
        QTest::addColumn<bool>("foundByKey");
        const QJsonValue store12(12);
        const QJsonValue list(u"12,15"_qs);
        QTest::newRow("matching") << QJsonObject() << store12 << list << true << true;
        QTest::newRow("one point short") << QJsonObject{{u"point"_qs, 9}} << store12 << list << true << true;
        QTest::newRow("point equals total") << QJsonObject{{u"point"_qs, 10}} << store12 << list << false << true;
        QTest::newRow("point above total") << QJsonObject{{u"point"_qs, 11}} << store12 << list << false << true;
        QTest::newRow("points as texts") << QJsonObject{{u"point"_qs, u"9"_qs}, {u"totalPoints"_qs, u"10"_qs}} << store12
                                         << list << true << true;
        QTest::newRow("exchanged") << QJsonObject{{u"isUsed"_qs, 1}} << store12 << list << false << true;
        QTest::newRow("removed") << QJsonObject{{u"isDeleted"_qs, 1}} << store12 << list << false << false;
        QTest::newRow("other member") << QJsonObject{{u"memberId"_qs, 6}} << store12 << list << false << false;
        QTest::newRow("other event") << QJsonObject{{u"eventId"_qs, 101}} << store12 << list << false << true;
        QTest::newRow("other key") << QJsonObject{{u"cardKey"_qs, u"K2"_qs}} << store12 << list << true << false;
        QTest::newRow("other store") << QJsonObject{{u"storeId"_qs, 13}} << store12 << list << false << false;
        QTest::newRow("store id as text") << QJsonObject{{u"storeId"_qs, u"12"_qs}} << store12 << list << true << true;
        QTest::newRow("asked as text") << QJsonObject() << QJsonValue(u"12"_qs) << list << true << true;
        QTest::newRow("longer store list") << QJsonObject{{u"enableStoreIds"_qs, u"12,15,31"_qs}} << store12 << list
                                           << false << false;
        QTest::newRow("blank in store list") << QJsonObject{{u"enableStoreIds"_qs, u"12, 15"_qs}} << store12 << list
                                             << false << false;
        QTest::newRow("card without list") << QJsonObject{{u"enableStoreIds"_qs, QJsonValue()}} << store12 << list
                                           << false << false;
        QTest::newRow("asked without list") << QJsonObject() << store12 << QJsonValue(QJsonValue::Undefined) << false
                                            << false;
        QTest::newRow("asked without store") << QJsonObject() << QJsonValue(QJsonValue::Undefined) << list << false
                                             << false;
    }
    void pointCardLookups()
    {
        QFETCH(QJsonObject, changes);
        QFETCH(QJsonValue, queryStoreId);
        QFETCH(QJsonValue, queryStoreIds);
        QFETCH(bool, foundByEvent);
        QFETCH(bool, foundByKey);
        const QJsonObject base{{u"cardKey"_qs, u"K"_qs},    {u"memberId"_qs, 5},     {u"eventId"_qs, 100},
                               {u"isDeleted"_qs, 0},        {u"isUsed"_qs, 0},       {u"storeId"_qs, 12},
                               {u"enableStoreIds"_qs, u"12,15"_qs}, {u"point"_qs, 3}, {u"totalPoints"_qs, 10}};
        QVERIFY(insertCards({merged(base, changes)}));

        const auto byEvent = store().getPointCardWithEventId(5, Field(100), Field(queryStoreId), Field(queryStoreIds));
        QCOMPARE(byEvent.has_value(), foundByEvent);
        const auto byKey = store().getPointCardWithCardKey(5, Field(u"K"_qs), Field(queryStoreId), Field(queryStoreIds));
        QCOMPARE(byKey.has_value(), foundByKey);
        if (byEvent)
            QCOMPARE(byEvent->eventId.text(), u"100"_qs);
        if (byKey)
            QCOMPARE(byKey->cardKey.text(), u"K"_qs);
    }

    void couponQueries()
    {
        for (const QByteArray &coupon : {
                 QByteArray(R"({"couponKey":"old","memberId":5,"eventId":1,"isDeleted":0,"lastUpdatedTime":100,"enableStoreIds":"12"})"),
                 QByteArray(R"({"couponKey":"new","memberId":5,"eventId":2,"isDeleted":0,"lastUpdatedTime":300,"enableStoreIds":"12,15"})"),
                 QByteArray(R"({"couponKey":"gone","memberId":5,"eventId":2,"isDeleted":1,"lastUpdatedTime":400,"enableStoreIds":"12,15"})"),
                 QByteArray(R"({"couponKey":"theirs","memberId":6,"eventId":2,"isDeleted":0,"lastUpdatedTime":200,"enableStoreIds":"12,15"})"),
             })
            QVERIFY(store().insertWithEntity(record<MemberCoupons>(coupon)));

        QCOMPARE(firstFieldTexts(store().getAllMemberCoupons(5)), (QStringList{u"new"_qs, u"old"_qs}));
        const auto found = store().getMemberCoupons(5, Field(2), Field(u"12,15"_qs));
        QVERIFY(found);
        QCOMPARE(found->couponKey.text(), u"new"_qs);
        QVERIFY(!store().getMemberCoupons(5, Field(2), Field(u"12"_qs)));
        QVERIFY(!store().getMemberCoupons(5, Field(1), Field(u"12,15"_qs)));
        QVERIFY(!store().getMemberCoupons(5, Field(2), Field()));
        QVERIFY(!store().getMemberCoupons(7, Field(2), Field(u"12,15"_qs)));
    }

    void reservationsAndFavourites()
    {
        QVERIFY(store().refreshDataWithJSON<Reservation>(R"([
            {"reservationId":1,"requestMember":5,"appointmentTime":1000},
            {"reservationId":2,"requestMember":5,"appointmentTime":3000},
            {"reservationId":3,"requestMember":8,"appointmentTime":5000},
            {"reservationId":4,"requestMember":"5","appointmentTime":"2000"}])"));
        QCOMPARE(firstFieldTexts(store().getAllReservationHistory(5)), (QStringList{u"2"_qs, u"4"_qs, u"1"_qs}));

        QVERIFY(store().refreshDataWithJSON<Store>(R"([{"storeID":11,"storeName":"Tea"},{"storeID":12,"storeName":"Noodles"}])"));
        const auto tea = store().getMyStoreByStoreId(Field(u"11"_qs));
        QVERIFY(tea);
        QCOMPARE(tea->storeName.text(), u"Tea"_qs);
        QVERIFY(!store().getMyStoreByStoreId(Field(13)));
        QVERIFY(!store().getMyStoreByStoreId(Field()));

        QVERIFY(!store().deleteMyStoreByStoreId(Field())); // names no store, removes nothing
        QCOMPARE(store().getAllEntities<Store>().size(), 2);
        QVERIFY(store().deleteMyStoreByStoreId(Field(11)));
        QCOMPARE(firstFieldTexts(store().getAllEntities<Store>()), QStringList{u"12"_qs});

        QVERIFY(store().deleteWithEntity<Store>());
        QVERIFY(store().getAllEntities<Store>().isEmpty());
        QCOMPARE(store().getAllEntities<Reservation>().size(), 4);
    }

    void insertAndUpdateByKey()
    {
        QVERIFY(!store().insertWithEntity(PointCard())); // no set field
        QVERIFY(store().getAllEntities<PointCard>().isEmpty());

        for (const QByteArray &log : {QByteArray(R"({"cardKey":"k","bPoint":1,"aPoint":2,"storeId":12})"),
                                      QByteArray(R"({"cardKey":"k","bPoint":2,"aPoint":3,"storeId":12})"),
                                      QByteArray(R"({"cardKey":"m","bPoint":0,"aPoint":1,"storeId":12})")})
            QVERIFY(store().insertWithEntity(record<PointCardLog>(log)));

        // Every row of the key changes; unset fields keep their columns.
        QVERIFY(store().updateWithEntity(record<PointCardLog>(R"({"cardKey":"k","aPoint":9,"updatedUser":"Li"})")));
        QStringList rows;
        for (const PointCardLog &log : store().getAllEntities<PointCardLog>())
            rows << QStringList{log.cardKey.text(), log.bPoint.text(), log.aPoint.text(), log.updatedUser.text(), log.storeId.text()}.join(u'/');
        QCOMPARE(rows, (QStringList{u"k/1/9/Li/12"_qs, u"k/2/9/Li/12"_qs, u"m/0/1//12"_qs}));

        QVERIFY(!store().updateWithEntity(record<PointCardLog>(R"({"cardKey":"","aPoint":0})")));
        QVERIFY(!store().updateWithEntity(record<PointCardLog>(R"({"aPoint":0})")));
        QCOMPARE(store().getAllEntities<PointCardLog>().size(), 3);
        for (const PointCardLog &log : store().getAllEntities<PointCardLog>())
            QVERIFY(log.aPoint.toInt() != 0);
    }

    void hostileTextStaysAValue_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("widening condition") << u"x' OR '1'='1"_qs;
        QTest::newRow("drop table") << u"\"; DROP TABLE PointCard; --"_qs;
        QTest::newRow("closing statement") << u"Robert'); DELETE FROM PointCard; --"_qs;
        QTest::newRow("both quotes") << u"a\"b'c`d"_qs;
        QTest::newRow("placeholders") << u"%@ ? ?1 :name"_qs;
    }
    void hostileTextStaysAValue()
    {
        QFETCH(QString, text);
        QVERIFY(insertCards({QJsonObject{{u"cardKey"_qs, u"a"_qs}, {u"name"_qs, u"A"_qs}, {u"memberId"_qs, 5}},
                             QJsonObject{{u"cardKey"_qs, u"b"_qs}, {u"name"_qs, u"B"_qs}, {u"memberId"_qs, 5}}}));

        PointCard change;
        change.cardKey = u"a"_qs;
        change.name = text;
        change.enableStoreIds = text;
        QVERIFY(store().updateWithEntity(change));
        QList<PointCard> cards = store().getAllEntities<PointCard>();
        QCOMPARE(cardKeys(cards), (QStringList{u"a"_qs, u"b"_qs}));
        QCOMPARE(cards[0].name.text(), text);
        QCOMPARE(cards[0].enableStoreIds.text(), text);
        QCOMPARE(cards[1].name.text(), u"B"_qs);

        // As a key it names no card.
        PointCard byHostileKey;
        byHostileKey.cardKey = text;
        byHostileKey.name = u"Z"_qs;
        QVERIFY(store().updateWithEntity(byHostileKey));
        cards = store().getAllEntities<PointCard>();
        QCOMPARE(cards.size(), 2);
        QCOMPARE(cards[0].name.text(), text);
        QCOMPARE(cards[1].name.text(), u"B"_qs);

        // Stored as a key and as a store list, it is found as exactly itself.
        QVERIFY(store().refreshDataWithJSON<PointCard>(
            QJsonDocument(QJsonArray{QJsonObject{{u"cardKey"_qs, text}, {u"memberId"_qs, 5}, {u"storeId"_qs, 1},
                                                 {u"enableStoreIds"_qs, text}, {u"isDeleted"_qs, 0}}})
                .toJson()));
        const auto refreshed = store().getPointCardWithCardKey(5, Field(text), Field(1), Field(text));
        QVERIFY(refreshed);
        QCOMPARE(refreshed->cardKey.text(), text);
        QCOMPARE(store().getAllEntities<PointCard>().size(), 1);
    }

    void statementsGiven_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QJsonArray>("arguments");
        QTest::addColumn<QStringList>("keys");
        const QStringList all{u"a"_qs, u"b"_qs, u"c"_qs};
        QTest::newRow("none") << QString() << QJsonArray() << all;
        QTest::newRow("blank") << u"  "_qs << QJsonArray() << all;
        QTest::newRow("table placeholder") << u"SELECT * FROM %@ WHERE point > ? ORDER BY point DESC"_qs
                                           << QJsonArray{1} << QStringList{u"c"_qs, u"b"_qs};
        QTest::newRow("some columns") << u"SELECT cardKey FROM PointCard WHERE cardKey = ?"_qs
                                      << QJsonArray{u"b"_qs} << QStringList{u"b"_qs};
        QTest::newRow("a write") << u"DELETE FROM %@"_qs << QJsonArray() << QStringList();
        QTest::newRow("a second statement") << u"SELECT * FROM %@; DELETE FROM %@"_qs << QJsonArray()
                                            << QStringList();
        QTest::newRow("transaction control") << u"BEGIN"_qs << QJsonArray() << QStringList();
        QTest::newRow("syntax error") << u"SELEC * FROM %@"_qs << QJsonArray() << QStringList();
        QTest::newRow("unknown column") << u"SELECT * FROM %@ WHERE nothing = 1"_qs << QJsonArray() << QStringList();
        QTest::newRow("too many arguments") << u"SELECT * FROM %@ WHERE point > ?"_qs << QJsonArray{1, 2}
                                            << QStringList();
    }
    void statementsGiven()
    {
        QFETCH(QString, sql);
        QFETCH(QJsonArray, arguments);
        QFETCH(QStringList, keys);
        QVERIFY(store().refreshDataWithJSON<PointCard>(
            R"([{"cardKey":"a","point":1,"name":"A"},{"cardKey":"b","point":2,"name":"B"},{"cardKey":"c","point":3,"name":"C"}])"));
        QList<Field> fields;
        for (const QJsonValue &argument : arguments)
            fields << Field(argument);

        const QList<PointCard> cards = store().getAllEntitiesWithSqlCmd<PointCard>(sql, fields);
        QCOMPARE(cardKeys(cards), keys);
        if (sql.startsWith(u"SELECT cardKey"))
            QVERIFY(!cards.first().name.isSet()); // only the columns read
        QCOMPARE(store().getAllEntities<PointCard>().size(), 3);
        QVERIFY(store().insertWithEntity(record<PointCard>(R"({"cardKey":"d"})"))); // no transaction left open
        RawDb raw(path());
        QCOMPARE(raw.rows("SELECT count(*) FROM PointCard"), QStringList{u"4"_qs});
    }

    void snapshotDeletionKeepsLaterRows()
    {
        auto insertLog = [](const char *key) {
            PointCardLog log;
            log.cardKey = QString::fromLatin1(key);
            return store().insertWithEntity(log);
        };
        auto rowIdsOf = [](const QList<std::pair<qint64, PointCardLog>> &snapshot) {
            QList<qint64> ids;
            for (const auto &entry : snapshot)
                ids << entry.first;
            return ids;
        };
        auto keys = [] { return firstFieldTexts(store().getAllEntities<PointCardLog>()); };

        QVERIFY(insertLog("first"));
        QVERIFY(insertLog("second"));
        const auto snapshot = store().getAllEntitiesWithRowIds<PointCardLog>();
        QCOMPARE(snapshot.size(), 2);
        QCOMPARE(snapshot[0].second.cardKey.text(), u"first"_qs);
        QVERIFY(insertLog("during upload"));
        QVERIFY(store().deleteRowIds<PointCardLog>(rowIdsOf(snapshot)));
        QCOMPARE(keys(), QStringList{u"during upload"_qs});

        // Two uploads of the same row in flight: once the first has deleted
        // it, a new row must not take over the rowid the second still holds
        // (SQLite numbers an emptied table from 1 again).
        QVERIFY(store().deleteWithEntity<PointCardLog>());
        QVERIFY(insertLog("waiting"));
        const auto uploadA = store().getAllEntitiesWithRowIds<PointCardLog>();
        const auto uploadB = store().getAllEntitiesWithRowIds<PointCardLog>();
        QVERIFY(store().deleteRowIds<PointCardLog>(rowIdsOf(uploadA)));
        QVERIFY(insertLog("after first answer"));
        QVERIFY(store().deleteRowIds<PointCardLog>(rowIdsOf(uploadB)));
        QCOMPARE(keys(), QStringList{u"after first answer"_qs});

        // The same holds when a table is emptied and refilled by a refresh.
        QVERIFY(store().deleteWithEntity<PointCardLog>());
        QVERIFY(store().refreshDataWithJSON<PointCardLog>(R"([{"cardKey":"refreshed"}])"));
        QVERIFY(store().deleteRowIds<PointCardLog>(rowIdsOf(uploadB) + rowIdsOf(uploadA)));
        QCOMPARE(keys(), QStringList{u"refreshed"_qs});

        QVERIFY(store().deleteRowIds<PointCardLog>({}));
        QCOMPARE(keys(), QStringList{u"refreshed"_qs});
    }

    void brokenFile_data()
    {
        QTest::addColumn<QByteArray>("content");
        QByteArray noise(16384, '\0');
        QRandomGenerator generator(20121108);
        for (char &byte : noise)
            byte = char(generator.bounded(256));
        QTest::newRow("random bytes") << noise;
        QTest::newRow("header then noise") << QByteArray("SQLite format 3", 16) + noise;
    }
    void brokenFile()
    {
        QFETCH(QByteArray, content);
        {
            QFile file(path());
            QVERIFY(file.open(QIODevice::WriteOnly));
            QCOMPARE(file.write(content), content.size());
        }
        SQLiteHelper &broken = store();
        QVERIFY(!broken.refreshDataWithJSON<PointCard>(R"([{"cardKey":"a"}])"));
        QVERIFY(!broken.refreshDataWithJSON<PointCard>("[]"));
        QVERIFY(!broken.insertWithEntity(record<PointCard>(R"({"cardKey":"a"})")));
        QVERIFY(!broken.updateWithEntity(record<PointCard>(R"({"cardKey":"a","point":1})")));
        QVERIFY(!broken.deleteWithEntity<PointCardLog>());
        QVERIFY(!broken.deleteRowIds<PointCardLog>({1}));
        QVERIFY(!broken.deleteMyStoreByStoreId(Field(1)));
        QVERIFY(broken.getAllEntities<PointCard>().isEmpty());
        QVERIFY(broken.getAllEntitiesWithRowIds<PointCardLog>().isEmpty());
        QVERIFY(broken.getAllPointCard(5).isEmpty());
        QVERIFY(!broken.getMyStoreByStoreId(Field(1)));

        // Nothing was written over the file: it can still be looked at or saved.
        QFile file(path());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), content);
    }

    void unusableFolder_data()
    {
        QTest::addColumn<bool>("readOnly");
        QTest::newRow("folder cannot be made") << false;
        QTest::newRow("read-only folder") << true;
    }
    void unusableFolder()
    {
        QFETCH(bool, readOnly);
        QString folder = m_dir->path() + QStringLiteral("/data");
        if (readOnly) {
            if (geteuid() == 0)
                QSKIP("root writes to read-only folders");
            QVERIFY(QDir().mkpath(folder));
            QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
        } else {
            QFile blocker(folder);
            QVERIFY(blocker.open(QIODevice::WriteOnly)); // a file where the folder should be
            folder += QStringLiteral("/documents");
        }
        AppPaths::setDataDir(folder);

        SQLiteHelper &unusable = store();
        QVERIFY(!unusable.refreshDataWithJSON<PointCard>(R"([{"cardKey":"a"}])"));
        QVERIFY(!unusable.insertWithEntity(record<PointCard>(R"({"cardKey":"a"})")));
        QVERIFY(!unusable.updateWithEntity(record<PointCard>(R"({"cardKey":"a","point":1})")));
        QVERIFY(!unusable.deleteWithEntity<PointCard>());
        QVERIFY(unusable.getAllEntities<PointCard>().isEmpty());
        QVERIFY(unusable.getAllPointCard(5).isEmpty());
        QVERIFY(!QFile::exists(dbPath(folder)));
        if (readOnly)
            QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    void refreshKilledMidway()
    {
        QVERIFY(store().refreshDataWithJSON<PointCard>(
            R"([{"cardKey":"old-1","memberId":7},{"cardKey":"old-2","memberId":7},{"cardKey":"old-3","memberId":8}])"));
        SQLiteHelper::resetInstance();
        QByteArray before;
        {
            QFile file(path());
            QVERIFY(file.open(QIODevice::ReadOnly));
            before = file.readAll();
        }

        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QString::fromLatin1(KilledRefresh::kDirVariable), m_dir->path());
        child.setProcessEnvironment(environment);
        child.start(QCoreApplication::applicationFilePath(), {});
        QVERIFY(child.waitForFinished(120000));
        QCOMPARE(child.exitStatus(), QProcess::CrashExit);
        QCOMPARE(child.readAllStandardOutput(), QByteArray(KilledRefresh::kMarker));

        // The kill left half a transaction in the file and its journal.
        QVERIFY(QFileInfo(path() + QStringLiteral("-journal")).size() > 0);
        {
            QFile file(path());
            QVERIFY(file.open(QIODevice::ReadOnly));
            QVERIFY(file.readAll() != before);
        }

        QCOMPARE(cardKeys(store().getAllEntities<PointCard>()),
                 (QStringList{u"old-1"_qs, u"old-2"_qs, u"old-3"_qs}));
        RawDb raw(path());
        QCOMPARE(raw.rows("PRAGMA integrity_check"), QStringList{u"ok"_qs});
        QVERIFY(store().refreshDataWithJSON<PointCard>(manyCardsJson(50, 7)));
        QCOMPARE(store().getAllPointCard(7).size(), 50);
    }
};

int main(int argc, char *argv[])
{
    const QByteArray killDir = qgetenv(KilledRefresh::kDirVariable);
    if (!killDir.isEmpty())
        return KilledRefresh::run(QString::fromLocal8Bit(killDir));
    QCoreApplication app(argc, argv);
    TestSQLiteHelper test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_sqlitehelper.moc"
