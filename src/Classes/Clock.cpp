#include "Clock.h"

#include <QDateTime>

namespace Clock {

namespace {

std::function<qint64()> &source()
{
    static std::function<qint64()> clock;
    return clock;
}

} // namespace

qint64 nowMs()
{
    return source() ? source()() : QDateTime::currentMSecsSinceEpoch();
}

void setSource(std::function<qint64()> clock)
{
    source() = std::move(clock);
}

} // namespace Clock
