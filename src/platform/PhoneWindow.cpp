#include "PhoneWindow.h"

#include "ShakeDetector.h"
#include "ViewController.h"

#include <QEvent>
#include <QList>

namespace {
QList<PhoneWindow *> &windows()
{
    static QList<PhoneWindow *> list;
    return list;
}
} // namespace

PhoneWindow::PhoneWindow(QWidget *parent) : QWidget(parent)
{
    setFixedSize(Width, Height);
    setWindowTitle(QStringLiteral("Loyalty"));
    windows().append(this);
    ShakeDetector::instance().attachShortcut(this);
}

PhoneWindow::~PhoneWindow()
{
    windows().removeAll(this);
}

PhoneWindow *PhoneWindow::current()
{
    return windows().isEmpty() ? nullptr : windows().constLast();
}

void PhoneWindow::setRootViewController(ViewController *controller)
{
    if (m_root == controller)
        return;
    if (m_root && m_root->isViewLoaded()) {
        m_root->view()->hide();
        m_root->view()->setParent(nullptr);
    }
    m_root = controller;
    if (!controller)
        return;
    controller->setParent(this);
    QWidget *view = controller->view();
    view->setParent(this);
    view->setGeometry(rect());
    view->lower();
    controller->beginAppearance(false);
    view->show();
    controller->endAppearance();
}

void PhoneWindow::addOverlay(QWidget *widget)
{
    if (widget->parentWidget() != this)
        widget->setParent(this);
    widget->raise();
    widget->show();
}

void PhoneWindow::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::ActivationChange)
        Q_EMIT activationChanged(isActiveWindow());
    QWidget::changeEvent(event);
}

void PhoneWindow::resizeEvent(QResizeEvent *event)
{
    if (m_root && m_root->isViewLoaded())
        m_root->view()->setGeometry(rect());
    QWidget::resizeEvent(event);
}
