#include "Strings.h"

#include "Texts.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

QStringList Strings::languages()
{
    return {QStringLiteral("en"), QStringLiteral("zh_CN")};
}

QHash<QString, QString> Strings::table(const QString &language)
{
    QHash<QString, QString> texts;
    QFile file(QStringLiteral(":/strings/%1.json").arg(language));
    if (!file.open(QIODevice::ReadOnly))
        return texts;
    const QJsonObject object = QJsonDocument::fromJson(file.readAll()).object();
    for (auto it = object.constBegin(); it != object.constEnd(); ++it) {
        if (it.value().isString())
            texts.insert(it.key(), it.value().toString());
    }
    return texts;
}

QString Strings::languageFor(const QLocale &locale)
{
    if (locale.language() == QLocale::Chinese && locale.script() != QLocale::TraditionalChineseScript)
        return QStringLiteral("zh_CN");
    return QStringLiteral("en");
}

void Strings::install(const QLocale &locale)
{
    Texts::setLookup([texts = table(languageFor(locale))](const QString &key) { return texts.value(key); });
}
