#pragma once

#include "ViewController.h"

#include <QList>
#include <QPointer>

#include <functional>

#include "NavigationBar.h"
class QParallelAnimationGroup;

// A stack of screens under one navigation bar. Pushes slide in from the
// right and pops slide out to it (0.3 s, or at once with animations off).
// The stack owns its screens; a popped screen is deleted on the next turn
// of the main loop after its disappearance.
class NavigationController : public ViewController
{
    Q_OBJECT
public:
    // bar: the stack's bar (the stack owns it); null makes one with the
    // default bar factory.
    explicit NavigationController(ViewController *root, NavigationBar *bar = nullptr,
                                  QObject *parent = nullptr);
    ~NavigationController() override;

    // The bar every new stack gets when none is given.
    static void setDefaultBarFactory(std::function<NavigationBar *()> factory);

    NavigationBar *navigationBar() const { return m_bar; }
    QList<ViewController *> viewControllers() const;
    ViewController *rootViewController() const;
    ViewController *topViewController() const;
    // The top screen, or the screen it presents.
    ViewController *visibleViewController() const;

    void pushViewController(ViewController *controller, bool animated);
    // Null when only the root is left.
    ViewController *popViewControllerAnimated(bool animated);
    void popToRootViewControllerAnimated(bool animated);

    // The area screens get below the bar.
    QRect contentRect() const;
    bool isTransitioning() const { return m_transition != nullptr; }

Q_SIGNALS:
    void stackChanged();

protected:
    void loadView() override;
    void viewWillAppear(bool animated) override;
    void viewDidAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    void viewDidDisappear(bool animated) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void transition(ViewController *from, ViewController *to, bool forward, bool animated,
                    std::function<void()> done);
    void finishTransition();
    void layoutChildren();

    QList<QPointer<ViewController>> m_stack;
    // Lives in the view once loaded; the view may go first.
    QPointer<NavigationBar> m_bar;
    QWidget *m_content = nullptr;
    QParallelAnimationGroup *m_transition = nullptr;
    std::function<void()> m_transitionDone;
};
