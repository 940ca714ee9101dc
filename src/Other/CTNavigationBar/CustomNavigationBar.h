#pragma once

#include "NavigationBar.h"

#include <QPixmap>
#include <QPointer>

#include "NavigationController.h"
class PhoneButton;
class PhoneImageView;

// The navigation bar of every stack of the application: draws a background
// picture and builds the picture back button that pops the stack.
class CustomNavigationBar : public NavigationBar
{
    Q_OBJECT
public:
    static constexpr int MaxBackButtonWidth = 160;

    explicit CustomNavigationBar(QWidget *parent = nullptr);

    // Makes every new navigation stack use this bar.
    static void install();

    // An image view as large as the bar holding picture; the bar draws it.
    void setBackgroundWith(const QPixmap &picture);
    PhoneImageView *navigationBarBackgroundImage() const { return m_background; }

    // A back button from two stretchable pictures (left cap capWidth), titled
    // with the top item's title; a tap that ends inside calls back().
    PhoneButton *backButtonWith(const QPixmap &normal, const QPixmap &highlight, qreal capWidth);
    // Width = text width in the button's font + 1.5 x cap width, at most 160;
    // an empty text gives 1.5 x cap width.
    void setText(const QString &text, PhoneButton *backButton);
    qreal backButtonCapWidth() const { return m_capWidth; }

    void setNavigationController(NavigationController *controller) { m_navigation = controller; }
    NavigationController *navigationController() const { return m_navigation; }
    // Pops the top screen, animated.
    void back();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    PhoneImageView *m_background = nullptr;
    qreal m_capWidth = 0;
    QPointer<NavigationController> m_navigation;
};
