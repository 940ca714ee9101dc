#pragma once

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QUrlQuery>

#include <memory>

// Runs one loyalty-server on free ports with its own data folder and talks
// to it over HTTP the way the phone does.
class ServiceFixture
{
public:
    struct Reply
    {
        int status = 0;
        QByteArray body;
        QJsonDocument json() const { return QJsonDocument::fromJson(body); }
        QJsonArray array() const { return json().array(); }
        QJsonObject object() const { return json().object(); }
    };

    ~ServiceFixture();

    // Starts the server; false (with error()) when it does not come up.
    bool start();
    // Stops it with SIGTERM; true when it ended cleanly with status 0.
    bool stop();
    QString error() const { return m_error; }

    int loyaltyPort() const { return m_loyaltyPort; }
    int cataloguePort() const { return m_cataloguePort; }

    // A catalogue method with form parameters; the SKEY is added unless given.
    Reply catalogue(const QString &method, QUrlQuery params, bool addSkey = true);
    // A loyalty path (after "MerchantApps/service/thirdParty/") with a form body.
    Reply loyaltyForm(const QString &path, const QUrlQuery &params);
    // A loyalty path with an "array" body: JSON text sent as text/plain.
    Reply loyaltyBody(const QString &path, const QByteArray &json);
    Reply get(int port, const QString &path);
    Reply post(int port, const QString &path, const QByteArray &body, const QByteArray &contentType);

    // The pass key for a time, made with the openssl tool from the shared key.
    static QString passKey(qint64 ms);
    static QString passKeyNow();
    // AES-128-CBC of a text with another key text (a phone of another build).
    static QString encryptWith(const QByteArray &text, const QByteArray &keyText);
    // Deciphers a triple-DES Base64 text with the openssl tool.
    static QByteArray tripleDesDecrypt(const QByteArray &base64);
    static QString companyKey() { return QStringLiteral("GRP-DEMO-7Q2X"); }

    // Logs in with the catalogue and maps the member as the phone does.
    qint64 loyaltyMemberFor(const QString &account, const QString &password);

private:
    QTemporaryDir m_dataDir;
    std::unique_ptr<QProcess> m_process;
    QNetworkAccessManager m_network;
    int m_loyaltyPort = 0;
    int m_cataloguePort = 0;
    QString m_error;
};
