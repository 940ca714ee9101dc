// Decoding one camera frame through the scanning view's decode path, against
// a bare zxing-cpp call with the same hints on the same frame.
#include "QrDecoder.h"

#include <QElapsedTimer>
#include <QCoreApplication>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>

#define ZX_USE_UTF8
#include <ZXing/BitMatrix.h>
#include <ZXing/DecodeHints.h>
#include <ZXing/MultiFormatWriter.h>
#include <ZXing/ReadBarcode.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

const QString Payload = QStringLiteral("kT3v9QmZ0xLr8bWc2YhN6pJfUa1sEoG4dKiV7yHqXe5Bw+Rl/MnCtSgAzPjD0uF8==");

QImage qrCode(const QString &text)
{
    const ZXing::BitMatrix bits =
        ZXing::MultiFormatWriter(ZXing::BarcodeFormat::QRCode).setMargin(4).encode(text.toStdString(), 0, 0);
    QImage image(bits.width(), bits.height(), QImage::Format_Grayscale8);
    for (int y = 0; y < bits.height(); ++y) {
        uchar *line = image.scanLine(y);
        for (int x = 0; x < bits.width(); ++x)
            line[x] = bits.get(x, y) ? 0 : 255;
    }
    return image;
}

// A code held up to a 640x480 camera: lit unevenly, a little turned, blurred
// by scaling, with sensor noise, in the 32-bit format camera frames arrive in.
QImage cameraFrame()
{
    QImage frame(640, 480, QImage::Format_RGB32);
    QPainter p(&frame);
    QLinearGradient light(0, 0, 640, 480);
    light.setColorAt(0, QColor(200, 185, 160));
    light.setColorAt(1, QColor(80, 75, 70));
    p.fillRect(frame.rect(), light);
    QRandomGenerator random(42);
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 25; ++i) {
        p.setBrush(QColor(random.bounded(256), random.bounded(256), random.bounded(256)));
        p.drawEllipse(random.bounded(640), random.bounded(480), random.bounded(90) + 10, random.bounded(60) + 10);
    }
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.translate(330, 235);
    p.rotate(7);
    p.drawImage(QRectF(-125, -125, 250, 250), qrCode(Payload));
    p.end();
    for (int y = 0; y < frame.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(frame.scanLine(y));
        for (int x = 0; x < frame.width(); ++x) {
            const int d = random.bounded(29) - 14;
            auto c = [d](int v) { return qBound(0, v + d, 255); };
            line[x] = qRgb(c(qRed(line[x])), c(qGreen(line[x])), c(qBlue(line[x])));
        }
    }
    return frame;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QImage frame = cameraFrame();

    ZXing::DecodeHints hints;
    hints.setFormats(ZXing::BarcodeFormat::QRCode);
    hints.setTryHarder(true);
    hints.setTryRotate(true);
    hints.setTryDownscale(true);
    hints.setMaxNumberOfSymbols(1);
    const ZXing::ImageView view(frame.constBits(), frame.width(), frame.height(),
                                Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? ZXing::ImageFormat::BGRX
                                                                : ZXing::ImageFormat::XRGB,
                                static_cast<int>(frame.bytesPerLine()));

    const bool oursFound = QrDecoder::decodeFrame(frame).text == Payload;
    const bool bareFound = QString::fromStdString(ZXing::ReadBarcode(view, hints).text()) == Payload;

    // Interleaved rounds, so that both sides see the same machine load.
    const int rounds = 15;
    const int perRound = 10;
    std::vector<double> ours;
    std::vector<double> bare;
    int misses = 0;
    for (int round = 0; round < rounds; ++round) {
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < perRound; ++i)
            misses += QrDecoder::decodeFrame(frame).found() ? 0 : 1;
        ours.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6 / perRound);
        timer.restart();
        for (int i = 0; i < perRound; ++i)
            misses += ZXing::ReadBarcode(view, hints).isValid() ? 0 : 1;
        bare.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6 / perRound);
    }
    const double oursMs = median(ours);
    const double bareMs = median(bare);
    std::printf("qrdecode_frame_size: %dx%d\n", frame.width(), frame.height());
    std::printf("qrdecode_view_decoded: %d\n", oursFound ? 1 : 0);
    std::printf("qrdecode_bare_decoded: %d\n", bareFound ? 1 : 0);
    std::printf("qrdecode_misses: %d\n", misses);
    std::printf("qrdecode_view_ms_per_frame: %.2f\n", oursMs);
    std::printf("qrdecode_bare_ms_per_frame: %.2f\n", bareMs);
    std::printf("qrdecode_view_to_bare_ratio: %.3f\n", oursMs / bareMs);
    return oursFound && bareFound ? 0 : 1;
}
