#include "PartialPointCardPoint.h"

#include "LayoutLoader.h"
#include "PhoneLabel.h"
#include "Texts.h"
#include "UILabelStyle.h"
#include "Views.h"

PartialPointCardPoint::PartialPointCardPoint(QWidget *parent) : QWidget(parent)
{
    LayoutLoader::loadInto(u"PartialPointCardPoint"_qs, this);
}

void PartialPointCardPoint::setValue(int point, int totalPoint, int isUsed)
{
    if (auto *collected = Views::withTag<PhoneLabel>(this, 1))
        collected->setText(QString::number(point));
    if (auto *total = Views::withTag<PhoneLabel>(this, 2))
        total->setText(QString::number(totalPoint));
    auto *status = Views::withTag<PhoneLabel>(this, 3);
    if (!status)
        return;
    if (isUsed == 1) {
        status->setText(Texts::get(u"toExchanged"_qs));
        UILabelStyle::CellByPointCardOver(status);
    } else if (point < totalPoint) {
        status->setText(formatInteger(Texts::get(u"exchangeTimes"_qs), qint64(totalPoint) - point));
        UILabelStyle::CellByPointCardNormal(status);
    } else {
        status->setText(Texts::get(u"toExchange"_qs));
        UILabelStyle::CellByPointCardOver(status);
    }
}

QString PartialPointCardPoint::formatInteger(const QString &format, qint64 value)
{
    // Only the first place is filled; the text is never used as a C format.
    QString out;
    bool filled = false;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format.at(i);
        if (c != u'%' || i + 1 >= format.size()) {
            out.append(c);
            continue;
        }
        const QStringView rest = QStringView(format).mid(i + 1);
        if (rest.startsWith(u'%')) {
            out.append(u'%');
            ++i;
        } else if (!filled && (rest.startsWith(u'd') || rest.startsWith(u'i') || rest.startsWith(u'@'))) {
            out.append(QString::number(value));
            filled = true;
            ++i;
        } else if (!filled && (rest.startsWith(u"ld") || rest.startsWith(u"li"))) {
            out.append(QString::number(value));
            filled = true;
            i += 2;
        } else {
            out.append(c);
        }
    }
    return out;
}
