#include "CustomNavigationBar.h"

#include "Fonts.h"
#include "NavigationController.h"
#include "PhoneButton.h"
#include "PhoneImageView.h"

#include <QPainter>

CustomNavigationBar::CustomNavigationBar(QWidget *parent) : NavigationBar(parent) {}

void CustomNavigationBar::install()
{
    NavigationController::setDefaultBarFactory([] { return new CustomNavigationBar; });
}

void CustomNavigationBar::setBackgroundWith(const QPixmap &picture)
{
    if (!m_background) {
        m_background = new PhoneImageView(this);
        // Drawn by paintEvent, under the title and the items.
        m_background->hide();
    }
    m_background->setGeometry(rect());
    m_background->setImage(picture);
    update();
}

void CustomNavigationBar::paintEvent(QPaintEvent *event)
{
    if (!m_background || m_background->image().isNull()) {
        NavigationBar::paintEvent(event);
        return;
    }
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QPixmap picture = m_background->image();
    painter.drawPixmap(QRectF(rect()), picture, QRectF(picture.rect()));
}

void CustomNavigationBar::resizeEvent(QResizeEvent *event)
{
    NavigationBar::resizeEvent(event);
    if (m_background)
        m_background->setGeometry(rect());
}

PhoneButton *CustomNavigationBar::backButtonWith(const QPixmap &normal, const QPixmap &highlight,
                                                 qreal capWidth)
{
    m_capWidth = capWidth;
    const int cap = int(capWidth);
    const StretchableImage normalPicture{normal, cap, 0};
    const StretchableImage pressedPicture{highlight, cap, 0};

    auto *button = new PhoneButton;
    button->setObjectName(QStringLiteral("backButton"));
    button->setFont(Fonts::boldSystem(Fonts::SmallSystemSize));
    button->setTitleColor(Qt::white);
    button->setTitleShadow(Qt::darkGray, QPointF(0, -1));
    button->setElideMode(Qt::ElideRight);
    button->setTitleEdgeInsets(QMargins(6, 0, 3, 0));
    button->setGeometry(0, 0, 0, normalPicture.height());
    setText(title(), button);
    button->setBackgroundImage(normalPicture, PhoneButton::Normal);
    button->setBackgroundImage(pressedPicture, PhoneButton::Highlighted);
    button->setBackgroundImage(pressedPicture, PhoneButton::Selected);
    connect(button, &PhoneButton::clicked, this, &CustomNavigationBar::back);
    return button;
}

void CustomNavigationBar::setText(const QString &text, PhoneButton *backButton)
{
    if (!backButton)
        return;
    const qreal textWidth = text.isEmpty() ? 0 : QFontMetricsF(backButton->font()).horizontalAdvance(text);
    const qreal width = std::min<qreal>(textWidth + 1.5 * m_capWidth, MaxBackButtonWidth);
    const QRect frame = backButton->geometry();
    backButton->setGeometry(frame.x(), frame.y(), int(std::ceil(width)), frame.height());
    backButton->setTitle(text, PhoneButton::Normal);
}

void CustomNavigationBar::back()
{
    if (m_navigation)
        m_navigation->popViewControllerAnimated(true);
}
