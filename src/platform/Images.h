#pragma once

#include <QPixmap>
#include <QRectF>
#include <QString>

class QPainter;

// Named pictures ("star_on.png") drawn as SVG in the resources
// (":/images/star_on.svg") and rendered at twice their point size, so they
// stay crisp on high-density screens. A name without a picture gives a
// null pixmap.
namespace Images {

QPixmap named(const QString &name);
bool exists(const QString &name);
// Size in points (the SVG's own size).
QSize pointSize(const QString &name);

} // namespace Images

// A picture whose middle stretches: the left cap and top cap stay as they
// are, the column (row) after each cap stretches, the rest is the right
// (bottom) cap. Caps of 0 stretch the whole picture in that direction.
struct StretchableImage
{
    QPixmap pixmap;
    int leftCap = 0;
    int topCap = 0;

    bool isNull() const { return pixmap.isNull(); }
    // Height in points.
    int height() const;
    void draw(QPainter &painter, const QRectF &target) const;
};
