#include "MyAlertView.h"

MyAlertView::MyAlertView(const QString &title, const QString &message, QWidget *parent)
    : AlertView(title, message, parent)
{
    connect(this, &AlertView::clicked, this, [this](AlertView *, int index) {
        if (index >= 0 && index < m_buttonBlocks.size() && m_buttonBlocks.at(index))
            m_buttonBlocks.at(index)(this, index);
    });
    connect(this, &AlertView::cancelled, this, [this](AlertView *) {
        if (m_cancel)
            m_cancel(this);
        // A cancelled alert goes away in any case, without animation.
        dismissWithClickedButtonIndex(cancelButtonIndex(), false);
    });
    connect(this, &AlertView::willPresent, this, [this](AlertView *) {
        if (m_willPresent)
            m_willPresent(this);
    });
    connect(this, &AlertView::didPresent, this, [this](AlertView *) {
        if (m_didPresent)
            m_didPresent(this);
    });
    connect(this, &AlertView::willDismiss, this, [this](AlertView *, int index) {
        if (m_willDismiss)
            m_willDismiss(this, index);
    });
    connect(this, &AlertView::didDismiss, this, [this](AlertView *, int index) {
        if (m_didDismiss)
            m_didDismiss(this, index);
    });
}

int MyAlertView::addButtonWithTitle(const QString &title, ButtonBlock block)
{
    if (!block)
        return -1;
    m_buttonBlocks.append(std::move(block));
    return addButton(title);
}
