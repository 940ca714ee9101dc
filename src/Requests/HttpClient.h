#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>
#include <QVariant>
#include <QVariantList>
#include <QVariantMap>

#include <functional>
#include <optional>

// Where the two services live, how their paths are built and how a request
// travels. Every request of the application goes through HttpClient::Client::send;
// the three shared clients only differ in base URL and parameter encoding.
class HttpClient
{
public:
    HttpClient() = delete;

    enum class Encoding {
        Form,      // name=value pairs, in the body (POST, PUT) or the query (GET, HEAD, DELETE)
        ArrayBody, // the JSON text of the parameter "array" as text/plain
    };

    using Params = std::optional<QVariantMap>;
    using Success = std::function<void(const QByteArray &body)>;
    using Failure = std::function<void()>;

    // A configured client: a base URL and an encoding. Transfers of all
    // clients share one queue (at most four in flight) and answer on the UI thread.
    class Client
    {
    public:
        QUrl baseUrl() const { return m_baseUrl; }
        Encoding encoding() const { return m_encoding; }

        // path is resolved against the base URL (absolute URLs stay as they are).
        void send(const QByteArray &method, const QString &path, const Params &params,
                  Success success, Failure failure = {}) const;
        void post(const QString &path, const Params &params, Success success, Failure failure = {}) const
        {
            send(QByteArrayLiteral("POST"), path, params, std::move(success), std::move(failure));
        }
        void get(const QString &path, const Params &params, Success success, Failure failure = {}) const
        {
            send(QByteArrayLiteral("GET"), path, params, std::move(success), std::move(failure));
        }

    private:
        friend class HttpClient;
        Client(std::function<QUrl()> baseUrl, Encoding encoding)
            : m_baseUrlSource(std::move(baseUrl)), m_encoding(encoding)
        {
        }
        void refresh() { m_baseUrl = m_baseUrlSource(); }

        std::function<QUrl()> m_baseUrlSource;
        QUrl m_baseUrl;
        Encoding m_encoding;
    };

    // Loyalty service, form encoding; tests the host first ("noInternet").
    static const Client &sharedClient();
    // Loyalty service, array body encoding; no host test.
    static const Client &sharedClient2();
    // Catalogue service at THIRD_PARTY_HOST as read at the first call; form
    // encoding; tests the host first.
    static const Client &sharedClientByKorvani();

    // Loyalty paths: method, URL parameters, company key, pass key ...
    static QString sharedClientByThirdParty(const QString &method, const std::optional<QVariantList> &urlParams,
                                            bool companyKey, bool passKey);
    // ... and the twin with the company key before the URL parameters.
    static QString sharedClientByThirdParty(const QString &method, bool companyKey,
                                            const std::optional<QVariantList> &urlParams, bool passKey);
    static QString generatePath(const QString &method, const std::optional<QVariantList> &urlParams,
                                bool companyKey, bool merchantKey, bool passKey);
    static QString generatePath(const QString &method, bool companyKey,
                                const std::optional<QVariantList> &urlParams, bool merchantKey, bool passKey);

    // Catalogue path: THIRD_PARTY_SERVICE_PATH + method + THIRD_PARTY_PATH_POSTFIX.
    static QString pathByKorvani(const QString &method);

    // True when the host of the URL can be reached now. Never blocks.
    static bool checkNetwork(const QString &url);

    static QString URLEncodedString(const QString &text);
    static QString URLDecodedString(const QString &text);

    // The form text of a parameter map (values percent-escaped in UTF-8).
    static QByteArray formEncoded(const QVariantMap &params);
    // Text form of one parameter or path value: numbers in decimal.
    static QString textOf(const QVariant &value);

    // Transfer time-out in milliseconds (30 s unless changed, for tests).
    static void setTransferTimeout(int milliseconds);
    static int transferTimeout();
    static constexpr int kMaxInFlight = 4;
    // Transfers sent and not yet answered, and those waiting for a free slot.
    static int inFlightCount();
    static int queuedCount();
};
