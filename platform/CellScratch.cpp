#include "platform/CellScratch.h"

#include <algorithm>

namespace qm {

CellScratch::CellScratch() = default;
CellScratch::~CellScratch() = default;

QPainter& CellScratch::Begin(const QSize& cell, const QColor& bg, int dpiX, int dpiY, QPainter::RenderHints hints,
                             Qt::LayoutDirection direction) {
    const QRect area(0, 0, cell.width() + 2 * kMargin, cell.height() + 2 * kMargin);
    const int dpmX = qRound(dpiX / 0.0254), dpmY = qRound(dpiY / 0.0254);
    if (!painter_ || image_.width() < area.width() || image_.height() < area.height() ||
        image_.dotsPerMeterX() != dpmX || image_.dotsPerMeterY() != dpmY) {
        painter_.reset();
        image_ = QImage(std::max(area.width(), image_.width()), std::max(area.height(), image_.height()),
                        QImage::Format_RGB32);
        image_.setDotsPerMeterX(dpmX);
        image_.setDotsPerMeterY(dpmY);
        painter_ = std::make_unique<QPainter>(&image_);
    }
    QPainter& q = *painter_;
    q.resetTransform();
    q.setClipping(false);
    q.fillRect(area, bg);
    q.setClipRect(area);
    q.setRenderHints(QPainter::RenderHints::fromInt(~0), false);
    q.setRenderHints(hints);
    q.setLayoutDirection(direction);
    return q;
}

QImage CellScratch::Crop(const QSize& cell, QRgb bg) const {
    const QRgb px = 0xFF000000u | bg;
    const int w = cell.width() + 2 * kMargin, h = cell.height() + 2 * kMargin;
    for (int y = 0; y < h; ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(image_.constScanLine(y));
        const bool marginRow = y < kMargin || y >= h - kMargin;
        for (int x = 0; x < w; ++x) {
            if (!marginRow && x == kMargin) x = w - kMargin;  // skip the cell itself
            if (line[x] != px) return {};
        }
    }
    return image_.copy(kMargin, kMargin, cell.width(), cell.height());
}

}  // namespace qm
