#include "ServiceFixture.h"

#include "../../../src/Classes/CipherConstants.h"

#include <QDateTime>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QRegularExpression>
#include <QSignalSpy>

namespace {

QByteArray hexOf(const char *text)
{
    return QByteArray(text).toHex();
}

QByteArray runOpenssl(const QStringList &args, const QByteArray &input)
{
    QProcess openssl;
    openssl.start(QStringLiteral("openssl"), args);
    if (!openssl.waitForStarted(10000))
        return {};
    openssl.write(input);
    openssl.closeWriteChannel();
    if (!openssl.waitForFinished(10000) || openssl.exitCode() != 0)
        return {};
    return openssl.readAllStandardOutput();
}

} // namespace

ServiceFixture::~ServiceFixture()
{
    if (m_process && m_process->state() != QProcess::NotRunning) {
        m_process->terminate();
        if (!m_process->waitForFinished(5000))
            m_process->kill();
        m_process->waitForFinished(5000);
    }
}

bool ServiceFixture::start()
{
    const QString program = qEnvironmentVariable("LOYALTY_SERVER");
    if (program.isEmpty()) {
        m_error = QStringLiteral("LOYALTY_SERVER is not set");
        return false;
    }
    m_process = std::make_unique<QProcess>();
    m_process->setProcessChannelMode(QProcess::SeparateChannels);
    m_process->setStandardErrorFile(m_dataDir.filePath(QStringLiteral("server.log")));
    m_process->start(program, {QStringLiteral("--data-dir"), m_dataDir.path(), QStringLiteral("--loyalty-port"),
                               QStringLiteral("0"), QStringLiteral("--catalogue-port"), QStringLiteral("0")});
    if (!m_process->waitForStarted(10000)) {
        m_error = QStringLiteral("cannot start ") + program;
        return false;
    }
    while (!m_process->canReadLine()) {
        if (!m_process->waitForReadyRead(30000)) {
            m_error = QStringLiteral("no listening line");
            return false;
        }
    }
    const QString line = QString::fromUtf8(m_process->readLine()).trimmed();
    const auto match = QRegularExpression(QStringLiteral("^listening loyalty=(\\d+) catalogue=(\\d+)$")).match(line);
    if (!match.hasMatch()) {
        m_error = QStringLiteral("unexpected first line: ") + line;
        return false;
    }
    m_loyaltyPort = match.captured(1).toInt();
    m_cataloguePort = match.captured(2).toInt();
    return m_loyaltyPort > 0 && m_cataloguePort > 0;
}

bool ServiceFixture::stop()
{
    if (!m_process)
        return false;
    m_process->terminate();
    const bool finished = m_process->waitForFinished(10000);
    return finished && m_process->exitStatus() == QProcess::NormalExit && m_process->exitCode() == 0;
}

ServiceFixture::Reply ServiceFixture::post(int port, const QString &path, const QByteArray &body,
                                           const QByteArray &contentType)
{
    QNetworkRequest request(QUrl(QStringLiteral("http://127.0.0.1:%1/%2").arg(port).arg(path)));
    request.setHeader(QNetworkRequest::ContentTypeHeader, contentType);
    QNetworkReply *reply = m_network.post(request, body);
    QSignalSpy finished(reply, &QNetworkReply::finished);
    if (!reply->isFinished())
        finished.wait(20000);
    Reply out;
    out.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    out.body = reply->readAll();
    reply->deleteLater();
    return out;
}

ServiceFixture::Reply ServiceFixture::get(int port, const QString &path)
{
    QNetworkReply *reply =
        m_network.get(QNetworkRequest(QUrl(QStringLiteral("http://127.0.0.1:%1/%2").arg(port).arg(path))));
    QSignalSpy finished(reply, &QNetworkReply::finished);
    if (!reply->isFinished())
        finished.wait(20000);
    Reply out;
    out.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    out.body = reply->readAll();
    reply->deleteLater();
    return out;
}

ServiceFixture::Reply ServiceFixture::catalogue(const QString &method, QUrlQuery params, bool addSkey)
{
    if (addSkey && !params.hasQueryItem(QStringLiteral("SKEY")))
        params.addQueryItem(QStringLiteral("SKEY"), QStringLiteral("skey-demo-4f9a"));
    return post(m_cataloguePort, QStringLiteral("catalogue/") + method + QStringLiteral(".json"),
                params.query(QUrl::FullyEncoded).toUtf8().replace('+', "%2B"), "application/x-www-form-urlencoded; charset=utf-8");
}

ServiceFixture::Reply ServiceFixture::loyaltyForm(const QString &path, const QUrlQuery &params)
{
    return post(m_loyaltyPort, QStringLiteral("MerchantApps/service/thirdParty/") + path,
                params.query(QUrl::FullyEncoded).toUtf8().replace('+', "%2B"), "application/x-www-form-urlencoded; charset=utf-8");
}

ServiceFixture::Reply ServiceFixture::loyaltyBody(const QString &path, const QByteArray &json)
{
    return post(m_loyaltyPort, QStringLiteral("MerchantApps/service/thirdParty/") + path, json,
                "text/plain; charset=utf-8");
}

QString ServiceFixture::passKey(qint64 ms)
{
    const QByteArray text = QByteArray::number(ms / 1000 * 1000);
    const QByteArray raw = runOpenssl({QStringLiteral("enc"), QStringLiteral("-aes-128-cbc"), QStringLiteral("-K"),
                                       QString::fromLatin1(hexOf(CipherConstants::kKeyText)), QStringLiteral("-iv"),
                                       QString::fromLatin1(hexOf(CipherConstants::kIvText))},
                                      text);
    return QString::fromLatin1(raw.toHex());
}

QString ServiceFixture::encryptWith(const QByteArray &text, const QByteArray &keyText)
{
    const QByteArray raw = runOpenssl({QStringLiteral("enc"), QStringLiteral("-aes-128-cbc"), QStringLiteral("-K"),
                                       QString::fromLatin1(keyText.toHex()), QStringLiteral("-iv"),
                                       QString::fromLatin1(hexOf(CipherConstants::kIvText))},
                                      text);
    return QString::fromLatin1(raw.toHex());
}

QString ServiceFixture::passKeyNow()
{
    return passKey(QDateTime::currentMSecsSinceEpoch());
}

QByteArray ServiceFixture::tripleDesDecrypt(const QByteArray &base64)
{
    const QByteArray key =
        hexOf(CipherConstants::kKeyText) + hexOf(CipherConstants::kTripleDesKeyCompletion);
    return runOpenssl({QStringLiteral("enc"), QStringLiteral("-d"), QStringLiteral("-des-ede3"),
                       QStringLiteral("-K"), QString::fromLatin1(key), QStringLiteral("-base64"),
                       QStringLiteral("-A")},
                      base64);
}

qint64 ServiceFixture::loyaltyMemberFor(const QString &account, const QString &password)
{
    QUrlQuery login;
    login.addQueryItem(QStringLiteral("account"), account);
    login.addQueryItem(QStringLiteral("password"), password);
    const Reply answer = catalogue(QStringLiteral("memberLogin"), login);
    const QString outer = answer.object().value(QStringLiteral("memberID")).toVariant().toString();
    if (outer.toLongLong() <= 0)
        return 0;
    QUrlQuery map;
    map.addQueryItem(QStringLiteral("outerMemberId"), outer);
    map.addQueryItem(QStringLiteral("account"), account);
    map.addQueryItem(QStringLiteral("phone"), QString());
    const Reply mapped = loyaltyForm(QStringLiteral("mapMemberId/%1/%2").arg(companyKey(), passKeyNow()), map);
    return mapped.status == 200 ? mapped.body.toLongLong() : 0;
}
