#pragma once

#include "CipherConstants.h"

#include <QString>
#include <QStringList>

#include <openssl/evp.h>

#include <memory>

// Enciphers QR payloads the way the stores' merchant tool does (triple-DES
// ECB with PKCS#7 padding, Base64), so tests can make codes the phone reads.
// Header-only so every test folder can use it.
namespace PayloadCipher {

inline QString encipher(const QString &plainText)
{
    QByteArray key(CipherConstants::kKeyText, 16);
    key.append(CipherConstants::kTripleDesKeyCompletion, 8);
    const QByteArray plain = plainText.toUtf8();

    std::unique_ptr<EVP_CIPHER_CTX, decltype(&EVP_CIPHER_CTX_free)> context(EVP_CIPHER_CTX_new(),
                                                                            &EVP_CIPHER_CTX_free);
    if (!context)
        return {};
    QByteArray out(plain.size() + 8, '\0');
    int written = 0;
    int last = 0;
    const auto *keyBytes = reinterpret_cast<const unsigned char *>(key.constData());
    if (EVP_EncryptInit_ex(context.get(), EVP_des_ede3_ecb(), nullptr, keyBytes, nullptr) != 1
        || EVP_EncryptUpdate(context.get(), reinterpret_cast<unsigned char *>(out.data()), &written,
                             reinterpret_cast<const unsigned char *>(plain.constData()),
                             int(plain.size())) != 1
        || EVP_EncryptFinal_ex(context.get(), reinterpret_cast<unsigned char *>(out.data()) + written,
                               &last) != 1)
        return {};
    out.truncate(written + last);
    return QString::fromLatin1(out.toBase64());
}

inline QString encipherFields(const QStringList &fields)
{
    return encipher(fields.join(QLatin1Char(',')));
}

} // namespace PayloadCipher
