#include "Tools.h"

#include "Texts.h"

#include <QRegularExpression>
#include <QUuid>

namespace {

Tools::MessageHandler &messageHandler()
{
    static Tools::MessageHandler handler;
    return handler;
}

// A hex pair read as far as it goes: no leading digit reads 0, a lone
// leading digit reads as that digit.
int readHexPair(QStringView pair)
{
    int value = 0;
    for (const QChar c : pair) {
        const auto digit = int(QStringView(u"0123456789ABCDEF").indexOf(c));
        if (digit < 0)
            break;
        value = value * 16 + digit;
    }
    return value;
}

} // namespace

void Tools::setMessageHandler(MessageHandler handler)
{
    messageHandler() = std::move(handler);
}

void Tools::showMsg(const QString &message)
{
    showMsg(Texts::get(QStringLiteral("warningTitle")), message);
}

void Tools::showMsg(const QString &title, const QString &message)
{
    if (messageHandler())
        messageHandler()(title, message);
}

QColor Tools::colorForHex(const QString &hex)
{
    const QColor black(0, 0, 0);
    QString text = hex.trimmed().toUpper();
    if (text.size() < 6)
        return black;
    if (text.startsWith(QChar(u'#')))
        text.remove(0, 1);
    if (text.size() != 6)
        return black;
    const QStringView view(text);
    return QColor(readHexPair(view.sliced(0, 2)), readHexPair(view.sliced(2, 2)),
                  readHexPair(view.sliced(4, 2)));
}

bool Tools::validateUrl(const QString &text)
{
    return text.size() >= 8 && text.startsWith(QLatin1String("http://"), Qt::CaseSensitive);
}

bool Tools::validateEmail(const QString &text)
{
    static const QRegularExpression pattern(QRegularExpression::anchoredPattern(
        QStringLiteral("[A-Z0-9a-z._%+-]+@[A-Za-z0-9.-]+\\.[A-Za-z]{2,4}")));
    return pattern.match(text).hasMatch();
}

QString Tools::getUUID()
{
    return QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
}

QString Tools::stripTags(const QString &text)
{
    if (text.isEmpty())
        return text;
    // Removing the first tag over and over leaves the same text as removing
    // every match in one pass: whatever precedes the first match cannot start
    // a new one. The single pass keeps long hostile texts linear.
    static const QRegularExpression tag(QStringLiteral("<[^>]+>"));
    QString stripped = text;
    stripped.remove(tag);
    stripped.remove(QStringLiteral("&nbsp;"));
    return stripped;
}
