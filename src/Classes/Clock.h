#pragma once

#include <QtGlobal>

#include <functional>

// The one clock every time-dependent rule reads, so tests can set the time.
namespace Clock {

qint64 nowMs(); // milliseconds since 1970-01-01 00:00 UTC
void setSource(std::function<qint64()> source); // nullptr restores the system clock

} // namespace Clock
