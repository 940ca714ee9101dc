#include "AppTestSupport.h"
#include "LoginCtrl.h"
#include "MemberServices.h"
#include "NavigationController.h"
#include "PhoneWindow.h"
#include "ProgressHUD.h"
#include "RegisterCtrl.h"
#include "StyledViews.h"
#include "UserMgr.h"

#include <QTest>

#include <memory>

namespace {

// Records how the login ended and what the stack looked like then.
struct RecordingDelegate : LoginCtrlDelegate
{
    NavigationController *nav = nullptr;
    QList<bool> calls;
    QList<ViewController *> topWhenCalled;
    void responFinsihed(bool success) override
    {
        calls << success;
        topWhenCalled << nav->topViewController();
    }
};

// A stack with a plain root on a shown window; the login screen goes on top.
struct Stack
{
    PhoneWindow window;
    MainCtrl *root = new MainCtrl;
    NavigationController *nav = new NavigationController(root);
    Stack()
    {
        window.setRootViewController(nav);
        window.show();
    }
    LoginCtrl *pushLogin(LoginCtrlDelegate *delegate = nullptr)
    {
        auto *login = new LoginCtrl;
        login->setDelegate(delegate);
        nav->pushViewController(login, true);
        return login;
    }
    QStringList toasts() const
    {
        QStringList texts;
        for (ProgressHUD *hud : window.findChildren<ProgressHUD *>()) {
            if (hud->mode() == ProgressHUD::Mode::Text && hud->isShowing())
                texts << hud->labelText();
        }
        return texts;
    }
};

void fill(LoginCtrl *login, const QString &account, const QString &password)
{
    login->mobileText()->clear();
    login->passwordText()->clear();
    QTest::keyClicks(login->mobileText(), account);
    QTest::keyClicks(login->passwordText(), password);
}

void pressOk()
{
    AlertView *alert = topAlert();
    QVERIFY(alert);
    QCOMPARE(alert->buttonTitle(0), u"<ok>"_qs);
    QTest::mouseClick(alert->button(0), Qt::LeftButton);
}

} // namespace

class TestLoginCtrl : public QObject
{
    Q_OBJECT

    std::unique_ptr<AppTestEnvironment> env;
    MemberServices services;

private Q_SLOTS:
    void init()
    {
        env = std::make_unique<AppTestEnvironment>();
        services.reset();
    }
    void cleanup() { env.reset(); }

    void formTextsAndCheckBoxes()
    {
        // The boxes start the same whatever was stored.
        UserMgr::setRememberMeStatus(false);
        Stack stack;
        LoginCtrl *login = stack.pushLogin();
        QCOMPARE(login->title(), u"<memberLogin>"_qs);
        QVERIFY(login->hidesBottomBarWhenPushed());
        QCOMPARE(login->mobileLabel()->text(), u"<nick>"_qs);
        QCOMPARE(login->passwordLabel()->text(), u"<password>"_qs);
        QCOMPARE(login->autoLoginLabel()->text(), u"<autoLogoin>"_qs);
        QCOMPARE(login->rememberMeLabel()->text(), u"<rememberMe>"_qs);
        QCOMPARE(login->mobileText()->placeholderText(), u"<rNicknameHint>"_qs);
        QCOMPARE(login->passwordText()->placeholderText(), u"<passwordHint>"_qs);
        QCOMPARE(login->registerBtn()->title(PhoneButton::Normal), u"<memberRegister>"_qs);
        QCOMPARE(login->loginBtn()->title(PhoneButton::Normal), u"<memberLogin>"_qs);
        QVERIFY(!login->autoLoginBtn()->isSelected());
        QVERIFY(login->rememberMeBtn()->isSelected());

        // Each box toggles on touch-down.
        QTest::mousePress(login->autoLoginBtn(), Qt::LeftButton);
        QTest::mouseRelease(login->autoLoginBtn(), Qt::LeftButton);
        QVERIFY(login->autoLoginBtn()->isSelected());
        QTest::mousePress(login->rememberMeBtn(), Qt::LeftButton);
        QVERIFY(!login->rememberMeBtn()->isSelected());
        QTest::mouseRelease(login->rememberMeBtn(), Qt::LeftButton);
        QVERIFY(!login->rememberMeBtn()->isSelected());
    }

    void keyboardBarAndBackgroundEndEditing()
    {
        Stack stack;
        LoginCtrl *login = stack.pushLogin();
        for (TextField *field : {login->mobileText(), login->passwordText()}) {
            QWidget *bar = field->inputAccessoryView();
            QVERIFY(bar);
            field->becomeFirstResponder();
            QVERIFY(field->isEditing());
            auto *done = bar->findChild<PhoneButton *>(u"doneButton"_qs);
            QVERIFY(done);
            QTest::mouseClick(done, Qt::LeftButton);
            QVERIFY(!field->isEditing());
            QCOMPARE(login->view()->y(), 0);
        }
        login->passwordText()->becomeFirstResponder();
        auto *background = login->view()->findChild<MainUIControl *>(u"backgroundControl"_qs);
        QVERIFY(background);
        QTest::mouseClick(background, Qt::LeftButton, {}, QPoint(5, 400));
        QVERIFY(!login->passwordText()->isEditing());
    }

    void validationAlertFocusesTheField_data()
    {
        QTest::addColumn<QString>("account");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("message"); // empty: the login goes out
        QTest::addColumn<int>("focused"); // 0 account, 1 password
        QTest::newRow("both empty: account first") << QString() << QString() << u"<inputNicknameMiss>"_qs << 0;
        QTest::newRow("password empty") << u"alice"_qs << QString() << u"<inputPasswordMiss>"_qs << 1;
        QTest::newRow("only the password") << QString() << u"pw"_qs << u"<inputNicknameMiss>"_qs << 0;
        // No trimming and no length rule at login.
        QTest::newRow("spaces count as filled") << u"  "_qs << u" "_qs << QString() << -1;
        QTest::newRow("one-character password") << u"alice"_qs << u"x"_qs << QString() << -1;
    }
    void validationAlertFocusesTheField()
    {
        QFETCH(QString, account);
        QFETCH(QString, password);
        QFETCH(QString, message);
        QFETCH(int, focused);
        services.answerOnce(u"memberLogin"_qs, ScriptedAnswer{200, {}, {}, true});
        Stack stack;
        LoginCtrl *login = stack.pushLogin();
        fill(login, account, password);
        QTest::mouseClick(login->loginBtn(), Qt::LeftButton);
        if (message.isEmpty()) {
            QVERIFY(!topAlert());
            QVERIFY(login->HUD()->isShowing());
            QCOMPARE(login->HUD()->labelText(), u"<logining>"_qs);
            QTRY_COMPARE(services.count(u"memberLogin"_qs), 1);
            const QMap<QString, QString> sent =
                MemberServices::formFields(services.requests(u"memberLogin"_qs).first().body);
            QCOMPARE(sent.value(u"account"_qs), account);
            QCOMPARE(sent.value(u"password"_qs), password);
            return;
        }
        QVERIFY(topAlert());
        QCOMPARE(topAlert()->title(), u"<warningTitle>"_qs);
        QCOMPARE(topAlert()->message(), message);
        QCOMPARE(topAlert()->numberOfButtons(), 1);
        pressOk();
        TextField *expected = focused == 0 ? login->mobileText() : login->passwordText();
        TextField *other = focused == 0 ? login->passwordText() : login->mobileText();
        QVERIFY(expected->isEditing());
        QVERIFY(!other->isEditing());
        QVERIFY(!login->isLoggingIn());
        QCOMPARE(services.server().count(), 0);
    }

    void refusedLoginShowsTheServiceMessage_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("toast");
        QTest::newRow("outer id 0") << 200 << QByteArray(R"({"memberID":"0","msg":"wrong password"})")
                                    << u"wrong password"_qs;
        QTest::newRow("negative outer id") << 200 << QByteArray(R"({"memberID":-4,"msg":"locked"})") << u"locked"_qs;
        QTest::newRow("outer id not a number") << 200 << QByteArray(R"({"memberID":"abc","msg":"no such member"})")
                                               << u"no such member"_qs;
        QTest::newRow("empty outer id") << 200 << QByteArray(R"({"memberID":"","msg":"refused"})") << u"refused"_qs;
        // No answer, no message: the toast is empty.
        QTest::newRow("failed request") << 500 << QByteArray() << QString();
    }
    void refusedLoginShowsTheServiceMessage()
    {
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        QFETCH(QString, toast);
        services.answer(u"memberLogin"_qs, status, body);
        UserMgr::setOutMemberId(u"previous"_qs);
        Stack stack;
        LoginCtrl *login = stack.pushLogin();
        fill(login, u"alice"_qs, u"secret"_qs);
        login->loginClick();
        QTRY_VERIFY(!login->isLoggingIn());
        QVERIFY(!login->HUD()->isShowing());
        QCOMPARE(stack.toasts(), QStringList{toast});
        QCOMPARE(services.count(u"mapMemberId"_qs), 0);
        QVERIFY(!topAlert());
        QCOMPARE(login->mobileText()->text(), u"alice"_qs);
        QCOMPARE(login->passwordText()->text(), u"secret"_qs);
        QCOMPARE(UserMgr::getOutMemberId(), u"previous"_qs);
        QCOMPARE(stack.nav->topViewController(), login);
    }

    void confirmedLoginWritesTheSession_data()
    {
        QTest::addColumn<bool>("rememberMe");
        QTest::addColumn<bool>("autoLogin");
        QTest::addColumn<QByteArray>("mapping");
        QTest::addColumn<qint64>("memberId");
        QTest::newRow("remembered") << true << false << QByteArray("77") << qint64(77);
        QTest::newRow("remembered, auto-login") << true << true << QByteArray("123456789012") << qint64(123456789012);
        QTest::newRow("not remembered") << false << false << QByteArray("77") << qint64(77);
        // The boxes' auto-login goes with the forgotten choices.
        QTest::newRow("not remembered, auto-login") << false << true << QByteArray("77") << qint64(77);
        QTest::newRow("mapping 0 is stored as 0") << true << false << QByteArray("0") << qint64(0);
    }
    void confirmedLoginWritesTheSession()
    {
        QFETCH(bool, rememberMe);
        QFETCH(bool, autoLogin);
        QFETCH(QByteArray, mapping);
        QFETCH(qint64, memberId);
        services.loginAnswers(u"9001"_qs, u"welcome"_qs, u"13800000000"_qs);
        services.answer(u"mapMemberId"_qs, 200, mapping);
        Stack stack;
        LoginCtrl *login = stack.pushLogin();
        if (autoLogin)
            QTest::mousePress(login->autoLoginBtn(), Qt::LeftButton);
        if (!rememberMe)
            QTest::mousePress(login->rememberMeBtn(), Qt::LeftButton);
        fill(login, u"alice"_qs, u"pw 1"_qs);
        QTest::mouseClick(login->loginBtn(), Qt::LeftButton);
        QTRY_VERIFY(topAlert());
        QVERIFY(!login->HUD()->isShowing());
        QCOMPARE(topAlert()->title(), u"<warningTitle>"_qs);
        QCOMPARE(topAlert()->message(), u"welcome"_qs);
        const QMap<QString, QString> mapped =
            MemberServices::formFields(services.requests(u"mapMemberId"_qs).first().body);
        QCOMPARE(mapped.value(u"outerMemberId"_qs), u"9001"_qs);
        QCOMPARE(mapped.value(u"account"_qs), u"alice"_qs);
        QCOMPARE(mapped.value(u"phone"_qs), u"13800000000"_qs);

        // Nothing is stored before "ok".
        QCOMPARE(UserMgr::getOutMemberId(), QString());
        QCOMPARE(UserMgr::getMemberId(), 0);
        QVERIFY(!UserMgr::getAccount());
        QVERIFY(!UserMgr::getRememberMe());

        pressOk();
        QCOMPARE(UserMgr::getOutMemberId(), u"9001"_qs);
        QCOMPARE(UserMgr::getMemberId(), memberId);
        QCOMPARE(UserMgr::getRememberMe(), rememberMe);
        QCOMPARE(UserMgr::getAutoLogin(), rememberMe && autoLogin);
        QCOMPARE(UserMgr::getAccount(), rememberMe ? std::optional<QString>(u"alice"_qs) : std::nullopt);
        QCOMPARE(UserMgr::getPassword(), rememberMe ? std::optional<QString>(u"pw 1"_qs) : std::nullopt);
        QCOMPARE(stack.nav->topViewController(), stack.root);

        // After a logout the next login screen shows only what was remembered, and
        // logs in by itself only when both boxes were checked.
        UserMgr::setMemberId(0);
        const qsizetype loginsBefore = services.count(u"memberLogin"_qs);
        LoginCtrl *next = stack.pushLogin();
        QCOMPARE(stack.nav->topViewController(), next);
        QCOMPARE(next->mobileText()->text(), rememberMe ? u"alice"_qs : QString());
        QCOMPARE(next->passwordText()->text(), rememberMe ? u"pw 1"_qs : QString());
        QVERIFY(!topAlert());
        QCOMPARE(next->isLoggingIn(), rememberMe && autoLogin);
        if (rememberMe && autoLogin)
            QTRY_COMPARE(services.count(u"memberLogin"_qs), loginsBefore + 1);
        else
            QCOMPARE(services.count(u"memberLogin"_qs), loginsBefore);
    }

    void delegateIsToldAfterTheScreenLeft()
    {
        services.loginAnswers(u"9001"_qs, u"welcome"_qs);
        services.answer(u"mapMemberId"_qs, 200, "77");
        Stack stack;
        RecordingDelegate delegate;
        delegate.nav = stack.nav;
        LoginCtrl *login = stack.pushLogin(&delegate);
        QCOMPARE(login->delegate(), &delegate);
        fill(login, u"alice"_qs, u"pw"_qs);
        login->loginClick();
        QTRY_VERIFY(topAlert());
        QVERIFY(delegate.calls.isEmpty());
        pressOk();
        QCOMPARE(delegate.calls, QList<bool>{true});
        QCOMPARE(delegate.topWhenCalled, QList<ViewController *>{stack.root});
        QVERIFY(stack.root->view()->isVisible());
    }

    void unansweredMappingLetsTheMemberTryAgain_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::newRow("failed mapping") << 500 << QByteArray("77");
        QTest::newRow("empty mapping answer") << 200 << QByteArray();
    }
    void unansweredMappingLetsTheMemberTryAgain()
    {
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        services.loginAnswers(u"9001"_qs, u"welcome"_qs);
        services.answerOnce(u"mapMemberId"_qs, ScriptedAnswer{status, body, {}, false});
        services.answer(u"mapMemberId"_qs, 200, "77");
        Stack stack;
        LoginCtrl *login = stack.pushLogin();
        fill(login, u"alice"_qs, u"pw"_qs);
        login->loginClick();
        QTRY_COMPARE(services.count(u"mapMemberId"_qs), 1);
        QTRY_VERIFY(!login->isLoggingIn());
        QVERIFY(!login->HUD()->isShowing());
        QVERIFY(!topAlert());
        QVERIFY(stack.toasts().isEmpty());
        QCOMPARE(UserMgr::getOutMemberId(), QString());
        QCOMPARE(UserMgr::getMemberId(), 0);
        QVERIFY(!UserMgr::getAccount());
        QCOMPARE(login->mobileText()->text(), u"alice"_qs);

        QTest::mouseClick(login->loginBtn(), Qt::LeftButton);
        QTRY_VERIFY(topAlert());
        pressOk();
        QCOMPARE(UserMgr::getMemberId(), 77);
        QCOMPARE(services.count(u"memberLogin"_qs), 2);
    }

    void secondPressWhileLoggingInIsIgnored()
    {
        services.answerOnce(u"memberLogin"_qs, ScriptedAnswer{200, {}, {}, true});
        services.answer(u"mapMemberId"_qs, 200, "77");
        Stack stack;
        LoginCtrl *login = stack.pushLogin();
        fill(login, u"alice"_qs, u"pw"_qs);
        QTest::mouseClick(login->loginBtn(), Qt::LeftButton);
        // The indicator covers the whole stack, the bar's back button included.
        QVERIFY(login->HUD()->isShowing());
        QCOMPARE(login->HUD()->geometry(), stack.nav->view()->rect());
        QTest::mouseClick(login->loginBtn(), Qt::LeftButton);
        login->loginClick();
        QTRY_COMPARE(services.server().hangingCount(), 1);
        services.server().releaseOne(
            ScriptedAnswer{200, R"({"memberID":"9001","msg":"welcome"})", QByteArrayLiteral("application/json"), false});
        QTRY_VERIFY(topAlert());
        QCOMPARE(AlertView::visibleAlerts().size(), 1);
        QCOMPARE(services.count(u"memberLogin"_qs), 1);
        QCOMPARE(services.count(u"mapMemberId"_qs), 1);
        pressOk();
        QCOMPARE(UserMgr::getMemberId(), 77);
        QVERIFY(!topAlert());
    }

    void closingTheFinalAlertStoresNothing()
    {
        services.loginAnswers(u"9001"_qs, u"welcome"_qs);
        services.answer(u"mapMemberId"_qs, 200, "77");
        Stack stack;
        LoginCtrl *login = stack.pushLogin();
        fill(login, u"alice"_qs, u"pw"_qs);
        login->loginClick();
        QTRY_VERIFY(topAlert());
        topAlert()->cancelAlert();
        QVERIFY(!topAlert());
        QVERIFY(!login->isLoggingIn());
        QCOMPARE(UserMgr::getMemberId(), 0);
        QCOMPARE(stack.nav->topViewController(), login);
    }

    void autoLoginOnAppearUsesTheBoxesOnScreen()
    {
        services.loginAnswers(u"9001"_qs, u"welcome"_qs);
        services.answer(u"mapMemberId"_qs, 200, "77");
        UserMgr::setRememberMeStatus(true);
        UserMgr::setAutoLoginStatus(true);
        UserMgr::remember(u"bob"_qs, u"hunter2"_qs);
        Stack stack;
        LoginCtrl *login = stack.pushLogin();
        QCOMPARE(login->mobileText()->text(), u"bob"_qs);
        QCOMPARE(login->passwordText()->text(), u"hunter2"_qs);
        QVERIFY(login->isLoggingIn());
        QTRY_VERIFY(topAlert());
        const QMap<QString, QString> sent =
            MemberServices::formFields(services.requests(u"memberLogin"_qs).first().body);
        QCOMPARE(sent.value(u"account"_qs), u"bob"_qs);
        QCOMPARE(sent.value(u"password"_qs), u"hunter2"_qs);
        pressOk();
        QCOMPARE(UserMgr::getMemberId(), 77);
        // The box on the screen was unchecked: no auto-login from now on.
        QVERIFY(!UserMgr::getAutoLogin());
        QVERIFY(UserMgr::getRememberMe());
    }

    void autoLoginWithNothingRememberedAsksForTheAccount()
    {
        UserMgr::setAutoLoginStatus(true);
        Stack stack;
        stack.pushLogin();
        QVERIFY(topAlert());
        QCOMPARE(topAlert()->message(), u"<inputNicknameMiss>"_qs);
    }

    void loggedInMemberClosesTheScreenWithoutRequest()
    {
        UserMgr::setMemberId(5);
        UserMgr::setRememberMeStatus(true);
        UserMgr::setAutoLoginStatus(true);
        UserMgr::remember(u"bob"_qs, u"hunter2"_qs);
        Stack stack;
        QPointer<LoginCtrl> login = stack.pushLogin();
        QTRY_COMPARE(stack.nav->topViewController(), stack.root);
        QTRY_VERIFY(!login);
        QVERIFY(stack.root->view()->isVisible());
        QCOMPARE(stack.nav->navigationBar()->topItem(), stack.root->navigationItem());
        QCOMPARE(services.server().count(), 0);
        QVERIFY(!topAlert());
    }

    void registerOpensTheRegistrationScreen()
    {
        Stack stack;
        LoginCtrl *login = stack.pushLogin();
        login->mobileText()->becomeFirstResponder();
        QTest::mouseClick(login->registerBtn(), Qt::LeftButton);
        QVERIFY(!login->mobileText()->isEditing());
        QVERIFY(qobject_cast<RegisterCtrl *>(stack.nav->topViewController()));
        QCOMPARE(stack.nav->viewControllers().size(), 3);
    }
};

QTEST_MAIN(TestLoginCtrl)
#include "tst_loginctrl.moc"
