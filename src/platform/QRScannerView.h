#pragma once

#include "QrDecoder.h"

#include <QImage>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>

class QCamera;
class QLabel;
class QMediaCaptureSession;
class QVideoFrame;
class QVideoSink;
class PhoneButton;

// The QR scanning view: covers the phone window, shows the camera behind a
// viewfinder, and reports the first QR code it reads (decoded) or the cancel
// button (cancelled). It reads QR codes only. A picture from the member's
// files can be decoded instead ("choose an image"), which is also what the
// view offers where there is no camera.
//
// The caller closes the view with dismiss() when it has its answer; the view
// stops the camera as soon as it has reported, and deletes itself once
// dismissed.
//
// Decoding runs on a pool thread. At most one camera frame is decoded at a
// time: frames that arrive meanwhile are dropped, so a slow decode never
// queues up frames or delays the UI.
class QRScannerView : public QWidget
{
    Q_OBJECT
public:
    explicit QRScannerView(QWidget *parent = nullptr);
    ~QRScannerView() override;

    // Covers over (the current phone window when null) and starts the camera;
    // when a scan picture is set (scanImagePath()) decodes that instead.
    void present(QWidget *over = nullptr);
    // Stops the camera and slides the view out (at once when not animated),
    // then deletes it.
    void dismiss(bool animated);

    // Decodes a picture file off the UI thread; reports decoded() or
    // imageFailed(). Used by the picture chooser.
    void decodeImageFile(const QString &path);
    // Opens the picture chooser inside the view.
    void chooseImage();

    // Every camera frame enters here (public so that tests can feed frames).
    void feedFrame(const QImage &frame);
    int framesStarted() const { return m_framesStarted; }
    int framesDropped() const { return m_framesDropped; }
    bool isFrameDecoding() const { return m_frameInFlight; }

    // Whether the system has a camera (when the view was made).
    bool hasCamera() const { return m_hasCamera; }
    bool isCameraActive() const;
    // The message under the viewfinder (no camera, no code found, ...).
    QString statusText() const;
    PhoneButton *cancelButton() const { return m_cancel; }
    PhoneButton *chooseImageButton() const { return m_choose; }

    // The picture that stands in for the camera: "--scan-image PATH" or
    // "--scan-image=PATH" in arguments (the first is the program), else
    // environmentValue (LOYALTY_SCAN_IMAGE). Empty when neither is given.
    static QString scanImageOption(const QStringList &arguments, const QString &environmentValue);
    // Process-wide; until set, the LOYALTY_SCAN_IMAGE environment variable.
    static void setScanImagePath(const QString &path);
    static QString scanImagePath();

Q_SIGNALS:
    void decoded(const QString &text);
    void cancelled();
    // A chosen picture that gave no text (NoCode or Unreadable); the view stays.
    void imageFailed(QrDecoder::Outcome outcome);
    // A camera frame finished decoding (found or not).
    void frameDecodeFinished(bool found);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void startCamera();
    void stopCamera();
    void onCameraFrame(const QVideoFrame &frame);
    void setStatus(const QString &key);
    void report(const QString &text);
    void cancel();
    void run(std::function<QrDecoder::Result()> work, std::function<void(const QrDecoder::Result &)> done);

    class Viewfinder;
    Viewfinder *m_viewfinder = nullptr;
    QLabel *m_title = nullptr;
    QLabel *m_hint = nullptr;
    QLabel *m_status = nullptr;
    PhoneButton *m_choose = nullptr;
    PhoneButton *m_cancel = nullptr;

    bool m_hasCamera = false;
    QCamera *m_camera = nullptr;
    QMediaCaptureSession *m_session = nullptr;
    QVideoSink *m_sink = nullptr;

    bool m_frameInFlight = false;
    int m_framesStarted = 0;
    int m_framesDropped = 0;
    // Set once a text or a cancel has been reported: nothing more is.
    bool m_finished = false;
    bool m_dismissing = false;
};
