#include "Cipher.h"

#include "CipherConstants.h"
#include "Clock.h"
#include "HexString.h"

#include <QCryptographicHash>
#include <QStringDecoder>

#include <openssl/err.h>
#include <openssl/evp.h>

#include <algorithm>
#include <memory>
#include <optional>

namespace {

struct CipherContextFree
{
    void operator()(EVP_CIPHER_CTX *context) const { EVP_CIPHER_CTX_free(context); }
};
using CipherContext = std::unique_ptr<EVP_CIPHER_CTX, CipherContextFree>;

// The failures OpenSSL can report here, named as the services' texts name them.
enum class CipherError { Param, BufferTooSmall, Memory, Alignment, Decode, Unimplemented };

QString errorText(CipherError error)
{
    switch (error) {
    case CipherError::Param:
        return QStringLiteral("PARAM ERROR");
    case CipherError::BufferTooSmall:
        return QStringLiteral("BUFFER TOO SMALL");
    case CipherError::Memory:
        return QStringLiteral("MEMORY FAILURE");
    case CipherError::Alignment:
        return QStringLiteral("ALIGNMENT");
    case CipherError::Decode:
        return QStringLiteral("DECODE ERROR");
    case CipherError::Unimplemented:
        return QStringLiteral("UNIMPLEMENTED");
    }
    return QStringLiteral("PARAM ERROR");
}

struct CipherResult
{
    QByteArray bytes;
    std::optional<CipherError> error;
};

// One pass of a block cipher with PKCS#7 padding. EVP takes int lengths, so
// the input goes through in chunks; any failure discards every byte produced,
// as a one-shot platform call would.
CipherResult runCipher(const EVP_CIPHER *algorithm, bool encipher, const unsigned char *key,
                       const unsigned char *iv, const QByteArray &input)
{
    if (!algorithm)
        return {{}, CipherError::Unimplemented};
    CipherContext context(EVP_CIPHER_CTX_new());
    if (!context)
        return {{}, CipherError::Memory};
    if (EVP_CipherInit_ex(context.get(), algorithm, nullptr, key, iv, encipher ? 1 : 0) != 1) {
        ERR_clear_error();
        return {{}, CipherError::Param};
    }
    EVP_CIPHER_CTX_set_padding(context.get(), 1);

    const qsizetype blockSize = EVP_CIPHER_CTX_get_block_size(context.get());
    constexpr qsizetype kChunk = qsizetype(1) << 20;
    QByteArray output;
    output.reserve(input.size() + blockSize);
    qsizetype written = 0;
    qsizetype offset = 0;
    const auto *in = reinterpret_cast<const unsigned char *>(input.constData());
    while (offset < input.size()) {
        const qsizetype chunk = std::min(kChunk, input.size() - offset);
        output.resize(written + chunk + blockSize);
        int moved = 0;
        if (EVP_CipherUpdate(context.get(), reinterpret_cast<unsigned char *>(output.data()) + written,
                             &moved, in + offset, int(chunk)) != 1) {
            ERR_clear_error();
            return {{}, CipherError::Param};
        }
        written += moved;
        offset += chunk;
    }
    output.resize(written + blockSize);
    int moved = 0;
    if (EVP_CipherFinal_ex(context.get(), reinterpret_cast<unsigned char *>(output.data()) + written,
                           &moved) != 1) {
        ERR_clear_error();
        // Deciphering fails here on a ragged length or on bad padding.
        return {{}, encipher ? CipherError::Param : CipherError::Decode};
    }
    output.resize(written + moved);
    return {output, std::nullopt};
}

// Strict RFC 4648: the standard alphabet, padded to a multiple of four.
std::optional<QByteArray> decodeBase64(const QString &text)
{
    if (text.size() % 4 != 0)
        return std::nullopt;
    QByteArray ascii;
    ascii.reserve(text.size());
    for (const QChar c : text) {
        if (c.unicode() > 0x7f)
            return std::nullopt;
        ascii.append(char(c.unicode()));
    }
    auto decoded = QByteArray::fromBase64Encoding(ascii, QByteArray::AbortOnBase64DecodingErrors);
    if (decoded.decodingStatus != QByteArray::Base64DecodingStatus::Ok)
        return std::nullopt;
    return std::move(decoded.decoded);
}

} // namespace

QString Cipher::encrypt(const QString &text)
{
    const auto *key = reinterpret_cast<const unsigned char *>(CipherConstants::kKeyText);
    const auto *iv = reinterpret_cast<const unsigned char *>(CipherConstants::kIvText);
    const CipherResult result = runCipher(EVP_aes_128_cbc(), true, key, iv, text.toUtf8());
    if (result.error)
        return errorText(*result.error);
    return HexString(result.bytes).toString().remove(QChar(u' '));
}

QString Cipher::generatePassKey()
{
    const long long wholeSecondsMs = Clock::nowMs() / 1000 * 1000;
    return encrypt(QString::asprintf("%lld", wholeSecondsMs));
}

QString Cipher::decrypt3DES(const QString &base64Text)
{
    const std::optional<QByteArray> cipherText = decodeBase64(base64Text);
    if (!cipherText || cipherText->isEmpty())
        return {};

    QByteArray key(CipherConstants::kKeyText, 16);
    key.append(CipherConstants::kTripleDesKeyCompletion, 8);
    const CipherResult result = runCipher(EVP_des_ede3_ecb(), false,
                                          reinterpret_cast<const unsigned char *>(key.constData()),
                                          nullptr, *cipherText);
    if (result.bytes.isEmpty())
        return {};

    QStringDecoder decoder(QStringConverter::Utf8,
                           QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
    QString plain = decoder(result.bytes);
    if (decoder.hasError())
        return {};
    return plain;
}

QString Cipher::md5(const QString &text)
{
    return QString::fromLatin1(QCryptographicHash::hash(text.toUtf8(), QCryptographicHash::Md5).toHex());
}
