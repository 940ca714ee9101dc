#include "AppTestSupport.h"
#include "LoginCtrl.h"
#include "MemberServices.h"
#include "NavigationController.h"
#include "PhoneWindow.h"
#include "ProgressHUD.h"
#include "RegisterCtrl.h"
#include "UserMgr.h"

#include <QTest>

#include <memory>

namespace {

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
    RegisterCtrl *pushRegister()
    {
        auto *screen = new RegisterCtrl;
        nav->pushViewController(screen, true);
        return screen;
    }
};

QList<TextField *> fieldsOf(RegisterCtrl *screen)
{
    return {screen->nickText(), screen->passwordText(), screen->ckPasswordText(), screen->emailText(),
            screen->mobileText()};
}

// The five fields in order: nickname, password, confirmation, e-mail, mobile.
// QTest types Latin-1 only; other texts go in as an input method would put them.
void fill(RegisterCtrl *screen, const QStringList &texts)
{
    const QList<TextField *> fields = fieldsOf(screen);
    for (qsizetype i = 0; i < fields.size(); ++i) {
        fields[i]->clear();
        const QString text = texts.value(i);
        if (QStringView(text).toLatin1() == text.toUtf8())
            QTest::keyClicks(fields[i], text);
        else
            fields[i]->insert(text);
    }
}

void pressOk()
{
    AlertView *alert = topAlert();
    QVERIFY(alert);
    QCOMPARE(alert->buttonTitle(0), u"<ok>"_qs);
    QTest::mouseClick(alert->button(0), Qt::LeftButton);
}

const QStringList goodForm{u"li"_qs, u"secret"_qs, u"secret"_qs, u"li@mail.cn"_qs, u"13800000000"_qs};

QStringList formWith(int index, const QString &text)
{
    QStringList form = goodForm;
    form[index] = text;
    return form;
}

QStringList formWithPassword(const QString &password)
{
    QStringList form = goodForm;
    form[1] = password;
    form[2] = password;
    return form;
}

} // namespace

class TestRegisterCtrl : public QObject
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

    void formTexts()
    {
        Stack stack;
        RegisterCtrl *screen = stack.pushRegister();
        QCOMPARE(screen->title(), u"<memberRegister>"_qs);
        QVERIFY(!screen->hidesBottomBarWhenPushed());
        const QList<PhoneLabel *> labels{screen->nickLabel(), screen->passwordLabel(), screen->ckPasswordLabel(),
                                         screen->emailLabel(), screen->mobileLabel()};
        const QStringList labelKeys{u"<nick>"_qs, u"<password>"_qs, u"<confirmPassword>"_qs, u"<email>"_qs,
                                    u"<mobile>"_qs};
        const QStringList hintKeys{u"<rNicknameHint>"_qs, u"<rPasswordHint>"_qs, u"<rConfirmPasswordHint>"_qs,
                                   u"<rEmailHint>"_qs, u"<rMobileNoHint>"_qs};
        const QList<TextField *> fields = fieldsOf(screen);
        for (qsizetype i = 0; i < fields.size(); ++i) {
            QCOMPARE(labels[i]->text(), labelKeys[i]);
            QCOMPARE(fields[i]->placeholderText(), hintKeys[i]);
            QVERIFY(fields[i]->inputAccessoryView());
        }
        QCOMPARE(screen->registerBtn()->title(PhoneButton::Normal), u"<memberRegister>"_qs);
    }

    void validation_data()
    {
        QTest::addColumn<QStringList>("form");
        QTest::addColumn<QString>("message"); // empty: the request goes out
        QTest::addColumn<int>("focused");
        const QString nick = u"<inputNicknameMiss>"_qs;
        const QString password = u"<inputPasswordMiss>"_qs;
        const QString email = u"<inputEmailError>"_qs;
        QTest::newRow("all empty") << QStringList{} << nick << 0;
        QTest::newRow("nickname and e-mail empty: nickname")
            << QStringList{QString(), u"secret"_qs, u"secret"_qs, QString(), u"138"_qs} << nick << 0;
        QTest::newRow("password 4") << formWithPassword(u"abcd"_qs) << password << 1;
        QTest::newRow("password 5") << formWithPassword(u"abcde"_qs) << QString() << -1;
        QTest::newRow("password 12") << formWithPassword(u"abcdefghijkl"_qs) << QString() << -1;
        QTest::newRow("password 13") << formWithPassword(u"abcdefghijklm"_qs) << password << 1;
        QTest::newRow("password of 5 Chinese characters") << formWithPassword(u"\u5bc6\u7801\u5bc6\u7801\u5bc6"_qs)
                                                          << QString() << -1;
        // Counted in characters: four of these are eight UTF-16 units.
        QTest::newRow("password of 4 characters beyond the basic plane")
            << formWithPassword(u"\U0001F600\U0001F601\U0001F602\U0001F603"_qs) << password << 1;
        QTest::newRow("confirmation differs in case") << formWith(2, u"Secret"_qs) << u"<inputConfirmPasswordMiss>"_qs
                                                      << 2;
        QTest::newRow("e-mail missing") << formWith(3, QString()) << u"<inputEmailMiss>"_qs << 3;
        QTest::newRow("e-mail tail 1") << formWith(3, u"li@mail.c"_qs) << email << 3;
        QTest::newRow("e-mail tail 2") << formWith(3, u"li@mail.cn"_qs) << QString() << -1;
        QTest::newRow("e-mail tail 4") << formWith(3, u"li@mail.info"_qs) << QString() << -1;
        QTest::newRow("e-mail tail 5") << formWith(3, u"li@mail.email"_qs) << email << 3;
        QTest::newRow("e-mail without at sign") << formWith(3, u"li.mail.cn"_qs) << email << 3;
        QTest::newRow("dotted local part and domain") << formWith(3, u"li.xiao.ming@mail.corp.example.cn"_qs)
                                                      << QString() << -1;
        QTest::newRow("mobile missing") << formWith(4, QString()) << u"<inputMobileNoMiss>"_qs << 4;
        QTest::newRow("spaces count as filled")
            << QStringList{u"  "_qs, u"secret"_qs, u"secret"_qs, u"li@mail.cn"_qs, u" "_qs} << QString() << -1;
    }
    void validation()
    {
        QFETCH(QStringList, form);
        QFETCH(QString, message);
        QFETCH(int, focused);
        services.answerOnce(u"memberRegister"_qs, ScriptedAnswer{200, {}, {}, true});
        Stack stack;
        RegisterCtrl *screen = stack.pushRegister();
        fill(screen, form);
        QTest::mouseClick(screen->registerBtn(), Qt::LeftButton);
        if (message.isEmpty()) {
            QVERIFY(!topAlert());
            QVERIFY(screen->HUD()->isShowing());
            QCOMPARE(screen->HUD()->labelText(), u"<registering>"_qs);
            QTRY_COMPARE(services.count(u"memberRegister"_qs), 1);
            const QMap<QString, QString> sent =
                MemberServices::formFields(services.requests(u"memberRegister"_qs).first().body);
            QCOMPARE(sent.value(u"email"_qs), form[3]);
            QCOMPARE(sent.value(u"name"_qs), form[0]);
            QCOMPARE(sent.value(u"nickname"_qs), form[0]);
            QCOMPARE(sent.value(u"password"_qs), form[1]);
            QCOMPARE(sent.value(u"tel"_qs), form[4]);
            return;
        }
        QVERIFY(topAlert());
        QCOMPARE(topAlert()->title(), u"<warningTitle>"_qs);
        QCOMPARE(topAlert()->message(), message);
        pressOk();
        const QList<TextField *> fields = fieldsOf(screen);
        for (qsizetype i = 0; i < fields.size(); ++i)
            QCOMPARE(fields[i]->isEditing(), i == focused);
        QCOMPARE(services.server().count(), 0);
    }

    void createdAccountFillsTheLoginScreen()
    {
        services.answer(u"memberRegister"_qs, 200, R"({"status":0,"msg":"welcome aboard"})");
        Stack stack;
        auto *login = new LoginCtrl;
        stack.nav->pushViewController(login, true);
        QTest::mouseClick(login->registerBtn(), Qt::LeftButton);
        auto *screen = qobject_cast<RegisterCtrl *>(stack.nav->topViewController());
        QVERIFY(screen);
        fill(screen, goodForm);
        QTest::mouseClick(screen->registerBtn(), Qt::LeftButton);
        QTRY_VERIFY(topAlert());
        QVERIFY(!screen->HUD()->isShowing());
        QCOMPARE(topAlert()->message(), u"welcome aboard"_qs);
        QVERIFY(!UserMgr::getAccount());
        pressOk();
        QVERIFY(UserMgr::getRememberMe());
        QCOMPARE(UserMgr::getAccount(), std::optional<QString>(u"li"_qs));
        QCOMPARE(UserMgr::getPassword(), std::optional<QString>(u"secret"_qs));
        QCOMPARE(stack.nav->topViewController(), login);
        QCOMPARE(login->mobileText()->text(), u"li"_qs);
        QCOMPARE(login->passwordText()->text(), u"secret"_qs);
        // The stored auto-login was off: the member presses login himself.
        QVERIFY(!login->isLoggingIn());
        QCOMPARE(services.count(u"memberLogin"_qs), 0);
    }

    void refusedOrFailedRegistrationKeepsTheForm_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<bool>("alert");
        QTest::addColumn<QString>("message");
        QTest::newRow("status 2") << 200 << QByteArray(R"({"status":"2","msg":"nickname taken"})") << true
                                  << u"nickname taken"_qs;
        QTest::newRow("unreadable answer") << 200 << QByteArray("oops") << true << QString();
        QTest::newRow("failed request") << 500 << QByteArray(R"({"status":0,"msg":"ok"})") << false << QString();
    }
    void refusedOrFailedRegistrationKeepsTheForm()
    {
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        QFETCH(bool, alert);
        QFETCH(QString, message);
        services.answer(u"memberRegister"_qs, status, body);
        Stack stack;
        RegisterCtrl *screen = stack.pushRegister();
        fill(screen, goodForm);
        screen->registerClick();
        QTRY_VERIFY(!screen->isRegistering());
        QVERIFY(!screen->HUD()->isShowing());
        QCOMPARE(bool(topAlert()), alert);
        if (alert) {
            QCOMPARE(topAlert()->message(), message);
            pressOk();
        }
        QVERIFY(!UserMgr::getAccount());
        QVERIFY(!UserMgr::getRememberMe());
        QCOMPARE(stack.nav->topViewController(), screen);
        QCOMPARE(screen->nickText()->text(), u"li"_qs);
        QCOMPARE(screen->emailText()->text(), u"li@mail.cn"_qs);

        // The member may correct the form and send it again.
        screen->registerClick();
        QTRY_COMPARE(services.count(u"memberRegister"_qs), 2);
    }

    void loggedInMemberClosesTheScreen()
    {
        UserMgr::setMemberId(5);
        Stack stack;
        QPointer<RegisterCtrl> screen = stack.pushRegister();
        QTRY_COMPARE(stack.nav->topViewController(), stack.root);
        QTRY_VERIFY(!screen);
        QVERIFY(stack.root->view()->isVisible());
        QCOMPARE(services.server().count(), 0);
    }
};

QTEST_MAIN(TestRegisterCtrl)
#include "tst_registerctrl.moc"
