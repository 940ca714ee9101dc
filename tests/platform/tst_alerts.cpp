#include "Animations.h"
#include "MyAlertView.h"
#include "PhoneButton.h"
#include "PhoneWindow.h"
#include "ProgressHUD.h"
#include "ScreenTools.h"
#include "Texts.h"
#include "Tools.h"

#include <QPointer>
#include <QTest>

namespace {
PhoneButton *buttonOf(const QString &objectName)
{
    for (AlertView *alert : AlertView::visibleAlerts()) {
        if (auto *b = alert->findChild<PhoneButton *>(objectName))
            return b;
    }
    return nullptr;
}
} // namespace

class TestAlerts : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { Animations::setEnabled(false); }
    void cleanup()
    {
        Tools::setMessageHandler(nullptr);
        Texts::setLookup(nullptr);
        for (AlertView *alert : AlertView::visibleAlerts())
            alert->dismissWithClickedButtonIndex(-1, false);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void eachButtonRunsItsOwnActionThenTheHooks_data()
    {
        QTest::addColumn<int>("pressed");
        QTest::newRow("first") << 0;
        QTest::newRow("second") << 1;
        QTest::newRow("third") << 2;
    }
    void eachButtonRunsItsOwnActionThenTheHooks()
    {
        QFETCH(int, pressed);
        PhoneWindow window;
        window.show();
        QStringList log;
        QPointer<MyAlertView> alert = new MyAlertView(u"title"_qs, u"message"_qs);
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(alert->addButtonWithTitle(u"b%1"_qs.arg(i), [&log, i](MyAlertView *a, int index) {
                QVERIFY(a != nullptr);
                log << u"action%1:%2"_qs.arg(i).arg(index);
            }),
                     i);
        }
        alert->setWillPresentAlertViewBlock([&log](MyAlertView *) { log << u"willPresent"_qs; });
        alert->setDidPresentAlertViewBlock([&log](MyAlertView *) { log << u"didPresent"_qs; });
        alert->setAlertViewWillDismissWithButtonIndexBlock(
            [&log](MyAlertView *, int index) { log << u"willDismiss:%1"_qs.arg(index); });
        alert->setAlertViewDidDismissWithButtonIndexBlock(
            [&log](MyAlertView *, int index) { log << u"didDismiss:%1"_qs.arg(index); });
        alert->show();
        QCOMPARE(alert->parentWidget(), &window);
        QCOMPARE(AlertView::visibleAlerts(), QList<AlertView *>{alert.data()});
        QCOMPARE(alert->buttonCallbackArray().size(), 3);

        QTest::mouseClick(buttonOf(u"alertButton%1"_qs.arg(pressed)), Qt::LeftButton);
        const QString i = QString::number(pressed);
        QCOMPARE(log, (QStringList{u"willPresent"_qs, u"didPresent"_qs, u"action"_qs + i + u':' + i,
                                   u"willDismiss:"_qs + i, u"didDismiss:"_qs + i}));
        QVERIFY(AlertView::visibleAlerts().isEmpty());
        QTRY_VERIFY(alert.isNull());
    }

    void aButtonNeedsAnAction()
    {
        auto *alert = new MyAlertView(u"t"_qs, u"m"_qs);
        QCOMPARE(alert->addButtonWithTitle(u"none"_qs, nullptr), -1);
        QCOMPARE(alert->numberOfButtons(), 0);
        delete alert;
    }

    void cancelClosesTheAlertWithOrWithoutItsAction_data()
    {
        QTest::addColumn<bool>("withCancelAction");
        QTest::newRow("cancel action") << true;
        QTest::newRow("no cancel action") << false;
    }
    void cancelClosesTheAlertWithOrWithoutItsAction()
    {
        QFETCH(bool, withCancelAction);
        PhoneWindow window;
        window.show();
        int cancels = 0;
        int actions = 0;
        int dismissedWith = -2;
        auto *alert = new MyAlertView(u"t"_qs, u"m"_qs);
        alert->addButtonWithTitle(u"ok"_qs, [&](MyAlertView *, int) { ++actions; });
        if (withCancelAction)
            alert->setAlertViewCancelBlock([&](MyAlertView *) { ++cancels; });
        alert->setAlertViewDidDismissWithButtonIndexBlock([&](MyAlertView *, int index) { dismissedWith = index; });
        alert->show();
        QTest::keyClick(alert, Qt::Key_Escape);
        QCOMPARE(cancels, withCancelAction ? 1 : 0);
        QCOMPARE(actions, 0);
        QCOMPARE(dismissedWith, alert->cancelButtonIndex());
        QVERIFY(AlertView::visibleAlerts().isEmpty());
    }

    void showMsgGoesToARealAlert()
    {
        PhoneWindow window;
        window.show();
        Texts::setLookup([](const QString &key) { return u"<"_qs + key + u'>'; });
        ScreenTools::installMessageHandler();
        Tools::showMsg(u"no network"_qs);
        const QList<AlertView *> shown = AlertView::visibleAlerts();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown.constFirst()->title(), u"<warningTitle>"_qs);
        QCOMPARE(shown.constFirst()->message(), u"no network"_qs);
        QCOMPARE(shown.constFirst()->numberOfButtons(), 1);
        QCOMPARE(shown.constFirst()->buttonTitle(0), u"<ok>"_qs);
        QTest::mouseClick(buttonOf(u"alertButton0"_qs), Qt::LeftButton);
        QVERIFY(AlertView::visibleAlerts().isEmpty());
    }

    void actionSheetSitsAtTheBottom()
    {
        PhoneWindow window;
        window.show();
        int chosen = -1;
        auto *sheet = new ActionSheet(u"share"_qs);
        sheet->addButton(u"sms"_qs);
        sheet->addButton(u"mail"_qs);
        sheet->setCancelButtonIndex(sheet->addButton(u"cancel"_qs));
        connect(sheet, &AlertView::clicked, this, [&](AlertView *, int index) { chosen = index; });
        sheet->show();
        PhoneButton *cancel = sheet->button(2);
        QVERIFY(cancel->mapTo(&window, QPoint(0, 0)).y() > window.height() / 2);
        QTest::mouseClick(sheet->button(1), Qt::LeftButton);
        QCOMPARE(chosen, 1);
    }

    void noticeHidesAfterItsDelay()
    {
        QWidget host;
        host.resize(320, 480);
        auto *hud = new ProgressHUD(&host);
        QPointer<ProgressHUD> guard = hud;
        hud->setMode(ProgressHUD::Mode::Text);
        hud->setLabelText(u"saved"_qs);
        hud->setMargin(10);
        hud->setYOffset(150);
        hud->setRemoveFromSuperViewOnHide(true);
        hud->show(true);
        hud->hide(true, 1.0);
        QVERIFY(hud->isShowing());
        QCOMPARE(hud->hideTimer()->interval(), 1000);
        QVERIFY(hud->hideTimer()->isActive());
        QVERIFY(qAbs(hud->boxRect().center().y() - (host.rect().center().y() + 150)) <= 1);
        QVERIFY(hud->testAttribute(Qt::WA_TransparentForMouseEvents));
        // The delay's end, without waiting for it.
        QMetaObject::invokeMethod(hud->hideTimer(), "timeout");
        QVERIFY(!hud->isShowing());
        QTRY_VERIFY(guard.isNull());
    }
};

QTEST_MAIN(TestAlerts)
#include "tst_alerts.moc"
