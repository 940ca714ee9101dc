#pragma once

#include "PhoneLabel.h"

#include <QAbstractButton>
#include <QPlainTextEdit>
#include <QWidget>

// Views that take the application's look themselves when the layout files
// place them (on creation and whenever they get a new parent).

// Background: the picture "main_bg.png" repeated.
class MainUIView : public QWidget
{
    Q_OBJECT
public:
    explicit MainUIView(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};

// A background that sends actions: pressed() on touch-down, clicked() on a
// tap (screens end editing with it).
class MainUIControl : public QAbstractButton
{
    Q_OBJECT
public:
    explicit MainUIControl(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};

class LargeUILabel : public PhoneLabel
{
    Q_OBJECT
public:
    explicit LargeUILabel(QWidget *parent = nullptr);

protected:
    bool event(QEvent *event) override;
};

class MIddleUILabel : public PhoneLabel
{
    Q_OBJECT
public:
    explicit MIddleUILabel(QWidget *parent = nullptr);

protected:
    bool event(QEvent *event) override;
};

class SmallUILabel : public PhoneLabel
{
    Q_OBJECT
public:
    explicit SmallUILabel(QWidget *parent = nullptr);

protected:
    bool event(QEvent *event) override;
};

// Multi-line text in "#435662", system 12, whatever was set before it draws.
class CommTextView : public QPlainTextEdit
{
    Q_OBJECT
public:
    explicit CommTextView(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void applyLook();
};

namespace StyledViews {
// Makes these classes and MyUIImageView known to the layout files.
void registerLayoutClasses();
} // namespace StyledViews
