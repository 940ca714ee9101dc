#pragma once

#include <QObject>

#include <functional>

// Application events for the shell: launch finished, became active, will
// resign active. Activity follows QGuiApplication::applicationState, which
// desktop platforms derive from window activation.
class ApplicationEvents : public QObject
{
    Q_OBJECT
public:
    static ApplicationEvents &instance();

    // Emits didFinishLaunching once, then didBecomeActive when the
    // application is already active.
    void launch();
    bool isActive() const { return m_active; }

    // For tests and platforms without activation events.
    void setActive(bool active);

Q_SIGNALS:
    void didFinishLaunching();
    void didBecomeActive();
    void willResignActive();

private:
    ApplicationEvents();
    bool m_active = false;
    bool m_launched = false;
};

// Work for the main loop. Everything of the screens runs there.
namespace MainLoop {

// Runs fn on the next turn of the main loop, unless context is gone by then.
void post(QObject *context, std::function<void()> fn);
// Runs fn once after ms milliseconds, unless context is gone by then.
void after(int ms, QObject *context, std::function<void()> fn);

} // namespace MainLoop
