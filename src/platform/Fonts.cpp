#include "Fonts.h"

#include <QGuiApplication>

QFont Fonts::system(qreal size)
{
    QFont font = QGuiApplication::font();
    font.setBold(false);
    setSize(font, size);
    return font;
}

QFont Fonts::boldSystem(qreal size)
{
    QFont font = system(size);
    font.setBold(true);
    return font;
}

qreal Fonts::sizeOf(const QFont &font)
{
    // Point sizes are 1/72 inch at Qt's logical 96 dpi.
    return font.pixelSize() > 0 ? font.pixelSize() : font.pointSizeF() * 96.0 / 72.0;
}

void Fonts::setSize(QFont &font, qreal size)
{
    // Qt keeps pixel sizes whole; the half sizes of shrinking round.
    font.setPixelSize(std::max(1, int(std::lround(size))));
}
