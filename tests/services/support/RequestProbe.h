#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTcpServer>

// A local HTTP endpoint that records the bytes of every request it gets and
// answers each with status 500, so an upload started by an operation can be
// seen on the wire while the local tables stay as the operation left them.
class RequestProbe : public QObject
{
    Q_OBJECT

public:
    explicit RequestProbe(QObject *parent = nullptr);

    bool listen(); // 127.0.0.1, a free port
    QString baseUrl() const; // "http://127.0.0.1:PORT/"
    QByteArray received() const { return m_received; }

    // The base URL of a port that was free a moment ago and now refuses connections.
    static QString closedPortUrl();

private:
    void serve();

    QTcpServer m_server;
    QByteArray m_received;
};
