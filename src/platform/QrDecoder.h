#pragma once

#include <QImage>
#include <QString>

// QR decoding for the scanning view, on zxing-cpp. Both functions are pure
// and thread-safe, so the view runs them on a pool thread.
namespace QrDecoder {

enum class Outcome {
    Decoded,    // text holds the code's contents (which may be empty)
    NoCode,     // the picture was read but holds no QR code we can decode
    Unreadable, // the file is missing or not a picture
};

struct Result
{
    Outcome outcome = Outcome::NoCode;
    QString text;
    // Which attempt succeeded ("plain", "inverted", "rotated 90", ...): for
    // diagnostics only.
    QString attempt;

    bool found() const { return outcome == Outcome::Decoded; }
};

// One camera frame: a single library pass over the pixels as they are (no
// copy for grey, 32-bit and 24-bit images), so that it keeps up with the
// camera. A frame that misses is simply followed by the next.
Result decodeFrame(const QImage &frame);

// A still picture (a photo or a screenshot): several attempts in order until
// one succeeds, because the member has only this one picture.
Result decodeStill(const QImage &image);

// Reads the file (honouring its orientation tag) and decodes it as a still.
Result decodeFile(const QString &path);

} // namespace QrDecoder
