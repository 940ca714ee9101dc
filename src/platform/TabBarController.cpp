#include "TabBarController.h"

#include "NavigationController.h"

#include <QEvent>

TabBarController::TabBarController(QObject *parent) : ViewController(parent) {}

TabBarController::~TabBarController()
{
    for (const auto &c : m_tabs)
        delete c.data();
}

void TabBarController::setViewControllers(const QList<ViewController *> &controllers)
{
    for (const auto &c : m_tabs)
        delete c.data();
    m_tabs.clear();
    for (ViewController *c : controllers) {
        c->setParent(this);
        c->setParentViewController(this);
        m_tabs.append(c);
        if (auto *nav = qobject_cast<NavigationController *>(c))
            connect(nav, &NavigationController::stackChanged, this, &TabBarController::layoutChildren);
    }
    m_selected = m_tabs.isEmpty() ? -1 : 0;
    if (isViewLoaded())
        showSelected();
}

QList<ViewController *> TabBarController::viewControllers() const
{
    QList<ViewController *> list;
    for (const auto &c : m_tabs)
        list.append(c);
    return list;
}

ViewController *TabBarController::selectedViewController() const
{
    return m_selected >= 0 && m_selected < m_tabs.size() ? m_tabs.at(m_selected).data() : nullptr;
}

void TabBarController::setSelectedIndex(int index)
{
    if (index < 0 || index >= m_tabs.size() || index == m_selected)
        return;
    ViewController *old = selectedViewController();
    const bool shown = isVisible();
    m_selected = index;
    ViewController *now = selectedViewController();
    if (isViewLoaded()) {
        now->view();
        if (shown && old)
            old->beginDisappearance(false);
        if (shown)
            now->beginAppearance(false);
        if (old && old->isViewLoaded())
            old->view()->hide();
        showSelected();
        if (shown && old)
            old->endDisappearance();
        if (shown)
            now->endAppearance();
    }
    Q_EMIT selectedIndexChanged(index);
}

QWidget *TabBarController::tabBar()
{
    view();
    return m_tabBar;
}

bool TabBarController::isTabBarHidden() const
{
    auto *nav = qobject_cast<NavigationController *>(selectedViewController());
    if (!nav)
        return false;
    const QList<ViewController *> stack = nav->viewControllers();
    for (int i = 1; i < stack.size(); ++i) {
        if (stack.at(i)->hidesBottomBarWhenPushed())
            return true;
    }
    return false;
}

void TabBarController::loadView()
{
    auto *view = new QWidget;
    view->resize(320, 568);
    m_tabBar = new QWidget(view);
    m_tabBar->setObjectName(QStringLiteral("tabBar"));
    m_tabBar->resize(view->width(), DefaultTabBarHeight);
    m_tabBar->installEventFilter(this);
    view->installEventFilter(this);
    setView(view);
    showSelected();
}

bool TabBarController::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Resize && (watched == m_tabBar || (isViewLoaded() && watched == view())))
        layoutChildren();
    return ViewController::eventFilter(watched, event);
}

void TabBarController::showSelected()
{
    ViewController *now = selectedViewController();
    if (!now)
        return;
    QWidget *v = now->view();
    if (v->parentWidget() != view()) {
        v->setParent(view());
        // Under whatever the shell put over the tabs (the float view).
        v->lower();
    }
    v->show();
    layoutChildren();
}

void TabBarController::layoutChildren()
{
    if (!m_tabBar)
        return;
    QWidget *v = view();
    const bool hidden = isTabBarHidden();
    const int barHeight = m_tabBar->height();
    m_tabBar->setGeometry(0, v->height() - barHeight, v->width(), barHeight);
    m_tabBar->setVisible(!hidden);
    m_tabBar->raise();
    if (ViewController *now = selectedViewController(); now && now->isViewLoaded())
        now->view()->setGeometry(0, 0, v->width(), v->height() - (hidden ? 0 : barHeight));
}

void TabBarController::viewWillAppear(bool animated)
{
    if (ViewController *now = selectedViewController())
        now->beginAppearance(animated);
}

void TabBarController::viewDidAppear(bool)
{
    if (ViewController *now = selectedViewController())
        now->endAppearance();
}

void TabBarController::viewWillDisappear(bool animated)
{
    if (ViewController *now = selectedViewController())
        now->beginDisappearance(animated);
}

void TabBarController::viewDidDisappear(bool)
{
    if (ViewController *now = selectedViewController())
        now->endDisappearance();
}
