#pragma once
// Where the grid's and the sheet's pixel caches paint a cell apart before they keep it: an
// image of the cell's size with a margin all round, so that ink falling outside the cell
// shows and such a cell is never kept (it would be cut).

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QSize>

#include <memory>

namespace qm {

class CellScratch {
public:
    // Pixels of room around a cell in which ink outside the cell is looked for.
    static constexpr int kMargin = 4;

    CellScratch();
    ~CellScratch();
    CellScratch(const CellScratch&) = delete;
    CellScratch& operator=(const CellScratch&) = delete;

    // The painter over the area of a cell of size `cell` and its margin, at the origin, filled
    // with `bg` and clipped to it, in the state of a fresh painter with `hints` and
    // `direction`. The image has the device's resolution, so point-sized fonts come out the
    // same size. The painter holds until the next Begin.
    QPainter& Begin(const QSize& cell, const QColor& bg, int dpiX, int dpiY, QPainter::RenderHints hints,
                    Qt::LayoutDirection direction);
    // The cell's pixels, or a null image when anything but `bg` fell into the margin.
    QImage Crop(const QSize& cell, QRgb bg) const;

private:
    QImage image_;
    std::unique_ptr<QPainter> painter_;  // declared after the image: ends before it goes
};

}  // namespace qm
