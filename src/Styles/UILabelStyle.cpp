#include "UILabelStyle.h"

#include "Fonts.h"
#include "PhoneButton.h"
#include "PhoneLabel.h"
#include "Tools.h"

namespace {

void apply(PhoneLabel *label, const char *hex, bool bold, qreal size, qreal minimum)
{
    if (!label)
        return;
    label->setTextColor(Tools::colorForHex(QLatin1String(hex)));
    label->setFont(bold ? Fonts::boldSystem(size) : Fonts::system(size));
    label->setMinimumFontSize(minimum);
}

} // namespace

void UILabelStyle::CommStyleLarge(PhoneLabel *l) { apply(l, "#435662", false, 16, 16); }
void UILabelStyle::CommStyleMiddle(PhoneLabel *l) { apply(l, "#435662", false, 12, 12); }
void UILabelStyle::CommStyleSmall(PhoneLabel *l) { apply(l, "#435662", false, 10, 10); }
void UILabelStyle::CellByTitle(PhoneLabel *l) { apply(l, "#435662", true, 12, 12); }
void UILabelStyle::CellByAverageCost(PhoneLabel *l) { apply(l, "#2E969D", false, 10, 10); }
void UILabelStyle::CellByDuration(PhoneLabel *l) { apply(l, "#C02D5A", false, 10, 10); }
void UILabelStyle::CellByReservation(PhoneLabel *l) { apply(l, "#E35E00", true, 12, 12); }
void UILabelStyle::CellByPointCardNormal(PhoneLabel *l) { apply(l, "#0068B7", false, 8, 10); }
void UILabelStyle::CellByPointCardOver(PhoneLabel *l) { apply(l, "#A40000", false, 10, 10); }
void UILabelStyle::NewsDetailTitle(PhoneLabel *l) { apply(l, "#435662", true, 16, 16); }
void UILabelStyle::ShakeNoteText1(PhoneLabel *l) { apply(l, "#2E969D", true, 16, 16); }
void UILabelStyle::ShakeNoteText2(PhoneLabel *l) { apply(l, "#2E969D", true, 10, 10); }
void UILabelStyle::CouponDetailTitle(PhoneLabel *l) { apply(l, "#BA2A5D", false, 16, 16); }
void UILabelStyle::CouponDetailDate(PhoneLabel *l) { apply(l, "#BA2A5D", false, 12, 12); }
void UILabelStyle::CouponDetailIntro(PhoneLabel *l) { apply(l, "#BA2A5D", true, 16, 16); }

void UILabelStyle::LabelByForm(PhoneLabel *label, const QString &text)
{
    if (!label)
        return;
    label->setText(text);
    label->setTextColor(QColor(128, 128, 128));
    label->setFont(Fonts::system(12));
    label->setMinimumFontSize(12);
}

void UILabelStyle::ButtonText(PhoneButton *button, const QString &text)
{
    if (!button)
        return;
    button->setTitle(text, PhoneButton::Normal);
    button->setTitleColor(Qt::white, PhoneButton::Normal);
    button->setTitleColor(Qt::white, PhoneButton::Highlighted);
}

void UILabelStyle::ButtonTextByMiddleSize(PhoneButton *button, const QString &text)
{
    ButtonText(button, text);
    if (button)
        button->setFont(Fonts::boldSystem(12));
}

void UILabelStyle::TagButtonText(PhoneButton *button, const QString &text)
{
    if (!button)
        return;
    button->setTitle(text, PhoneButton::Normal);
    button->setTitleColor(Qt::black, PhoneButton::Normal);
    for (auto state : {PhoneButton::Highlighted, PhoneButton::Selected, PhoneButton::Disabled})
        button->setTitleColor(Qt::white, state);
}
