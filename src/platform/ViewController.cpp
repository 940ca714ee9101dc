#include "ViewController.h"

#include "Animations.h"
#include "LayoutLoader.h"
#include "NavigationController.h"
#include "PhoneWindow.h"
#include "TabBarController.h"

NavigationItem::~NavigationItem()
{
    delete m_left.data();
    delete m_right.data();
}

void NavigationItem::setTitle(const QString &title)
{
    if (title == m_title)
        return;
    m_title = title;
    Q_EMIT changed();
}

void NavigationItem::setLeftWidget(QWidget *widget)
{
    if (widget == m_left)
        return;
    delete m_left.data();
    m_left = widget;
    Q_EMIT changed();
}

void NavigationItem::setRightWidget(QWidget *widget)
{
    if (widget == m_right)
        return;
    delete m_right.data();
    m_right = widget;
    Q_EMIT changed();
}

ViewController::ViewController(QObject *parent) : QObject(parent), m_item(nullptr) {}

ViewController::~ViewController()
{
    delete m_presented.data();
    delete m_view.data();
}

QWidget *ViewController::view()
{
    if (!m_view) {
        loadView();
        if (!m_view)
            setView(new QWidget);
        viewDidLoad();
    }
    return m_view;
}

void ViewController::loadView()
{
    auto *view = new QWidget;
    if (!m_layoutName.isEmpty())
        LayoutLoader::loadInto(m_layoutName, view);
    setView(view);
}

void ViewController::setView(QWidget *view)
{
    m_view = view;
}

void ViewController::setParentViewController(ViewController *parent)
{
    m_parentController = parent;
}

NavigationController *ViewController::navigationController() const
{
    for (ViewController *c = m_parentController; c; c = c->m_parentController) {
        if (auto *nav = qobject_cast<NavigationController *>(c))
            return nav;
    }
    return nullptr;
}

TabBarController *ViewController::tabBarController() const
{
    for (ViewController *c = m_parentController; c; c = c->m_parentController) {
        if (auto *tabs = qobject_cast<TabBarController *>(c))
            return tabs;
    }
    return nullptr;
}

void ViewController::beginAppearance(bool animated)
{
    if (m_appearance == Appearance::Appeared || m_appearance == Appearance::Appearing)
        return;
    view();
    m_appearance = Appearance::Appearing;
    m_animatedTransition = animated;
    viewWillAppear(animated);
}

void ViewController::endAppearance()
{
    if (m_appearance != Appearance::Appearing)
        return;
    m_appearance = Appearance::Appeared;
    viewDidAppear(m_animatedTransition);
}

void ViewController::beginDisappearance(bool animated)
{
    if (m_appearance == Appearance::Disappeared || m_appearance == Appearance::Disappearing)
        return;
    m_appearance = Appearance::Disappearing;
    m_animatedTransition = animated;
    viewWillDisappear(animated);
}

void ViewController::endDisappearance()
{
    if (m_appearance != Appearance::Disappearing)
        return;
    m_appearance = Appearance::Disappeared;
    viewDidDisappear(m_animatedTransition);
}

void ViewController::presentViewController(ViewController *controller, bool animated)
{
    if (!controller || m_presented)
        return;
    m_presented = controller;
    controller->m_presenting = this;
    controller->setParent(this);
    QWidget *host = PhoneWindow::current();
    QWidget *presentedView = controller->view();
    const QRect area = host ? host->rect() : QRect(0, 0, PhoneWindow::Width, PhoneWindow::Height);
    if (host)
        presentedView->setParent(host);
    presentedView->setGeometry(area.translated(0, area.height()));
    presentedView->show();
    presentedView->raise();
    const bool visible = isVisible();
    if (visible)
        beginDisappearance(animated);
    controller->beginAppearance(animated);
    const bool animate = animated && Animations::enabled();
    Animations::animate(presentedView, "pos", area.topLeft(), animate ? 300 : 0,
                        [this, visible, c = QPointer<ViewController>(controller)] {
                            if (visible)
                                endDisappearance();
                            if (c)
                                c->endAppearance();
                        });
}

void ViewController::dismissViewController(bool animated)
{
    // Called on the presented screen or on the one that presents it.
    ViewController *presented = m_presented ? m_presented.data() : this;
    ViewController *presenting = presented->m_presenting;
    if (!presenting)
        return;
    QWidget *presentedView = presented->view();
    presented->beginDisappearance(animated);
    presenting->beginAppearance(animated);
    const QPoint below(0, presentedView->parentWidget() ? presentedView->parentWidget()->height()
                                                          : PhoneWindow::Height);
    const bool animate = animated && Animations::enabled();
    Animations::animate(presentedView, "pos", below, animate ? 300 : 0,
                        [presenting, p = QPointer<ViewController>(presented)] {
                            presenting->endAppearance();
                            if (p) {
                                p->endDisappearance();
                                p->view()->hide();
                                p->deleteLater();
                            }
                        });
    presenting->m_presented = nullptr;
}
