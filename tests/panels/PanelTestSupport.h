#pragma once
// Pinned colours and font for the panel tests, so every pixel probe is exact.

#include "panels/PTGroup.h"

#include <QApplication>
#include <QFont>
#include <QImage>
#include <QPalette>
#include <QtTest/QTest>

namespace qm::test {

inline const QColor kPanel(0xE0, 0xE0, 0xC0);  // the panel's own colour
inline const QColor kBtnShadow(0x80, 0x80, 0x80);
inline const QColor kDkShadow(0x00, 0x00, 0x00);
inline const QColor kBtnFace(0xC0, 0xC0, 0xC0);
inline const QColor kHighlight(0xFF, 0xFF, 0xFF);
inline const QColor kFrame(0x00, 0x00, 0xFF);  // window frame and text
inline const QColor kSentinel(0xFF, 0x00, 0xFF);

inline QPalette PinnedPalette() {
    QPalette p;
    p.setColor(QPalette::Window, kPanel);
    p.setColor(QPalette::Dark, kBtnShadow);
    p.setColor(QPalette::Shadow, kDkShadow);
    p.setColor(QPalette::Button, kBtnFace);
    p.setColor(QPalette::Light, kHighlight);
    p.setColor(QPalette::WindowText, kFrame);
    return p;
}

// Unsmoothed glyphs: a pixel is either text colour or background.
inline QFont PinnedFont(int pixelSize = 14) {
    QFont f(QStringLiteral("Noto Sans CJK SC"));
    f.setPixelSize(pixelSize);
    f.setStyleStrategy(QFont::NoAntialias);
    return f;
}

inline void Pin(QWidget& w) {
    w.setPalette(PinnedPalette());
    w.setFont(PinnedFont());
}

inline QImage Grab(QWidget& w) { return w.grab().toImage().convertToFormat(QImage::Format_RGB32); }

inline QColor At(const QImage& img, int x, int y) { return QColor(img.pixel(x, y)); }

// Columns and rows of the image region r that hold a pixel of colour c.
struct Ink {
    int left = -1, right = -1, top = -1, bottom = -1;
    bool Found() const { return left >= 0; }
};
inline Ink FindInk(const QImage& img, const QRect& r, const QColor& c) {
    Ink ink;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (QColor(img.pixel(x, y)) == c) {
                if (!ink.Found()) ink = {x, x, y, y};
                ink.left = std::min(ink.left, x);
                ink.right = std::max(ink.right, x);
                ink.top = std::min(ink.top, y);
                ink.bottom = std::max(ink.bottom, y);
            }
    return ink;
}

}  // namespace qm::test
