#pragma once

#include <QByteArray>
#include <QChar>
#include <QString>

#include <optional>

// Read-only text view of bytes: each byte as two lower-case hex digits and a
// blank, so n bytes read as 3n characters.
class HexString
{
public:
    explicit HexString(QByteArray bytes) : m_bytes(std::move(bytes)) {}

    qsizetype length() const { return 3 * m_bytes.size(); }
    // None for a position outside 0 .. length() - 1.
    std::optional<QChar> characterAtIndex(qsizetype position) const;
    QString toString() const;

private:
    QByteArray m_bytes;
};
