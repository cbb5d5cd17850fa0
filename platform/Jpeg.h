#pragma once
// JPEG pictures (the main window's background, the about box) decoded through libjpeg
// directly, not through Qt's image plugins.

#include <QByteArray>
#include <QImage>
#include <QString>

namespace qm {

// Decodes a JPEG stream. A stream that is not a JPEG or cannot be decoded gives a null
// image, never a crash; a picture cut short keeps its decoded rows (the rest grey).
// Grey and colour pictures come out as RGB32; CMYK (Adobe) pictures are converted.
QImage DecodeJpeg(const QByteArray& data);
// Reads and decodes a file; null when missing or not a JPEG.
QImage LoadJpegFile(const QString& path);

}  // namespace qm
