#pragma once

#include <QWidget>

// The points strip: collected, total and what the card still needs.
class PartialPointCardPoint : public QWidget
{
    Q_OBJECT
public:
    // Filled from the layout "PartialPointCardPoint".
    explicit PartialPointCardPoint(QWidget *parent = nullptr);

    void setValue(int point, int totalPoint, int isUsed);

    // A message text with one integer place ("%d", "%i", "%ld" or "%@");
    // "%%" is a percent sign. Texts without a place are shown as they are.
    static QString formatInteger(const QString &format, qint64 value);
};
