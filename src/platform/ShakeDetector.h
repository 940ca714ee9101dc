#pragma once

#include <QObject>
#include <QPointer>

class QAccelerometer;
class QWidget;

// The device's shake: a jolt of the accelerometer where there is one, and
// Ctrl+Shift+S in a window on a desktop. Screens listen while they are on
// screen.
class ShakeDetector : public QObject
{
    Q_OBJECT
public:
    static ShakeDetector &instance();

    // Adds the keyboard shortcut to window.
    void attachShortcut(QWidget *window);
    bool hasAccelerometer() const { return m_sensor != nullptr; }
    // Feeds one acceleration reading (m/s^2, gravity included).
    void addReading(double x, double y, double z, quint64 timestampMs);
    void simulateShake();

Q_SIGNALS:
    void shaken();

private:
    ShakeDetector();

    QAccelerometer *m_sensor = nullptr;
    quint64 m_lastShakeMs = 0;
    bool m_everShaken = false;
};
