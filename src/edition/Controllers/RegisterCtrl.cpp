#include "RegisterCtrl.h"

#include "MemberForm.h"
#include "MyAlertView.h"
#include "NavigationController.h"
#include "OuterRequest.h"
#include "StyledViews.h"
#include "Texts.h"
#include "Tools.h"
#include "UILabelStyle.h"
#include "UserMgr.h"

namespace {
// Characters, not UTF-16 units: a character outside the basic plane counts once.
qsizetype characterCount(const QString &text)
{
    return text.toUcs4().size();
}
} // namespace

RegisterCtrl::RegisterCtrl(QObject *parent) : MainCtrl(parent)
{
    setLayoutName(u"RegisterCtrl"_qs);
}

void RegisterCtrl::viewDidLoad()
{
    MainCtrl::viewDidLoad();
    setTitle(Texts::get(u"memberRegister"_qs));
    QWidget *root = view();
    m_nickText = root->findChild<TextField *>(u"nickText"_qs);
    m_passwordText = root->findChild<TextField *>(u"passwordText"_qs);
    m_ckPasswordText = root->findChild<TextField *>(u"ckPasswordText"_qs);
    m_emailText = root->findChild<TextField *>(u"emailText"_qs);
    m_mobileText = root->findChild<TextField *>(u"mobileText"_qs);
    m_nickLabel = root->findChild<PhoneLabel *>(u"nickLabel"_qs);
    m_passwordLabel = root->findChild<PhoneLabel *>(u"passwordLabel"_qs);
    m_ckPasswordLabel = root->findChild<PhoneLabel *>(u"ckPasswordLabel"_qs);
    m_emailLabel = root->findChild<PhoneLabel *>(u"emailLabel"_qs);
    m_mobileLabel = root->findChild<PhoneLabel *>(u"mobileLabel"_qs);
    m_registerBtn = root->findChild<PhoneButton *>(u"registerBtn"_qs);
    if (!hasForm())
        return;

    UILabelStyle::LabelByForm(m_nickLabel, Texts::get(u"nick"_qs));
    UILabelStyle::LabelByForm(m_passwordLabel, Texts::get(u"password"_qs));
    UILabelStyle::LabelByForm(m_ckPasswordLabel, Texts::get(u"confirmPassword"_qs));
    UILabelStyle::LabelByForm(m_emailLabel, Texts::get(u"email"_qs));
    UILabelStyle::LabelByForm(m_mobileLabel, Texts::get(u"mobile"_qs));
    UILabelStyle::ButtonText(m_registerBtn, Texts::get(u"memberRegister"_qs));
    wireField(m_nickText, Texts::get(u"rNicknameHint"_qs));
    wireField(m_passwordText, Texts::get(u"rPasswordHint"_qs));
    wireField(m_ckPasswordText, Texts::get(u"rConfirmPasswordHint"_qs));
    wireField(m_emailText, Texts::get(u"rEmailHint"_qs));
    wireField(m_mobileText, Texts::get(u"rMobileNoHint"_qs));

    connect(m_registerBtn, &PhoneButton::clicked, this, &RegisterCtrl::registerClick);
    if (auto *background = root->findChild<MainUIControl *>(u"backgroundControl"_qs))
        connect(background, &MainUIControl::clicked, this, &RegisterCtrl::backgroundTap);
}

bool RegisterCtrl::hasForm() const
{
    return m_nickText && m_passwordText && m_ckPasswordText && m_emailText && m_mobileText && m_nickLabel
           && m_passwordLabel && m_ckPasswordLabel && m_emailLabel && m_mobileLabel && m_registerBtn;
}

void RegisterCtrl::wireField(TextField *field, const QString &placeholder)
{
    MemberForm::prepareField(field, placeholder, this, [this] { backgroundTap(); });
    connect(field, &TextField::editingDidBegin, this, [this, field] { textFieldEditDidBegin(field); });
    connect(field, &TextField::editingDidEnd, this, [this, field] { textFieldEditDidEnd(field); });
}

void RegisterCtrl::viewWillAppear(bool animated)
{
    MainCtrl::viewWillAppear(animated);
    MemberForm::popWhenLoggedIn(this);
}

void RegisterCtrl::backgroundTap()
{
    MemberForm::endAllEditing(view());
}

void RegisterCtrl::textFieldEditDidBegin(TextField *field)
{
    MemberForm::beginEditing(view(), field);
}

void RegisterCtrl::textFieldEditDidEnd(TextField *field)
{
    MemberForm::endEditing(view(), field);
}

bool RegisterCtrl::validate(const Account &account)
{
    const auto fail = [](const QString &message, TextField *field) {
        MemberForm::showValidationAlert(message, field);
        return false;
    };
    if (account.nickname.isEmpty())
        return fail(Texts::get(u"inputNicknameMiss"_qs), m_nickText);
    const qsizetype length = characterCount(account.password);
    if (length < MinPasswordLength || length > MaxPasswordLength)
        return fail(Texts::get(u"inputPasswordMiss"_qs), m_passwordText);
    if (account.password != account.confirmation)
        return fail(Texts::get(u"inputConfirmPasswordMiss"_qs), m_ckPasswordText);
    if (account.email.isEmpty())
        return fail(Texts::get(u"inputEmailMiss"_qs), m_emailText);
    if (!Tools::validateEmail(account.email))
        return fail(Texts::get(u"inputEmailError"_qs), m_emailText);
    if (account.mobile.isEmpty())
        return fail(Texts::get(u"inputMobileNoMiss"_qs), m_mobileText);
    return true;
}

void RegisterCtrl::registerClick()
{
    backgroundTap();
    // One account per press: a second press while the first is on its way is ignored.
    if (m_registering || !hasForm())
        return;
    const Account account{m_nickText->text(), m_passwordText->text(), m_ckPasswordText->text(), m_emailText->text(),
                          m_mobileText->text()};
    if (!validate(account))
        return;
    m_registering = true;
    showLoading(Texts::get(u"registering"_qs));
    QPointer<RegisterCtrl> self(this);
    OuterRequest::memberRegister(account.email, account.nickname, account.nickname, account.password, account.mobile,
                                 [self, account](bool ok, int status, std::optional<QString> message) {
                                     if (self)
                                         self->registerAnswered(account, ok, status, message.value_or(QString()));
                                 });
}

void RegisterCtrl::registerAnswered(const Account &account, bool ok, int status, const QString &message)
{
    hideLoading();
    m_registering = false;
    if (!ok)
        return;
    auto *alert = new MyAlertView(Texts::get(u"warningTitle"_qs), message);
    QPointer<RegisterCtrl> self(this);
    alert->addButtonWithTitle(Texts::get(u"ok"_qs), [self, account, status](MyAlertView *, int) {
        if (status != 0)
            return;
        UserMgr::setRememberMeStatus(true);
        UserMgr::remember(account.nickname, account.password);
        if (!self)
            return;
        if (NavigationController *nav = self->navigationController(); nav && nav->topViewController() == self)
            nav->popViewControllerAnimated(true);
    });
    alert->show();
}
