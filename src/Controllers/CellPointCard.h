#pragma once

#include "PointCard.h"
#include "TableView.h"

class PartialPointCardPoint;

// A point card row of the wallet: picture, store, card name, brief and the
// points strip.
class CellPointCard : public TableViewCell
{
    Q_OBJECT
public:
    // Filled from the layout "CellPointCard".
    explicit CellPointCard(QWidget *parent = nullptr);

    void setCellValue(const PointCard &card);
    // The strip in the points container; null before the first fill.
    PartialPointCardPoint *pointStrip() const;
};
