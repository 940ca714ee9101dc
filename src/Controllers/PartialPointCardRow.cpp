#include "PartialPointCardRow.h"

#include "LayoutLoader.h"
#include "PartialPointCardPoint.h"
#include "PhoneLabel.h"
#include "UILabelStyle.h"
#include "Views.h"

PartialPointCardRow::PartialPointCardRow(QWidget *parent) : QWidget(parent)
{
    LayoutLoader::loadInto(u"PartialPointCardRow"_qs, this);
}

void PartialPointCardRow::setValue(const QString &text, std::optional<int> collectPoint,
                                   std::optional<int> totalPoint, std::optional<int> isUsed)
{
    if (auto *label = Views::withTag<PhoneLabel>(this, 1)) {
        label->setText(text);
        UILabelStyle::CellByDuration(label);
    }
    QWidget *container = Views::withTag(this, 2);
    if (!container)
        return;
    // A refill replaces the strip of the previous values.
    qDeleteAll(container->findChildren<PartialPointCardPoint *>(Qt::FindDirectChildrenOnly));
    if (!collectPoint || !totalPoint || !isUsed)
        return;
    auto *strip = new PartialPointCardPoint(container);
    strip->setValue(*collectPoint, *totalPoint, *isUsed);
    strip->move(0, 0);
    strip->show();
}
