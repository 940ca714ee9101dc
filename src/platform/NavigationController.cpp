#include "NavigationController.h"

#include "Animations.h"
#include "NavigationBar.h"

#include <QEvent>
#include <QParallelAnimationGroup>
#include <QPropertyAnimation>
#include <QTimer>

namespace {
std::function<NavigationBar *()> &defaultBarFactory()
{
    static std::function<NavigationBar *()> factory;
    return factory;
}
constexpr int TransitionMs = 300;
} // namespace

NavigationController::NavigationController(ViewController *root, NavigationBar *bar, QObject *parent)
    : ViewController(parent), m_bar(bar)
{
    if (!m_bar)
        m_bar = defaultBarFactory() ? defaultBarFactory()() : new NavigationBar;
    if (root) {
        root->setParent(this);
        root->setParentViewController(this);
        m_stack.append(root);
    }
}

NavigationController::~NavigationController()
{
    if (m_transition) {
        m_transition->stop();
        m_transitionDone = nullptr;
    }
    // Screens go before the view so that their views are not deleted twice.
    for (const auto &c : m_stack)
        delete c.data();
    if (m_bar && !m_bar->parent())
        delete m_bar.data();
}

void NavigationController::setDefaultBarFactory(std::function<NavigationBar *()> factory)
{
    defaultBarFactory() = std::move(factory);
}

QList<ViewController *> NavigationController::viewControllers() const
{
    QList<ViewController *> list;
    for (const auto &c : m_stack) {
        if (c)
            list.append(c);
    }
    return list;
}

ViewController *NavigationController::rootViewController() const
{
    return m_stack.isEmpty() ? nullptr : m_stack.constFirst().data();
}

ViewController *NavigationController::topViewController() const
{
    return m_stack.isEmpty() ? nullptr : m_stack.constLast().data();
}

ViewController *NavigationController::visibleViewController() const
{
    ViewController *top = topViewController();
    if (top && top->presentedViewController())
        return top->presentedViewController();
    return top;
}

void NavigationController::loadView()
{
    auto *view = new QWidget;
    view->resize(320, 480);
    m_bar->setParent(view);
    m_content = new QWidget(view);
    m_content->setObjectName(QStringLiteral("navigationContent"));
    view->installEventFilter(this);
    // Set first: the root's viewDidLoad may ask for the stack's view.
    setView(view);
    layoutChildren();
    if (ViewController *top = topViewController()) {
        top->view()->setParent(m_content);
        top->view()->setGeometry(m_content->rect());
        top->view()->show();
        m_bar->setItem(top->navigationItem());
    }
    layoutChildren();
}

bool NavigationController::eventFilter(QObject *watched, QEvent *event)
{
    if (isViewLoaded() && watched == view() && event->type() == QEvent::Resize)
        layoutChildren();
    return ViewController::eventFilter(watched, event);
}

QRect NavigationController::contentRect() const
{
    return m_content ? m_content->rect() : QRect();
}

void NavigationController::layoutChildren()
{
    if (!m_content)
        return;
    QWidget *v = m_content->parentWidget();
    m_bar->setGeometry(0, 0, v->width(), NavigationBar::Height);
    m_content->setGeometry(0, NavigationBar::Height, v->width(), v->height() - NavigationBar::Height);
    if (isTransitioning())
        return;
    for (const auto &c : m_stack) {
        if (c && c->isViewLoaded() && c->view()->parentWidget() == m_content)
            c->view()->setGeometry(m_content->rect());
    }
}

void NavigationController::pushViewController(ViewController *controller, bool animated)
{
    if (!controller || m_stack.contains(controller))
        return;
    finishTransition();
    ViewController *from = topViewController();
    controller->setParent(this);
    controller->setParentViewController(this);
    m_stack.append(controller);
    Q_EMIT stackChanged();
    if (!isViewLoaded())
        return;
    transition(from, controller, true, animated, {});
}

ViewController *NavigationController::popViewControllerAnimated(bool animated)
{
    finishTransition();
    if (m_stack.size() < 2)
        return nullptr;
    QPointer<ViewController> popped = m_stack.takeLast();
    Q_EMIT stackChanged();
    if (!isViewLoaded()) {
        popped->deleteLater();
        return popped;
    }
    transition(popped, topViewController(), false, animated, [popped] {
        if (popped) {
            popped->setParentViewController(nullptr);
            popped->deleteLater();
        }
    });
    return popped;
}

void NavigationController::popToRootViewControllerAnimated(bool animated)
{
    finishTransition();
    if (m_stack.size() < 2)
        return;
    // The screens between the top and the root go without appearing.
    while (m_stack.size() > 2) {
        QPointer<ViewController> middle = m_stack.takeAt(m_stack.size() - 2);
        if (middle)
            middle->deleteLater();
    }
    popViewControllerAnimated(animated);
}

void NavigationController::transition(ViewController *from, ViewController *to, bool forward,
                                      bool animated, std::function<void()> done)
{
    const bool shown = isVisible() || appearance() == Appearance::Appearing;
    QWidget *toView = to->view();
    toView->setParent(m_content);
    const QRect area = m_content->rect();
    const int w = area.width();
    if (shown) {
        if (from)
            from->beginDisappearance(animated);
        to->beginAppearance(animated);
    }
    m_bar->setItem(to->navigationItem());
    toView->setGeometry(area.translated(forward ? w : -w / 3, 0));
    toView->show();
    if (forward)
        toView->raise();
    else if (from && from->isViewLoaded())
        from->view()->raise();

    m_transitionDone = [this, from = QPointer<ViewController>(from), to = QPointer<ViewController>(to),
                        shown, area, done = std::move(done)] {
        if (from && from->isViewLoaded())
            from->view()->hide();
        if (to)
            to->view()->setGeometry(area);
        if (shown) {
            if (from)
                from->endDisappearance();
            if (to)
                to->endAppearance();
        }
        if (done)
            done();
    };

    if (!animated || !Animations::enabled()) {
        finishTransition();
        return;
    }
    m_transition = new QParallelAnimationGroup(this);
    auto *slideIn = new QPropertyAnimation(toView, "pos");
    slideIn->setDuration(TransitionMs);
    slideIn->setEndValue(area.topLeft());
    m_transition->addAnimation(slideIn);
    if (from && from->isViewLoaded()) {
        auto *slideOut = new QPropertyAnimation(from->view(), "pos");
        slideOut->setDuration(TransitionMs);
        slideOut->setEndValue(QPoint(forward ? -w / 3 : w, 0));
        m_transition->addAnimation(slideOut);
    }
    connect(m_transition, &QAbstractAnimation::finished, this, &NavigationController::finishTransition);
    m_transition->start();
}

void NavigationController::finishTransition()
{
    if (m_transition) {
        auto *group = m_transition;
        m_transition = nullptr;
        group->stop();
        group->deleteLater();
    }
    if (auto done = std::exchange(m_transitionDone, nullptr))
        done();
}

void NavigationController::viewWillAppear(bool animated)
{
    if (ViewController *top = topViewController())
        top->beginAppearance(animated);
}

void NavigationController::viewDidAppear(bool)
{
    if (ViewController *top = topViewController())
        top->endAppearance();
}

void NavigationController::viewWillDisappear(bool animated)
{
    if (ViewController *top = topViewController())
        top->beginDisappearance(animated);
}

void NavigationController::viewDidDisappear(bool)
{
    if (ViewController *top = topViewController())
        top->endDisappearance();
}
