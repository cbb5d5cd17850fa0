#pragma once
// Shared pieces of the grid tests: a pinned look, a data set of numbered records, and a
// grid bound to it at a fixed size.

#include "grid/DBGridX.h"
#include "tests/core/db/NumberedDataSet.h"

#include <QApplication>
#include <QPalette>
#include <QWidget>

#include <memory>

namespace qm::test {

// Text height 13, internal leading 3, no external leading, "0" 7 pixels wide: layouts in
// whole pixels whatever fonts the machine has.
inline grid::TTextMetrics StubMetrics(const QFont&) {
    grid::TTextMetrics m;
    m.Height = 13;
    m.InternalLeading = 3;
    m.ZeroWidth = 7;
    m.AveCharWidth = 7;
    return m;
}

inline QPalette PinnedPalette() {
    QPalette p;
    p.setColor(QPalette::Base, QColor(255, 255, 255));
    p.setColor(QPalette::Window, QColor(240, 240, 240));
    p.setColor(QPalette::Text, QColor(0, 0, 0));
    p.setColor(QPalette::ButtonText, QColor(0, 0, 0));
    p.setColor(QPalette::Button, QColor(212, 208, 200));
    p.setColor(QPalette::Highlight, QColor(10, 36, 106));
    p.setColor(QPalette::HighlightedText, QColor(255, 255, 255));
    p.setColor(QPalette::Light, QColor(255, 255, 255));
    p.setColor(QPalette::Dark, QColor(128, 128, 128));
    return p;
}

inline QFont PinnedFont() {
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(12);
    f.setStyleStrategy(QFont::NoAntialias);
    return f;
}

// A window holding one grid of a fixed viewport size, shown offscreen and focused.
struct GridHost {
    QWidget window;
    grid::TDBGridX* grid;
    grid::TDataSource src;
    explicit GridHost(int w = 400, int h = 200) {
        window.setPalette(PinnedPalette());
        window.setFont(PinnedFont());
        grid = new grid::TDBGridX(&window);
        grid->setFrameShape(QFrame::NoFrame);
        grid->setGeometry(0, 0, w, h);
        window.resize(w, h);
        window.show();
        QApplication::processEvents();
    }
    void Bind(grid::TDataSet& ds) {
        src.SetDataSet(&ds);
        grid->SetDataSource(&src);
        QApplication::processEvents();
    }
    ~GridHost() { grid->SetDataSource(nullptr); }
};

}  // namespace qm::test
