#include "TextField.h"

#include "PhoneWindow.h"

#include <QFocusEvent>

namespace {
QPointer<QWidget> g_panel;
QPointer<TextField> g_panelOwner;

void keepFocusOnField(QWidget *view)
{
    // Taps in the panel must not take the focus from the field being edited.
    view->setFocusPolicy(Qt::NoFocus);
    for (QWidget *child : view->findChildren<QWidget *>())
        child->setFocusPolicy(Qt::NoFocus);
}
} // namespace

TextField::TextField(QWidget *parent) : QLineEdit(parent) {}

TextField::~TextField()
{
    if (g_panelOwner == this)
        hidePanel();
    delete m_inputView.data();
    delete m_accessory.data();
}

void TextField::setInputView(QWidget *view)
{
    if (view == m_inputView)
        return;
    delete m_inputView.data();
    m_inputView = view;
    if (view) {
        view->setParent(this, Qt::Widget);
        view->hide();
        keepFocusOnField(view);
    }
    // The input view replaces the keyboard: typing stays out of the field.
    setReadOnly(view != nullptr);
    if (m_editing)
        showPanel();
}

void TextField::setInputAccessoryView(QWidget *view)
{
    if (view == m_accessory)
        return;
    delete m_accessory.data();
    m_accessory = view;
    if (view) {
        view->setParent(this, Qt::Widget);
        view->hide();
        keepFocusOnField(view);
    }
    if (m_editing)
        showPanel();
}

void TextField::becomeFirstResponder()
{
    setFocus(Qt::OtherFocusReason);
    // Without an active window Qt delivers no focus event; begin editing anyway.
    if (!m_editing && !hasFocus()) {
        m_editing = true;
        showPanel();
        Q_EMIT editingDidBegin();
    }
}

void TextField::resignFirstResponder()
{
    if (hasFocus())
        clearFocus();
    if (m_editing) {
        m_editing = false;
        hidePanel();
        Q_EMIT editingDidEnd();
    }
}

void TextField::endEditing(QWidget *root)
{
    if (!root)
        return;
    for (TextField *field : root->findChildren<TextField *>())
        field->resignFirstResponder();
}

QWidget *TextField::activeInputPanel()
{
    return g_panel && g_panel->isVisible() ? g_panel.data() : nullptr;
}

void TextField::focusInEvent(QFocusEvent *event)
{
    QLineEdit::focusInEvent(event);
    if (!m_editing) {
        m_editing = true;
        showPanel();
        Q_EMIT editingDidBegin();
    }
}

void TextField::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    if (m_editing) {
        m_editing = false;
        hidePanel();
        Q_EMIT editingDidEnd();
    }
}

void TextField::showPanel()
{
    if (g_panelOwner && g_panelOwner != this)
        g_panelOwner->hidePanel();
    QWidget *host = PhoneWindow::current();
    if (!host || (!m_inputView && !m_accessory))
        return;
    if (!g_panel) {
        g_panel = new QWidget(host);
        g_panel->setObjectName(QStringLiteral("inputPanel"));
        g_panel->setAutoFillBackground(true);
    }
    g_panelOwner = this;
    int y = 0;
    for (QWidget *part : {m_accessory.data(), m_inputView.data()}) {
        if (!part)
            continue;
        part->setParent(g_panel);
        const int h = part->height() > 0 ? part->height() : 216;
        part->setGeometry(0, y, host->width(), h);
        part->show();
        y += h;
    }
    g_panel->setGeometry(0, host->height() - y, host->width(), y);
    g_panel->show();
    g_panel->raise();
}

void TextField::hidePanel()
{
    if (g_panelOwner != this)
        return;
    for (QWidget *part : {m_accessory.data(), m_inputView.data()}) {
        if (part) {
            part->hide();
            part->setParent(this, Qt::Widget);
        }
    }
    if (g_panel)
        g_panel->hide();
    g_panelOwner = nullptr;
}
