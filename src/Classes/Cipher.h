#pragma once

#include <QByteArray>
#include <QString>

// The cryptographic steps shared with the services. Stateless.
class Cipher
{
public:
    Cipher() = delete;

    // AES-128-CBC/PKCS#7 of the UTF-8 bytes as lower-case hex, or an error text.
    static QString encrypt(const QString &text);
    // encrypt() of Clock::nowMs() cut to whole seconds, times 1000, in decimal.
    static QString generatePassKey();
    // Triple-DES ECB/PKCS#7 of Base64 text; the empty text when nothing deciphers.
    static QString decrypt3DES(const QString &base64Text);
    static QString md5(const QString &text);
};
