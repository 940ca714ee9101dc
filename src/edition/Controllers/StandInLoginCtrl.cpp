#include "StandInLoginCtrl.h"

#include "NavigationController.h"
#include "PhoneButton.h"
#include "Texts.h"
#include "UILabelStyle.h"
#include "UserMgr.h"

StandInLoginCtrl::StandInLoginCtrl(QObject *parent) : MainCtrl(parent)
{
    setHidesBottomBarWhenPushed(true);
}

void StandInLoginCtrl::viewDidLoad()
{
    MainCtrl::viewDidLoad();
    setTitle(Texts::get(u"memberLogin"_qs));
    m_button = new PhoneButton(view());
    m_button->setObjectName(u"standInLoginButton"_qs);
    m_button->setBackgroundImageName(u"btn_black.png"_qs);
    m_button->setGeometry(60, 120, 200, 40);
    UILabelStyle::ButtonTextByMiddleSize(m_button, Texts::get(u"memberLogin"_qs));
    connect(m_button, &PhoneButton::clicked, this, &StandInLoginCtrl::login);
}

void StandInLoginCtrl::login()
{
    UserMgr::setMemberId(DemoMemberId);
    UserMgr::setOutMemberId(QString::number(DemoMemberId));
    // The delegate may push onto the same stack: leave it first, at once.
    LoginCtrlDelegate *delegate = m_delegate;
    if (NavigationController *nav = navigationController(); nav && nav->topViewController() == this)
        nav->popViewControllerAnimated(delegate == nullptr);
    if (delegate)
        delegate->responFinsihed(true);
}
