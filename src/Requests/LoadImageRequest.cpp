#include "LoadImageRequest.h"

#include "AppPaths.h"
#include "Clock.h"
#include "HttpClient.h"
#include "Tools.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QSaveFile>
#include <QStringList>
#include <QtConcurrent/QtConcurrentRun>

LoadImageRequest &LoadImageRequest::getInstance()
{
    static LoadImageRequest instance;
    return instance;
}

QString LoadImageRequest::cacheFilePath(const QString &url)
{
    QString rest = url;
    rest.remove(u"http://"_qs);
    QStringList pieces = rest.split(u'/');
    if (pieces.size() < 2)
        return {};
    pieces.removeFirst(); // the host: the cache does not tell hosts apart
    const QString fileName = pieces.takeLast();
    if (fileName.isEmpty() || fileName == u"." || fileName == u"..")
        return {};
    QStringList folders;
    for (const QString &piece : std::as_const(pieces)) {
        // ".." or "." would lead out of (or around) the cache folders.
        if (piece == u"." || piece == u"..")
            return {};
        if (!piece.isEmpty())
            folders << piece;
    }
    // A file straight in the documents folder could replace the database or
    // the preferences, so every cached file sits in a folder of its URL.
    if (folders.isEmpty())
        return {};
    const QString root = QDir::cleanPath(AppPaths::documentsDir());
    const QString path = root + u'/' + folders.join(u'/') + u'/' + fileName;
    if (!QDir::cleanPath(path).startsWith(root + u'/'))
        return {};
    return path;
}

std::optional<QImage> LoadImageRequest::LoadImageFromLocal(const QString &url)
{
    if (url.isEmpty())
        return std::nullopt;
    const QString path = cacheFilePath(url);
    if (path.isEmpty())
        return std::nullopt;
    QFileInfo info(path);
    if (!info.exists())
        return std::nullopt;
    // A cache file is written whole and never touched again, so its
    // modification time is the moment it was created.
    const QDate createdOn = info.lastModified().toLocalTime().date();
    const QDate today = QDateTime::fromMSecsSinceEpoch(Clock::nowMs()).toLocalTime().date();
    if (createdOn != today) {
        QFile::remove(path);
        return std::nullopt;
    }
    const QImage image(path);
    if (image.isNull())
        return std::nullopt;
    return image;
}

void LoadImageRequest::LoadImageFromServer(const QString &url,
                                           std::function<void(QString, std::optional<QImage>)> block)
{
    HttpClient::sharedClient().get(
        url, std::nullopt,
        [this, url, block](const QByteArray &body) {
            std::optional<QImage> image;
            if (!body.isEmpty()) {
                const QImage decoded = QImage::fromData(body);
                if (!decoded.isNull())
                    image = decoded;
                saveImageInLocal(url, body);
            }
            if (block)
                block(url, image);
        },
        [url, block] {
            if (block)
                block(url, std::nullopt);
        });
}

bool LoadImageRequest::saveImageInLocal(const QString &url, const QByteArray &data)
{
    const QString path = cacheFilePath(url);
    if (path.isEmpty())
        return false;
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(data);
    return file.commit();
}

void LoadImageRequest::LoadImage(LoadingImageView *view)
{
    if (!view)
        return;
    view->setImage(std::nullopt);
    if (view->isAnimating())
        view->stopAnimating();
    const QString url = view->imageUrl();
    if (url.isEmpty()) {
        m_latestLoad.remove(view);
        return;
    }
    if (std::optional<QImage> cached = LoadImageFromLocal(url)) {
        m_latestLoad.remove(view);
        view->setImage(cached);
        return;
    }
    view->startAnimating();
    const quint64 load = ++m_nextLoad;
    m_latestLoad.insert(view, load);
    // A view that is a QObject may go away before the answer; then it is dropped.
    QObject *object = dynamic_cast<QObject *>(view);
    const QPointer<QObject> alive(object);
    LoadImageFromServer(url, [this, view, object, alive, load, url](const QString &, std::optional<QImage> image) {
        const bool latest = m_latestLoad.value(view) == load;
        if (latest)
            m_latestLoad.remove(view);
        if (object && !alive)
            return;
        // A newer load of this view owns its loading state and picture.
        if (!latest)
            return;
        view->stopAnimating();
        if (view->imageUrl() == url)
            view->setImage(image);
    });
}

void LoadImageRequest::LoadImage(const QString &url, std::function<void(std::optional<QImage>)> block)
{
    if (url.isEmpty() || !Tools::validateUrl(url)) {
        if (block)
            block(std::nullopt);
        return;
    }
    QtConcurrent::run([this, url] { return LoadImageFromLocal(url); })
        .then(&m_uiThreadContext, [this, url, block](std::optional<QImage> cached) {
            if (cached) {
                if (block)
                    block(cached);
                return;
            }
            LoadImageFromServer(url, [block](const QString &, std::optional<QImage> image) {
                if (block)
                    block(image);
            });
        });
}
