#include "LoginCtrl.h"

#include "Images.h"
#include "InnerRequest.h"
#include "MemberForm.h"
#include "MyAlertView.h"
#include "NavigationController.h"
#include "NumberRule.h"
#include "OuterRequest.h"
#include "RegisterCtrl.h"
#include "StyledViews.h"
#include "Texts.h"
#include "UILabelStyle.h"
#include "UserMgr.h"

LoginCtrl::LoginCtrl(QObject *parent) : MainCtrl(parent)
{
    setLayoutName(u"LoginCtrl"_qs);
    setHidesBottomBarWhenPushed(true);
}

void LoginCtrl::viewDidLoad()
{
    MainCtrl::viewDidLoad();
    setTitle(Texts::get(u"memberLogin"_qs));
    QWidget *root = view();
    m_mobileText = root->findChild<TextField *>(u"mobileText"_qs);
    m_passwordText = root->findChild<TextField *>(u"passwordText"_qs);
    m_mobileLabel = root->findChild<PhoneLabel *>(u"mobileLabel"_qs);
    m_passwordLabel = root->findChild<PhoneLabel *>(u"passwordLabel"_qs);
    m_autoLoginBtn = root->findChild<PhoneButton *>(u"autoLoginBtn"_qs);
    m_autoLoginLabel = root->findChild<PhoneLabel *>(u"autoLoginLabel"_qs);
    m_rememberMeBtn = root->findChild<PhoneButton *>(u"rememberMeBtn"_qs);
    m_rememberMeLabel = root->findChild<PhoneLabel *>(u"rememberMeLabel"_qs);
    m_registerBtn = root->findChild<PhoneButton *>(u"registerBtn"_qs);
    m_loginBtn = root->findChild<PhoneButton *>(u"loginBtn"_qs);
    if (!hasForm())
        return;

    UILabelStyle::LabelByForm(m_mobileLabel, Texts::get(u"nick"_qs));
    UILabelStyle::LabelByForm(m_passwordLabel, Texts::get(u"password"_qs));
    m_autoLoginLabel->setText(Texts::get(u"autoLogoin"_qs));
    m_rememberMeLabel->setText(Texts::get(u"rememberMe"_qs));
    UILabelStyle::ButtonText(m_registerBtn, Texts::get(u"memberRegister"_qs));
    UILabelStyle::ButtonText(m_loginBtn, Texts::get(u"memberLogin"_qs));
    wireField(m_mobileText, Texts::get(u"rNicknameHint"_qs));
    wireField(m_passwordText, Texts::get(u"passwordHint"_qs));

    for (PhoneButton *box : {m_autoLoginBtn.data(), m_rememberMeBtn.data()})
        box->setImage(Images::named(u"checkbox_on.png"_qs), PhoneButton::Selected);
    m_autoLoginBtn->setSelected(false);
    m_rememberMeBtn->setSelected(true);

    connect(m_autoLoginBtn, &PhoneButton::pressed, this, &LoginCtrl::autoLoginTouchDown);
    connect(m_rememberMeBtn, &PhoneButton::pressed, this, &LoginCtrl::rememberMeTouchDown);
    connect(m_registerBtn, &PhoneButton::clicked, this, &LoginCtrl::registerClick);
    connect(m_loginBtn, &PhoneButton::clicked, this, &LoginCtrl::loginClick);
    if (auto *background = root->findChild<MainUIControl *>(u"backgroundControl"_qs))
        connect(background, &MainUIControl::clicked, this, &LoginCtrl::backgroundTap);
}

bool LoginCtrl::hasForm() const
{
    return m_mobileText && m_passwordText && m_mobileLabel && m_passwordLabel && m_autoLoginBtn && m_autoLoginLabel
           && m_rememberMeBtn && m_rememberMeLabel && m_registerBtn && m_loginBtn;
}

void LoginCtrl::wireField(TextField *field, const QString &placeholder)
{
    MemberForm::prepareField(field, placeholder, this, [this] { backgroundTap(); });
    connect(field, &TextField::editingDidBegin, this, [this, field] { textFieldEditDidBegin(field); });
    connect(field, &TextField::editingDidEnd, this, [this, field] { textFieldEditDidEnd(field); });
}

void LoginCtrl::viewWillAppear(bool animated)
{
    MainCtrl::viewWillAppear(animated);
    m_leaving = MemberForm::popWhenLoggedIn(this);
}

void LoginCtrl::viewDidAppear(bool animated)
{
    MainCtrl::viewDidAppear(animated);
    if (m_leaving || !hasForm())
        return;
    if (UserMgr::getRememberMe()) {
        m_mobileText->setText(UserMgr::getAccount().value_or(QString()));
        m_passwordText->setText(UserMgr::getPassword().value_or(QString()));
    }
    if (UserMgr::getAutoLogin())
        loginClick();
}

void LoginCtrl::autoLoginTouchDown()
{
    if (m_autoLoginBtn)
        m_autoLoginBtn->setSelected(!m_autoLoginBtn->isSelected());
}

void LoginCtrl::rememberMeTouchDown()
{
    if (m_rememberMeBtn)
        m_rememberMeBtn->setSelected(!m_rememberMeBtn->isSelected());
}

void LoginCtrl::backgroundTap()
{
    MemberForm::endAllEditing(view());
}

void LoginCtrl::textFieldEditDidBegin(TextField *field)
{
    MemberForm::beginEditing(view(), field);
}

void LoginCtrl::textFieldEditDidEnd(TextField *field)
{
    MemberForm::endEditing(view(), field);
}

void LoginCtrl::registerClick()
{
    backgroundTap();
    if (NavigationController *nav = navigationController())
        nav->pushViewController(new RegisterCtrl, true);
}

void LoginCtrl::loginClick()
{
    backgroundTap();
    // One login at a time: a second press must not lead to a second session write.
    if (m_loggingIn || !hasForm())
        return;
    const Attempt attempt{m_mobileText->text(), m_passwordText->text(), m_rememberMeBtn->isSelected(),
                          m_autoLoginBtn->isSelected()};
    if (attempt.account.isEmpty()) {
        MemberForm::showValidationAlert(Texts::get(u"inputNicknameMiss"_qs), m_mobileText);
        return;
    }
    if (attempt.password.isEmpty()) {
        MemberForm::showValidationAlert(Texts::get(u"inputPasswordMiss"_qs), m_passwordText);
        return;
    }
    m_loggingIn = true;
    showLoading(Texts::get(u"logining"_qs));
    QPointer<LoginCtrl> self(this);
    OuterRequest::memberLogin(attempt.account, attempt.password,
                              [self, attempt](bool, std::optional<QString> outMemberId, std::optional<QString> message,
                                              std::optional<QString> phone) {
                                  if (self)
                                      self->loginAnswered(attempt, outMemberId, message, phone);
                              });
}

void LoginCtrl::loginAnswered(const Attempt &attempt, const std::optional<QString> &outMemberId,
                              const std::optional<QString> &message, const std::optional<QString> &phone)
{
    // Whatever the success flag says, only a positive outer member id goes on.
    if (!outMemberId || outMemberId->isEmpty() || NumberRule::readInteger(*outMemberId) <= 0) {
        stopLogin();
        showToast(message.value_or(QString()));
        return;
    }
    const Grant partial{*outMemberId, 0, message.value_or(QString())};
    QPointer<LoginCtrl> self(this);
    InnerRequest::mapMemberId(
        *outMemberId, attempt.account, phone,
        [self, attempt, partial](bool, std::optional<qint64> memberId) {
            if (!self)
                return;
            if (!memberId) {
                self->stopLogin();
                return;
            }
            Grant grant = partial;
            grant.memberId = *memberId;
            self->mappingAnswered(attempt, grant);
        },
        // An empty answer maps nobody: end like a failed mapping, so the member may try again.
        [self] {
            if (self)
                self->stopLogin();
        });
}

void LoginCtrl::mappingAnswered(const Attempt &attempt, const Grant &grant)
{
    hideLoading();
    auto *alert = new MyAlertView(Texts::get(u"warningTitle"_qs), grant.message);
    QPointer<LoginCtrl> self(this);
    alert->addButtonWithTitle(Texts::get(u"ok"_qs), [self, attempt, grant](MyAlertView *, int) {
        if (self)
            self->confirmLogin(attempt, grant);
    });
    // Closed without "ok": nothing is stored and login may be pressed again.
    alert->setAlertViewCancelBlock([self](MyAlertView *) {
        if (self)
            self->m_loggingIn = false;
    });
    alert->show();
}

void LoginCtrl::confirmLogin(const Attempt &attempt, const Grant &grant)
{
    UserMgr::setOutMemberId(grant.outMemberId);
    UserMgr::setMemberId(grant.memberId);
    UserMgr::setRememberMeStatus(attempt.rememberMe);
    UserMgr::setAutoLoginStatus(attempt.autoLogin);
    if (attempt.rememberMe) {
        UserMgr::remember(attempt.account, attempt.password);
    } else {
        // Forgets the account, the password and both choices; the member ids stay.
        UserMgr::unremember();
        UserMgr::setOutMemberId(grant.outMemberId);
        UserMgr::setMemberId(grant.memberId);
    }
    m_loggingIn = false;
    close();
}

void LoginCtrl::stopLogin()
{
    hideLoading();
    m_loggingIn = false;
}

void LoginCtrl::close()
{
    LoginCtrlDelegate *delegate = m_delegate;
    NavigationController *nav = navigationController();
    if (nav && nav->topViewController() == this)
        nav->popViewControllerAnimated(delegate == nullptr);
    if (delegate)
        delegate->responFinsihed(true);
}
