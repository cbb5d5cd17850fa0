#include "grid/CustomGrid.h"

#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>

namespace qm::grid {

TCustomGrid::TCustomGrid(QWidget* parent) : QAbstractScrollArea(parent) {
    colWidths_.assign(5, defaultColWidth_);
    rowHeights_.assign(5, defaultRowHeight_);
    tabStops_.assign(5, true);
    fixedCols_ = fixedRows_ = 1;
    col_ = leftCol_ = 1;
    row_ = topRow_ = 1;
    anchorCol_ = anchorRow_ = 1;
    gridOptions_ = {goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect};
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);  // the grid paints its whole client area
    viewport()->setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, this, [this](int v) {
        if (!syncingBar_) SetLeftCol(v);
    });
}

TCustomGrid::~TCustomGrid() = default;

// ---------------------------------------------------------------- matrix

void TCustomGrid::SetColCount(int v) {
    v = std::max(v, 1);
    if (v == ColCount()) return;
    colWidths_.resize(size_t(v), defaultColWidth_);
    tabStops_.resize(size_t(v), true);
    if (fixedCols_ > v - 1) fixedCols_ = std::max(0, v - 1);
    ClampAll();
    InvalidateGrid();
}

void TCustomGrid::SetRowCount(int v) {
    v = std::max(v, 1);
    if (v == RowCount()) return;
    rowHeights_.resize(size_t(v), defaultRowHeight_);
    if (fixedRows_ > v - 1) fixedRows_ = std::max(0, v - 1);
    ClampAll();
    InvalidateGrid();
}

void TCustomGrid::SetFixedCols(int v) {
    v = std::clamp(v, 0, std::max(0, ColCount() - 1));
    if (v == fixedCols_) return;
    fixedCols_ = v;
    ClampAll();
    InvalidateGrid();
}

void TCustomGrid::SetFixedRows(int v) {
    v = std::clamp(v, 0, std::max(0, RowCount() - 1));
    if (v == fixedRows_) return;
    fixedRows_ = v;
    ClampAll();
    InvalidateGrid();
}

void TCustomGrid::ClampAll() {
    const int fc = fixedCols_, fr = fixedRows_;
    leftCol_ = std::clamp(leftCol_, fc, std::max(fc, ColCount() - 1));
    topRow_ = std::clamp(topRow_, fr, std::max(fr, RowCount() - 1));
    const int mc = std::min(fc, MinCurrentCol());
    col_ = std::clamp(col_, mc, std::max(mc, ColCount() - 1));
    row_ = std::clamp(row_, fr, std::max(fr, RowCount() - 1));
    anchorCol_ = std::clamp(anchorCol_, 0, ColCount() - 1);
    anchorRow_ = std::clamp(anchorRow_, fr, std::max(fr, RowCount() - 1));
    UpdateHorzScrollBar();
}

void TCustomGrid::SetColWidths(int i, int w) {
    if (colWidths_.at(size_t(i)) == w) return;
    colWidths_[size_t(i)] = w;
    ColWidthsChanged();
    UpdateHorzScrollBar();
    InvalidateGrid();
}

void TCustomGrid::SetRowHeights(int i, int h) {
    if (rowHeights_.at(size_t(i)) == h) return;
    rowHeights_[size_t(i)] = h;
    RowHeightsChanged();
    InvalidateGrid();
}

void TCustomGrid::SetDefaultColWidth(int v) {
    defaultColWidth_ = v;
    std::fill(colWidths_.begin(), colWidths_.end(), v);
    ColWidthsChanged();
    InvalidateGrid();
}

void TCustomGrid::SetDefaultRowHeight(int v) {
    defaultRowHeight_ = v;
    std::fill(rowHeights_.begin(), rowHeights_.end(), v);
    RowHeightsChanged();
    InvalidateGrid();
}

void TCustomGrid::SetGridLineWidth(int v) {
    gridLineWidth_ = std::max(0, v);
    InvalidateGrid();
}

void TCustomGrid::SetGridOptions(TGridOptions v) {
    if (v == gridOptions_) return;
    gridOptions_ = v;
    InvalidateGrid();
}

void TCustomGrid::SetScrollBars(TScrollStyle v) {
    scrollBars_ = v;
    setHorizontalScrollBarPolicy(v == ssHorizontal || v == ssBoth ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    UpdateHorzScrollBar();
}

int TCustomGrid::HorzLineWidth() const {
    return gridOptions_.Has(goFixedVertLine) || gridOptions_.Has(goVertLine) ? gridLineWidth_ : 0;
}
int TCustomGrid::VertLineWidth() const {
    return gridOptions_.Has(goFixedHorzLine) || gridOptions_.Has(goHorzLine) ? gridLineWidth_ : 0;
}

// ---------------------------------------------------------------- geometry

int TCustomGrid::ClientWidth() const { return viewport()->width(); }
int TCustomGrid::ClientHeight() const { return viewport()->height(); }

void TCustomGrid::CalcAxis(TGridAxisDrawInfo& a, int fixed, int first, int extent, int lw,
                           const std::vector<int>& ext) const {
    a.EffectiveLineWidth = lw;
    a.Extents = &ext;
    a.FixedCellCount = fixed;
    a.FirstGridCell = first;
    a.GridCellCount = int(ext.size());
    a.GridExtent = extent;
    a.FixedBoundary = 0;
    for (int i = 0; i < fixed; ++i) a.FixedBoundary += ext[size_t(i)] + lw;
    a.GridBoundary = a.FixedBoundary;
    a.FullVisBoundary = a.FixedBoundary;
    a.LastFullVisibleCell = first;
    for (int i = first; i < int(ext.size()); ++i) {
        a.GridBoundary += ext[size_t(i)] + lw;
        if (a.GridBoundary > extent + lw) {
            a.GridBoundary = extent;
            break;
        }
        a.LastFullVisibleCell = i;
        a.FullVisBoundary = a.GridBoundary;
    }
}

void TCustomGrid::CalcDrawInfoXY(TGridDrawInfo& info, int width, int height) const {
    CalcAxis(info.Horz, fixedCols_, leftCol_, width, HorzLineWidth(), colWidths_);
    CalcAxis(info.Vert, fixedRows_, topRow_, height, VertLineWidth(), rowHeights_);
}

void TCustomGrid::CalcDrawInfo(TGridDrawInfo& info) const { CalcDrawInfoXY(info, ClientWidth(), ClientHeight()); }

int TCustomGrid::LinePos(const TGridAxisDrawInfo& a, int line) {
    int start = 0;
    for (int i = 0; i < a.GridCellCount; ++i) {
        if (i == a.FixedCellCount) {
            i = a.FirstGridCell;
            if (i >= a.GridCellCount) break;
        }
        if (i == line) return start;
        start += a.Extent(i) + a.EffectiveLineWidth;
        if (start > a.GridExtent) break;
    }
    return -1;
}

QRect TCustomGrid::BoxRect(int left, int top, int right, int bottom) const {
    TGridDrawInfo info;
    CalcDrawInfo(info);
    auto axis = [](const TGridAxisDrawInfo& a, int lo, int hi, int& start, int& end) {
        if (lo > hi) std::swap(lo, hi);
        // A range that starts in the scrolled-away part begins at the first visible cell.
        if (lo >= a.FixedCellCount && lo < a.FirstGridCell) lo = a.FirstGridCell;
        if (hi >= a.FixedCellCount && hi < a.FirstGridCell) return false;
        start = LinePos(a, lo);
        if (start < 0) return false;
        const int hiPos = LinePos(a, hi);
        end = hiPos < 0 ? a.GridBoundary : hiPos + a.Extent(hi);
        end = std::min(end, a.GridExtent);
        return end > start || (end == start && a.Extent(hi) == 0);
    };
    int l, r, t, b;
    if (!axis(info.Horz, left, right, l, r) || !axis(info.Vert, top, bottom, t, b)) return {};
    return QRect(QPoint(l, t), QPoint(r - 1, b - 1));
}

int TCustomGrid::CoordFromPoint(const TGridAxisDrawInfo& a, int pos) {
    if (pos < 0) return -1;
    int start = 0;
    if (pos < a.FixedBoundary) {
        for (int i = 0; i < a.FixedCellCount; ++i) {
            start += a.Extent(i) + a.EffectiveLineWidth;
            if (pos < start) return i;
        }
        return -1;
    }
    start = a.FixedBoundary;
    for (int i = a.FirstGridCell; i < a.GridCellCount; ++i) {
        start += a.Extent(i) + a.EffectiveLineWidth;
        if (pos < start) return i;
    }
    return -1;
}

TGridCoord TCustomGrid::MouseCoord(int x, int y) const {
    TGridDrawInfo info;
    CalcDrawInfo(info);
    TGridCoord c{CoordFromPoint(info.Horz, x), CoordFromPoint(info.Vert, y)};
    if (c.X < 0 || c.Y < 0 || x >= info.Horz.GridBoundary || y >= info.Vert.GridBoundary) return {};
    return c;
}

int TCustomGrid::VisibleColCount() const {
    TGridDrawInfo info;
    CalcDrawInfo(info);
    return std::max(0, info.Horz.LastFullVisibleCell - leftCol_ + 1);
}

int TCustomGrid::VisibleRowCount() const {
    TGridDrawInfo info;
    CalcDrawInfo(info);
    return std::max(0, info.Vert.LastFullVisibleCell - topRow_ + 1);
}

int TCustomGrid::GridWidth() const {
    TGridDrawInfo info;
    CalcDrawInfo(info);
    return info.Horz.GridBoundary;
}

int TCustomGrid::GridHeight() const {
    TGridDrawInfo info;
    CalcDrawInfo(info);
    return info.Vert.GridBoundary;
}

TGridRect TCustomGrid::Selection() const {
    return {std::min(col_, anchorCol_), std::min(row_, anchorRow_), std::max(col_, anchorCol_),
            std::max(row_, anchorRow_)};
}

// ---------------------------------------------------------------- scrolling

int TCustomGrid::MaxLeftCol() const {
    // The largest left column that still fills the client width from its left edge.
    TGridDrawInfo info;
    CalcDrawInfo(info);
    const int lw = info.Horz.EffectiveLineWidth;
    int avail = ClientWidth() - info.Horz.FixedBoundary;
    int i = ColCount() - 1;
    int used = 0;
    for (; i >= fixedCols_; --i) {
        used += colWidths_[size_t(i)] + lw;
        if (used > avail) break;
    }
    return std::clamp(i + 1, fixedCols_, std::max(fixedCols_, ColCount() - 1));
}

void TCustomGrid::UpdateHorzScrollBar() {
    QScrollBar* sb = horizontalScrollBar();
    syncingBar_ = true;
    if (scrollBars_ == ssHorizontal || scrollBars_ == ssBoth) {
        const int maxLeft = std::max(MaxLeftCol(), leftCol_);
        sb->setRange(fixedCols_, maxLeft);
        sb->setPageStep(std::max(1, VisibleColCount()));
        sb->setValue(leftCol_);
    } else {
        sb->setRange(0, 0);
    }
    syncingBar_ = false;
}

void TCustomGrid::SetLeftCol(int v) {
    v = std::clamp(v, fixedCols_, std::max(fixedCols_, ColCount() - 1));
    if (v == leftCol_) return;
    leftCol_ = v;
    UpdateHorzScrollBar();
    InvalidateGrid();
    TopLeftChanged();
}

void TCustomGrid::SetTopRow(int v) {
    v = std::clamp(v, fixedRows_, std::max(fixedRows_, RowCount() - 1));
    if (v == topRow_) return;
    topRow_ = v;
    InvalidateGrid();
    TopLeftChanged();
}

void TCustomGrid::ScrollToShow(int col, int row) {
    if (col >= fixedCols_) {
        if (col < leftCol_)
            SetLeftCol(col);
        else {
            TGridDrawInfo info;
            CalcDrawInfo(info);
            if (col > info.Horz.LastFullVisibleCell) {
                // Scroll right just far enough for the column to show whole.
                int left = leftCol_;
                while (left < col) {
                    int w = info.Horz.FixedBoundary;
                    for (int i = left + 1; i <= col; ++i) w += colWidths_[size_t(i)] + info.Horz.EffectiveLineWidth;
                    ++left;
                    if (w <= ClientWidth()) break;
                }
                SetLeftCol(left);
            }
        }
    }
    if (row >= fixedRows_) {
        if (row < topRow_)
            SetTopRow(row);
        else {
            TGridDrawInfo info;
            CalcDrawInfo(info);
            if (row > info.Vert.LastFullVisibleCell) SetTopRow(topRow_ + (row - info.Vert.LastFullVisibleCell));
        }
    }
}

void TCustomGrid::MoveColRow(int col, int row, bool moveAnchor, bool show) {
    col = std::clamp(col, 0, ColCount() - 1);
    row = std::clamp(row, fixedRows_, std::max(fixedRows_, RowCount() - 1));
    if (!SelectCell(col, row)) return;
    const int oldCol = col_, oldRow = row_;
    col_ = col;
    row_ = row;
    if (moveAnchor || !gridOptions_.Has(goRangeSelect)) {
        anchorCol_ = col;
        anchorRow_ = row;
    }
    if (show) ScrollToShow(col, row);
    if (oldCol != col || oldRow != row) {
        InvalidateRow(oldRow);
        InvalidateRow(row);
    }
}

// ---------------------------------------------------------------- repaint requests

void TCustomGrid::InvalidateCell(int col, int row) {
    const QRect r = CellRect(col, row);
    if (!r.isEmpty()) viewport()->update(r.adjusted(-1, -1, 1, 1));
}
void TCustomGrid::InvalidateCol(int col) {
    const QRect r = BoxRect(col, 0, col, RowCount() - 1);
    if (!r.isEmpty()) viewport()->update(r.adjusted(-1, -1, 1, 1));
}
void TCustomGrid::InvalidateRow(int row) {
    if (row < 0 || row >= RowCount()) return;
    const QRect r = BoxRect(0, row, ColCount() - 1, row);
    if (!r.isEmpty()) viewport()->update(QRect(0, r.top() - 1, ClientWidth(), r.height() + 2));
}
void TCustomGrid::InvalidateGrid() { viewport()->update(); }

// ---------------------------------------------------------------- painting

void TCustomGrid::paintEvent(QPaintEvent* e) {
    QPainter p(viewport());
    PaintGrid(p, e->rect());
}

void TCustomGrid::PaintGrid(QPainter& p, const QRect& clip) {
    p.save();
    p.setClipRect(clip);
    Paint(p, clip);
    p.restore();
}

QImage TCustomGrid::RenderImage() {
    QImage img(viewport()->size(), QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    PaintGrid(p, img.rect());
    return img;
}

void TCustomGrid::DrawCells(QPainter& p, const QRect& clip, const TGridDrawInfo& info) {
    const TGridAxisDrawInfo& h = info.Horz;
    const TGridAxisDrawInfo& v = info.Vert;
    const TGridRect sel = Selection();
    const bool focused = Focused();
    auto loop = [&](int c0, int c1, int x0, int r0, int r1, int y0, bool fixedRegion) {
        int y = y0;
        for (int r = r0; r < r1 && y < v.GridBoundary; ++r) {
            const int rh = rowHeights_[size_t(r)];
            int x = x0;
            for (int c = c0; c < c1 && x < h.GridBoundary; ++c) {
                const int cw = colWidths_[size_t(c)];
                const QRect cell(x, y, cw, rh);
                // A cell whose trailing lines alone are to be redrawn is drawn too: it may
                // draw over them (a title band that goes on over the next column).
                const QRect withLines(x, y, cw + h.EffectiveLineWidth, rh + v.EffectiveLineWidth);
                if (cw > 0 && rh > 0 && withLines.intersects(clip)) {
                    TGridDrawState st;
                    if (fixedRegion || c < fixedCols_ || r < fixedRows_) st.Include(gdFixed);
                    if (c >= sel.Left && c <= sel.Right && r >= sel.Top && r <= sel.Bottom) st.Include(gdSelected);
                    if (c == col_ && r == row_ && focused) st.Include(gdFocused);
                    DrawCell(p, c, r, cell, st);
                }
                x += cw + h.EffectiveLineWidth;
            }
            y += rh + v.EffectiveLineWidth;
        }
    };
    loop(0, fixedCols_, 0, 0, fixedRows_, 0, true);
    loop(leftCol_, ColCount(), h.FixedBoundary, 0, fixedRows_, 0, true);
    loop(0, fixedCols_, 0, topRow_, RowCount(), v.FixedBoundary, true);
    loop(leftCol_, ColCount(), h.FixedBoundary, topRow_, RowCount(), v.FixedBoundary, false);
}

void TCustomGrid::Paint(QPainter& p, const QRect& clip) {
    TGridDrawInfo info;
    CalcDrawInfo(info);
    p.fillRect(clip, palette().color(QPalette::Base));
    DrawCells(p, clip, info);
    DrawMoveIndicator(p);
}

QRect TCustomGrid::MoveIndicatorRect() const {
    if (gridState_ != gsColMoving || moveIndex_ < 0 || movePos_ < 0 || movePos_ == moveIndex_) return {};
    const QRect cell = CellRect(movePos_, 0);
    if (cell.isEmpty()) return {};
    TGridDrawInfo info;
    CalcDrawInfo(info);
    // Moved right, the column lands after the one under the mouse; moved left, before it.
    const int x = movePos_ > moveIndex_ ? cell.right() + 1 : cell.left() - 1;
    constexpr int kBar = 3;
    return QRect(x - kBar / 2, 0, kBar, info.Vert.GridBoundary);
}

void TCustomGrid::DrawMoveIndicator(QPainter& p) const {
    const QRect bar = MoveIndicatorRect();
    if (!bar.isEmpty()) p.fillRect(bar, palette().color(QPalette::Text));
}

void TCustomGrid::DrawCell(QPainter& p, int, int, const QRect& rect, TGridDrawState state) {
    p.fillRect(rect, palette().color(state.Has(gdFixed) ? QPalette::Button : QPalette::Base));
}

bool TCustomGrid::Focused() const {
    // The grid counts as focused when it is the focus widget of its window (deterministic
    // also while the window is not active, as in headless runs).
    const QWidget* w = window();
    return w && (w->focusWidget() == this || w->focusWidget() == viewport());
}

void TCustomGrid::resizeEvent(QResizeEvent* e) {
    QAbstractScrollArea::resizeEvent(e);
    SizeChanged();
    UpdateHorzScrollBar();
}

// ---------------------------------------------------------------- mouse: sizing and moving

TGridState TCustomGrid::CalcSizingState(int x, int y, int& index, int& sizingPos, int& sizingOfs) const {
    const bool cols = gridOptions_.Has(goColSizing), rows = gridOptions_.Has(goRowSizing);
    if (!cols && !rows) return gsNormal;
    TGridDrawInfo info;
    CalcDrawInfo(info);
    // The trailing lines of the scrolling cells of one axis, within two pixels either side.
    auto lineAt = [&](const TGridAxisDrawInfo& a, int first, int count, const std::vector<int>& ext, int pos,
                      int clientExtent) {
        int line = a.FixedBoundary;
        for (int i = first; i < count; ++i) {
            line += ext[size_t(i)] + a.EffectiveLineWidth;
            if (line > clientExtent + 2) break;
            if (ext[size_t(i)] < 0) continue;
            if (std::abs(pos - (line - 1)) <= 2) {
                index = i;
                sizingPos = line - 1;
                sizingOfs = sizingPos - pos;
                return true;
            }
        }
        return false;
    };
    if (cols && y < info.Vert.FixedBoundary && x < info.Horz.GridBoundary &&
        lineAt(info.Horz, leftCol_, ColCount(), colWidths_, x, ClientWidth()))
        return gsColSizing;
    if (rows && x < info.Horz.FixedBoundary && y >= info.Vert.FixedBoundary && y < info.Vert.GridBoundary &&
        lineAt(info.Vert, topRow_, RowCount(), rowHeights_, y, ClientHeight()))
        return gsRowSizing;
    return gsNormal;
}

void TCustomGrid::mousePressEvent(QMouseEvent* e) { BaseMouseDown(e); }
void TCustomGrid::mouseMoveEvent(QMouseEvent* e) { BaseMouseMove(e); }
void TCustomGrid::mouseReleaseEvent(QMouseEvent* e) { BaseMouseUp(e); }

void TCustomGrid::BaseMouseDown(QMouseEvent* e) {
    const QPoint pt = e->position().toPoint();
    pressPoint_ = pt;
    if (e->button() != Qt::LeftButton) return;
    int idx, pos, ofs;
    if (const TGridState st = CalcSizingState(pt.x(), pt.y(), idx, pos, ofs); st != gsNormal) {
        gridState_ = st;
        sizingIndex_ = idx;
        sizingPos_ = pos;
        sizingOfs_ = ofs;
        return;
    }
    const TGridCoord c = MouseCoord(pt.x(), pt.y());
    if (c.X < 0) return;
    if (gridOptions_.Has(goColMoving) && c.Y < fixedRows_ && c.X >= fixedCols_) {
        gridState_ = gsColMoving;
        moveIndex_ = c.X;
        movePos_ = c.X;
        return;
    }
    if (c.X >= fixedCols_ && c.Y >= fixedRows_) MoveColRow(c.X, c.Y, true, true);
}

void TCustomGrid::BaseMouseMove(QMouseEvent* e) {
    const QPoint pt = e->position().toPoint();
    if (gridState_ == gsColSizing || gridState_ == gsRowSizing) {
        sizingPos_ = (gridState_ == gsColSizing ? pt.x() : pt.y()) + sizingOfs_;
        InvalidateGrid();  // the sizing line follows the mouse
        return;
    }
    if (gridState_ == gsColMoving) {
        const TGridCoord c = MouseCoord(pt.x(), std::clamp(pt.y(), 0, ClientHeight() - 1));
        if (c.X >= fixedCols_ && c.X != movePos_) {
            movePos_ = c.X;
            InvalidateGrid();  // the landing bar follows the mouse
        }
        return;
    }
    if (gridState_ == gsNormal && e->buttons() == Qt::NoButton) {
        int idx, pos, ofs;
        const TGridState st = CalcSizingState(pt.x(), pt.y(), idx, pos, ofs);
        viewport()->setCursor(st == gsColSizing   ? Qt::SplitHCursor
                              : st == gsRowSizing ? Qt::SplitVCursor
                                                  : Qt::ArrowCursor);
    }
}

void TCustomGrid::BaseMouseUp(QMouseEvent*) {
    if (gridState_ == gsColSizing) {
        gridState_ = gsNormal;
        const QRect r = CellRect(sizingIndex_, 0);
        int left = r.isEmpty() ? 0 : r.left();
        const int w = std::max(0, sizingPos_ - left);
        colWidths_[size_t(sizingIndex_)] = w;
        ColWidthsChanged();
        UpdateHorzScrollBar();
        InvalidateGrid();
        return;
    }
    if (gridState_ == gsRowSizing) {
        gridState_ = gsNormal;
        // A row keeps at least two pixels; a release at or above its top changes nothing.
        TGridDrawInfo info;
        CalcDrawInfo(info);
        int top = info.Vert.FixedBoundary;
        for (int r = topRow_; r < sizingIndex_; ++r) top += rowHeights_[size_t(r)] + info.Vert.EffectiveLineWidth;
        const int h = sizingPos_ - top;
        InvalidateGrid();  // the sizing line goes
        if (h > 1) SetRowHeights(sizingIndex_, h);
        return;
    }
    if (gridState_ == gsColMoving) {
        gridState_ = gsNormal;
        if (moveIndex_ >= 0 && movePos_ >= 0 && movePos_ != moveIndex_) MoveColumn(moveIndex_, movePos_);
        moveIndex_ = movePos_ = -1;
        InvalidateGrid();  // the landing bar goes
    }
}

void TCustomGrid::MoveColumn(int from, int to) {
    if (from == to) return;
    const int w = colWidths_[size_t(from)];
    const bool ts = tabStops_[size_t(from)];
    colWidths_.erase(colWidths_.begin() + from);
    colWidths_.insert(colWidths_.begin() + to, w);
    tabStops_.erase(tabStops_.begin() + from);
    tabStops_.insert(tabStops_.begin() + to, ts);
    if (col_ == from) col_ = to;
    ColumnMoved(from, to);
    InvalidateGrid();
}

}  // namespace qm::grid
