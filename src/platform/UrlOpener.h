#pragma once

#include <QStringList>
#include <QUrl>

#include <functional>

// Hands URLs to the system: "tel://" dialling, mail and text messages, web
// pages. Tests replace the handler to see what would be opened.
namespace UrlOpener {

using Handler = std::function<bool(const QUrl &url)>;

// False when the URL is invalid or the handler refuses it.
bool open(const QUrl &url);
// nullptr restores QDesktopServices::openUrl.
void setHandler(Handler handler);

// The hand-offs to the system's composers: "sms:" with the recipients and
// the body, "mailto:" with the recipients, subject and body.
QUrl smsUrl(const QStringList &recipients, const QString &body);
QUrl mailUrl(const QStringList &recipients, const QString &subject, const QString &body);

} // namespace UrlOpener
