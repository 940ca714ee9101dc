#include "MemberForm.h"

#include "MyAlertView.h"
#include "NavigationController.h"
#include "ScreenTools.h"
#include "Texts.h"
#include "TextField.h"
#include "UserMgr.h"

#include <QPointer>
#include <QTimer>

void MemberForm::prepareField(TextField *field, const QString &placeholder, QObject *screen,
                              std::function<void()> done)
{
    if (!field)
        return;
    field->setPlaceholderText(placeholder);
    field->setInputAccessoryView(ScreenTools::createAccessoryView(screen, std::move(done)));
}

void MemberForm::beginEditing(QWidget *view, TextField *field)
{
    ScreenTools::textEditBegin(view, field);
}

void MemberForm::endEditing(QWidget *view, TextField *field)
{
    if (field)
        field->resignFirstResponder();
    ScreenTools::textEditEnd(view);
}

void MemberForm::endAllEditing(QWidget *view)
{
    TextField::endEditing(view);
    ScreenTools::textEditEnd(view);
}

void MemberForm::showValidationAlert(const QString &message, TextField *field)
{
    auto *alert = new MyAlertView(Texts::get(u"warningTitle"_qs), message);
    alert->addButtonWithTitle(Texts::get(u"ok"_qs), [field = QPointer<TextField>(field)](MyAlertView *, int) {
        if (field)
            field->becomeFirstResponder();
    });
    alert->show();
}

bool MemberForm::popWhenLoggedIn(ViewController *screen)
{
    if (UserMgr::getMemberId() <= 0)
        return false;
    QTimer::singleShot(0, screen, [screen] {
        NavigationController *nav = screen->navigationController();
        if (nav && nav->topViewController() == screen)
            nav->popViewControllerAnimated(false);
    });
    return true;
}
