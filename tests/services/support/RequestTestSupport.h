#pragma once

// Shared checks of request tests: pass keys, form bodies, a port nobody listens on.

#include "Cipher.h"
#include "Clock.h"

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QTcpServer>
#include <QUrl>

namespace RequestTestSupport {

// True when the segment is the pass key of a whole second within `seconds` of now.
inline bool isFreshPassKey(const QString &segment, int seconds = 2)
{
    const qint64 now = Clock::nowMs() / 1000;
    for (qint64 s = now - seconds; s <= now + seconds; ++s) {
        if (segment == Cipher::encrypt(QString::number(s * 1000)))
            return true;
    }
    return false;
}

// A form body (or query) as a map of unescaped names to unescaped values.
inline QMap<QString, QString> formFields(const QByteArray &form)
{
    QMap<QString, QString> fields;
    if (form.isEmpty())
        return fields;
    for (const QByteArray &pair : form.split('&')) {
        const qsizetype eq = pair.indexOf('=');
        QByteArray name = eq < 0 ? pair : pair.left(eq);
        QByteArray value = eq < 0 ? QByteArray() : pair.mid(eq + 1);
        name.replace('+', ' ');
        value.replace('+', ' ');
        fields.insert(QUrl::fromPercentEncoding(name), QUrl::fromPercentEncoding(value));
    }
    return fields;
}

// A URL on 127.0.0.1 where nothing listens (a port that was free a moment ago).
inline QString refusedBaseUrl()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    return QStringLiteral("http://127.0.0.1:%1/").arg(port);
}

} // namespace RequestTestSupport
