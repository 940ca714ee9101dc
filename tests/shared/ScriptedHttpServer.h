#pragma once

// A small HTTP/1.1 server on 127.0.0.1 for request tests: it answers each
// request from a script (queue, handler or default answer) and records what
// arrived on the wire. Header-only so tests of other folders can include it.

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QMap>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>

#include <deque>
#include <functional>
#include <memory>
#include <optional>

struct RecordedRequest
{
    QByteArray method;
    QByteArray target; // as sent: path and query, still escaped
    QMap<QByteArray, QByteArray> headers; // names in lower case
    QByteArray body;

    QByteArray header(const QByteArray &name) const { return headers.value(name.toLower()); }
    QByteArray rawPath() const
    {
        const qsizetype query = target.indexOf('?');
        return query < 0 ? target : target.left(query);
    }
    QByteArray query() const
    {
        const qsizetype query = target.indexOf('?');
        return query < 0 ? QByteArray() : target.mid(query + 1);
    }
    // The path's segments after the leading "/", unescaped.
    QStringList segments() const
    {
        QByteArray path = rawPath();
        if (path.startsWith('/'))
            path.remove(0, 1);
        QStringList out;
        for (const QByteArray &piece : path.split('/'))
            out << QUrl::fromPercentEncoding(piece);
        return out;
    }
};

struct ScriptedAnswer
{
    int status = 200;
    QByteArray body;
    QByteArray contentType = QByteArrayLiteral("text/plain; charset=utf-8");
    bool hang = false; // never answer (until releaseHanging)
};

class ScriptedHttpServer
{
public:
    ScriptedHttpServer()
    {
        m_server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&m_server, &QTcpServer::newConnection, &m_server, [this] {
            while (QTcpSocket *socket = m_server.nextPendingConnection())
                accept(socket);
        });
    }

    bool isListening() const { return m_server.isListening(); }
    quint16 port() const { return m_server.serverPort(); }
    QString baseUrl() const { return QStringLiteral("http://127.0.0.1:%1/").arg(port()); }

    void enqueue(const ScriptedAnswer &answer) { m_queue.push_back(answer); }
    void enqueue(int status, const QByteArray &body) { m_queue.push_back(ScriptedAnswer{status, body, {}, false}); }
    void enqueueBody(const QByteArray &body) { enqueue(200, body); }
    // Used when the queue is empty; the handler (when set) wins over both.
    void setDefaultAnswer(const ScriptedAnswer &answer) { m_default = answer; }
    void setHandler(std::function<ScriptedAnswer(const RecordedRequest &)> handler) { m_handler = std::move(handler); }

    const QList<RecordedRequest> &requests() const { return m_requests; }
    qsizetype count() const { return m_requests.size(); }
    const RecordedRequest &last() const { return m_requests.last(); }
    void clear()
    {
        m_requests.clear();
        m_queue.clear();
    }
    qsizetype hangingCount() const { return m_hanging.size(); }

    // Answers the oldest request held by a hanging answer.
    void releaseOne(const ScriptedAnswer &answer)
    {
        while (!m_hanging.empty()) {
            QPointer<QTcpSocket> socket = m_hanging.front();
            m_hanging.pop_front();
            if (socket) {
                reply(socket, answer);
                return;
            }
        }
    }

private:
    struct Connection
    {
        QByteArray buffer;
    };

    void accept(QTcpSocket *socket)
    {
        auto connection = std::make_shared<Connection>();
        QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket, connection] {
            connection->buffer += socket->readAll();
            while (std::optional<RecordedRequest> request = take(connection->buffer))
                answer(socket, *request);
        });
    }

    // One complete request off the front of the buffer, if there is one.
    static std::optional<RecordedRequest> take(QByteArray &buffer)
    {
        const qsizetype headEnd = buffer.indexOf("\r\n\r\n");
        if (headEnd < 0)
            return std::nullopt;
        const QList<QByteArray> lines = buffer.left(headEnd).split('\n');
        RecordedRequest request;
        const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
        request.method = requestLine.value(0);
        request.target = requestLine.value(1);
        for (qsizetype i = 1; i < lines.size(); ++i) {
            const QByteArray line = lines[i].trimmed();
            const qsizetype colon = line.indexOf(':');
            if (colon > 0)
                request.headers.insert(line.left(colon).trimmed().toLower(), line.mid(colon + 1).trimmed());
        }
        const qsizetype length = request.headers.value("content-length").toLongLong();
        const qsizetype bodyStart = headEnd + 4;
        if (buffer.size() < bodyStart + length)
            return std::nullopt;
        request.body = buffer.mid(bodyStart, length);
        buffer.remove(0, bodyStart + length);
        return request;
    }

    void answer(QTcpSocket *socket, const RecordedRequest &request)
    {
        m_requests.append(request);
        ScriptedAnswer scripted = m_default;
        if (m_handler) {
            scripted = m_handler(request);
        } else if (!m_queue.empty()) {
            scripted = m_queue.front();
            m_queue.pop_front();
        }
        if (scripted.hang) {
            m_hanging.push_back(socket);
            return;
        }
        reply(socket, scripted);
    }

    static void reply(QTcpSocket *socket, const ScriptedAnswer &answer)
    {
        QByteArray out = "HTTP/1.1 " + QByteArray::number(answer.status) + " Scripted\r\n";
        out += "Content-Type: " + answer.contentType + "\r\n";
        out += "Content-Length: " + QByteArray::number(answer.body.size()) + "\r\n";
        out += "Connection: close\r\n\r\n";
        out += answer.body;
        socket->write(out);
        socket->disconnectFromHost();
    }

    QTcpServer m_server;
    std::deque<ScriptedAnswer> m_queue;
    ScriptedAnswer m_default;
    std::function<ScriptedAnswer(const RecordedRequest &)> m_handler;
    QList<RecordedRequest> m_requests;
    std::deque<QPointer<QTcpSocket>> m_hanging;
};
