#include "QRScannerView.h"

#include "Animations.h"
#include "PhoneButton.h"
#include "PhoneWindow.h"
#include "Texts.h"

#include <QCamera>
#include <QCameraDevice>
#include <QCameraFormat>
#include <QFileDialog>
#include <QFutureWatcher>
#include <QLabel>
#include <QMediaCaptureSession>
#include <QMediaDevices>
#include <QPainter>
#include <QPainterPath>
#include <QPromise>
#include <QStandardPaths>
#include <QThreadPool>
#include <QVideoFrame>
#include <QVideoSink>

#include <memory>
#include <optional>

namespace {

constexpr int FinderSide = 220;
constexpr int FinderTop = 110;

std::optional<QString> &scanImageOverride()
{
    static std::optional<QString> path;
    return path;
}

} // namespace

// The camera picture, filled to the view, darkened outside the square the
// member aims with.
class QRScannerView::Viewfinder : public QWidget
{
public:
    using QWidget::QWidget;

    void setPreview(const QImage &image)
    {
        m_preview = image;
        update();
    }
    QRect finder() const { return {(width() - FinderSide) / 2, FinderTop, FinderSide, FinderSide}; }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.fillRect(rect(), QColor(20, 20, 20));
        if (!m_preview.isNull()) {
            const QSize size = m_preview.size().scaled(this->size(), Qt::KeepAspectRatioByExpanding);
            const QRect target(QPoint((width() - size.width()) / 2, (height() - size.height()) / 2), size);
            p.drawImage(target, m_preview);
        }
        const QRect square = finder();
        QPainterPath shade;
        shade.addRect(QRectF(rect()));
        QPainterPath hole;
        hole.addRect(QRectF(square));
        p.fillPath(shade.subtracted(hole), QColor(0, 0, 0, 150));
        p.setPen(QPen(QColor(255, 255, 255, 200), 1));
        p.drawRect(square.adjusted(0, 0, -1, -1));
        p.setPen(QPen(QColor(80, 200, 120), 4, Qt::SolidLine, Qt::SquareCap));
        const int arm = 22;
        const QRect c = square.adjusted(2, 2, -2, -2);
        for (const auto &[corner, dx, dy] :
             {std::tuple{c.topLeft(), 1, 1}, std::tuple{c.topRight(), -1, 1}, std::tuple{c.bottomLeft(), 1, -1},
              std::tuple{c.bottomRight(), -1, -1}}) {
            p.drawLine(corner, corner + QPoint(dx * arm, 0));
            p.drawLine(corner, corner + QPoint(0, dy * arm));
        }
    }

private:
    QImage m_preview;
};

QRScannerView::QRScannerView(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_StyledBackground);
    setStyleSheet(QStringLiteral("QRScannerView { background: black; }"));
    m_viewfinder = new Viewfinder(this);

    auto makeLabel = [this](int pointSize) {
        auto *label = new QLabel(this);
        label->setAlignment(Qt::AlignCenter);
        label->setWordWrap(true);
        label->setStyleSheet(QStringLiteral("color: white; background: transparent;"));
        QFont font = label->font();
        font.setPointSize(pointSize);
        label->setFont(font);
        return label;
    };
    m_title = makeLabel(16);
    m_title->setText(Texts::get(u"scanTitle"_qs));
    m_hint = makeLabel(12);
    m_hint->setText(Texts::get(u"scanHint"_qs));
    m_status = makeLabel(13);
    m_status->setStyleSheet(QStringLiteral("color: #ffd75e; background: transparent;"));

    auto makeButton = [this](const QString &name, const QString &title) {
        auto *button = new PhoneButton(this);
        button->setObjectName(name);
        button->setTitle(title);
        button->setTitleColor(Qt::white);
        button->setStyleSheet(QStringLiteral("background: rgba(255,255,255,40); border-radius: 6px;"));
        button->setAttribute(Qt::WA_StyledBackground);
        return button;
    };
    m_choose = makeButton(QStringLiteral("chooseImage"), Texts::get(u"scanChooseImage"_qs));
    m_cancel = makeButton(QStringLiteral("cancel"), Texts::get(u"cancel"_qs));
    connect(m_choose, &PhoneButton::clicked, this, &QRScannerView::chooseImage);
    connect(m_cancel, &PhoneButton::clicked, this, &QRScannerView::cancel);

    m_hasCamera = !QMediaDevices::videoInputs().isEmpty();
    if (!m_hasCamera)
        setStatus(QStringLiteral("scanNoCamera"));
    resize(PhoneWindow::Width, PhoneWindow::Height);
}

QRScannerView::~QRScannerView()
{
    stopCamera();
}

void QRScannerView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    const int w = width();
    m_viewfinder->setGeometry(rect());
    m_title->setGeometry(0, 40, w, 40);
    const QRect finder = m_viewfinder->finder();
    m_hint->setGeometry(20, finder.bottom() + 12, w - 40, 36);
    m_status->setGeometry(20, finder.bottom() + 52, w - 40, 60);
    m_choose->setGeometry((w - 200) / 2, height() - 118, 200, 44);
    m_cancel->setGeometry((w - 200) / 2, height() - 64, 200, 44);
}

void QRScannerView::present(QWidget *over)
{
    QWidget *host = over ? over : PhoneWindow::current();
    if (host) {
        setParent(host);
        setGeometry(host->rect());
    }
    show();
    raise();
    const QString image = scanImagePath();
    if (!image.isEmpty())
        decodeImageFile(image);
    else if (m_hasCamera)
        startCamera();
}

void QRScannerView::dismiss(bool animated)
{
    if (m_dismissing)
        return;
    m_dismissing = true;
    m_finished = true;
    stopCamera();
    const int below = parentWidget() ? parentWidget()->height() : height();
    Animations::animate(this, "pos", QPoint(x(), below), animated ? 300 : 0,
                        [self = QPointer<QRScannerView>(this)] {
                            if (self) {
                                self->hide();
                                self->deleteLater();
                            }
                        });
}

bool QRScannerView::isCameraActive() const
{
    return m_camera && m_camera->isActive();
}

QString QRScannerView::statusText() const
{
    return m_status->text();
}

void QRScannerView::setStatus(const QString &key)
{
    m_status->setText(key.isEmpty() ? QString() : Texts::get(key));
}

void QRScannerView::startCamera()
{
    if (m_camera || m_finished)
        return;
    const QCameraDevice device = QMediaDevices::defaultVideoInput();
    m_camera = new QCamera(device, this);
    // A modest resolution decodes in a few milliseconds a frame and is
    // plenty for a code held in the viewfinder.
    QCameraFormat best;
    for (const QCameraFormat &format : device.videoFormats()) {
        const QSize r = format.resolution();
        if (r.width() > 1280 || r.height() > 960)
            continue;
        if (best.isNull() || r.width() * r.height() > best.resolution().width() * best.resolution().height())
            best = format;
    }
    if (!best.isNull())
        m_camera->setCameraFormat(best);
    m_session = new QMediaCaptureSession(this);
    m_sink = new QVideoSink(this);
    m_session->setCamera(m_camera);
    m_session->setVideoSink(m_sink);
    connect(m_sink, &QVideoSink::videoFrameChanged, this, &QRScannerView::onCameraFrame);
    connect(m_camera, &QCamera::errorOccurred, this, [this](QCamera::Error error) {
        if (error != QCamera::NoError) {
            setStatus(QStringLiteral("scanCameraFailed"));
            stopCamera();
        }
    });
    m_camera->start();
}

void QRScannerView::stopCamera()
{
    if (!m_camera)
        return;
    m_camera->stop();
    if (m_sink)
        disconnect(m_sink, nullptr, this, nullptr);
}

void QRScannerView::onCameraFrame(const QVideoFrame &frame)
{
    if (m_finished || !frame.isValid())
        return;
    const QImage image = frame.toImage();
    m_viewfinder->setPreview(image);
    feedFrame(image);
}

void QRScannerView::feedFrame(const QImage &frame)
{
    if (m_finished)
        return;
    if (m_frameInFlight) {
        ++m_framesDropped;
        return;
    }
    m_frameInFlight = true;
    ++m_framesStarted;
    run([frame] { return QrDecoder::decodeFrame(frame); },
        [this](const QrDecoder::Result &result) {
            m_frameInFlight = false;
            Q_EMIT frameDecodeFinished(result.found());
            if (result.found())
                report(result.text);
        });
}

void QRScannerView::decodeImageFile(const QString &path)
{
    if (m_finished)
        return;
    setStatus(QStringLiteral("scanDecoding"));
    m_choose->setEnabled(false);
    run([path] { return QrDecoder::decodeFile(path); },
        [this](const QrDecoder::Result &result) {
            m_choose->setEnabled(true);
            if (m_finished)
                return;
            if (result.found()) {
                setStatus(QString());
                report(result.text);
                return;
            }
            setStatus(result.outcome == QrDecoder::Outcome::Unreadable ? QStringLiteral("scanImageUnreadable")
                                                                      : QStringLiteral("scanNoCode"));
            Q_EMIT imageFailed(result.outcome);
        });
}

void QRScannerView::chooseImage()
{
    if (m_finished || findChild<QFileDialog *>())
        return;
    QString folder = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    auto *dialog = new QFileDialog(this, Texts::get(u"scanChooseImage"_qs), folder,
                                   Texts::get(u"scanImageFiles"_qs)
                                       + QStringLiteral(" (*.png *.jpg *.jpeg *.bmp *.gif *.webp)"));
    // Inside the phone window, not a desktop dialog.
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setWindowFlags(Qt::Widget);
    dialog->setFileMode(QFileDialog::ExistingFile);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setGeometry(rect());
    connect(dialog, &QFileDialog::fileSelected, this, &QRScannerView::decodeImageFile);
    dialog->show();
    dialog->raise();
}

void QRScannerView::report(const QString &text)
{
    if (m_finished)
        return;
    m_finished = true;
    stopCamera();
    Q_EMIT decoded(text);
}

void QRScannerView::cancel()
{
    if (m_finished)
        return;
    m_finished = true;
    stopCamera();
    Q_EMIT cancelled();
}

void QRScannerView::run(std::function<QrDecoder::Result()> work,
                        std::function<void(const QrDecoder::Result &)> done)
{
    auto promise = std::make_shared<QPromise<QrDecoder::Result>>();
    // The watcher belongs to the view: when the view goes first, the answer
    // of a decode still running is simply never delivered.
    auto *watcher = new QFutureWatcher<QrDecoder::Result>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [watcher, done = std::move(done)] {
        const QFuture<QrDecoder::Result> future = watcher->future();
        watcher->deleteLater();
        done(future.resultCount() > 0 ? future.result() : QrDecoder::Result{});
    });
    watcher->setFuture(promise->future());
    promise->start();
    QThreadPool::globalInstance()->start([promise, work = std::move(work)] {
        promise->addResult(work());
        promise->finish();
    });
}

QString QRScannerView::scanImageOption(const QStringList &arguments, const QString &environmentValue)
{
    const QString name = QStringLiteral("--scan-image");
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &arg = arguments.at(i);
        if (arg == name && i + 1 < arguments.size())
            return arguments.at(i + 1);
        if (arg.startsWith(name + u'='))
            return arg.mid(name.size() + 1);
    }
    return environmentValue;
}

void QRScannerView::setScanImagePath(const QString &path)
{
    scanImageOverride() = path;
}

QString QRScannerView::scanImagePath()
{
    if (scanImageOverride())
        return *scanImageOverride();
    return qEnvironmentVariable("LOYALTY_SCAN_IMAGE");
}
