#pragma once

#include "ViewController.h"

#include <QList>
#include <QPointer>

// Tabs, each usually a navigation stack, over a tab bar at the bottom. The
// bar is a plain view: the shell puts its own strip of buttons into it. The
// bar hides while the selected stack shows a screen that asks for it.
class TabBarController : public ViewController
{
    Q_OBJECT
public:
    static constexpr int DefaultTabBarHeight = 49;

    explicit TabBarController(QObject *parent = nullptr);
    ~TabBarController() override;

    // The controller owns the tabs.
    void setViewControllers(const QList<ViewController *> &controllers);
    QList<ViewController *> viewControllers() const;

    int selectedIndex() const { return m_selected; }
    void setSelectedIndex(int index);
    ViewController *selectedViewController() const;

    // Loads the view on first use.
    QWidget *tabBar();
    bool isTabBarHidden() const;

Q_SIGNALS:
    void selectedIndexChanged(int index);

protected:
    void loadView() override;
    void viewWillAppear(bool animated) override;
    void viewDidAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    void viewDidDisappear(bool animated) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void layoutChildren();
    void showSelected();

    QList<QPointer<ViewController>> m_tabs;
    int m_selected = -1;
    QWidget *m_tabBar = nullptr;
};
