#include "CellCoupon.h"

#include "Dates.h"
#include "LayoutLoader.h"
#include "LoadImageRequest.h"
#include "MyUIImageView.h"
#include "PhoneLabel.h"
#include "Tools.h"
#include "UILabelStyle.h"
#include "Views.h"

CellCoupon::CellCoupon(QWidget *parent) : TableViewCell(parent)
{
    LayoutLoader::loadInto(u"CellCoupon"_qs, this);
    setReuseIdentifier(u"CellCoupon"_qs);
}

QString CellCoupon::imageAddress(const Field &picture)
{
    const QString text = picture.text();
    return Tools::validateUrl(text) ? text : Event::genFullImagePath(text);
}

void CellCoupon::setCellValue(const MemberCoupons &coupon)
{
    fill(coupon.picture, coupon.storeName, coupon.name, coupon.startTime, coupon.endTime);
}

void CellCoupon::setCellValue(const Event &event)
{
    fill(event.picture, event.storeName, event.name, event.startTime, event.endTime);
}

void CellCoupon::fill(const Field &picture, const Field &storeName, const Field &name, const Field &startTime,
                      const Field &endTime)
{
    if (auto *image = dynamic_cast<MyUIImageView *>(Views::withTag(this, 1))) {
        image->setImageUrl(imageAddress(picture));
        LoadImageRequest::getInstance().LoadImage(image);
    }
    if (auto *label = Views::withTag<PhoneLabel>(this, 2)) {
        label->setText(storeName.text());
        UILabelStyle::CellByTitle(label);
    }
    if (auto *label = Views::withTag<PhoneLabel>(this, 3))
        label->setText(name.text());
    if (auto *label = Views::withTag<PhoneLabel>(this, 4)) {
        label->setText(Dates::getDuration(startTime, endTime));
        UILabelStyle::CellByDuration(label);
    }
}
