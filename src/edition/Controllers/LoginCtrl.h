#pragma once

#include "LoginCtrlDelegate.h"
#include "MainCtrl.h"

#include <QPointer>
#include <QString>

#include <optional>

#include "PhoneButton.h"
#include "PhoneLabel.h"
#include "TextField.h"

// The member login: the catalogue service checks the account (the member's
// nickname) and password, the loyalty service maps that member to its own
// member id, and once the member confirms the answer the session is written.
class LoginCtrl : public MainCtrl
{
    Q_OBJECT
public:
    explicit LoginCtrl(QObject *parent = nullptr);

    // Told after a successful login, once this screen has left its stack.
    // Not owned: the caller stays underneath on the stack.
    void setDelegate(LoginCtrlDelegate *delegate) { m_delegate = delegate; }
    LoginCtrlDelegate *delegate() const { return m_delegate; }

    // Made with the view.
    TextField *mobileText() const { return m_mobileText; }
    TextField *passwordText() const { return m_passwordText; }
    PhoneLabel *mobileLabel() const { return m_mobileLabel; }
    PhoneLabel *passwordLabel() const { return m_passwordLabel; }
    PhoneButton *autoLoginBtn() const { return m_autoLoginBtn; }
    PhoneLabel *autoLoginLabel() const { return m_autoLoginLabel; }
    PhoneButton *rememberMeBtn() const { return m_rememberMeBtn; }
    PhoneLabel *rememberMeLabel() const { return m_rememberMeLabel; }
    PhoneButton *registerBtn() const { return m_registerBtn; }
    PhoneButton *loginBtn() const { return m_loginBtn; }

    // From the press of login until the login stops or is confirmed.
    bool isLoggingIn() const { return m_loggingIn; }

    void loginClick();
    void registerClick();
    void autoLoginTouchDown();
    void rememberMeTouchDown();
    void backgroundTap();
    void textFieldEditDidBegin(TextField *field);
    void textFieldEditDidEnd(TextField *field);

protected:
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewDidAppear(bool animated) override;

private:
    // What the member asked for when pressing login.
    struct Attempt
    {
        QString account;
        QString password;
        bool rememberMe = false;
        bool autoLogin = false;
    };
    // What the services answered.
    struct Grant
    {
        QString outMemberId;
        qint64 memberId = 0;
        QString message;
    };

    bool hasForm() const;
    void wireField(TextField *field, const QString &placeholderKey);
    void loginAnswered(const Attempt &attempt, const std::optional<QString> &outMemberId,
                       const std::optional<QString> &message, const std::optional<QString> &phone);
    void mappingAnswered(const Attempt &attempt, const Grant &grant);
    void confirmLogin(const Attempt &attempt, const Grant &grant);
    void stopLogin();
    void close();

    LoginCtrlDelegate *m_delegate = nullptr;
    bool m_loggingIn = false;
    // Set when the screen found a member logged in and is leaving.
    bool m_leaving = false;

    QPointer<TextField> m_mobileText;
    QPointer<TextField> m_passwordText;
    QPointer<PhoneLabel> m_mobileLabel;
    QPointer<PhoneLabel> m_passwordLabel;
    QPointer<PhoneButton> m_autoLoginBtn;
    QPointer<PhoneLabel> m_autoLoginLabel;
    QPointer<PhoneButton> m_rememberMeBtn;
    QPointer<PhoneLabel> m_rememberMeLabel;
    QPointer<PhoneButton> m_registerBtn;
    QPointer<PhoneButton> m_loginBtn;
};
