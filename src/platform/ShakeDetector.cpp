#include "ShakeDetector.h"

#include <QAccelerometer>
#include <QShortcut>
#include <QWidget>

#include <cmath>

namespace {
// Well above gravity (9.8): a deliberate shake, not a step.
constexpr double ShakeThreshold = 22.0;
// One shake per second at most: a shake is several jolts.
constexpr quint64 QuietMs = 1000;
} // namespace

ShakeDetector &ShakeDetector::instance()
{
    static ShakeDetector detector;
    return detector;
}

ShakeDetector::ShakeDetector()
{
    if (!QSensor::sensorsForType(QAccelerometer::sensorType).isEmpty()) {
        m_sensor = new QAccelerometer(this);
        connect(m_sensor, &QSensor::readingChanged, this, [this] {
            const QAccelerometerReading *r = m_sensor->reading();
            if (r)
                addReading(r->x(), r->y(), r->z(), r->timestamp() / 1000);
        });
        m_sensor->start();
    }
}

void ShakeDetector::attachShortcut(QWidget *window)
{
    auto *shortcut = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S), window);
    shortcut->setContext(Qt::ApplicationShortcut);
    connect(shortcut, &QShortcut::activated, this, &ShakeDetector::simulateShake);
}

void ShakeDetector::addReading(double x, double y, double z, quint64 timestampMs)
{
    const double magnitude = std::sqrt(x * x + y * y + z * z);
    if (magnitude < ShakeThreshold)
        return;
    if (m_everShaken && timestampMs - m_lastShakeMs < QuietMs)
        return;
    m_everShaken = true;
    m_lastShakeMs = timestampMs;
    Q_EMIT shaken();
}

void ShakeDetector::simulateShake()
{
    Q_EMIT shaken();
}
