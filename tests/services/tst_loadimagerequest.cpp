#include "AppPaths.h"
#include "BuildConfig.h"
#include "Clock.h"
#include "HttpClient.h"
#include "LoadImageRequest.h"
#include "ScriptedHttpServer.h"

#include <QBuffer>
#include <QDirIterator>
#include <QTemporaryDir>
#include <QTest>

#define WAIT_IDLE() QTRY_COMPARE(HttpClient::inFlightCount() + HttpClient::queuedCount(), 0)

namespace {

QByteArray pngBytes(QColor colour)
{
    QImage image(4, 3, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// Every file under a folder, relative to it.
QStringList filesUnder(const QString &root)
{
    QStringList files;
    QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << QDir(root).relativeFilePath(it.next());
    files.sort();
    return files;
}

void setModified(const QString &path, const QDateTime &when)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.setFileTime(when, QFileDevice::FileModificationTime));
}

} // namespace

class TestLoadImageRequest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_root; // holds the documents folder and nothing else
    QString m_documents;
    ScriptedHttpServer m_server;
    LoadImageRequest &loader() { return LoadImageRequest::getInstance(); }
    QString url(const QString &path) const { return m_server.baseUrl() + path; }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_server.isListening());
        BuildConfig::setLoyaltyBaseUrl(m_server.baseUrl());
        HttpClient::setTransferTimeout(5000);
    }

    void init()
    {
        m_root = std::make_unique<QTemporaryDir>();
        QVERIFY(m_root->isValid());
        m_documents = m_root->filePath(u"documents"_qs);
        AppPaths::setDataDir(m_documents);
        m_server.clear();
        m_server.setHandler({});
        m_server.setDefaultAnswer(ScriptedAnswer{});
        Clock::setSource(nullptr);
    }

    void cleanup()
    {
        WAIT_IDLE();
        Clock::setSource(nullptr);
    }

    void cacheLocation_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("relative"); // empty: not cached

        QTest::newRow("event picture") << u"http://h:1/merchantImgs/salesEventImgs/N.png"_qs
                                       << u"merchantImgs/salesEventImgs/N.png"_qs;
        QTest::newRow("percent signs and query stay") << u"http://h/img/a%20b.png?w=2&x=%41"_qs
                                                      << u"img/a%20b.png?w=2&x=%41"_qs;
        QTest::newRow("empty pieces collapse") << u"http://h/a//b/c.png"_qs << u"a/b/c.png"_qs;
        QTest::newRow("no path") << u"http://h"_qs << QString();
        QTest::newRow("empty file name") << u"http://h/a/"_qs << QString();
        QTest::newRow("file beside the database") << u"http://h/main.db"_qs << QString();
        QTest::newRow("leading empty piece") << u"http://h//preferences.ini"_qs << QString();
        QTest::newRow("dot dot out") << u"http://h/a/../../x.png"_qs << QString();
        QTest::newRow("dot dot file") << u"http://h/a/.."_qs << QString();
        QTest::newRow("dot dot in query") << u"http://h/a/b.png?p=/../../../x"_qs << QString();
        QTest::newRow("dot piece") << u"http://h/a/./x.png"_qs << QString();
    }

    void cacheLocation()
    {
        QFETCH(QString, url);
        QFETCH(QString, relative);
        const QString path = LoadImageRequest::cacheFilePath(url);
        QCOMPARE(path, relative.isEmpty() ? QString() : m_documents + u'/' + relative);
        // Hosts are not told apart.
        QCOMPARE(LoadImageRequest::cacheFilePath(QString(url).replace(u"//h"_qs, u"//other.example"_qs)), path);
    }

    void hostileUrlWritesNothingOutside()
    {
        const QList<QString> hostile{url(u"a/../../../escaped.png"_qs), url(u"..%2F/../escaped2.png"_qs),
                                     url(u"main.db"_qs), url(u"x/./../../y/escaped3.png"_qs)};
        m_server.setDefaultAnswer(ScriptedAnswer{200, pngBytes(Qt::red), "image/png", false});
        int answered = 0;
        for (const QString &address : hostile) {
            QVERIFY(!loader().saveImageInLocal(address, "bytes"));
            loader().LoadImage(address, [&answered](std::optional<QImage> image) {
                QVERIFY(image.has_value()); // still handed over
                ++answered;
            });
        }
        QTRY_COMPARE(answered, int(hostile.size()));
        const QStringList everything = filesUnder(m_root->path());
        for (const QString &file : everything)
            QVERIFY2(!file.contains(u"escaped"_qs) && file != u"documents/main.db"_qs, qPrintable(file));
    }

    void cacheValidForTheCalendarDay()
    {
        const QString address = url(u"pics/a.png"_qs);
        QVERIFY(loader().saveImageInLocal(address, pngBytes(Qt::green)));
        const QString path = LoadImageRequest::cacheFilePath(address);
        QVERIFY(QFileInfo::exists(path));
        QVERIFY(loader().LoadImageFromLocal(address).has_value());

        // Written at 00:00:01 today, still good at 23:59:59.
        const QDate today = QDate::currentDate();
        setModified(path, QDateTime(today, QTime(0, 0, 1)));
        Clock::setSource([today] { return QDateTime(today, QTime(23, 59, 59)).toMSecsSinceEpoch(); });
        QVERIFY(loader().LoadImageFromLocal(address).has_value());

        // Seen the next day: removed.
        Clock::setSource([today] { return QDateTime(today.addDays(1), QTime(0, 0, 0)).toMSecsSinceEpoch(); });
        QVERIFY(!loader().LoadImageFromLocal(address).has_value());
        QVERIFY(!QFileInfo::exists(path));

        QVERIFY(!loader().LoadImageFromLocal(QString()).has_value());
    }

    void yesterdaysPictureIsDownloadedAgain()
    {
        const QString address = url(u"pics/b.png"_qs);
        QVERIFY(loader().saveImageInLocal(address, pngBytes(Qt::green)));
        setModified(LoadImageRequest::cacheFilePath(address), QDateTime::currentDateTime().addDays(-1));
        m_server.enqueue(ScriptedAnswer{200, pngBytes(Qt::blue), "image/png", false});
        std::optional<std::optional<QImage>> answer;
        loader().LoadImage(address, [&answer](std::optional<QImage> image) { answer = image; });
        QTRY_VERIFY(answer.has_value());
        QCOMPARE(m_server.count(), 1);
        QCOMPARE(QColor(answer->value().pixel(0, 0)), QColor(Qt::blue));
        QCOMPARE(QColor(loader().LoadImageFromLocal(address)->pixel(0, 0)), QColor(Qt::blue));
    }

    void rejectedUrlsAnswerAtOnce_data()
    {
        QTest::addColumn<QString>("address");
        QTest::newRow("empty") << QString();
        QTest::newRow("https") << u"https://h/a/b.png"_qs;
        QTest::newRow("scheme only") << u"http://"_qs;
    }

    void rejectedUrlsAnswerAtOnce()
    {
        QFETCH(QString, address);
        std::optional<std::optional<QImage>> answer;
        loader().LoadImage(address, [&answer](std::optional<QImage> image) { answer = image; });
        QVERIFY(answer.has_value()); // before returning
        QVERIFY(!answer->has_value());
        QCOMPARE(HttpClient::inFlightCount(), 0);
    }

    void downloadsOnceThenUsesTheCache()
    {
        const QString address = url(u"shop/p.png?v=1"_qs);
        m_server.enqueue(ScriptedAnswer{200, pngBytes(Qt::red), "image/png", false});
        m_server.setDefaultAnswer(ScriptedAnswer{500, {}, {}, false});
        std::optional<std::optional<QImage>> answer;
        loader().LoadImage(address, [&answer](std::optional<QImage> image) { answer = image; });
        QVERIFY(!answer.has_value()); // the lookup runs in the background
        QTRY_VERIFY(answer.has_value());
        QVERIFY(answer->has_value());
        QCOMPARE(m_server.last().method, QByteArray("GET"));
        QCOMPARE(m_server.last().target, QByteArray("/shop/p.png?v=1"));
        QVERIFY(QFileInfo::exists(m_documents + u"/shop/p.png?v=1"_qs));

        answer.reset();
        loader().LoadImage(address, [&answer](std::optional<QImage> image) { answer = image; });
        QTRY_VERIFY(answer.has_value());
        QVERIFY(answer->has_value());
        QCOMPARE(m_server.count(), 1);
    }

    void serverAnswers_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<bool>("image");
        QTest::addColumn<bool>("cached");
        QTest::newRow("picture") << 200 << pngBytes(Qt::red) << true << true;
        QTest::newRow("not a picture is cached anyway") << 200 << QByteArray("<html>") << false << true;
        QTest::newRow("empty body") << 200 << QByteArray() << false << false;
        QTest::newRow("status 404") << 404 << pngBytes(Qt::red) << false << false;
    }

    void serverAnswers()
    {
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        QFETCH(bool, image);
        QFETCH(bool, cached);
        const QString address = url(u"dl/x.png"_qs);
        m_server.enqueue(status, body);
        std::optional<std::pair<QString, std::optional<QImage>>> answer;
        loader().LoadImageFromServer(address, [&answer](QString u, std::optional<QImage> picture) {
            answer = std::make_pair(u, picture);
        });
        QTRY_VERIFY(answer.has_value());
        QCOMPARE(answer->first, address);
        QCOMPARE(answer->second.has_value(), image);
        const QString path = LoadImageRequest::cacheFilePath(address);
        QCOMPARE(QFileInfo::exists(path), cached);
        if (cached) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(file.readAll(), body); // the bytes exactly as received
            QCOMPARE(loader().LoadImageFromLocal(address).has_value(), image);
        }
    }
};

QTEST_GUILESS_MAIN(TestLoadImageRequest)
#include "tst_loadimagerequest.moc"
