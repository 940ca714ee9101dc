#include "ScreenTools.h"

#include "Animations.h"
#include "MyAlertView.h"
#include "PhoneButton.h"
#include "PhoneImageView.h"
#include "PhoneLabel.h"
#include "Texts.h"
#include "Tools.h"

#include <QPainter>
#include <QPointer>

#include <ZXing/BitMatrix.h>
#include <ZXing/MultiFormatWriter.h>

namespace {
constexpr int EditMoveMs = 300;
}

void ScreenTools::installMessageHandler()
{
    Tools::setMessageHandler([](const QString &title, const QString &message) {
        auto *alert = new MyAlertView(title, message);
        alert->addButtonWithTitle(Texts::get(u"ok"_qs), [](MyAlertView *, int) {});
        alert->show();
    });
}

void ScreenTools::textEditBegin(QWidget *view, QWidget *field)
{
    if (!view || !field || !view->isAncestorOf(field))
        return;
    const int fieldY = field->mapTo(view, QPoint(0, 0)).y();
    // The field's y in the view's own coordinates does not depend on where the
    // view stands, so a second call moves it to the same place.
    const int y = int(-fieldY / 1.8);
    Animations::animate(view, "pos", QPoint(view->x(), y), EditMoveMs);
}

void ScreenTools::textEditEnd(QWidget *view)
{
    if (view)
        Animations::animate(view, "pos", QPoint(view->x(), 0), EditMoveMs);
}

QWidget *ScreenTools::createAccessoryView(QObject *context, std::function<void()> action)
{
    auto *bar = new QWidget;
    bar->setObjectName(QStringLiteral("accessoryBar"));
    bar->resize(320, 40);
    bar->setAutoFillBackground(true);
    QPalette palette = bar->palette();
    palette.setColor(QPalette::Window, QColor(0x2b, 0x2b, 0x2b));
    bar->setPalette(palette);
    auto *done = new PhoneButton(bar);
    done->setObjectName(QStringLiteral("doneButton"));
    done->setGeometry(260, 7, 50, 30);
    done->setTitle(Texts::get(u"done"_qs));
    done->setTitleColor(Qt::white);
    done->setBackgroundImage({Images::named(u"btn_black.png"_qs), 6, 0});
    QObject::connect(done, &PhoneButton::clicked, context ? context : bar,
                     [action = std::move(action)] {
                         if (action)
                             action();
                     });
    return bar;
}

QImage ScreenTools::qrImage(const QString &text, int side)
{
    if (side <= 0)
        return {};
    try {
        // zxing reports bad input by throwing; the screens get a null image.
        ZXing::MultiFormatWriter writer(ZXing::BarcodeFormat::QRCode);
        writer.setEccLevel(1).setMargin(0);
        const ZXing::BitMatrix matrix = writer.encode(text.toStdWString(), 0, 0);
        const int modules = matrix.width();
        if (modules <= 0)
            return {};
        QImage image(side, side, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        const qreal cell = qreal(side) / modules;
        for (int y = 0; y < modules; ++y) {
            for (int x = 0; x < modules; ++x) {
                if (matrix.get(x, y))
                    painter.fillRect(QRectF(x * cell, y * cell, cell, cell), Qt::black);
            }
        }
        return image;
    } catch (...) {
        return {};
    }
}

void ScreenTools::generateQRImage(const QString &text, PhoneImageView *imageView)
{
    if (!imageView)
        return;
    const QImage image = qrImage(text, imageView->width());
    imageView->setImage(QPixmap::fromImage(image));
}

void ScreenTools::alignLabelWithTop(QLabel *label)
{
    if (!label)
        return;
    if (auto *phoneLabel = qobject_cast<PhoneLabel *>(label))
        phoneLabel->setAdjustsFontSizeToFitWidth(false);
    label->setWordWrap(true);
    label->setAlignment((label->alignment() & Qt::AlignHorizontal_Mask) | Qt::AlignTop);
    const QRect needed = label->fontMetrics().boundingRect(QRect(0, 0, label->width(), 999),
                                                           Qt::TextWordWrap, label->text());
    label->resize(label->width(), std::min(999, needed.height()));
}
