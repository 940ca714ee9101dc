#include "QrDecoder.h"

#include <QImageReader>
#include <QPainter>

// text() as UTF-8 rather than the older wide string.
#define ZX_USE_UTF8
#include <ZXing/DecodeHints.h>
#include <ZXing/ImageView.h>
#include <ZXing/ReadBarcode.h>

#include <optional>
#include <vector>

namespace {

// Photos are decoded at this longest side (and half of it) as well as at full
// size: a phone photo's code is often too large, blurred or noisy at full size
// for the detector's finder pattern search.
constexpr int WorkingSide = 1400;
constexpr int MaxReadSide = 4096;

ZXing::DecodeHints qrHints()
{
    ZXing::DecodeHints hints;
    hints.setFormats(ZXing::BarcodeFormat::QRCode);
    hints.setTryHarder(true);
    hints.setTryRotate(true);
    hints.setTryDownscale(true);
    hints.setMaxNumberOfSymbols(1);
    return hints;
}

// A view of the image's own pixels when the library reads its layout.
std::optional<ZXing::ImageView> viewOf(const QImage &image)
{
    using ZXing::ImageFormat;
    ImageFormat format = ImageFormat::None;
    switch (image.format()) {
    case QImage::Format_Grayscale8:
        format = ImageFormat::Lum;
        break;
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
    case QImage::Format_ARGB32_Premultiplied:
        format = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? ImageFormat::BGRX : ImageFormat::XRGB;
        break;
    case QImage::Format_RGBX8888:
    case QImage::Format_RGBA8888:
    case QImage::Format_RGBA8888_Premultiplied:
        format = ImageFormat::RGBX;
        break;
    case QImage::Format_RGB888:
        format = ImageFormat::RGB;
        break;
    case QImage::Format_BGR888:
        format = ImageFormat::BGR;
        break;
    default:
        return std::nullopt;
    }
    return ZXing::ImageView(image.constBits(), image.width(), image.height(), format,
                            static_cast<int>(image.bytesPerLine()));
}

QrDecoder::Result read(const ZXing::ImageView &view, const ZXing::DecodeHints &hints, const QString &attempt)
{
    const ZXing::Result r = ZXing::ReadBarcode(view, hints);
    QrDecoder::Result result;
    if (r.isValid()) {
        result.outcome = QrDecoder::Outcome::Decoded;
        result.text = QString::fromStdString(r.text());
        result.attempt = attempt;
    }
    return result;
}

// Grey, with transparent parts of screenshots laid on white (a transparent
// black would otherwise read as a black background).
QImage greyOf(const QImage &image)
{
    if (!image.hasAlphaChannel())
        return image.convertToFormat(QImage::Format_Grayscale8);
    QImage flat(image.size(), QImage::Format_RGB32);
    flat.fill(Qt::white);
    QPainter painter(&flat);
    painter.drawImage(0, 0, image);
    painter.end();
    return flat.convertToFormat(QImage::Format_Grayscale8);
}

QImage scaledTo(const QImage &grey, int longestSide)
{
    return grey.width() >= grey.height()
               ? grey.scaledToWidth(longestSide, Qt::SmoothTransformation)
               : grey.scaledToHeight(longestSide, Qt::SmoothTransformation);
}

} // namespace

QrDecoder::Result QrDecoder::decodeFrame(const QImage &frame)
{
    if (frame.isNull())
        return {};
    static const ZXing::DecodeHints hints = qrHints();
    if (auto view = viewOf(frame))
        return read(*view, hints, QStringLiteral("frame"));
    const QImage grey = frame.convertToFormat(QImage::Format_Grayscale8);
    return read(*viewOf(grey), hints, QStringLiteral("frame"));
}

QrDecoder::Result QrDecoder::decodeStill(const QImage &image)
{
    if (image.isNull())
        return {};
    const ZXing::DecodeHints hints = qrHints();
    const QImage full = greyOf(image);
    const int side = qMax(full.width(), full.height());

    struct Scale
    {
        QString name;
        QImage grey;
    };
    std::vector<Scale> scales{{QStringLiteral("full size"), full}};
    if (side > WorkingSide) {
        scales.push_back({QStringLiteral("downscaled"), scaledTo(full, WorkingSide)});
        scales.push_back({QStringLiteral("downscaled more"), scaledTo(full, WorkingSide / 2)});
    } else if (side >= 200) {
        // Averaging neighbours smooths out sensor noise and JPEG blocks.
        scales.push_back({QStringLiteral("smoothed"), scaledTo(full, side / 2)});
    }
    if (side < 300) {
        // Thumbnails: give each module a few pixels.
        scales.push_back({QStringLiteral("enlarged"),
                          full.scaled(full.size() * 3, Qt::IgnoreAspectRatio, Qt::FastTransformation)});
    }

    // 1. as it is, at each scale
    for (const Scale &s : scales) {
        if (Result r = read(*viewOf(s.grey), hints, s.name); r.found())
            return r;
    }
    // 2. light code on a dark ground (dark-mode screenshots, negative prints)
    for (const Scale &s : scales) {
        QImage inverted = s.grey;
        inverted.invertPixels();
        if (Result r = read(*viewOf(inverted), hints, QStringLiteral("inverted, %1").arg(s.name)); r.found())
            return r;
    }
    // 3. turned pictures, at the scale the detector handles best
    const Scale &working = scales.size() > 1 && side > WorkingSide ? scales[1] : scales[0];
    for (int degrees : {90, 180, 270}) {
        const ZXing::ImageView turned = viewOf(working.grey)->rotated(degrees);
        if (Result r = read(turned, hints, QStringLiteral("rotated %1, %2").arg(degrees).arg(working.name));
            r.found())
            return r;
    }
    // 4. a global threshold, for uneven light that fools the local one
    ZXing::DecodeHints global = hints;
    global.setBinarizer(ZXing::Binarizer::GlobalHistogram);
    for (const Scale &s : scales) {
        if (Result r = read(*viewOf(s.grey), global, QStringLiteral("global threshold, %1").arg(s.name));
            r.found())
            return r;
    }
    return {};
}

QrDecoder::Result QrDecoder::decodeFile(const QString &path)
{
    QImageReader reader(path);
    reader.setAutoTransform(true);
    // Photos of 40 megapixels and more exceed Qt's allocation limit; read
    // them at a size that still leaves a small code several pixels a module.
    const QSize size = reader.size();
    if (size.isValid() && qMax(size.width(), size.height()) > MaxReadSide)
        reader.setScaledSize(size.scaled(MaxReadSide, MaxReadSide, Qt::KeepAspectRatio));
    const QImage image = reader.read();
    if (image.isNull()) {
        Result result;
        result.outcome = Outcome::Unreadable;
        return result;
    }
    return decodeStill(image);
}
