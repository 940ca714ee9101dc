#pragma once

#include <QColor>
#include <QLabel>

// A label that may shrink its font, down to a minimum size, so that one
// line of text fits its width.
class PhoneLabel : public QLabel
{
    Q_OBJECT
    Q_PROPERTY(qreal minimumFontSize READ minimumFontSize WRITE setMinimumFontSize)
    Q_PROPERTY(bool adjustsFontSizeToFitWidth READ adjustsFontSizeToFitWidth WRITE setAdjustsFontSizeToFitWidth)
    Q_PROPERTY(QColor textColor READ textColor WRITE setTextColor)
public:
    explicit PhoneLabel(QWidget *parent = nullptr);

    qreal minimumFontSize() const { return m_minimumFontSize; }
    void setMinimumFontSize(qreal size);
    bool adjustsFontSizeToFitWidth() const { return m_adjusts; }
    void setAdjustsFontSizeToFitWidth(bool adjusts);
    QColor textColor() const;
    void setTextColor(const QColor &color);

    // The point size the text is drawn with at the current width.
    qreal displayedFontSize() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    qreal m_minimumFontSize = 0;
    bool m_adjusts = true;
};
