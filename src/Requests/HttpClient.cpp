#include "HttpClient.h"

#include "BuildConfig.h"
#include "Cipher.h"
#include "EditionConfig.h"
#include "Field.h"
#include "Texts.h"
#include "Tools.h"

#include <QHostAddress>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QNetworkAccessManager>
#include <QNetworkInformation>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QStringList>

#include <deque>

namespace {

struct Transfer
{
    QNetworkRequest request;
    QByteArray method;
    std::optional<QByteArray> body;
    HttpClient::Success success;
    HttpClient::Failure failure;
};

// The one queue all clients share. Lives on the UI thread for the whole run.
struct Dispatcher
{
    QNetworkAccessManager *manager = nullptr;
    std::deque<Transfer> waiting;
    int inFlight = 0;
    int timeoutMs = 30000;

    static Dispatcher &instance()
    {
        static Dispatcher dispatcher;
        return dispatcher;
    }

    QNetworkAccessManager &network()
    {
        // Never destroyed: transfers may still answer while statics unwind.
        if (!manager)
            manager = new QNetworkAccessManager;
        return *manager;
    }

    void enqueue(Transfer transfer)
    {
        waiting.push_back(std::move(transfer));
        pump();
    }

    void pump()
    {
        while (inFlight < HttpClient::kMaxInFlight && !waiting.empty()) {
            Transfer next = std::move(waiting.front());
            waiting.pop_front();
            start(std::move(next));
        }
    }

    void start(Transfer transfer)
    {
        ++inFlight;
        transfer.request.setTransferTimeout(timeoutMs);
        QNetworkAccessManager &nam = network();
        QNetworkReply *reply = nullptr;
        if (transfer.method == "GET")
            reply = nam.get(transfer.request);
        else if (transfer.method == "POST")
            reply = nam.post(transfer.request, transfer.body.value_or(QByteArray()));
        else if (transfer.method == "PUT")
            reply = nam.put(transfer.request, transfer.body.value_or(QByteArray()));
        else if (transfer.body)
            reply = nam.sendCustomRequest(transfer.request, transfer.method, *transfer.body);
        else
            reply = nam.sendCustomRequest(transfer.request, transfer.method);

        QObject::connect(reply, &QNetworkReply::finished, &nam,
                         [this, reply, success = std::move(transfer.success),
                          failure = std::move(transfer.failure)] {
                             reply->deleteLater();
                             --inFlight;
                             // The answer rule: a transport error (time-outs included) or a
                             // status outside 200-299 is a failure, with no detail passed on.
                             const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
                             const bool ok = reply->error() == QNetworkReply::NoError && status >= 200 && status <= 299;
                             const QByteArray body = ok ? reply->readAll() : QByteArray();
                             pump();
                             if (ok) {
                                 if (success)
                                     success(body);
                             } else if (failure) {
                                 failure();
                             }
                         });
    }
};

bool carriesBody(const QByteArray &method)
{
    return method != "GET" && method != "HEAD" && method != "DELETE";
}

QString joined(const QVariantList &values)
{
    QStringList texts;
    texts.reserve(values.size());
    for (const QVariant &value : values)
        texts << HttpClient::textOf(value);
    return texts.join(u'/');
}

void warnWhenUnreachable(const QString &url)
{
    if (!HttpClient::checkNetwork(url))
        Tools::showMsg(Texts::get(u"noInternet"_qs));
}

} // namespace

void HttpClient::Client::send(const QByteArray &method, const QString &path, const Params &params,
                              Success success, Failure failure) const
{
    QUrl url = m_baseUrl.resolved(QUrl(path, QUrl::TolerantMode));
    Transfer transfer;
    transfer.method = method;
    transfer.success = std::move(success);
    transfer.failure = std::move(failure);

    if (params) {
        if (m_encoding == Encoding::ArrayBody) {
            const QJsonValue array = QJsonValue::fromVariant(params->value(QStringLiteral("array")));
            QByteArray body;
            if (array.isArray())
                body = QJsonDocument(array.toArray()).toJson(QJsonDocument::Compact);
            else if (array.isObject())
                body = QJsonDocument(array.toObject()).toJson(QJsonDocument::Compact);
            transfer.body = body;
            transfer.request.setHeader(QNetworkRequest::ContentTypeHeader,
                                       QByteArrayLiteral("text/plain; charset=utf-8"));
        } else if (carriesBody(method)) {
            transfer.body = formEncoded(*params);
            transfer.request.setHeader(QNetworkRequest::ContentTypeHeader,
                                       QByteArrayLiteral("application/x-www-form-urlencoded; charset=utf-8"));
        } else {
            const QByteArray query = formEncoded(*params);
            if (!query.isEmpty()) {
                const QString existing = url.query(QUrl::FullyEncoded);
                url.setQuery(url.hasQuery() ? existing + u'&' + QString::fromLatin1(query)
                                            : QString::fromLatin1(query),
                             QUrl::StrictMode);
            }
        }
    }
    transfer.request.setUrl(url);
    Dispatcher::instance().enqueue(std::move(transfer));
}

const HttpClient::Client &HttpClient::sharedClient()
{
    static Client client([] { return QUrl(BuildConfig::loyaltyBaseUrl()); }, Encoding::Form);
    warnWhenUnreachable(BuildConfig::loyaltyBaseUrl());
    client.refresh();
    return client;
}

const HttpClient::Client &HttpClient::sharedClient2()
{
    static Client client([] { return QUrl(BuildConfig::loyaltyBaseUrl()); }, Encoding::ArrayBody);
    client.refresh();
    return client;
}

const HttpClient::Client &HttpClient::sharedClientByKorvani()
{
    // The catalogue address is the one of the first call; later changes are not seen.
    static const QString host = EditionConfig::text(u"THIRD_PARTY_HOST"_qs);
    static Client client([] { return QUrl(host); }, Encoding::Form);
    warnWhenUnreachable(host);
    client.refresh();
    return client;
}

QString HttpClient::sharedClientByThirdParty(const QString &method, const std::optional<QVariantList> &urlParams,
                                             bool companyKey, bool passKey)
{
    return generatePath(method, urlParams, companyKey, false, passKey);
}

QString HttpClient::sharedClientByThirdParty(const QString &method, bool companyKey,
                                             const std::optional<QVariantList> &urlParams, bool passKey)
{
    return generatePath(method, companyKey, urlParams, false, passKey);
}

QString HttpClient::generatePath(const QString &method, const std::optional<QVariantList> &urlParams,
                                 bool companyKey, bool merchantKey, bool passKey)
{
    QStringList segments{u"MerchantApps/service/thirdParty/"_qs + method};
    if (urlParams)
        segments << joined(*urlParams);
    if (companyKey)
        segments << EditionConfig::text(u"COMPANY_KEY"_qs);
    if (merchantKey)
        segments << EditionConfig::text(u"CFBundleIdentifier"_qs);
    if (passKey)
        segments << Cipher::generatePassKey();
    return segments.join(u'/');
}

QString HttpClient::generatePath(const QString &method, bool companyKey,
                                 const std::optional<QVariantList> &urlParams, bool merchantKey, bool passKey)
{
    QStringList segments{u"MerchantApps/service/thirdParty/"_qs + method};
    if (companyKey)
        segments << EditionConfig::text(u"COMPANY_KEY"_qs);
    if (urlParams)
        segments << joined(*urlParams);
    if (merchantKey)
        segments << EditionConfig::text(u"CFBundleIdentifier"_qs);
    if (passKey)
        segments << Cipher::generatePassKey();
    return segments.join(u'/');
}

QString HttpClient::pathByKorvani(const QString &method)
{
    return EditionConfig::text(u"THIRD_PARTY_SERVICE_PATH"_qs) + method
        + EditionConfig::text(u"THIRD_PARTY_PATH_POSTFIX"_qs);
}

bool HttpClient::checkNetwork(const QString &url)
{
    QString host = url;
    host.remove(u"http://"_qs);
    host.remove(u'/');
    if (host.isEmpty())
        return false;
    // The loopback interface is always there.
    const QString bareHost = QUrl(u"http://"_qs + host).host();
    const QHostAddress address(bareHost);
    if (bareHost == u"localhost" || (!address.isNull() && address.isLoopback()))
        return true;
    // Reachability as the platform reports it; with no backend to ask, the
    // host counts as reachable and a dead network shows as a failed request.
    static const bool haveBackend = QNetworkInformation::loadDefaultBackend();
    if (!haveBackend || !QNetworkInformation::instance())
        return true;
    return QNetworkInformation::instance()->reachability() != QNetworkInformation::Reachability::Disconnected;
}

QString HttpClient::URLEncodedString(const QString &text)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(text));
}

QString HttpClient::URLDecodedString(const QString &text)
{
    return QUrl::fromPercentEncoding(text.toUtf8());
}

QByteArray HttpClient::formEncoded(const QVariantMap &params)
{
    QByteArray out;
    for (auto it = params.constBegin(); it != params.constEnd(); ++it) {
        if (!out.isEmpty())
            out += '&';
        out += QUrl::toPercentEncoding(it.key());
        out += '=';
        out += QUrl::toPercentEncoding(textOf(it.value()));
    }
    return out;
}

QString HttpClient::textOf(const QVariant &value)
{
    return Field(QJsonValue::fromVariant(value)).text();
}

void HttpClient::setTransferTimeout(int milliseconds)
{
    Dispatcher::instance().timeoutMs = milliseconds;
}

int HttpClient::transferTimeout()
{
    return Dispatcher::instance().timeoutMs;
}

int HttpClient::inFlightCount()
{
    return Dispatcher::instance().inFlight;
}

int HttpClient::queuedCount()
{
    return static_cast<int>(Dispatcher::instance().waiting.size());
}
