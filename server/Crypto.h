#pragma once

#include <cstdint>
#include <optional>
#include <string>

// The cipher steps the services share with the phone application.
namespace Crypto {

// AES-128-CBC (PKCS#7) of the text, as lower-case hexadecimal.
std::string aesEncryptHex(const std::string &plain);
// Inverse of aesEncryptHex; nothing when the text is not hex or does not decipher.
std::optional<std::string> aesDecryptHex(const std::string &hex);

// The pass key for a time in milliseconds (the phone cuts it to whole seconds).
std::string passKeyFor(std::int64_t ms);
// The time a pass key names, or nothing when it is not one of ours.
std::optional<std::int64_t> passKeyTime(const std::string &passKey);

// Triple-DES ECB (PKCS#7) with the shared 24-byte key, Base64 text out.
std::string tripleDesEncryptBase64(const std::string &plain);
std::optional<std::string> tripleDesDecryptBase64(const std::string &base64);

std::string md5Hex(const std::string &text);

std::string randomHex(std::size_t bytes);
// PBKDF2-HMAC-SHA256, hexadecimal.
std::string pbkdf2Hex(const std::string &password, const std::string &saltHex, int iterations);
bool constantTimeEquals(const std::string &a, const std::string &b);

std::int64_t nowMs();

} // namespace Crypto
