// Synchronisation of 1,000 point cards and 1,000 point card logs against the
// reference loyalty service, as a ratio to posting the same bytes with a bare
// QNetworkAccessManager in the same run.
//
//   bench_sync [path/to/loyalty-server]     (or LOYALTY_SERVER in the environment)

#include "AppPaths.h"
#include "BuildConfig.h"
#include "Cipher.h"
#include "EditionConfig.h"
#include "HttpClient.h"
#include "InnerRequest.h"
#include "PointCardLog.h"
#include "SQLiteHelper.h"
#include "Tools.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int kRecords = 1000;
int kRounds = 5;

void fail(const char *what)
{
    std::fprintf(stderr, "bench_sync: %s\n", what);
    std::exit(1);
}

// Runs the event loop until done() holds or the time runs out.
bool waitFor(const std::function<bool()> &done, int timeoutMs = 120000)
{
    if (done())
        return true;
    QElapsedTimer timer;
    timer.start();
    QEventLoop loop;
    QTimer poll;
    poll.setInterval(1);
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done() || timer.elapsed() > timeoutMs)
            loop.quit();
    });
    poll.start();
    loop.exec();
    return done();
}

bool idle()
{
    return HttpClient::inFlightCount() + HttpClient::queuedCount() == 0;
}

void writeLogs(int round, qint64 memberId)
{
    for (int i = 0; i < kRecords; ++i) {
        PointCardLog log;
        log.cardKey = QStringLiteral("bench-%1").arg(i);
        log.memberId = memberId;
        log.bPoint = round;
        log.aPoint = round + 1;
        log.actionType = 1;
        log.updatedTime = qint64(1700000000000) + qint64(round) * kRecords + i;
        if (!SQLiteHelper::getInstance().insertWithEntity(log))
            fail("cannot write a log");
    }
}

template <class T>
QByteArray uploadBytes()
{
    QJsonArray array;
    for (const T &record : SQLiteHelper::getInstance().getAllEntities<T>())
        array.append(Tools::dictionaryWithEntity(record));
    return QJsonDocument(array).toJson(QJsonDocument::Compact);
}

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (const int rounds = qEnvironmentVariableIntValue("BENCH_ROUNDS"); rounds > 0)
        kRounds = rounds;
    QElapsedTimer total;
    total.start();
    const auto progress = [&total](const char *step) {
        std::fprintf(stderr, "[%.1f s] %s\n", double(total.elapsed()) / 1000.0, step);
    };
    const QString serverPath = argc > 1 ? QString::fromLocal8Bit(argv[1]) : qEnvironmentVariable("LOYALTY_SERVER");
    if (serverPath.isEmpty())
        fail("give the loyalty-server path as the first argument or in LOYALTY_SERVER");

    QTemporaryDir serverData;
    QTemporaryDir appData;
    if (!serverData.isValid() || !appData.isValid())
        fail("no temporary folder");
    AppPaths::setDataDir(appData.path());

    QProcess server;
    server.setStandardErrorFile(QProcess::nullDevice());
    server.start(serverPath, {QStringLiteral("--data-dir"), serverData.path(), QStringLiteral("--loyalty-port"),
                              QStringLiteral("0"), QStringLiteral("--catalogue-port"), QStringLiteral("0")});
    if (!server.waitForStarted(10000))
        fail("the loyalty server did not start");
    QByteArray banner;
    const QRegularExpression listening(QStringLiteral("listening loyalty=(\\d+) catalogue=(\\d+)"));
    QRegularExpressionMatch match;
    if (!waitFor([&] {
            banner += server.readAllStandardOutput();
            match = listening.match(QString::fromUtf8(banner));
            return match.hasMatch() || server.state() == QProcess::NotRunning;
        }, 30000) || !match.hasMatch())
        fail("the loyalty server did not report its ports");
    const QString baseUrl = QStringLiteral("http://127.0.0.1:%1/").arg(match.captured(1));
    BuildConfig::setLoyaltyBaseUrl(baseUrl);

    progress("service started");
    // A member known to the service.
    std::optional<qint64> memberId;
    InnerRequest::mapMemberId(QStringLiteral("1"), QStringLiteral("bench"), QStringLiteral("555"),
                              [&memberId](bool ok, std::optional<qint64> id) {
                                  memberId = ok ? id.value_or(0) : 0;
                              });
    if (!waitFor([&] { return memberId.has_value(); }) || *memberId <= 0)
        fail("cannot map a member");

    for (int i = 0; i < kRecords; ++i) {
        PointCard card;
        card.cardKey = QStringLiteral("bench-%1").arg(i);
        card.name = QStringLiteral("Card %1").arg(i);
        card.memberId = *memberId;
        card.eventId = qint64(1);
        card.point = i % 10;
        card.isUsed = 0;
        card.isDeleted = 0;
        card.lastUpdatedTime = qint64(1700000000000) + i;
        card.totalPoints = 10;
        if (!SQLiteHelper::getInstance().insertWithEntity(card))
            fail("cannot write a card");
    }

    progress("local cards written");
    QNetworkAccessManager bare;
    const auto postBare = [&bare, &baseUrl](const QString &path, const QByteArray &body) {
        QNetworkRequest request(QUrl(baseUrl + path));
        request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("text/plain; charset=utf-8"));
        QNetworkReply *reply = bare.post(request, body);
        bool finished = false;
        QObject::connect(reply, &QNetworkReply::finished, [&finished] { finished = true; });
        if (!waitFor([&finished] { return finished; }))
            fail("a bare request did not finish");
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        reply->deleteLater();
        if (reply->error() != QNetworkReply::NoError || status != 200)
            fail("a bare request failed");
    };

    const QString companyKey = EditionConfig::text(QStringLiteral("COMPANY_KEY"));
    QList<double> syncMs;
    QList<double> bareMs;
    qint64 cardBytes = 0;
    qint64 logBytes = 0;
    for (int round = 0; round < kRounds; ++round) {
        writeLogs(round, *memberId);
        progress("logs written");
        const QByteArray cards = uploadBytes<PointCard>();
        const QByteArray logs = uploadBytes<PointCardLog>();
        cardBytes = cards.size();
        logBytes = logs.size();

        // The real synchronisation: upload, replace the table, upload and delete the logs.
        const auto synchronise = [&] {
            std::optional<bool> synced;
            QElapsedTimer timer;
            timer.start();
            InnerRequest::syncPointCard(*memberId, [&synced](bool ok) { synced = ok; });
            if (!waitFor([&] { return synced.has_value() && idle(); }) || !*synced)
                fail("the synchronisation failed");
            syncMs << double(timer.nsecsElapsed()) / 1e6;
            progress("synchronisation done");
            if (!SQLiteHelper::getInstance().getAllEntities<PointCardLog>().isEmpty())
                fail("the logs were not removed after the upload");
            if (SQLiteHelper::getInstance().getAllEntities<PointCard>().size() != kRecords)
                fail("the service did not answer every card");
        };
        // The same two posts, bare: the cards, then the logs.
        const auto postSameBytes = [&] {
            QElapsedTimer timer;
            timer.start();
            postBare(QStringLiteral("MerchantApps/service/thirdParty/syncPointCards/%1/%2/%3")
                         .arg(*memberId)
                         .arg(companyKey, Cipher::generatePassKey()),
                     cards);
            postBare(QStringLiteral("MerchantApps/service/thirdParty/syncPointCardLogs/%1").arg(Cipher::generatePassKey()),
                     logs);
            bareMs << double(timer.nsecsElapsed()) / 1e6;
            progress("bare posts done");
        };
        // Alternate the order so neither side always meets a warm service.
        if (round % 2 == 0) {
            synchronise();
            postSameBytes();
        } else {
            postSameBytes();
            synchronise();
        }
    }

    server.terminate();
    if (!server.waitForFinished(15000)) {
        server.kill();
        server.waitForFinished(5000);
    }

    const double sync = median(syncMs);
    const double baseline = median(bareMs);
    std::printf("records: %d cards, %d logs\n", kRecords, kRecords);
    std::printf("upload_bytes: %lld\n", static_cast<long long>(cardBytes + logBytes));
    std::printf("rounds: %d\n", kRounds);
    std::printf("sync_ms: %.1f\n", sync);
    std::printf("bare_post_ms: %.1f\n", baseline);
    std::printf("sync_over_bare_ratio: %.2f\n", baseline > 0 ? sync / baseline : 0.0);
    return 0;
}
