#pragma once

#include "AlertView.h"

#include <QList>

#include <functional>

// An alert whose buttons each carry their own action, with optional hooks
// around its presentation and dismissal. It is its own listener: the
// actions live and die with the alert.
class MyAlertView : public AlertView
{
    Q_OBJECT
public:
    using ButtonBlock = std::function<void(MyAlertView *alert, int buttonIndex)>;
    using AlertBlock = std::function<void(MyAlertView *alert)>;

    MyAlertView(const QString &title, const QString &message, QWidget *parent = nullptr);

    // Appends a button and its action; a button needs an action (pass an
    // empty lambda for one that only closes), so a null one adds nothing
    // and gives -1.
    int addButtonWithTitle(const QString &title, ButtonBlock block);

    void setAlertViewCancelBlock(AlertBlock block) { m_cancel = std::move(block); }
    void setWillPresentAlertViewBlock(AlertBlock block) { m_willPresent = std::move(block); }
    void setDidPresentAlertViewBlock(AlertBlock block) { m_didPresent = std::move(block); }
    void setAlertViewWillDismissWithButtonIndexBlock(ButtonBlock block) { m_willDismiss = std::move(block); }
    void setAlertViewDidDismissWithButtonIndexBlock(ButtonBlock block) { m_didDismiss = std::move(block); }

    const QList<ButtonBlock> &buttonCallbackArray() const { return m_buttonBlocks; }

private:
    QList<ButtonBlock> m_buttonBlocks;
    AlertBlock m_cancel;
    AlertBlock m_willPresent;
    AlertBlock m_didPresent;
    ButtonBlock m_willDismiss;
    ButtonBlock m_didDismiss;
};
