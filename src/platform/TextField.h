#pragma once

#include <QLineEdit>
#include <QPointer>

// A one-line text field. While it is being edited the phone window shows
// its input panel at the bottom: the accessory bar above the input view (a
// picker in place of the keyboard) when it has them.
class TextField : public QLineEdit
{
    Q_OBJECT
public:
    explicit TextField(QWidget *parent = nullptr);
    ~TextField() override;

    // The field owns both; null removes.
    void setInputView(QWidget *view);
    QWidget *inputView() const { return m_inputView; }
    void setInputAccessoryView(QWidget *view);
    QWidget *inputAccessoryView() const { return m_accessory; }

    bool isEditing() const { return m_editing; }
    void becomeFirstResponder();
    void resignFirstResponder();

    // Ends the editing of every field inside root (a tap on the background).
    static void endEditing(QWidget *root);
    // The panel shown while editing, or null.
    static QWidget *activeInputPanel();

Q_SIGNALS:
    void editingDidBegin();
    void editingDidEnd();

protected:
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void showPanel();
    void hidePanel();

    QPointer<QWidget> m_inputView;
    QPointer<QWidget> m_accessory;
    bool m_editing = false;
};
