#pragma once

#include <QPointer>
#include <QSizeF>
#include <QString>
#include <QWidget>

#include <optional>

#include "PhoneImageView.h"
#include "PhoneLabel.h"

// A titled box: a head with the title (and stars for comments), a body text
// as high as it needs, an optional date line, and a foot.
class PartialDynamicContentBox : public QWidget
{
    Q_OBJECT
public:
    static constexpr int defW = 309;
    static constexpr int paddingLeft = 10;
    static constexpr int paddingTop = 5;
    static constexpr int headViewHeight = 36;
    static constexpr int footViewHeight = 5;
    static constexpr int defX = 0;
    static constexpr int defY = 0;
    static constexpr int StarSide = 13;
    static constexpr int FirstStarX = 220;
    static constexpr int TitleWidth = 215;
    static constexpr int DateHeight = 21;
    static constexpr qreal BodyFontSize = 12;

    // A comment: stars when star > 0, a date line when date is given and not empty.
    PartialDynamicContentBox(const QString &title, int star, const QString &content,
                             const std::optional<QString> &date, QWidget *parent = nullptr);
    // A store's introduction: no stars, no date.
    static PartialDynamicContentBox *initWithStoreDetail(const QString &title, const QString &content,
                                                         QWidget *parent = nullptr);

    // Builds the subviews; answers the box's size.
    QSize generateByComment(const QString &title, int star, const QString &content,
                            const std::optional<QString> &date);

    // The size text needs in the system font of fontSize at width, word
    // wrapped; 0 x 0 for no text.
    static QSizeF getSize(const QString &text, qreal fontSize, qreal width);

    QWidget *headView() const { return m_head; }
    QWidget *middleView() const { return m_middle; }
    QWidget *footView() const { return m_foot; }
    PhoneLabel *titleLabel() const { return m_title; }
    PhoneLabel *contentLabel() const { return m_content; }
    // Null without a date line.
    PhoneLabel *dateLabel() const { return m_date; }
    // Empty without stars.
    QList<PhoneImageView *> stars() const;

private:
    QPointer<QWidget> m_head;
    QPointer<QWidget> m_middle;
    QPointer<QWidget> m_foot;
    QPointer<PhoneLabel> m_title;
    QPointer<PhoneLabel> m_content;
    QPointer<PhoneLabel> m_date;
};
