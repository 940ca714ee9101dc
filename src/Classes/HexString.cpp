#include "HexString.h"

namespace {

constexpr char16_t kDigits[] = u"0123456789abcdef";

} // namespace

std::optional<QChar> HexString::characterAtIndex(qsizetype position) const
{
    if (position < 0 || position >= length())
        return std::nullopt;
    const auto byte = static_cast<unsigned char>(m_bytes.at(position / 3));
    switch (position % 3) {
    case 0:
        return QChar(kDigits[byte >> 4]);
    case 1:
        return QChar(kDigits[byte & 0x0f]);
    default:
        return QChar(u' ');
    }
}

QString HexString::toString() const
{
    QString text;
    text.reserve(length());
    for (const char c : m_bytes) {
        const auto byte = static_cast<unsigned char>(c);
        text.append(QChar(kDigits[byte >> 4]));
        text.append(QChar(kDigits[byte & 0x0f]));
        text.append(QChar(u' '));
    }
    return text;
}
