#pragma once

#include <QByteArray>
#include <QHash>
#include <QImage>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>

// What LoadImageRequest needs of an image view (MyUIImageView): the URL it
// should show, the picture, and the loading state.
class LoadingImageView
{
public:
    virtual ~LoadingImageView() = default;
    virtual QString imageUrl() const = 0;
    virtual void setImage(const std::optional<QImage> &image) = 0; // none clears
    virtual void startAnimating() = 0;
    virtual void stopAnimating() = 0;
    virtual bool isAnimating() const = 0;
};

// Pictures by URL with a file cache under the documents folder that is valid
// for the calendar day on which a file was written.
class LoadImageRequest
{
public:
    static LoadImageRequest &getInstance();

    LoadImageRequest(const LoadImageRequest &) = delete;
    LoadImageRequest &operator=(const LoadImageRequest &) = delete;

    // The cache file of a URL: documents folder + the URL's folders + its file
    // name (the host is dropped). Empty when the URL has no safe location:
    // no folder, an empty file name, or a "." or ".." piece anywhere.
    static QString cacheFilePath(const QString &url);

    // Cache lookup; a file from an earlier day is deleted. Safe on any thread.
    std::optional<QImage> LoadImageFromLocal(const QString &url);
    // Downloads, caches a non-empty body (picture or not), answers on the UI thread.
    void LoadImageFromServer(const QString &url, std::function<void(QString url, std::optional<QImage>)> block);
    bool saveImageInLocal(const QString &url, const QByteArray &data);
    // Fills the view from its imageUrl; an answer for a URL the view no longer
    // shows is ignored.
    void LoadImage(LoadingImageView *view);
    // Only "http://" URLs; others answer none before returning. The cache is
    // looked up on a background thread, the block runs on the UI thread.
    void LoadImage(const QString &url, std::function<void(std::optional<QImage>)> block);

private:
    LoadImageRequest() = default;

    QObject m_uiThreadContext;
    // The latest LoadImage of each view still waiting for its download.
    QHash<const LoadingImageView *, quint64> m_latestLoad;
    quint64 m_nextLoad = 0;
};
