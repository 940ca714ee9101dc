#include "RequestProbe.h"

#include <QTcpSocket>

RequestProbe::RequestProbe(QObject *parent) : QObject(parent)
{
    connect(&m_server, &QTcpServer::newConnection, this, &RequestProbe::serve);
}

bool RequestProbe::listen()
{
    return m_server.listen(QHostAddress::LocalHost, 0);
}

QString RequestProbe::baseUrl() const
{
    return QStringLiteral("http://127.0.0.1:%1/").arg(m_server.serverPort());
}

QString RequestProbe::closedPortUrl()
{
    QTcpServer server;
    if (!server.listen(QHostAddress::LocalHost, 0))
        return QStringLiteral("http://127.0.0.1:9/");
    const quint16 port = server.serverPort();
    server.close();
    return QStringLiteral("http://127.0.0.1:%1/").arg(port);
}

namespace {

// The headers and as many body bytes as they announce.
bool complete(const QByteArray &request)
{
    const qsizetype end = request.indexOf("\r\n\r\n");
    if (end < 0)
        return false;
    qsizetype length = 0;
    for (const QByteArray &line : request.left(end).split('\n')) {
        const QByteArray header = line.trimmed();
        if (header.toLower().startsWith("content-length:"))
            length = header.mid(15).trimmed().toLongLong();
    }
    return request.size() - (end + 4) >= length;
}

} // namespace

void RequestProbe::serve()
{
    while (QTcpSocket *socket = m_server.nextPendingConnection()) {
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] {
            const QByteArray bytes = socket->readAll();
            m_received += bytes;
            const QByteArray seen = socket->property("seen").toByteArray() + bytes;
            socket->setProperty("seen", seen);
            if (complete(seen) && !socket->property("answered").toBool()) {
                socket->setProperty("answered", true);
                socket->write("HTTP/1.1 500 Internal Server Error\r\nContent-Length: 0\r\n"
                              "Connection: close\r\n\r\n");
                socket->disconnectFromHost();
            }
        });
    }
}
