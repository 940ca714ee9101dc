#pragma once

#include <QFont>

// Fonts by size in points of the phone window (device-independent pixels).
namespace Fonts {

QFont system(qreal size);
QFont boldSystem(qreal size);
// The platform's small system font size, for captions and back buttons.
constexpr qreal SmallSystemSize = 12;
// The size of a font in points of the phone window.
qreal sizeOf(const QFont &font);
void setSize(QFont &font, qreal size);

} // namespace Fonts
