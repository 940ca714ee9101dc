#pragma once

#include <QPointer>
#include <QWidget>

#include "ViewController.h"

// The one portrait window of the application: 320 x 568 points. Qt scales
// points to device pixels, so high-density screens stay crisp. Above the root
// screen it keeps the layers that cover everything: presented screens, the
// input panel of text fields, and overlays (alerts, progress indicators).
class PhoneWindow : public QWidget
{
    Q_OBJECT
public:
    static constexpr int Width = 320;
    static constexpr int Height = 568;

    explicit PhoneWindow(QWidget *parent = nullptr);
    ~PhoneWindow() override;

    // The most recently created window still alive, or null.
    static PhoneWindow *current();

    // The window owns its root screen.
    void setRootViewController(ViewController *controller);
    ViewController *rootViewController() const { return m_root; }

    // Raises widget (a child of this window) above the screens.
    void addOverlay(QWidget *widget);

Q_SIGNALS:
    void activationChanged(bool active);

protected:
    void changeEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    QPointer<ViewController> m_root;
};
