#pragma once

#include <QString>
#include <QStringList>

// Enciphers QR payloads the way the stores' merchant tool does (triple-DES
// ECB with PKCS#7 padding, Base64), so tests can make codes the phone reads.
namespace PayloadCipher {

QString encipher(const QString &plainText);
// The fields joined by "," and enciphered.
QString encipherFields(const QStringList &fields);

} // namespace PayloadCipher
