#include "Animations.h"
#include "NavigationBar.h"
#include "NavigationController.h"
#include "PhoneWindow.h"
#include "TabBarController.h"

#include <QPointer>
#include <QSignalSpy>
#include <QTest>

namespace {

QStringList g_log;

class LoggingScreen : public ViewController
{
public:
    explicit LoggingScreen(const QString &name) : m_name(name) { setTitle(name); }

protected:
    void viewDidLoad() override { g_log << m_name + u":load"_qs; }
    void viewWillAppear(bool) override { g_log << m_name + u":willAppear"_qs; }
    void viewDidAppear(bool) override { g_log << m_name + u":didAppear"_qs; }
    void viewWillDisappear(bool) override { g_log << m_name + u":willDisappear"_qs; }
    void viewDidDisappear(bool) override { g_log << m_name + u":didDisappear"_qs; }

private:
    QString m_name;
};

} // namespace

class TestNavigation : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        Animations::setEnabled(false);
        g_log.clear();
    }

    void viewLoadsLazilyOnce()
    {
        LoggingScreen screen(u"a"_qs);
        QVERIFY(!screen.isViewLoaded());
        QWidget *first = screen.view();
        QCOMPARE(screen.view(), first);
        QCOMPARE(g_log, QStringList{u"a:load"_qs});
    }

    void pushAndPopRunTheLifecycleInOrder()
    {
        PhoneWindow window;
        auto *nav = new NavigationController(new LoggingScreen(u"root"_qs));
        window.setRootViewController(nav);
        window.show();
        QCOMPARE(g_log, (QStringList{u"root:load"_qs, u"root:willAppear"_qs, u"root:didAppear"_qs}));

        g_log.clear();
        auto *detail = new LoggingScreen(u"detail"_qs);
        nav->pushViewController(detail, true);
        QCOMPARE(g_log, (QStringList{u"detail:load"_qs, u"root:willDisappear"_qs, u"detail:willAppear"_qs,
                                     u"root:didDisappear"_qs, u"detail:didAppear"_qs}));
        QCOMPARE(nav->topViewController(), detail);
        QCOMPARE(detail->navigationController(), nav);
        QCOMPARE(nav->navigationBar()->title(), u"detail"_qs);
        QVERIFY(detail->view()->isVisible());
        QVERIFY(!nav->rootViewController()->view()->isVisible());

        g_log.clear();
        QPointer<ViewController> popped = nav->popViewControllerAnimated(true);
        QCOMPARE(popped.data(), detail);
        QCOMPARE(g_log, (QStringList{u"detail:willDisappear"_qs, u"root:willAppear"_qs,
                                     u"detail:didDisappear"_qs, u"root:didAppear"_qs}));
        QCOMPARE(nav->navigationBar()->title(), u"root"_qs);
        // The popped screen goes on the next turn of the loop.
        QTRY_VERIFY(popped.isNull());
        QCOMPARE(nav->popViewControllerAnimated(true), nullptr);
    }

    void animatedPushFinishesAfterTheSlide()
    {
        Animations::setEnabled(true);
        PhoneWindow window;
        auto *nav = new NavigationController(new LoggingScreen(u"root"_qs));
        window.setRootViewController(nav);
        window.show();
        g_log.clear();
        nav->pushViewController(new LoggingScreen(u"next"_qs), true);
        QVERIFY(nav->isTransitioning());
        QVERIFY(!g_log.contains(u"next:didAppear"_qs));
        QTRY_VERIFY(g_log.contains(u"next:didAppear"_qs));
        QVERIFY(!nav->isTransitioning());
        QCOMPARE(nav->topViewController()->view()->pos(), QPoint(0, 0));
        // A pop during a push finishes the push first.
        nav->pushViewController(new LoggingScreen(u"third"_qs), true);
        nav->popViewControllerAnimated(false);
        QCOMPARE(nav->topViewController()->title(), u"next"_qs);
        QCOMPARE(nav->topViewController()->view()->geometry(), nav->contentRect());
    }

    void popToRootSkipsTheMiddle()
    {
        PhoneWindow window;
        auto *nav = new NavigationController(new LoggingScreen(u"root"_qs));
        window.setRootViewController(nav);
        window.show();
        nav->pushViewController(new LoggingScreen(u"b"_qs), false);
        nav->pushViewController(new LoggingScreen(u"c"_qs), false);
        g_log.clear();
        nav->popToRootViewControllerAnimated(false);
        QCOMPARE(nav->viewControllers().size(), 1);
        QVERIFY(!g_log.contains(u"b:willAppear"_qs));
        QVERIFY(g_log.contains(u"root:didAppear"_qs));
    }

    void tabsSwitchAndHideTheStripForDetailScreens()
    {
        PhoneWindow window;
        auto *tabs = new TabBarController;
        QList<ViewController *> stacks;
        QList<NavigationController *> navs;
        for (int i = 0; i < 5; ++i) {
            auto *nav = new NavigationController(new LoggingScreen(u"tab%1"_qs.arg(i)));
            navs << nav;
            stacks << nav;
        }
        tabs->setViewControllers(stacks);
        window.setRootViewController(tabs);
        window.show();
        QCOMPARE(tabs->selectedIndex(), 0);
        QVERIFY(g_log.contains(u"tab0:didAppear"_qs));
        QVERIFY(!g_log.contains(u"tab1:load"_qs));

        // What the shell puts over the tabs stays over tabs shown later.
        auto *floatView = new QWidget(tabs->view());
        floatView->setGeometry(200, 300, 100, 100);
        floatView->show();

        g_log.clear();
        QSignalSpy changed(tabs, &TabBarController::selectedIndexChanged);
        tabs->setSelectedIndex(4);
        QCOMPARE(changed.size(), 1);
        QCOMPARE(g_log, (QStringList{u"tab4:load"_qs, u"tab0:willDisappear"_qs, u"tab4:willAppear"_qs,
                                     u"tab0:didDisappear"_qs, u"tab4:didAppear"_qs}));
        tabs->setSelectedIndex(9);
        QCOMPARE(tabs->selectedIndex(), 4);
        QCOMPARE(tabs->view()->childAt(QPoint(250, 350)), floatView);

        const int withBar = navs[4]->view()->height();
        QVERIFY(!tabs->isTabBarHidden());
        auto *detail = new LoggingScreen(u"detail"_qs);
        detail->setHidesBottomBarWhenPushed(true);
        navs[4]->pushViewController(detail, false);
        QVERIFY(tabs->isTabBarHidden());
        QVERIFY(!tabs->tabBar()->isVisible());
        QCOMPARE(navs[4]->view()->height(), withBar + tabs->tabBar()->height());
        navs[4]->popViewControllerAnimated(false);
        QVERIFY(!tabs->isTabBarHidden());
        QVERIFY(tabs->tabBar()->isVisible());
        QCOMPARE(navs[4]->view()->height(), withBar);
        QCOMPARE(tabs->tabBar()->geometry().bottom(), window.height() - 1);
    }

    void modalCoversTheWindowAndGoesAway()
    {
        PhoneWindow window;
        auto *nav = new NavigationController(new LoggingScreen(u"root"_qs));
        window.setRootViewController(nav);
        window.show();
        g_log.clear();
        QPointer<ViewController> modal = new LoggingScreen(u"modal"_qs);
        nav->topViewController()->presentViewController(modal, true);
        QCOMPARE(modal->view()->geometry(), window.rect());
        QCOMPARE(nav->visibleViewController(), modal.data());
        QVERIFY(g_log.contains(u"modal:didAppear"_qs));
        QVERIFY(g_log.contains(u"root:didDisappear"_qs));
        g_log.clear();
        modal->dismissViewController(true);
        QCOMPARE(g_log, (QStringList{u"modal:willDisappear"_qs, u"root:willAppear"_qs, u"root:didAppear"_qs,
                                     u"modal:didDisappear"_qs}));
        QTRY_VERIFY(modal.isNull());
    }
};

QTEST_MAIN(TestNavigation)
#include "tst_navigation.moc"
