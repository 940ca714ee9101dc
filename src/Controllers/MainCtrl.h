#pragma once

#include "ViewController.h"

#include <QPointer>

#include "ProgressHUD.h"

// The base of the screens: the navigation bar's look, the back button rule,
// the progress indicator and the short notices.
class MainCtrl : public ViewController
{
    Q_OBJECT
public:
    static constexpr int ToastOffset = 150;
    static constexpr double ToastSeconds = 1.0;

    explicit MainCtrl(QObject *parent = nullptr);
    ~MainCtrl() override;

    // Made with the view, on the view of the navigation stack (so it covers
    // the bar too), or on the screen's own view outside a stack.
    ProgressHUD *HUD() const { return m_hud; }

    // Root screens, and screens of the root's class, get no left button;
    // every other screen a picture back button without title.
    void setCustomerBackBtn();

    void showLoading();
    void showLoading(const QString &text);
    void hideLoading();
    // A one-second text notice 150 points below the centre; several may show at once.
    ProgressHUD *showToast(const QString &text);

    // Portrait only, like every screen.
    bool shouldAutorotateToInterfaceOrientation(Qt::ScreenOrientation orientation) const
    {
        return orientation == Qt::PortraitOrientation;
    }

protected:
    void viewDidLoad() override;

private:
    QWidget *hudHost();

    QPointer<ProgressHUD> m_hud;
};
