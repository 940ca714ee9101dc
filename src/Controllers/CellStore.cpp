#include "CellStore.h"

#include "Animations.h"
#include "LayoutLoader.h"
#include "LoadImageRequest.h"
#include "MyUIImageView.h"
#include "PhoneImageView.h"
#include "PhoneLabel.h"
#include "Texts.h"
#include "UILabelStyle.h"
#include "Views.h"

CellStore::CellStore(QWidget *parent) : TableViewCell(parent)
{
    LayoutLoader::loadInto(u"CellStore"_qs, this);
    setReuseIdentifier(u"CellStore"_qs);
}

void CellStore::setCellValue(const Store &store, bool isFadeIn)
{
    auto *image = dynamic_cast<MyUIImageView *>(Views::withTag(this, 1));
    auto *name = Views::withTag<PhoneLabel>(this, 2);
    auto *discount = Views::withTag<PhoneLabel>(this, 3);
    auto *cost = Views::withTag<PhoneLabel>(this, 4);
    if (image) {
        image->setImageUrl(store.storePicUrl.text());
        LoadImageRequest::getInstance().LoadImage(image);
    }
    if (name) {
        name->setText(store.storeName.text());
        UILabelStyle::CellByTitle(name);
    }
    if (discount)
        discount->setText(store.discount.text());
    if (cost) {
        cost->setText(Texts::get(u"averageCost"_qs) + store.cost.text());
        UILabelStyle::CellByAverageCost(cost);
    }
    const int rate = store.rate.toInt();
    for (int k = 1; k <= 5; ++k) {
        if (auto *star = Views::withTag<PhoneImageView>(this, k + 4))
            star->setImageName(k <= rate ? u"star_small_on.png"_qs : u"star_small_off.png"_qs);
    }
    const QList<QWidget *> faded{image, name, discount, cost};
    for (QWidget *view : faded) {
        if (!view)
            continue;
        if (isFadeIn)
            Animations::fade(view, 0, 1, FadeInMs);
        else if (view->graphicsEffect())
            Animations::fade(view, 1, 1, 0);
    }
}
