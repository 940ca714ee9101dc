#include "AppPaths.h"
#include "BuildConfig.h"
#include "HttpClient.h"
#include "LoadImageRequest.h"
#include "MyUIImageView.h"

#include "ScriptedHttpServer.h"

#include <QBuffer>
#include <QTemporaryDir>
#include <QTest>

#define WAIT_IDLE() QTRY_COMPARE(HttpClient::inFlightCount() + HttpClient::queuedCount(), 0)

namespace {

QByteArray pngBytes(QColor colour)
{
    QImage image(2, 2, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

QColor shown(const MyUIImageView &view)
{
    return view.image() ? QColor(view.image()->pixel(0, 0)) : QColor();
}

ScriptedAnswer picture(QColor colour, bool hang = false)
{
    return ScriptedAnswer{200, pngBytes(colour), "image/png", hang};
}

} // namespace

class TestMyUIImageView : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
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
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        AppPaths::setDataDir(m_dir->path());
        m_server.clear();
        m_server.setHandler({});
        m_server.setDefaultAnswer(ScriptedAnswer{});
    }

    void cleanup() { WAIT_IDLE(); }

    void loadingState()
    {
        MyUIImageView view;
        view.resize(100, 60);
        QVERIFY(!view.isAnimating());
        QVERIFY(!view.activityIndicator());
        view.startAnimating();
        QWidget *indicator = view.activityIndicator();
        QVERIFY(indicator);
        QVERIFY(view.isAnimating());
        QVERIFY(!indicator->isHidden());
        QCOMPARE(indicator->geometry().center(), QRect(0, 0, 100, 60).center());
        view.stopAnimating();
        QVERIFY(!view.isAnimating());
        QVERIFY(indicator->isHidden());
        view.startAnimating();
        QCOMPARE(view.activityIndicator(), indicator); // made once
    }

    void cachedPictureShowsAtOnce()
    {
        const QString address = url(u"cells/a.png"_qs);
        QVERIFY(loader().saveImageInLocal(address, pngBytes(Qt::green)));
        MyUIImageView view;
        view.setImage(QImage(1, 1, QImage::Format_RGB32)); // an old picture goes first
        view.setImageUrl(address);
        loader().LoadImage(&view);
        QCOMPARE(shown(view), QColor(Qt::green));
        QVERIFY(!view.isAnimating());
        QCOMPARE(m_server.count(), 0);
    }

    void downloadShowsLoadingThenPicture()
    {
        m_server.enqueue(picture(Qt::red, true));
        MyUIImageView view;
        view.setImage(QImage(1, 1, QImage::Format_RGB32));
        view.setImageUrl(url(u"cells/b.png"_qs));
        loader().LoadImage(&view);
        QVERIFY(view.isAnimating());
        QVERIFY(!view.image());
        QTRY_COMPARE(m_server.hangingCount(), 1);
        m_server.releaseOne(picture(Qt::red));
        QTRY_VERIFY(view.image().has_value());
        QCOMPARE(shown(view), QColor(Qt::red));
        QVERIFY(!view.isAnimating());
    }

    void failedDownloadEndsLoading()
    {
        m_server.enqueue(404, {});
        MyUIImageView view;
        view.setImageUrl(url(u"cells/missing.png"_qs));
        loader().LoadImage(&view);
        QVERIFY(view.isAnimating());
        QTRY_VERIFY(!view.isAnimating());
        QVERIFY(!view.image());
    }

    // A reused cell shows only the picture of its current URL.
    void reusedCellShowsOnlyItsCurrentUrl()
    {
        m_server.setHandler([](const RecordedRequest &request) {
            if (request.target.endsWith("first.png"))
                return picture(Qt::red, true);
            return picture(Qt::blue);
        });
        MyUIImageView view;
        view.setImageUrl(url(u"cells/first.png"_qs));
        loader().LoadImage(&view);
        QTRY_COMPARE(m_server.hangingCount(), 1);
        view.setImageUrl(url(u"cells/second.png"_qs));
        loader().LoadImage(&view);
        QTRY_COMPARE(shown(view), QColor(Qt::blue));
        QVERIFY(!view.isAnimating());
        m_server.releaseOne(picture(Qt::red));
        WAIT_IDLE();
        QCOMPARE(shown(view), QColor(Qt::blue));
        QVERIFY(!view.isAnimating());
    }

    void urlChangedWithoutReloadKeepsPicture()
    {
        m_server.enqueue(picture(Qt::red, true));
        MyUIImageView view;
        view.setImageUrl(url(u"cells/c.png"_qs));
        loader().LoadImage(&view);
        QTRY_COMPARE(m_server.hangingCount(), 1);
        view.setImageUrl(url(u"cells/other.png"_qs));
        m_server.releaseOne(picture(Qt::red));
        QTRY_VERIFY(!view.isAnimating());
        QVERIFY(!view.image());
    }

    void viewGoneBeforeTheAnswer()
    {
        m_server.enqueue(picture(Qt::red, true));
        auto *view = new MyUIImageView;
        view->setImageUrl(url(u"cells/d.png"_qs));
        loader().LoadImage(view);
        QTRY_COMPARE(m_server.hangingCount(), 1);
        delete view;
        m_server.releaseOne(picture(Qt::red));
        WAIT_IDLE();
        QVERIFY(QFileInfo::exists(LoadImageRequest::cacheFilePath(url(u"cells/d.png"_qs))));
    }
};

QTEST_MAIN(TestMyUIImageView)
#include "tst_myuiimageview.moc"
