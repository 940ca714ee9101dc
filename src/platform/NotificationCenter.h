#pragma once

#include <QMetaObject>
#include <QObject>
#include <QString>

#include <functional>

// Named notifications without payload ("refresh"), posted on the main thread
// and delivered synchronously to every observer.
class NotificationCenter : public QObject
{
    Q_OBJECT
public:
    static NotificationCenter &defaultCenter();

    void post(const QString &name);
    // Calls fn for every post of name while observer lives; disconnect the
    // returned connection to stop observing earlier.
    QMetaObject::Connection addObserver(QObject *observer, const QString &name,
                                        std::function<void()> fn);
    // Stops every observation made for observer.
    void removeObserver(QObject *observer);

Q_SIGNALS:
    void posted(const QString &name);
};
