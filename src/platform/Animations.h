#pragma once

#include <QByteArray>
#include <QObject>
#include <QVariant>
#include <QWidget>

#include <functional>

// One switch for every animation of the layer: tests turn it off so that
// pushes, fades and HUDs finish before the call returns.
namespace Animations {

bool enabled();
void setEnabled(bool on);

// Animates a property of target to endValue over durationMs (from the current
// value), or sets it at once when animations are off or durationMs <= 0.
// done runs when the value is reached (at once when not animated).
void animate(QObject *target, const QByteArray &property, const QVariant &endValue, int durationMs,
             std::function<void()> done = {});

// Fades a widget's opacity from `from` to `to` (0 transparent, 1 opaque).
void fade(QWidget *widget, qreal from, qreal to, int durationMs);
// The opacity a widget is drawn with (1 when it was never faded).
qreal opacity(const QWidget *widget);

} // namespace Animations
