#pragma once

#include "Store.h"
#include "TableView.h"

// A store row: picture, name, discount, average cost and five stars by rate.
class CellStore : public TableViewCell
{
    Q_OBJECT
public:
    static constexpr int FadeInMs = 400;

    // Filled from the layout "CellStore".
    explicit CellStore(QWidget *parent = nullptr);

    void setCellValue(const Store &store, bool isFadeIn);
    void setCellValue(const Store &store) { setCellValue(store, false); }
};
