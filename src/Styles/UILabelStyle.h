#pragma once

#include <QString>

class PhoneButton;
class PhoneLabel;

// The application's named text styles: colour, font and the smallest size
// a label may shrink to. Screens call them by name.
class UILabelStyle
{
public:
    UILabelStyle() = delete;

    static void CommStyleLarge(PhoneLabel *label);
    static void CommStyleMiddle(PhoneLabel *label);
    static void CommStyleSmall(PhoneLabel *label);
    static void CellByTitle(PhoneLabel *label);
    static void CellByAverageCost(PhoneLabel *label);
    static void CellByDuration(PhoneLabel *label);
    static void CellByReservation(PhoneLabel *label);
    // Font 8 but minimum size 10: the label never shrinks below 10.
    static void CellByPointCardNormal(PhoneLabel *label);
    static void CellByPointCardOver(PhoneLabel *label);
    static void NewsDetailTitle(PhoneLabel *label);
    static void ShakeNoteText1(PhoneLabel *label);
    static void ShakeNoteText2(PhoneLabel *label);
    static void CouponDetailTitle(PhoneLabel *label);
    static void CouponDetailDate(PhoneLabel *label);
    static void CouponDetailIntro(PhoneLabel *label);

    // Form captions: the text, grey, system 12.
    static void LabelByForm(PhoneLabel *label, const QString &text);
    // Normal title; white when normal and highlighted.
    static void ButtonText(PhoneButton *button, const QString &text);
    // As ButtonText, in bold system 12.
    static void ButtonTextByMiddleSize(PhoneButton *button, const QString &text);
    // Normal title; black when normal, white when highlighted, selected or
    // disabled (the selected tab of a screen is a disabled button).
    static void TagButtonText(PhoneButton *button, const QString &text);
};
