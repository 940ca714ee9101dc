#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>

class NavigationController;
class TabBarController;

// What a screen shows in the navigation bar while it is on top of its stack.
// The item owns its left and right widgets.
class NavigationItem : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    ~NavigationItem() override;

    QString title() const { return m_title; }
    void setTitle(const QString &title);
    QWidget *leftWidget() const { return m_left; }
    // Replaces (and deletes) the previous widget; null clears.
    void setLeftWidget(QWidget *widget);
    QWidget *rightWidget() const { return m_right; }
    void setRightWidget(QWidget *widget);

Q_SIGNALS:
    void changed();

private:
    QString m_title;
    QPointer<QWidget> m_left;
    QPointer<QWidget> m_right;
};

// A screen: a QObject owning a view that is made on first use. Containers
// (navigation stacks, the tab controller, presentation) drive the
// appearance calls, always in the order will -> did.
class ViewController : public QObject
{
    Q_OBJECT
public:
    explicit ViewController(QObject *parent = nullptr);
    ~ViewController() override;

    // Loads the view (loadView, then viewDidLoad) on first call.
    QWidget *view();
    bool isViewLoaded() const { return m_view != nullptr; }

    // The layout file loadView fills the view from; empty gives a plain view.
    void setLayoutName(const QString &name) { m_layoutName = name; }
    QString layoutName() const { return m_layoutName; }

    NavigationItem *navigationItem() { return &m_item; }
    QString title() const { return m_item.title(); }
    void setTitle(const QString &title) { m_item.setTitle(title); }

    // The container this screen is in (a navigation stack or the tab
    // controller), set by the container.
    ViewController *parentViewController() const { return m_parentController; }
    void setParentViewController(ViewController *parent);
    NavigationController *navigationController() const;
    TabBarController *tabBarController() const;

    // Detail screens hide the tab strip while they are on a stack.
    bool hidesBottomBarWhenPushed() const { return m_hidesBottomBar; }
    void setHidesBottomBarWhenPushed(bool hide) { m_hidesBottomBar = hide; }

    // Modal presentation over the whole phone window.
    void presentViewController(ViewController *controller, bool animated);
    void dismissViewController(bool animated);
    ViewController *presentedViewController() const { return m_presented; }
    ViewController *presentingViewController() const { return m_presenting; }

    enum class Appearance { Disappeared, Appearing, Appeared, Disappearing };
    Appearance appearance() const { return m_appearance; }
    bool isVisible() const { return m_appearance == Appearance::Appeared; }

    // Called by containers; each runs its hook once per transition.
    void beginAppearance(bool animated);
    void endAppearance();
    void beginDisappearance(bool animated);
    void endDisappearance();

protected:
    virtual void loadView();
    virtual void viewDidLoad() {}
    virtual void viewWillAppear(bool animated) { Q_UNUSED(animated); }
    virtual void viewDidAppear(bool animated) { Q_UNUSED(animated); }
    virtual void viewWillDisappear(bool animated) { Q_UNUSED(animated); }
    virtual void viewDidDisappear(bool animated) { Q_UNUSED(animated); }
    void setView(QWidget *view);

private:
    QPointer<QWidget> m_view;
    QString m_layoutName;
    NavigationItem m_item;
    QPointer<ViewController> m_parentController;
    QPointer<ViewController> m_presented;
    QPointer<ViewController> m_presenting;
    Appearance m_appearance = Appearance::Disappeared;
    bool m_animatedTransition = false;
    bool m_hidesBottomBar = false;
};
