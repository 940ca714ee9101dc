#include "PartialDynamicContentBox.h"

#include "Fonts.h"
#include "Images.h"
#include "PhoneImageView.h"
#include "PhoneLabel.h"
#include "StyledViews.h"

#include <QFontMetricsF>
#include <QPainter>

#include <cmath>

namespace {

// A strip drawn with one picture repeated.
class TiledView : public QWidget
{
public:
    TiledView(const QString &imageName, QWidget *parent) : QWidget(parent), m_image(Images::named(imageName)) {}

protected:
    void paintEvent(QPaintEvent *) override
    {
        if (m_image.isNull())
            return;
        QPainter painter(this);
        painter.drawTiledPixmap(rect(), m_image);
    }

private:
    QPixmap m_image;
};

void makeClear(QWidget *view)
{
    view->setAutoFillBackground(false);
    view->setAttribute(Qt::WA_TranslucentBackground);
}

} // namespace

PartialDynamicContentBox::PartialDynamicContentBox(const QString &title, int star, const QString &content,
                                                   const std::optional<QString> &date, QWidget *parent)
    : QWidget(parent)
{
    const QSize size = generateByComment(title, star, content, date);
    setGeometry(defX, defY, size.width(), size.height());
}

PartialDynamicContentBox *PartialDynamicContentBox::initWithStoreDetail(const QString &title, const QString &content,
                                                                        QWidget *parent)
{
    return new PartialDynamicContentBox(title, -1, content, std::nullopt, parent);
}

QSizeF PartialDynamicContentBox::getSize(const QString &text, qreal fontSize, qreal width)
{
    if (text.isEmpty())
        return QSizeF(0, 0);
    const QFontMetricsF metrics(Fonts::system(fontSize));
    return metrics.boundingRect(QRectF(0, 0, width, 1e6), Qt::TextWordWrap, text).size();
}

QList<PhoneImageView *> PartialDynamicContentBox::stars() const
{
    if (!m_head)
        return {};
    return m_head->findChildren<PhoneImageView *>(Qt::FindDirectChildrenOnly);
}

QSize PartialDynamicContentBox::generateByComment(const QString &title, int star, const QString &content,
                                                  const std::optional<QString> &date)
{
    // A second build replaces the first.
    for (QWidget *old : {m_head.data(), m_middle.data(), m_foot.data()})
        delete old;

    m_head = new TiledView(u"bg_tital_comment.png"_qs, this);
    m_head->setGeometry(0, 0, defW, headViewHeight);
    auto *titleLabel = new MIddleUILabel(m_head);
    titleLabel->setGeometry(paddingLeft, 0, TitleWidth, headViewHeight);
    titleLabel->setText(title);
    makeClear(titleLabel);
    m_title = titleLabel;
    if (star > 0) {
        const int y = (headViewHeight - StarSide) / 2;
        for (int i = 1; i <= 5; ++i) {
            auto *image = new PhoneImageView(m_head);
            image->setGeometry(FirstStarX + (i - 1) * StarSide, y, StarSide, StarSide);
            image->setImageName(i <= star ? u"star_small_on.png"_qs : u"star_small_off.png"_qs);
        }
    }

    m_middle = new TiledView(u"bg_frame_profile_center.png"_qs, this);
    const int bodyWidth = defW - 2 * paddingLeft;
    const QSizeF bodySize = getSize(content, BodyFontSize, bodyWidth);
    m_content = new PhoneLabel(m_middle);
    m_content->setFont(Fonts::system(BodyFontSize));
    m_content->setAdjustsFontSizeToFitWidth(false);
    m_content->setWordWrap(true);
    m_content->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_content->setText(content);
    makeClear(m_content);
    const qreal bodyHeight = std::ceil(bodySize.height());
    m_content->setGeometry(paddingLeft, paddingTop, bodyWidth, int(bodyHeight));
    qreal middleHeight = paddingTop + bodyHeight;
    m_date = nullptr;
    if (date && !date->isEmpty()) {
        m_date = new PhoneLabel(m_middle);
        m_date->setGeometry(0, int(middleHeight) + paddingTop, defW - paddingLeft, DateHeight);
        m_date->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        m_date->setText(*date);
        makeClear(m_date);
        middleHeight = m_date->geometry().bottom() + 1;
    }
    m_middle->setGeometry(0, headViewHeight, defW, int(middleHeight));

    m_foot = new TiledView(u"bg_frame_profile_footer.png"_qs, this);
    m_foot->setGeometry(0, headViewHeight + int(middleHeight), defW, footViewHeight);
    for (QWidget *view : {m_head.data(), m_middle.data(), m_foot.data()})
        view->show();
    const int height = int(std::floor(headViewHeight + middleHeight + footViewHeight));
    resize(defW, height);
    return QSize(defW, height);
}
