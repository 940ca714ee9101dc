#pragma once

#include <QImage>
#include <QString>

#include <functional>

class QLabel;
class QObject;
class QWidget;
class PhoneImageView;

// The screen side of Tools: alerts, forms above the keyboard, the keyboard
// "done" bar, QR pictures, label sizing.
namespace ScreenTools {

// Makes Tools::showMsg show a real alert (title, message, one "ok" button).
void installMessageHandler();

// Moves view up so that field stays above the keyboard (0.3 s): view gets
// y = -(field's y in view) / 1.8.
void textEditBegin(QWidget *view, QWidget *field);
// Moves view back to y = 0.
void textEditEnd(QWidget *view);

// A 320 x 40 bar with one "done" button at (260, 7), 50 x 30, black, that
// runs action while context lives.
QWidget *createAccessoryView(QObject *context, std::function<void()> action);

// text as a QR code (error correction L, smallest version), square with the
// given side; null when it cannot be encoded.
QImage qrImage(const QString &text, int side);
// Shows the QR code of text in imageView at its width; nothing without a view.
void generateQRImage(const QString &text, PhoneImageView *imageView);

// No font shrinking; height as the text needs at the label's width (999 at
// most), keeping position and width.
void alignLabelWithTop(QLabel *label);

} // namespace ScreenTools
