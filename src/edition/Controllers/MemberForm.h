#pragma once

#include <QString>

#include <functional>

class QObject;
class QWidget;
class TextField;
class ViewController;

// What the login and registration forms share: their fields, the alert of a
// failed rule and leaving when a member is already logged in.
namespace MemberForm {

// Gives field its placeholder and the keyboard bar whose "done" runs done
// while screen lives.
void prepareField(TextField *field, const QString &placeholder, QObject *screen, std::function<void()> done);

// Editing in a form's view: a field that starts editing stays above the
// keyboard; ending gives up the keyboard and puts the view back.
void beginEditing(QWidget *view, TextField *field);
void endEditing(QWidget *view, TextField *field);
// Every field of the view gives up the keyboard.
void endAllEditing(QWidget *view);

// The alert of the first failing rule; its "ok" puts the focus into field.
void showValidationAlert(const QString &message, TextField *field);

// True when a member is logged in; the screen then leaves its stack, not
// animated, on the next turn of the main loop: it is asked while the stack is
// still showing it, and a stack cannot pop in the middle of a push.
bool popWhenLoggedIn(ViewController *screen);

} // namespace MemberForm
