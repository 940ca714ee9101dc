#pragma once

#include "Images.h"

#include <QAbstractButton>
#include <QColor>
#include <QHash>
#include <QMargins>
#include <QPointF>

// A push button with a title, title colour, image and background picture
// per state. The state shown is disabled, else highlighted (pressed), else
// selected, else normal; a state without its own value shows the normal
// one. pressed() is the touch-down, clicked() the tap that ends inside.
class PhoneButton : public QAbstractButton
{
    Q_OBJECT
    Q_PROPERTY(bool selected READ isSelected WRITE setSelected)
    Q_PROPERTY(QString imageName READ imageName WRITE setImageName)
    Q_PROPERTY(QString backgroundImageName READ backgroundImageName WRITE setBackgroundImageName)
    Q_PROPERTY(QColor titleColor READ normalTitleColor WRITE setNormalTitleColor)
    // Tab buttons stack their picture above the title instead of beside it.
    Q_PROPERTY(bool imageAboveTitle READ imageAboveTitle WRITE setImageAboveTitle)
public:
    enum State { Normal, Highlighted, Selected, Disabled };
    Q_ENUM(State)

    explicit PhoneButton(QWidget *parent = nullptr);

    // Normal title is also text().
    void setTitle(const QString &title, State state = Normal);
    QString title(State state) const;
    void setTitleColor(const QColor &color, State state = Normal);
    QColor titleColor(State state) const;
    void setImage(const QPixmap &image, State state = Normal);
    QPixmap image(State state) const;
    void setBackgroundImage(const StretchableImage &image, State state = Normal);
    StretchableImage backgroundImage(State state) const;

    State currentState() const;
    QString currentTitle() const { return title(currentState()); }
    QColor currentTitleColor() const { return titleColor(currentState()); }

    bool isSelected() const { return m_selected; }
    void setSelected(bool selected);

    void setTitleEdgeInsets(const QMargins &insets);
    QMargins titleEdgeInsets() const { return m_titleInsets; }
    void setTitleShadow(const QColor &color, const QPointF &offset);
    void setElideMode(Qt::TextElideMode mode);
    bool imageAboveTitle() const { return m_imageAboveTitle; }
    void setImageAboveTitle(bool above);
    // The title as drawn in the current width (elided when too long).
    QString displayedTitle() const;

    QString imageName() const { return m_imageName; }
    void setImageName(const QString &name);
    QString backgroundImageName() const { return m_backgroundName; }
    void setBackgroundImageName(const QString &name);
    QColor normalTitleColor() const { return titleColor(Normal); }
    void setNormalTitleColor(const QColor &color) { setTitleColor(color, Normal); }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    template <typename T>
    static T pick(const QHash<State, T> &values, State state, const T &fallback);

    QHash<State, QString> m_titles;
    QHash<State, QColor> m_colors;
    QHash<State, QPixmap> m_images;
    QHash<State, StretchableImage> m_backgrounds;
    QMargins m_titleInsets;
    QColor m_shadowColor;
    QPointF m_shadowOffset;
    Qt::TextElideMode m_elide = Qt::ElideMiddle;
    bool m_imageAboveTitle = false;
    bool m_selected = false;
    QString m_imageName;
    QString m_backgroundName;
};
