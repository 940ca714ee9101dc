#pragma once

#include <QStringView>
#include <QtGlobal>

// The one way a value that arrived as text is read as a number: optional
// leading blanks, an optional sign, then the decimal digits up to the first
// other character; no digits read as 0. Out-of-range values saturate.
namespace NumberRule {

qint64 readInteger(QStringView text);
int readInt32(QStringView text);
// Usual decimal notation ("-12.5", "3e2", ".5"), same leading rules; 0 when none.
double readReal(QStringView text);
// A real read as an integer is cut toward zero (and saturates).
qint64 truncateToInteger(double value);
int truncateToInt32(double value);

} // namespace NumberRule

#include <QList>

namespace NumberRule {

// A store-id list: decimal ids separated by ","; each element is read by the
// rule above. The empty text means no store.
QList<qint64> readStoreIds(QStringView text);

} // namespace NumberRule
