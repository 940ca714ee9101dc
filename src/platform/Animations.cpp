#include "Animations.h"

#include <QGraphicsOpacityEffect>
#include <QPropertyAnimation>

namespace {
bool g_enabled = true;
}

bool Animations::enabled()
{
    return g_enabled;
}

void Animations::setEnabled(bool on)
{
    g_enabled = on;
}

void Animations::animate(QObject *target, const QByteArray &property, const QVariant &endValue,
                         int durationMs, std::function<void()> done)
{
    if (!target)
        return;
    if (!g_enabled || durationMs <= 0) {
        target->setProperty(property.constData(), endValue);
        if (done)
            done();
        return;
    }
    auto *animation = new QPropertyAnimation(target, property, target);
    animation->setDuration(durationMs);
    animation->setEndValue(endValue);
    if (done)
        QObject::connect(animation, &QPropertyAnimation::finished, target, std::move(done));
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

void Animations::fade(QWidget *widget, qreal from, qreal to, int durationMs)
{
    if (!widget)
        return;
    auto *effect = qobject_cast<QGraphicsOpacityEffect *>(widget->graphicsEffect());
    if (!effect) {
        effect = new QGraphicsOpacityEffect(widget);
        widget->setGraphicsEffect(effect);
    }
    effect->setOpacity(from);
    animate(effect, "opacity", to, durationMs);
}

qreal Animations::opacity(const QWidget *widget)
{
    auto *effect = widget ? qobject_cast<QGraphicsOpacityEffect *>(widget->graphicsEffect()) : nullptr;
    return effect ? effect->opacity() : 1.0;
}
