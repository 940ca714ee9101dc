#include "Animations.h"
#include "AppPaths.h"
#include "PhoneButton.h"
#include "PhoneWindow.h"
#include "QRScannerView.h"
#include "Strings.h"
#include "Texts.h"

#include <QBuffer>
#include <QFileDialog>
#include <QPainter>
#include <QPointer>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QtMultimedia/QCameraDevice>
#include <QtMultimedia/QMediaDevices>

#define ZX_USE_UTF8
#include <ZXing/BitMatrix.h>
#include <ZXing/MultiFormatWriter.h>

#include <cmath>
#include <functional>

Q_DECLARE_METATYPE(QrDecoder::Outcome)

namespace {

// What a store's counter shows: base64 of an enciphered payload.
const QString Payload = u"kT3v9QmZ0xLr8bWc2YhN6pJfUa1sEoG4dKiV7yHqXe5Bw+Rl/MnCtSgAzPjD0uF8=="_qs;

// A QR code drawn black on white, modulePixels per module, with a quiet zone.
QImage qrCode(const QString &text, int modulePixels = 6)
{
    const ZXing::BitMatrix bits =
        ZXing::MultiFormatWriter(ZXing::BarcodeFormat::QRCode).setMargin(0).encode(text.toStdString(), 0, 0);
    const int quiet = 4;
    const int side = (bits.width() + 2 * quiet) * modulePixels;
    QImage image(side, side, QImage::Format_Grayscale8);
    image.fill(255);
    QPainter p(&image);
    for (int y = 0; y < bits.height(); ++y) {
        for (int x = 0; x < bits.width(); ++x) {
            if (bits.get(x, y))
                p.fillRect((x + quiet) * modulePixels, (y + quiet) * modulePixels, modulePixels, modulePixels,
                           Qt::black);
        }
    }
    return image;
}

// Uneven light, a few shapes and sensor noise: a picture of a counter.
QImage photo(QSize size, quint32 seed)
{
    QImage image(size, QImage::Format_RGB32);
    QPainter p(&image);
    QLinearGradient light(0, 0, size.width(), size.height());
    light.setColorAt(0, QColor(190, 170, 140));
    light.setColorAt(1, QColor(90, 80, 70));
    p.fillRect(image.rect(), light);
    QRandomGenerator random(seed);
    for (int i = 0; i < 40; ++i) {
        p.setBrush(QColor(random.bounded(256), random.bounded(256), random.bounded(256)));
        p.setPen(Qt::NoPen);
        const int w = random.bounded(size.width() / 6) + 10;
        p.drawEllipse(random.bounded(size.width()), random.bounded(size.height()), w, w * 2 / 3);
    }
    return image;
}

void addNoise(QImage &image, int amplitude, quint32 seed)
{
    image = image.convertToFormat(QImage::Format_RGB32);
    QRandomGenerator random(seed);
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int d = random.bounded(2 * amplitude + 1) - amplitude;
            auto c = [d](int v) { return qBound(0, v + d, 255); };
            line[x] = qRgb(c(qRed(line[x])), c(qGreen(line[x])), c(qBlue(line[x])));
        }
    }
}

// code laid on background at centre, scaled to side pixels and turned by degrees.
QImage placed(QImage background, const QImage &code, int side, qreal degrees, QPointF centre)
{
    QPainter p(&background);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.translate(centre);
    p.rotate(degrees);
    p.drawImage(QRectF(-side / 2.0, -side / 2.0, side, side), code);
    return background;
}

QImage rotated(const QImage &image, int degrees)
{
    return image.transformed(QTransform().rotate(degrees));
}

} // namespace

class TestQrScanner : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString save(const QImage &image, const QString &name)
    {
        const QString path = m_dir.filePath(name);
        if (!image.save(path))
            return {};
        return path;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        AppPaths::setDataDir(m_dir.path());
        Animations::setEnabled(false);
        Strings::install(QLocale(QLocale::English));
        qRegisterMetaType<QrDecoder::Outcome>();
    }
    void init() { QRScannerView::setScanImagePath(QString()); }
    void cleanupTestCase()
    {
        Texts::setLookup(nullptr);
        AppPaths::setDataDir(QString());
    }

    // Each picture goes through the same chooser path a member's file takes.
    void decodesPicturesOfTheCode_data()
    {
        QTest::addColumn<QImage>("picture");
        QTest::addColumn<QString>("fileName");
        const QImage code = qrCode(Payload);
        QImage inverted = code;
        inverted.invertPixels();
        QImage noisy = placed(photo({900, 900}, 3), code, 420, 0, {450, 450});
        addNoise(noisy, 60, 4);
        // Black modules on a transparent ground, as apps export codes.
        QImage transparent(code.size(), QImage::Format_ARGB32);
        transparent.fill(Qt::transparent);
        for (int y = 0; y < code.height(); ++y)
            for (int x = 0; x < code.width(); ++x)
                if (qGray(code.pixel(x, y)) < 128)
                    transparent.setPixel(x, y, qRgba(0, 0, 0, 255));
        QImage bigPhoto = placed(photo({4000, 3000}, 5), code, 360, 8, {2900, 900});
        addNoise(bigPhoto, 12, 6);

        QTest::newRow("screenshot") << code << u"plain.png"_qs;
        QTest::newRow("turned 90") << rotated(code, 90) << u"r90.png"_qs;
        QTest::newRow("turned 180") << rotated(code, 180) << u"r180.png"_qs;
        QTest::newRow("light on dark") << inverted << u"inverted.png"_qs;
        QTest::newRow("transparent ground") << transparent << u"transparent.png"_qs;
        QTest::newRow("noisy photo") << noisy << u"noisy.jpg"_qs;
        QTest::newRow("small in a 4000x3000 photo") << bigPhoto << u"big.jpg"_qs;
        // Larger than Qt reads in one piece by default (above 128 MB decoded).
        QTest::newRow("35-megapixel photo") << placed(photo({6400, 5400}, 14), code, 900, -5, {4800, 1600})
                                            << u"huge.jpg"_qs;
    }
    void decodesPicturesOfTheCode()
    {
        QFETCH(QImage, picture);
        QFETCH(QString, fileName);
        const QString path = save(picture, fileName);
        QVERIFY(!path.isEmpty());
        PhoneWindow window;
        auto *view = new QRScannerView(&window);
        QSignalSpy decoded(view, &QRScannerView::decoded);
        QSignalSpy failed(view, &QRScannerView::imageFailed);
        view->decodeImageFile(path);
        QTRY_VERIFY_WITH_TIMEOUT(decoded.count() + failed.count() > 0, 60000);
        QCOMPARE(failed.count(), 0);
        QCOMPARE(decoded.count(), 1);
        QCOMPARE(decoded.at(0).at(0).toString(), Payload);
        QCOMPARE(view->statusText(), QString());
    }

    void pictureWithoutACodeSaysSo_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QrDecoder::Outcome>("outcome");
        QTest::addColumn<QString>("messageKey");
        QByteArray photoBytes;
        {
            QBuffer buffer(&photoBytes);
            buffer.open(QIODevice::WriteOnly);
            QImage picture = photo({1200, 900}, 7);
            addNoise(picture, 20, 8);
            QVERIFY(picture.save(&buffer, "JPG"));
        }
        QTest::newRow("photo without code") << u"nocode.jpg"_qs << photoBytes << QrDecoder::Outcome::NoCode
                                            << u"scanNoCode"_qs;
        QTest::newRow("not a picture") << u"text.png"_qs << QByteArray("just some text\n")
                                       << QrDecoder::Outcome::Unreadable << u"scanImageUnreadable"_qs;
        QTest::newRow("missing file") << u"missing.png"_qs << QByteArray() << QrDecoder::Outcome::Unreadable
                                      << u"scanImageUnreadable"_qs;
    }
    void pictureWithoutACodeSaysSo()
    {
        QFETCH(QString, fileName);
        QFETCH(QByteArray, bytes);
        QFETCH(QrDecoder::Outcome, outcome);
        QFETCH(QString, messageKey);
        const QString path = m_dir.filePath(fileName);
        if (!bytes.isEmpty()) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(bytes);
        }
        PhoneWindow window;
        auto *view = new QRScannerView(&window);
        QSignalSpy decoded(view, &QRScannerView::decoded);
        QSignalSpy failed(view, &QRScannerView::imageFailed);
        view->decodeImageFile(path);
        QVERIFY(!view->chooseImageButton()->isEnabled());
        QVERIFY(failed.wait(60000));
        QCOMPARE(failed.at(0).at(0).value<QrDecoder::Outcome>(), outcome);
        QCOMPARE(decoded.count(), 0);
        QVERIFY(!Texts::get(messageKey).isEmpty());
        QCOMPARE(view->statusText(), Texts::get(messageKey));
        // The member can try another picture.
        QVERIFY(view->chooseImageButton()->isEnabled());
    }

    void chooserOpensInsideTheWindowAndDecodesTheChoice()
    {
        const QString path = save(qrCode(Payload), u"chosen.png"_qs);
        PhoneWindow window;
        window.show();
        auto *view = new QRScannerView();
        view->present(&window);
        QSignalSpy decoded(view, &QRScannerView::decoded);
        QTest::mouseClick(view->chooseImageButton(), Qt::LeftButton);
        auto *dialog = view->findChild<QFileDialog *>();
        QVERIFY(dialog);
        QVERIFY(dialog->isVisible());
        QVERIFY(!dialog->isWindow());
        QVERIFY(window.isAncestorOf(dialog));
        // A second tap does not stack another chooser.
        QTest::mouseClick(view->chooseImageButton(), Qt::LeftButton);
        QCOMPARE(view->findChildren<QFileDialog *>().size(), 1);
        dialog->selectFile(path);
        static_cast<QDialog *>(dialog)->accept(); // QFileDialog hides accept()
        QVERIFY(decoded.wait(30000));
        QCOMPARE(decoded.at(0).at(0).toString(), Payload);
    }

    void coversTheWindowAndCancels()
    {
        PhoneWindow window;
        window.show();
        QPointer<QRScannerView> view = new QRScannerView();
        view->present(&window);
        QCOMPARE(view->parentWidget(), &window);
        QCOMPARE(view->geometry(), window.rect());
        QVERIFY(view->isVisible());
        QSignalSpy cancelled(view.data(), &QRScannerView::cancelled);
        QSignalSpy decoded(view.data(), &QRScannerView::decoded);
        QTest::mouseClick(view->cancelButton(), Qt::LeftButton);
        QCOMPARE(cancelled.count(), 1);
        QVERIFY(!view->isCameraActive());
        // Nothing more is reported once cancelled: no second cancel, no late frame.
        QTest::mouseClick(view->cancelButton(), Qt::LeftButton);
        view->feedFrame(qrCode(Payload));
        QCOMPARE(cancelled.count(), 1);
        QCOMPARE(view->framesStarted(), 0);
        view->dismiss(false);
        QVERIFY(!view->isVisible());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(view.isNull());
        QCOMPARE(decoded.count(), 0);
    }

    void saysWhenThereIsNoCamera()
    {
        if (!QMediaDevices::videoInputs().isEmpty())
            QSKIP("this machine has a camera");
        PhoneWindow window;
        window.show();
        auto *view = new QRScannerView();
        view->present(&window);
        QVERIFY(!view->hasCamera());
        QVERIFY(!view->isCameraActive());
        QVERIFY(!Texts::get(u"scanNoCamera"_qs).isEmpty());
        QCOMPARE(view->statusText(), Texts::get(u"scanNoCamera"_qs));
        QVERIFY(view->chooseImageButton()->isVisible());
        QVERIFY(view->chooseImageButton()->isEnabled());
    }

    // Frames arrive faster than they decode: only one is ever in decoding and
    // the rest are dropped, not queued.
    void decodesOneFrameAtATime()
    {
        PhoneWindow window;
        auto *view = new QRScannerView(&window);
        QSignalSpy finished(view, &QRScannerView::frameDecodeFinished);
        QSignalSpy decoded(view, &QRScannerView::decoded);

        QImage empty = photo({640, 480}, 9);
        for (int i = 0; i < 10; ++i)
            view->feedFrame(empty);
        QCOMPARE(view->framesStarted(), 1);
        QCOMPARE(view->framesDropped(), 9);
        QVERIFY(view->isFrameDecoding());
        QVERIFY(finished.wait(30000));
        QCOMPARE(finished.at(0).at(0).toBool(), false);
        QVERIFY(!view->isFrameDecoding());

        // The slot is free again: the next frame starts, those behind it drop.
        QImage frame = placed(photo({640, 480}, 10), qrCode(Payload, 3), 260, 6, {330, 250});
        addNoise(frame, 10, 11);
        for (int i = 0; i < 5; ++i)
            view->feedFrame(frame);
        QCOMPARE(view->framesStarted(), 2);
        QCOMPARE(view->framesDropped(), 13);
        QVERIFY(decoded.wait(30000));
        QCOMPARE(decoded.at(0).at(0).toString(), Payload);

        // Reported once: later frames are not decoded.
        view->feedFrame(frame);
        QCOMPARE(view->framesStarted(), 2);
        QCOMPARE(decoded.count(), 1);
    }

    void scanImageOption_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("environment");
        QTest::addColumn<QString>("path");
        const QString app = u"loyalty"_qs;
        QTest::newRow("separate value") << QStringList{app, u"--scan-image"_qs, u"/tmp/a.png"_qs} << QString()
                                        << u"/tmp/a.png"_qs;
        QTest::newRow("joined value") << QStringList{app, u"--config"_qs, u"c.json"_qs, u"--scan-image=/tmp/b c.png"_qs}
                                      << QString() << u"/tmp/b c.png"_qs;
        QTest::newRow("environment") << QStringList{app} << u"/tmp/env.png"_qs << u"/tmp/env.png"_qs;
        QTest::newRow("argument wins") << QStringList{app, u"--scan-image=/tmp/arg.png"_qs} << u"/tmp/env.png"_qs
                                       << u"/tmp/arg.png"_qs;
        QTest::newRow("value missing") << QStringList{app, u"--scan-image"_qs} << QString() << QString();
        QTest::newRow("program name is not an option")
            << QStringList{u"--scan-image=/tmp/x.png"_qs} << QString() << QString();
        QTest::newRow("none") << QStringList{app, u"--nmea"_qs, u"n.txt"_qs} << QString() << QString();
    }
    void scanImageOption()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, environment);
        QFETCH(QString, path);
        QCOMPARE(QRScannerView::scanImageOption(arguments, environment), path);
    }

    // With a scan picture set, opening the view reads it instead of the camera.
    void presentDecodesTheScanImage()
    {
        const QString path = save(rotated(qrCode(Payload), 90), u"scan.png"_qs);
        QRScannerView::setScanImagePath(path);
        QCOMPARE(QRScannerView::scanImagePath(), path);
        PhoneWindow window;
        window.show();
        auto *view = new QRScannerView();
        QSignalSpy decoded(view, &QRScannerView::decoded);
        view->present(&window);
        QVERIFY(!view->isCameraActive());
        QVERIFY(decoded.wait(30000));
        QCOMPARE(decoded.at(0).at(0).toString(), Payload);
        QCOMPARE(view->framesStarted(), 0);
    }
};

QTEST_MAIN(TestQrScanner)
#include "tst_qrscanner.moc"
