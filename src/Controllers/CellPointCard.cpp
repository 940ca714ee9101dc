#include "CellPointCard.h"

#include "CellCoupon.h"
#include "LayoutLoader.h"
#include "LoadImageRequest.h"
#include "MyUIImageView.h"
#include "PartialPointCardPoint.h"
#include "PhoneButton.h"
#include "PhoneLabel.h"
#include "UILabelStyle.h"
#include "Views.h"

CellPointCard::CellPointCard(QWidget *parent) : TableViewCell(parent)
{
    LayoutLoader::loadInto(u"CellPointCard"_qs, this);
    setReuseIdentifier(u"CellPointCard"_qs);
}

PartialPointCardPoint *CellPointCard::pointStrip() const
{
    QWidget *container = Views::withTag(const_cast<CellPointCard *>(this), 6);
    if (!container)
        return nullptr;
    const QList<QWidget *> children = Views::subviews(container);
    return children.isEmpty() ? nullptr : qobject_cast<PartialPointCardPoint *>(children.last());
}

void CellPointCard::setCellValue(const PointCard &card)
{
    if (auto *image = dynamic_cast<MyUIImageView *>(Views::withTag(this, 1))) {
        image->setImageUrl(CellCoupon::imageAddress(card.picture));
        LoadImageRequest::getInstance().LoadImage(image);
    }
    if (auto *label = Views::withTag<PhoneLabel>(this, 2)) {
        label->setText(card.storeName.text());
        UILabelStyle::CellByTitle(label);
    }
    if (auto *label = Views::withTag<PhoneLabel>(this, 3))
        label->setText(card.name.text());
    if (auto *label = Views::withTag<PhoneLabel>(this, 4))
        label->setText(card.brief.text());
    if (QWidget *button = Views::withTag(this, 5))
        button->hide();
    QWidget *container = Views::withTag(this, 6);
    if (!container)
        return;
    container->show();
    PartialPointCardPoint *strip = pointStrip();
    if (!strip) {
        strip = new PartialPointCardPoint(container);
        strip->move(0, 0);
        strip->show();
    }
    strip->setValue(card.point.toInt(), card.totalPoints.toInt(), card.isUsed.toInt());
}
