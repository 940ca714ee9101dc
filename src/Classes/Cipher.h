#pragma once

#include <QByteArray>
#include <QString>

// The cryptographic steps shared with the services. Stateless; safe from any thread.
class Cipher
{
public:
    Cipher() = delete;

    // AES-128-CBC/PKCS#7 of the UTF-8 bytes as lower-case hex, or an error text
    // ("PARAM ERROR", "MEMORY FAILURE", ...) when the cipher fails.
    static QString encrypt(const QString &text);
    // encrypt() of Clock::nowMs() cut to whole seconds, times 1000, in decimal.
    static QString generatePassKey();
    // Triple-DES ECB/PKCS#7 of Base64 text. The empty text when the Base64 is
    // malformed, the cipher delivers nothing (wrong length, wrong key, bad
    // padding) or the plaintext is not UTF-8.
    static QString decrypt3DES(const QString &base64Text);
    // MD5 of the UTF-8 bytes as 32 lower-case hex digits.
    static QString md5(const QString &text);
};
