#pragma once

#include "Event.h"
#include "Field.h"
#include "MemberCoupons.h"
#include "TableView.h"

// A coupon row: picture, store name, coupon name and validity period.
class CellCoupon : public TableViewCell
{
    Q_OBJECT
public:
    // Filled from the layout "CellCoupon".
    explicit CellCoupon(QWidget *parent = nullptr);

    void setCellValue(const MemberCoupons &coupon);
    void setCellValue(const Event &event);

    // A picture that is already a full "http://" address stays as it is;
    // any other is a file of the loyalty service's pictures.
    static QString imageAddress(const Field &picture);

private:
    void fill(const Field &picture, const Field &storeName, const Field &name, const Field &startTime,
              const Field &endTime);
};
