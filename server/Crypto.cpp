#include "Crypto.h"

#include "CipherConstants.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/md5.h>
#include <openssl/rand.h>

#include <chrono>
#include <memory>
#include <vector>

namespace {

using CipherCtx = std::unique_ptr<EVP_CIPHER_CTX, decltype(&EVP_CIPHER_CTX_free)>;

const unsigned char *bytes(const char *text)
{
    return reinterpret_cast<const unsigned char *>(text);
}

std::optional<std::string> runCipher(const EVP_CIPHER *cipher, const unsigned char *key,
                                     const unsigned char *iv, bool encrypt,
                                     const std::string &input)
{
    CipherCtx ctx(EVP_CIPHER_CTX_new(), &EVP_CIPHER_CTX_free);
    if (!ctx || EVP_CipherInit_ex(ctx.get(), cipher, nullptr, key, iv, encrypt ? 1 : 0) != 1)
        return std::nullopt;
    std::vector<unsigned char> out(input.size() + 32);
    int written = 0;
    int tail = 0;
    if (EVP_CipherUpdate(ctx.get(), out.data(), &written,
                         reinterpret_cast<const unsigned char *>(input.data()),
                         static_cast<int>(input.size())) != 1)
        return std::nullopt;
    if (EVP_CipherFinal_ex(ctx.get(), out.data() + written, &tail) != 1)
        return std::nullopt;
    return std::string(reinterpret_cast<const char *>(out.data()),
                       static_cast<std::size_t>(written + tail));
}

std::string toHex(const unsigned char *data, std::size_t size)
{
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    hex.reserve(size * 2);
    for (std::size_t i = 0; i < size; ++i) {
        hex.push_back(digits[data[i] >> 4]);
        hex.push_back(digits[data[i] & 0x0f]);
    }
    return hex;
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::optional<std::string> fromHex(const std::string &hex)
{
    if (hex.size() % 2 != 0)
        return std::nullopt;
    std::string out;
    out.reserve(hex.size() / 2);
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        const int hi = hexValue(hex[i]);
        const int lo = hexValue(hex[i + 1]);
        if (hi < 0 || lo < 0)
            return std::nullopt;
        out.push_back(static_cast<char>(hi * 16 + lo));
    }
    return out;
}

std::string tripleDesKey()
{
    return std::string(CipherConstants::kKeyText) + CipherConstants::kTripleDesKeyCompletion;
}

} // namespace

namespace Crypto {

std::string aesEncryptHex(const std::string &plain)
{
    const auto out = runCipher(EVP_aes_128_cbc(), bytes(CipherConstants::kKeyText),
                               bytes(CipherConstants::kIvText), true, plain);
    if (!out)
        return {};
    return toHex(reinterpret_cast<const unsigned char *>(out->data()), out->size());
}

std::optional<std::string> aesDecryptHex(const std::string &hex)
{
    const auto raw = fromHex(hex);
    if (!raw || raw->empty() || raw->size() % 16 != 0)
        return std::nullopt;
    return runCipher(EVP_aes_128_cbc(), bytes(CipherConstants::kKeyText),
                     bytes(CipherConstants::kIvText), false, *raw);
}

std::string passKeyFor(std::int64_t ms)
{
    return aesEncryptHex(std::to_string(ms / 1000 * 1000));
}

std::optional<std::int64_t> passKeyTime(const std::string &passKey)
{
    const auto plain = aesDecryptHex(passKey);
    if (!plain || plain->empty() || plain->size() > 18)
        return std::nullopt;
    std::int64_t value = 0;
    for (char c : *plain) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

std::string tripleDesEncryptBase64(const std::string &plain)
{
    const std::string key = tripleDesKey();
    const auto out = runCipher(EVP_des_ede3_ecb(), bytes(key.c_str()), nullptr, true, plain);
    if (!out)
        return {};
    std::string encoded(4 * ((out->size() + 2) / 3) + 1, '\0');
    const int n = EVP_EncodeBlock(reinterpret_cast<unsigned char *>(encoded.data()),
                                  reinterpret_cast<const unsigned char *>(out->data()),
                                  static_cast<int>(out->size()));
    encoded.resize(static_cast<std::size_t>(n));
    return encoded;
}

std::optional<std::string> tripleDesDecryptBase64(const std::string &base64)
{
    if (base64.empty() || base64.size() % 4 != 0)
        return std::nullopt;
    std::string raw(base64.size() / 4 * 3, '\0');
    const int n = EVP_DecodeBlock(reinterpret_cast<unsigned char *>(raw.data()),
                                  reinterpret_cast<const unsigned char *>(base64.data()),
                                  static_cast<int>(base64.size()));
    if (n < 0)
        return std::nullopt;
    std::size_t size = static_cast<std::size_t>(n);
    // EVP_DecodeBlock counts the padding characters as zero bytes.
    if (base64.size() >= 1 && base64[base64.size() - 1] == '=')
        --size;
    if (base64.size() >= 2 && base64[base64.size() - 2] == '=')
        --size;
    raw.resize(size);
    const std::string key = tripleDesKey();
    return runCipher(EVP_des_ede3_ecb(), bytes(key.c_str()), nullptr, false, raw);
}

std::string md5Hex(const std::string &text)
{
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int size = 0;
    EVP_Digest(text.data(), text.size(), digest, &size, EVP_md5(), nullptr);
    return toHex(digest, size);
}

std::string randomHex(std::size_t count)
{
    std::vector<unsigned char> buffer(count);
    if (RAND_bytes(buffer.data(), static_cast<int>(count)) != 1)
        return {};
    return toHex(buffer.data(), buffer.size());
}

std::string pbkdf2Hex(const std::string &password, const std::string &saltHex, int iterations)
{
    const auto salt = fromHex(saltHex);
    if (!salt)
        return {};
    unsigned char out[32];
    if (PKCS5_PBKDF2_HMAC(password.data(), static_cast<int>(password.size()),
                          reinterpret_cast<const unsigned char *>(salt->data()),
                          static_cast<int>(salt->size()), iterations, EVP_sha256(),
                          sizeof out, out) != 1)
        return {};
    return toHex(out, sizeof out);
}

bool constantTimeEquals(const std::string &a, const std::string &b)
{
    return a.size() == b.size() && CRYPTO_memcmp(a.data(), b.data(), a.size()) == 0;
}

std::int64_t nowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

} // namespace Crypto
