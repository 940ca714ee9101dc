#pragma once

#include "LoginCtrlDelegate.h"
#include "MainCtrl.h"

#include <QPointer>

#include "PhoneButton.h"

// Not the member login: a stand-in until the login screen exists. One
// button logs in a fixed demo member (written through UserMgr), pops the
// screen and tells the delegate, so the flows that need a member can run.
class StandInLoginCtrl : public MainCtrl
{
    Q_OBJECT
public:
    static constexpr qint64 DemoMemberId = 1;

    explicit StandInLoginCtrl(QObject *parent = nullptr);

    void setDelegate(LoginCtrlDelegate *delegate) { m_delegate = delegate; }
    LoginCtrlDelegate *delegate() const { return m_delegate; }
    // Made with the view.
    PhoneButton *loginButton() const { return m_button; }

    void login();

protected:
    void viewDidLoad() override;

private:
    LoginCtrlDelegate *m_delegate = nullptr;
    QPointer<PhoneButton> m_button;
};
