#pragma once

#include "MainCtrl.h"

#include <QPointer>
#include <QString>

#include "PhoneButton.h"
#include "PhoneLabel.h"
#include "TextField.h"

// A new member account at the catalogue service. Once created, the nickname
// and password are remembered so that the login screen underneath shows them.
class RegisterCtrl : public MainCtrl
{
    Q_OBJECT
public:
    static constexpr int MinPasswordLength = 5;
    static constexpr int MaxPasswordLength = 12;

    explicit RegisterCtrl(QObject *parent = nullptr);

    // Made with the view.
    TextField *nickText() const { return m_nickText; }
    TextField *passwordText() const { return m_passwordText; }
    TextField *ckPasswordText() const { return m_ckPasswordText; }
    TextField *emailText() const { return m_emailText; }
    TextField *mobileText() const { return m_mobileText; }
    PhoneLabel *nickLabel() const { return m_nickLabel; }
    PhoneLabel *passwordLabel() const { return m_passwordLabel; }
    PhoneLabel *ckPasswordLabel() const { return m_ckPasswordLabel; }
    PhoneLabel *emailLabel() const { return m_emailLabel; }
    PhoneLabel *mobileLabel() const { return m_mobileLabel; }
    PhoneButton *registerBtn() const { return m_registerBtn; }

    // From the press of register until the service has answered.
    bool isRegistering() const { return m_registering; }

    void registerClick();
    void backgroundTap();
    void textFieldEditDidBegin(TextField *field);
    void textFieldEditDidEnd(TextField *field);

protected:
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;

private:
    struct Account
    {
        QString nickname;
        QString password;
        QString confirmation;
        QString email;
        QString mobile;
    };

    bool hasForm() const;
    void wireField(TextField *field, const QString &placeholder);
    // True when every rule passes; otherwise shows the first failure.
    bool validate(const Account &account);
    void registerAnswered(const Account &account, bool ok, int status, const QString &message);

    bool m_registering = false;

    QPointer<TextField> m_nickText;
    QPointer<TextField> m_passwordText;
    QPointer<TextField> m_ckPasswordText;
    QPointer<TextField> m_emailText;
    QPointer<TextField> m_mobileText;
    QPointer<PhoneLabel> m_nickLabel;
    QPointer<PhoneLabel> m_passwordLabel;
    QPointer<PhoneLabel> m_ckPasswordLabel;
    QPointer<PhoneLabel> m_emailLabel;
    QPointer<PhoneLabel> m_mobileLabel;
    QPointer<PhoneButton> m_registerBtn;
};
