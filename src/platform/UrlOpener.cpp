#include "UrlOpener.h"

#include <QDesktopServices>
#include <QUrlQuery>

namespace {
UrlOpener::Handler &handler()
{
    static UrlOpener::Handler installed;
    return installed;
}
} // namespace

bool UrlOpener::open(const QUrl &url)
{
    if (!url.isValid() || url.scheme().isEmpty())
        return false;
    if (handler())
        return handler()(url);
    return QDesktopServices::openUrl(url);
}

void UrlOpener::setHandler(Handler newHandler)
{
    handler() = std::move(newHandler);
}

QUrl UrlOpener::smsUrl(const QStringList &recipients, const QString &body)
{
    QUrl url;
    url.setScheme(QStringLiteral("sms"));
    url.setPath(recipients.join(u','));
    if (!body.isEmpty()) {
        QUrlQuery query;
        query.addQueryItem(QStringLiteral("body"), QString::fromLatin1(QUrl::toPercentEncoding(body)));
        url.setQuery(query.query(QUrl::FullyEncoded), QUrl::StrictMode);
    }
    return url;
}

QUrl UrlOpener::mailUrl(const QStringList &recipients, const QString &subject, const QString &body)
{
    QUrl url;
    url.setScheme(QStringLiteral("mailto"));
    url.setPath(recipients.join(u','));
    QUrlQuery query;
    if (!subject.isEmpty())
        query.addQueryItem(QStringLiteral("subject"), QString::fromLatin1(QUrl::toPercentEncoding(subject)));
    if (!body.isEmpty())
        query.addQueryItem(QStringLiteral("body"), QString::fromLatin1(QUrl::toPercentEncoding(body)));
    if (!query.isEmpty())
        url.setQuery(query.query(QUrl::FullyEncoded), QUrl::StrictMode);
    return url;
}
