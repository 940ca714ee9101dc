#include "MainCtrl.h"

#include "CustomNavigationBar.h"
#include "Images.h"
#include "NavigationController.h"
#include "PhoneButton.h"
#include "ProgressHUD.h"
#include "StyledViews.h"
#include "Texts.h"

#include <typeinfo>

MainCtrl::MainCtrl(QObject *parent) : ViewController(parent)
{
    // The layout files of the screens place the self-styling views.
    static const bool registered = [] {
        StyledViews::registerLayoutClasses();
        return true;
    }();
    Q_UNUSED(registered);
}

MainCtrl::~MainCtrl()
{
    // The indicator lives on the stack's view, which outlives the screen.
    delete m_hud.data();
}

QWidget *MainCtrl::hudHost()
{
    if (NavigationController *nav = navigationController())
        return nav->view();
    return view();
}

void MainCtrl::viewDidLoad()
{
    m_hud = new ProgressHUD(hudHost());
    if (NavigationController *nav = navigationController()) {
        if (auto *bar = qobject_cast<CustomNavigationBar *>(nav->navigationBar())) {
            bar->setBackgroundWith(Images::named(u"tital.png"_qs));
            bar->setNavigationController(nav);
        }
    }
    setCustomerBackBtn();
}

void MainCtrl::setCustomerBackBtn()
{
    NavigationController *nav = navigationController();
    if (!nav)
        return;
    ViewController *visible = nav->visibleViewController();
    ViewController *root = nav->rootViewController();
    if (!visible || !root || typeid(*visible) == typeid(*root))
        return;
    auto *bar = qobject_cast<CustomNavigationBar *>(nav->navigationBar());
    if (!bar)
        return;
    PhoneButton *back = bar->backButtonWith(Images::named(u"return_n.png"_qs),
                                            Images::named(u"return_p.png"_qs), 22);
    bar->setText(QString(), back);
    navigationItem()->setLeftWidget(back);
}

void MainCtrl::showLoading()
{
    showLoading(Texts::get(u"loading"_qs));
}

void MainCtrl::showLoading(const QString &text)
{
    view();
    if (!m_hud)
        return;
    m_hud->setMode(ProgressHUD::Mode::Indeterminate);
    m_hud->setLabelText(text);
    m_hud->show(true);
}

void MainCtrl::hideLoading()
{
    if (m_hud)
        m_hud->hide(true);
}

ProgressHUD *MainCtrl::showToast(const QString &text)
{
    auto *toast = new ProgressHUD(hudHost());
    toast->setMode(ProgressHUD::Mode::Text);
    toast->setLabelText(text);
    toast->setMargin(10);
    toast->setYOffset(ToastOffset);
    toast->setRemoveFromSuperViewOnHide(true);
    toast->show(true);
    toast->hide(true, ToastSeconds);
    return toast;
}
