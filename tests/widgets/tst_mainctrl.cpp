#include "Animations.h"
#include "CustomNavigationBar.h"
#include "MainCtrl.h"
#include "NavigationController.h"
#include "PhoneButton.h"
#include "PhoneImageView.h"
#include "PhoneWindow.h"
#include "ProgressHUD.h"
#include "Texts.h"

#include <QPointer>
#include <QTest>

namespace {
class HomeCtrl : public MainCtrl
{
    Q_OBJECT
};
class DetailCtrl : public MainCtrl
{
    Q_OBJECT
};

struct Shell
{
    PhoneWindow window;
    NavigationController *nav;
    explicit Shell(MainCtrl *root) : nav(new NavigationController(root, new CustomNavigationBar))
    {
        window.setRootViewController(nav);
        window.show();
    }
    CustomNavigationBar *bar() const { return qobject_cast<CustomNavigationBar *>(nav->navigationBar()); }
};

QList<ProgressHUD *> toastsOn(QWidget *view)
{
    QList<ProgressHUD *> list;
    for (ProgressHUD *hud : view->findChildren<ProgressHUD *>(Qt::FindDirectChildrenOnly)) {
        if (hud->mode() == ProgressHUD::Mode::Text && hud->isShowing())
            list << hud;
    }
    return list;
}
} // namespace

class TestMainCtrl : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        Animations::setEnabled(false);
        Texts::setLookup([](const QString &key) { return u"<"_qs + key + u'>'; });
    }
    void cleanup() { Texts::setLookup(nullptr); }

    void backButtonRule()
    {
        Shell shell(new HomeCtrl);
        ViewController *root = shell.nav->rootViewController();
        QCOMPARE(root->navigationItem()->leftWidget(), nullptr);
        QVERIFY(shell.bar()->navigationBarBackgroundImage());
        QVERIFY(!shell.bar()->navigationBarBackgroundImage()->image().isNull());
        QCOMPARE(shell.bar()->navigationController(), shell.nav);

        // A second screen of the root's class gets no back button either.
        auto *again = new HomeCtrl;
        shell.nav->pushViewController(again, true);
        QCOMPARE(again->navigationItem()->leftWidget(), nullptr);

        auto *detail = new DetailCtrl;
        detail->setTitle(u"a title the back button must not show"_qs);
        shell.nav->pushViewController(detail, true);
        auto *back = qobject_cast<PhoneButton *>(detail->navigationItem()->leftWidget());
        QVERIFY(back);
        QCOMPARE(back->width(), 33);
        QCOMPARE(back->height(), 30);
        QVERIFY(back->title(PhoneButton::Normal).isEmpty());
        QCOMPARE(back->parentWidget(), shell.bar());
        QVERIFY(back->isVisible());
        QVERIFY(!back->backgroundImage(PhoneButton::Normal).isNull());
        QCOMPARE(back->backgroundImage(PhoneButton::Highlighted).leftCap, 22);

        QTest::mouseClick(back, Qt::LeftButton);
        QCOMPARE(shell.nav->topViewController(), again);
    }

    void backButtonWidth_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<bool>("capped");
        QTest::newRow("no title") << QString() << false;
        QTest::newRow("short") << u"Back"_qs << false;
        QTest::newRow("long") << u"A very long title of a top item that cannot fit"_qs << true;
    }
    void backButtonWidth()
    {
        QFETCH(QString, title);
        QFETCH(bool, capped);
        Shell shell(new HomeCtrl);
        shell.nav->rootViewController()->setTitle(title);
        CustomNavigationBar *bar = shell.bar();
        QPixmap picture(30, 30);
        PhoneButton *button = bar->backButtonWith(picture, picture, 22);
        std::unique_ptr<PhoneButton> owner(button);
        QCOMPARE(bar->backButtonCapWidth(), 22.0);
        QCOMPARE(button->title(PhoneButton::Normal), title);
        QCOMPARE(button->height(), 30);
        const qreal textWidth = title.isEmpty() ? 0 : QFontMetricsF(button->font()).horizontalAdvance(title);
        const int expected = capped ? 160 : int(std::ceil(textWidth + 33));
        QCOMPARE(button->width(), expected);
        if (capped) {
            const QString shown = button->displayedTitle();
            QVERIFY(shown.endsWith(QChar(0x2026)));
            QVERIFY(title.startsWith(shown.chopped(1)));
        } else {
            QCOMPARE(button->displayedTitle(), title);
        }
    }

    void barWithoutPictureDrawsTheStandardBar()
    {
        CustomNavigationBar plain;
        plain.resize(320, 44);
        QCOMPARE(plain.navigationBarBackgroundImage(), nullptr);
        NavigationBar standard;
        standard.resize(320, 44);
        QCOMPARE(plain.grab().toImage(), standard.grab().toImage());
        QPixmap red(10, 10);
        red.fill(Qt::red);
        plain.setBackgroundWith(red);
        QCOMPARE(plain.navigationBarBackgroundImage()->size(), plain.size());
        const QImage drawn = plain.grab().toImage();
        QCOMPARE(QColor(drawn.pixel(drawn.width() - 2, drawn.height() - 2)), QColor(Qt::red));
    }

    void loadingCoversTheStack()
    {
        Shell shell(new HomeCtrl);
        auto *screen = static_cast<MainCtrl *>(shell.nav->rootViewController());
        QVERIFY(screen->HUD());
        QCOMPARE(screen->HUD()->parentWidget(), shell.nav->view());
        screen->showLoading();
        QVERIFY(screen->HUD()->isShowing());
        QCOMPARE(screen->HUD()->labelText(), u"<loading>"_qs);
        QCOMPARE(screen->HUD()->geometry(), shell.nav->view()->rect());
        screen->hideLoading();
        QVERIFY(!screen->HUD()->isShowing());
        QVERIFY(screen->HUD()->isHidden());

        // A pushed screen's indicator covers the bar as well.
        auto *detail = new DetailCtrl;
        shell.nav->pushViewController(detail, true);
        detail->showLoading(u"wait"_qs);
        QCOMPARE(shell.nav->view()->childAt(QPoint(160, 22)), detail->HUD());
        shell.nav->pushViewController(new DetailCtrl, true);
        QCOMPARE(shell.nav->view()->childAt(QPoint(160, 22)), detail->HUD());
    }

    void toastsStackUpAndGoAfterOneSecond()
    {
        Shell shell(new HomeCtrl);
        auto *screen = static_cast<MainCtrl *>(shell.nav->rootViewController());
        QPointer<ProgressHUD> first = screen->showToast(u"one"_qs);
        QPointer<ProgressHUD> second = screen->showToast(u"two"_qs);
        QCOMPARE(toastsOn(shell.nav->view()).size(), 2);
        QCOMPARE(first->labelText(), u"one"_qs);
        QCOMPARE(first->margin(), 10);
        QCOMPARE(first->yOffset(), 150);
        QVERIFY(!screen->HUD()->isShowing());
        QCOMPARE(first->hideTimer()->interval(), 1000);
        QVERIFY(first->hideTimer()->remainingTime() > 900);
        // The one-second timers run out in real time.
        QTRY_VERIFY_WITH_TIMEOUT(first.isNull() && second.isNull(), 3000);
        QVERIFY(toastsOn(shell.nav->view()).isEmpty());
    }

    void onlyPortrait()
    {
        HomeCtrl screen;
        QVERIFY(screen.shouldAutorotateToInterfaceOrientation(Qt::PortraitOrientation));
        QVERIFY(!screen.shouldAutorotateToInterfaceOrientation(Qt::LandscapeOrientation));
    }
};

QTEST_MAIN(TestMainCtrl)
#include "tst_mainctrl.moc"
