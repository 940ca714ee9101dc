#include "Application.h"

#include <QGuiApplication>
#include <QTimer>

ApplicationEvents &ApplicationEvents::instance()
{
    static ApplicationEvents events;
    return events;
}

ApplicationEvents::ApplicationEvents()
{
    if (auto *app = qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
        connect(app, &QGuiApplication::applicationStateChanged, this,
                [this](Qt::ApplicationState state) {
                    if (m_launched)
                        setActive(state == Qt::ApplicationActive);
                });
    }
}

void ApplicationEvents::launch()
{
    if (m_launched)
        return;
    m_launched = true;
    Q_EMIT didFinishLaunching();
    if (QGuiApplication::applicationState() == Qt::ApplicationActive)
        setActive(true);
}

void ApplicationEvents::setActive(bool active)
{
    if (active == m_active)
        return;
    if (!active)
        Q_EMIT willResignActive();
    m_active = active;
    if (active)
        Q_EMIT didBecomeActive();
}

void MainLoop::post(QObject *context, std::function<void()> fn)
{
    QTimer::singleShot(0, context, std::move(fn));
}

void MainLoop::after(int ms, QObject *context, std::function<void()> fn)
{
    QTimer::singleShot(ms, context, std::move(fn));
}
