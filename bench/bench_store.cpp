// The local store against plain SQLite doing the same work in the same run:
//  - refresh: one JSON answer of 10,000 point cards replaces the table. Both
//    sides parse the bytes with QJsonDocument (parsing is part of the job the
//    store is given), then delete and insert in one transaction through one
//    prepared statement, binding texts as texts and numbers as numbers.
//  - getAllPointCard: the same SELECT with its ORDER BY, every column of every
//    row read as text into QStrings (the baseline keeps them in a flat list).
// Freeing a result happens outside the timed part on both sides. A second
// data set, where nothing repeats from card to card, gives the worst case.

#include "AppPaths.h"
#include "SQLiteHelper.h"

#include <QDir>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <limits>
#include <vector>

namespace {

constexpr int kCards = 10000;
constexpr int kRuns = 11;
constexpr qint64 kMember = 1001;

// A member's cards: keys and times differ, while member, merchant, flags,
// events, stores and texts repeat as they do in real answers. With distinct
// set, every value of every card differs instead.
QByteArray pointCardsAnswer(bool distinct)
{
    QJsonArray cards;
    for (int i = 0; i < kCards; ++i) {
        if (distinct) {
            QJsonObject card;
            for (const auto &spec : EntityInfo<PointCard>::fields) {
                const QString name = QString::fromLatin1(spec.name);
                card.insert(name, spec.kind == FieldKind::Text ? QJsonValue(QStringLiteral("%1 of card %2").arg(name).arg(i))
                                                               : QJsonValue(qint64(i) * 1000 + 7));
            }
            card.insert(QStringLiteral("memberId"), kMember);
            card.insert(QStringLiteral("isDeleted"), 0);
            cards.append(card);
            continue;
        }
        cards.append(QJsonObject{
            {QStringLiteral("cardKey"), QStringLiteral("c0ffee%1d1a2b3c4d5e6f708192a3b4c").arg(i, 6, 10, QLatin1Char('0'))},
            {QStringLiteral("name"), QStringLiteral("Coffee card %1").arg(i % 40)},
            {QStringLiteral("memberId"), kMember},
            {QStringLiteral("member"), QStringLiteral("demo")},
            {QStringLiteral("eventId"), 5000 + i % 40},
            {QStringLiteral("point"), i % 10},
            {QStringLiteral("isUsed"), i % 7 == 0 ? 1 : 0},
            {QStringLiteral("isDeleted"), 0},
            {QStringLiteral("merchantId"), 7},
            {QStringLiteral("lastUpdatedTime"), qint64(1352332800000) + qint64(i) * 60000},
            {QStringLiteral("lastUpdatedUserId"), 300 + i % 5},
            {QStringLiteral("lastUpdatedUser"), QStringLiteral("staff %1").arg(i % 5)},
            {QStringLiteral("picture"), QStringLiteral("card_%1.png").arg(i % 40)},
            {QStringLiteral("detailPic"), QStringLiteral("card_%1_detail.png").arg(i % 40)},
            {QStringLiteral("startTime"), qint64(1350000000000)},
            {QStringLiteral("endTime"), qint64(1390000000000)},
            {QStringLiteral("storeName"), QStringLiteral("Store %1").arg(i % 30)},
            {QStringLiteral("brief"), QStringLiteral("Ten stamps, one free coffee")},
            {QStringLiteral("detail"), QStringLiteral("Collect a stamp with every coffee; the tenth is on us.")},
            {QStringLiteral("totalPoints"), 10},
            {QStringLiteral("storeId"), i % 3 == 0 ? 0 : 12 + i % 30},
            {QStringLiteral("enableStoreIds"), QStringLiteral("12,15,31")},
        });
    }
    return QJsonDocument(cards).toJson(QJsonDocument::Compact);
}

struct Baseline
{
    sqlite3 *db = nullptr;
    QStringList columns;

    explicit Baseline(const QString &path)
    {
        sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
        QStringList definitions;
        for (const auto &spec : EntityInfo<PointCard>::fields) {
            columns << QString::fromLatin1(spec.name);
            definitions << columns.last() + (spec.kind == FieldKind::Text ? QStringLiteral(" TEXT") : QStringLiteral(" NUMBERIC"));
        }
        const QByteArray create = "CREATE TABLE IF NOT EXISTS `PointCard` (" + definitions.join(u',').toUtf8() + ");";
        sqlite3_exec(db, create.constData(), nullptr, nullptr, nullptr);
    }
    ~Baseline() { sqlite3_close(db); }

    bool refresh(const QByteArray &json)
    {
        const QJsonDocument document = QJsonDocument::fromJson(json);
        if (!document.isArray())
            return false;
        QStringList marks;
        for (qsizetype i = 0; i < columns.size(); ++i)
            marks << QStringLiteral("?");
        const QByteArray sql = "INSERT INTO PointCard (" + columns.join(u',').toUtf8() + ") VALUES ("
            + marks.join(u',').toUtf8() + ")";
        sqlite3_stmt *insert = nullptr;
        if (sqlite3_prepare_v2(db, sql.constData(), -1, &insert, nullptr) != SQLITE_OK)
            return false;
        sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
        sqlite3_exec(db, "DELETE FROM PointCard", nullptr, nullptr, nullptr);
        std::vector<QString> holders(std::size_t(columns.size()));
        bool ok = true;
        for (const QJsonValue &element : document.array()) {
            const QJsonObject object = element.toObject();
            for (qsizetype i = 0; i < columns.size(); ++i) {
                const QJsonValue value = object.value(columns[i]);
                const int index = int(i + 1);
                if (value.isString()) {
                    QString &holder = holders[std::size_t(i)];
                    holder = value.toString();
                    sqlite3_bind_text16(insert, index, holder.utf16(), int(holder.size() * 2), SQLITE_STATIC);
                } else if (value.isDouble()) {
                    const qint64 whole = value.toInteger(std::numeric_limits<qint64>::min());
                    if (whole != std::numeric_limits<qint64>::min())
                        sqlite3_bind_int64(insert, index, whole);
                    else
                        sqlite3_bind_double(insert, index, value.toDouble());
                } else {
                    sqlite3_bind_null(insert, index);
                }
            }
            ok = sqlite3_step(insert) == SQLITE_DONE && ok;
            sqlite3_reset(insert);
        }
        sqlite3_finalize(insert);
        return sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK && ok;
    }

    std::vector<QString> readAll()
    {
        std::vector<QString> cells;
        sqlite3_stmt *select = nullptr;
        sqlite3_prepare_v2(db,
                           "SELECT * FROM PointCard WHERE `memberId` = ? AND `isDeleted` = 0 "
                           "ORDER BY `isUsed` ASC, `lastUpdatedTime` DESC",
                           -1, &select, nullptr);
        sqlite3_bind_int64(select, 1, kMember);
        while (sqlite3_step(select) == SQLITE_ROW) {
            const int count = sqlite3_column_count(select);
            for (int column = 0; column < count; ++column) {
                const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(select, column));
                cells.push_back(text ? QString::fromUtf8(text, sqlite3_column_bytes(select, column)) : QString());
            }
        }
        sqlite3_finalize(select);
        return cells;
    }
};

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

struct Figures
{
    std::vector<double> refreshOurs, refreshBase, readOurs, readBase;
    std::vector<double> refreshRatios, readRatios;
};

// Runs both sides back to back, alternating which goes first; the ratio of
// each pair is taken under the same machine load, and the median of those
// ratios is reported. Refreshes and reads are measured in separate rounds so
// that every read starts from the same state.
bool measure(SQLiteHelper &store, Baseline &baseline, const QByteArray &answer, Figures &figures)
{
    QElapsedTimer timer;
    const auto time = [&timer](const auto &work) {
        timer.start();
        const bool ok = work();
        return ok ? double(timer.nsecsElapsed()) / 1e6 : -1.0;
    };
    const auto refreshOurs = [&] { return store.refreshDataWithJSON<PointCard>(answer); };
    const auto refreshBase = [&] { return baseline.refresh(answer); };
    const auto readOurs = [&] { return store.getAllPointCard(kMember).size() == kCards; };
    const auto readBase = [&] {
        return baseline.readAll().size() == std::size_t(kCards) * EntityInfo<PointCard>::fields.size();
    };

    for (int run = 0; run < kRuns; ++run) {
        const bool oursFirst = run % 2 == 0;
        const double first = oursFirst ? time(refreshOurs) : time(refreshBase);
        const double second = oursFirst ? time(refreshBase) : time(refreshOurs);
        const double ours = oursFirst ? first : second, base = oursFirst ? second : first;
        if (ours < 0 || base < 0)
            return false;
        figures.refreshOurs.push_back(ours);
        figures.refreshBase.push_back(base);
        figures.refreshRatios.push_back(ours / base);
    }
    if (time(readOurs) < 0 || time(readBase) < 0) // warm-up
        return false;
    for (int run = 0; run < kRuns; ++run) {
        const bool oursFirst = run % 2 == 0;
        const double first = oursFirst ? time(readOurs) : time(readBase);
        const double second = oursFirst ? time(readBase) : time(readOurs);
        const double ours = oursFirst ? first : second, base = oursFirst ? second : first;
        if (ours < 0 || base < 0)
            return false;
        figures.readOurs.push_back(ours);
        figures.readBase.push_back(base);
        figures.readRatios.push_back(ours / base);
    }
    return true;
}

} // namespace

int main()
{
    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;
    QDir(dir.path()).mkpath(QStringLiteral("store"));
    QDir(dir.path()).mkpath(QStringLiteral("baseline"));
    AppPaths::setDataDir(dir.filePath(QStringLiteral("store")));
    SQLiteHelper &store = SQLiteHelper::getInstance();
    Baseline baseline(dir.filePath(QStringLiteral("baseline/main.db")));

    Figures typical, distinct;
    if (!measure(store, baseline, pointCardsAnswer(false), typical)
        || !measure(store, baseline, pointCardsAnswer(true), distinct))
        return 2;

    std::printf("refresh_10000_pointcards_ms: %.2f\n", median(typical.refreshOurs));
    std::printf("refresh_baseline_ms: %.2f\n", median(typical.refreshBase));
    std::printf("refresh_ratio: %.3f\n", median(typical.refreshRatios));
    std::printf("getAllPointCard_10000_ms: %.2f\n", median(typical.readOurs));
    std::printf("getAllPointCard_baseline_ms: %.2f\n", median(typical.readBase));
    std::printf("getAllPointCard_ratio: %.3f\n", median(typical.readRatios));
    // Every value of every card different: nothing repeats from row to row.
    std::printf("refresh_distinct_ratio: %.3f\n", median(distinct.refreshRatios));
    std::printf("getAllPointCard_distinct_ms: %.2f\n", median(distinct.readOurs));
    std::printf("getAllPointCard_distinct_baseline_ms: %.2f\n", median(distinct.readBase));
    std::printf("getAllPointCard_distinct_ratio: %.3f\n", median(distinct.readRatios));
    return 0;
}
