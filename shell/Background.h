#pragma once
// The main window's background picture: a JPEG of our own, compiled into the program.

#include <QByteArray>

namespace qm {

// The JPEG stream as stored (decode it with DecodeJpeg).
QByteArray BackgroundJpeg();

}  // namespace qm
