#include "NotificationCenter.h"

NotificationCenter &NotificationCenter::defaultCenter()
{
    static NotificationCenter center;
    return center;
}

void NotificationCenter::post(const QString &name)
{
    Q_EMIT posted(name);
}

QMetaObject::Connection NotificationCenter::addObserver(QObject *observer, const QString &name,
                                                        std::function<void()> fn)
{
    return connect(this, &NotificationCenter::posted, observer,
                   [name, fn = std::move(fn)](const QString &postedName) {
                       if (postedName == name)
                           fn();
                   });
}

void NotificationCenter::removeObserver(QObject *observer)
{
    disconnect(this, nullptr, observer, nullptr);
}
