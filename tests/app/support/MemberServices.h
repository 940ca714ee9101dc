#pragma once

#include "BuildConfig.h"
#include "EditionConfig.h"
#include "ScriptedHttpServer.h"

#include <QMap>
#include <QUrl>

// The catalogue and loyalty services of the member screens on one scripted
// server: each method answers with its own script (a queue first, then the
// method's standing answer), and the requests are kept per method.
// The catalogue client keeps the address it first saw, so a test class keeps
// one instance for its whole run and calls reset() before each test.
class MemberServices
{
public:
    MemberServices()
    {
        reset();
        m_server.setHandler([this](const RecordedRequest &request) {
            const QString method = methodOf(request);
            QList<ScriptedAnswer> &queue = m_queued[method];
            return queue.isEmpty() ? m_standing.value(method, ScriptedAnswer{404, {}, {}, false}) : queue.takeFirst();
        });
    }
    ~MemberServices() { BuildConfig::setLoyaltyBaseUrl(QString()); }

    // No scripts, no requests, and both clients pointed here.
    void reset()
    {
        while (m_server.hangingCount() > 0)
            m_server.releaseOne(ScriptedAnswer{503, {}, {}, false});
        m_server.clear();
        m_standing.clear();
        m_queued.clear();
        BuildConfig::setLoyaltyBaseUrl(m_server.baseUrl());
        EditionConfig::set(u"THIRD_PARTY_HOST"_qs, m_server.baseUrl());
    }

    bool isListening() const { return m_server.isListening(); }
    ScriptedHttpServer &server() { return m_server; }

    void answer(const QString &method, int status, const QByteArray &body)
    {
        m_standing.insert(method, ScriptedAnswer{status, body, QByteArrayLiteral("application/json"), false});
    }
    void answerOnce(const QString &method, const ScriptedAnswer &answer) { m_queued[method].append(answer); }
    // A login that gives the outer member id, the message and the phone.
    void loginAnswers(const QString &outMemberId, const QString &message, const QString &phone = u"555"_qs)
    {
        answer(u"memberLogin"_qs, 200,
               QStringLiteral(R"({"memberID":"%1","msg":"%2","phone":"%3"})").arg(outMemberId, message, phone).toUtf8());
    }

    QList<RecordedRequest> requests(const QString &method) const
    {
        QList<RecordedRequest> found;
        for (const RecordedRequest &request : m_server.requests()) {
            if (methodOf(request) == method)
                found << request;
        }
        return found;
    }
    qsizetype count(const QString &method) const { return requests(method).size(); }

    static QMap<QString, QString> formFields(const QByteArray &form)
    {
        QMap<QString, QString> fields;
        for (const QByteArray &pair : form.split('&')) {
            if (pair.isEmpty())
                continue;
            const qsizetype eq = pair.indexOf('=');
            QByteArray name = eq < 0 ? pair : pair.left(eq);
            QByteArray value = eq < 0 ? QByteArray() : pair.mid(eq + 1);
            name.replace('+', ' ');
            value.replace('+', ' ');
            fields.insert(QUrl::fromPercentEncoding(name), QUrl::fromPercentEncoding(value));
        }
        return fields;
    }

private:
    static QString methodOf(const RecordedRequest &request)
    {
        for (const QString &method : {u"memberLogin"_qs, u"mapMemberId"_qs, u"memberRegister"_qs}) {
            if (request.target.contains(method.toLatin1()))
                return method;
        }
        return QString();
    }

    ScriptedHttpServer m_server;
    QMap<QString, ScriptedAnswer> m_standing;
    QMap<QString, QList<ScriptedAnswer>> m_queued;
};
