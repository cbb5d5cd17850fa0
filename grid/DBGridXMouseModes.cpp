// The grid's further mouse modes: the cursors over titles and indicators, selecting whole
// columns by dragging over their titles (with automatic scrolling sideways), sizing the
// frozen columns, and the automatic dragging of a selection.
#include "grid/DBGridX.h"

#include <QBitmap>
#include <QDrag>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>

namespace qm::grid {

namespace {
// A solid black arrow of 16×16 pixels pointing down (column selection) or right (row
// selection), with a white rim so that it shows on dark titles too.
QCursor ArrowCursor(bool down) {
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing, false);
    QPolygon arrow = down ? QPolygon({QPoint(5, 1), QPoint(10, 1), QPoint(10, 8), QPoint(14, 8), QPoint(7, 15),
                                      QPoint(1, 8), QPoint(5, 8)})
                          : QPolygon({QPoint(1, 5), QPoint(1, 10), QPoint(8, 10), QPoint(8, 14), QPoint(15, 7),
                                      QPoint(8, 1), QPoint(8, 5)});
    p.setPen(Qt::white);
    p.setBrush(Qt::black);
    p.drawPolygon(arrow);
    p.end();
    return down ? QCursor(pm, 7, 15) : QCursor(pm, 15, 7);
}
}  // namespace

const QCursor& TCustomDBGridX::ColumnSelectCursor() {
    static const QCursor c = ArrowCursor(true);
    return c;
}

const QCursor& TCustomDBGridX::RowSelectCursor() {
    static const QCursor c = ArrowCursor(false);
    return c;
}

// ---------------------------------------------------------------- cursors

TGridCursorX TCustomDBGridX::CursorAt(const QPoint& p) const {
    int idx, pos, ofs;
    if (FrozenSizingIndexAt(p.x(), p.y()) >= 0) return gcSizing;
    switch (CalcSizingState(p.x(), p.y(), idx, pos, ofs)) {
    case gsColSizing: return gcSizing;
    case gsRowSizing: return gcRowSizing;
    default: break;
    }
    if (!options_.Has(dgMultiSelect) || !dataLink_->Active()) return gcDefault;
    const TGridCoord c = MouseCoord(p.x(), p.y());
    if (c.X < 0 || c.Y < 0) return gcDefault;
    // The indicator of a data row selects rows.
    if (options_.Has(dgIndicator) && c.X == 0 && c.Y >= titleOffset_ && c.Y - titleOffset_ < dataLink_->RecordCount() &&
        !dataLink_->DataSet()->IsEmpty())
        return gcRowSelect;
    // The lowest 7 pixels of a data column's title select columns.
    if (c.Y < titleOffset_ && c.X >= indicatorOffset_ && !options_.Has(dgRowSelect)) {
        const QRect r = CellRect(c.X, c.Y);
        if (r.height() < 7 || p.y() >= r.bottom() + 1 - 7) return gcColumnSelect;
    }
    return gcDefault;
}

void TCustomDBGridX::UpdateCursor(const QPoint& p) {
    switch (CursorAt(p)) {
    case gcSizing: viewport()->setCursor(Qt::SplitHCursor); break;
    case gcRowSizing: viewport()->setCursor(Qt::SplitVCursor); break;
    case gcColumnSelect: viewport()->setCursor(ColumnSelectCursor()); break;
    case gcRowSelect: viewport()->setCursor(RowSelectCursor()); break;
    case gcDefault: viewport()->setCursor(Qt::ArrowCursor); break;
    }
}

// ---------------------------------------------------------------- column selection

bool TCustomDBGridX::ColumnSelectPress(const QPoint& p, Qt::KeyboardModifiers mods) {
    if (CursorAt(p) != gcColumnSelect) return false;
    const int dataCol = RawToDataColumn(MouseCoord(p.x(), p.y()).X);
    if (dataCol < 0 || dataCol >= columns_->Count()) return false;
    TColumnX* c = columns_->Items(dataCol);
    InvalidateCol(DataToRawColumn(dataCol));
    mouseSelState_ = 2;
    StartTimer(60);
    if (mods & Qt::ShiftModifier) {
        selection_->Columns().SelectShift(c);
    } else if (mods & Qt::ControlModifier) {
        selection_->Columns().InvertColumn(c);
    } else {
        InvalidateGrid();
        selection_->Columns().Add(c, false);
    }
    return true;
}

void TCustomDBGridX::ColumnSelectMove(const QPoint& p) {
    TGridDrawInfo info;
    CalcDrawInfo(info);
    if (p.x() >= info.Horz.FixedBoundary && p.x() < info.Horz.GridBoundary) {
        ExtendColumnSelectionTo(MouseCoord(p.x(), std::clamp(p.y(), 0, ClientHeight() - 1)).X);
        return;
    }
    DoColumnAutoScroll();
}

void TCustomDBGridX::DoColumnAutoScroll() {
    TGridDrawInfo info;
    CalcDrawInfo(info);
    const int x = lastPoint_.x();
    int distance = 0;
    if (x < info.Horz.FixedBoundary) {
        distance = info.Horz.FixedBoundary - x;
        if (LeftCol() > FixedCols()) {
            SetLeftCol(LeftCol() - 1);
            ExtendColumnSelectionTo(LeftCol());
        }
    } else if (x >= info.Horz.GridBoundary) {
        distance = x - info.Horz.GridBoundary + 1;
        if (LeftCol() + VisibleColCount() < ColCount()) {
            SetLeftCol(LeftCol() + 1);
            // The column now at the right edge (partly shown, when one is).
            ExtendColumnSelectionTo(std::min(LeftCol() + VisibleColCount(), ColCount() - 1));
        }
    } else {
        return;  // over the columns: the timer keeps its pace
    }
    StartTimer(AutoScrollColumnsInterval(distance));
}

void TCustomDBGridX::ExtendColumnSelectionTo(int rawCol) {
    const int dataCol = RawToDataColumn(rawCol);
    if (dataCol >= 0 && dataCol < columns_->Count()) selection_->Columns().SelectShift(columns_->Items(dataCol));
}

// ---------------------------------------------------------------- frozen column sizing

int TCustomDBGridX::FrozenSizingIndexAt(int x, int y, int* edge) const {
    if (!GridOptions().Has(goColSizing) || frozenCols_ <= 0) return -1;
    TGridDrawInfo info;
    CalcDrawInfo(info);
    if (y < 0 || y >= info.Vert.FixedBoundary) return -1;  // only over the titles
    const int lw = info.Horz.EffectiveLineWidth;
    int left = 0;
    for (int c = 0; c < indicatorOffset_; ++c) left += ColWidths(c) + lw;
    for (int c = indicatorOffset_; c < FixedCols(); ++c) {
        if (ColWidths(c) < 0) continue;  // hidden, with its line
        const int right = left + ColWidths(c);
        if (right > info.Horz.FixedBoundary) break;
        // Seven pixels around the line, or ending with a line at least that wide.
        const int start = lw < 7 ? right - (7 - lw) / 2 : right + lw - 7;
        const bool atClientEdge = right == ClientWidth() && x >= right - 7 && x <= right;
        if ((x >= start && x < start + 7) || atClientEdge) {
            if (edge) *edge = right;
            return c;
        }
        left = right + lw;
    }
    return -1;
}

bool TCustomDBGridX::FrozenSizingPress(const QPoint& p) {
    int edge = 0;
    const int c = FrozenSizingIndexAt(p.x(), p.y(), &edge);
    if (c < 0) return false;
    dataLink_->UpdateRecord();
    mouseSelState_ = 6;
    frozenIndex_ = c;
    frozenPos_ = edge;
    frozenOfs_ = edge - p.x();
    if (!optionsX_.Has(dghTraceColSizing)) viewport()->update();  // the sizing line
    return true;
}

void TCustomDBGridX::FrozenSizingMove(const QPoint& p) {
    frozenPos_ = p.x() + frozenOfs_;
    if (!optionsX_.Has(dghTraceColSizing)) {
        viewport()->update();
        return;
    }
    // Live sizing; under auto-fit only while every column from this one on keeps a pixel.
    const int left = CellRect(frozenIndex_, 0).left();
    const int w = frozenPos_ - left;
    if (w <= 1) return;
    if (autoFitColWidths_) {
        TGridDrawInfo info;
        CalcDrawInfo(info);
        const int rest = (ColCount() - frozenIndex_) * (1 + info.Horz.EffectiveLineWidth);
        if (frozenPos_ + rest > info.Horz.GridExtent) return;
    }
    SetColWidths(frozenIndex_, w);
}

void TCustomDBGridX::FrozenSizingRelease() {
    const int index = frozenIndex_;
    frozenIndex_ = -1;
    viewport()->update();  // the sizing line goes
    if (optionsX_.Has(dghTraceColSizing) || index < 0) return;
    const int w = frozenPos_ - CellRect(index, 0).left();
    if (w > 1) SetColWidths(index, w);
}

void TCustomDBGridX::PaintFrozenSizingLine(QPainter& p, int height) const {
    if (mouseSelState_ != 6 || frozenIndex_ < 0 || optionsX_.Has(dghTraceColSizing)) return;
    p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    p.setPen(QPen(Qt::white, 1, Qt::DotLine));
    p.drawLine(frozenPos_, 0, frozenPos_, height);
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

// ---------------------------------------------------------------- automatic dragging

bool TCustomDBGridX::ArmAutoDrag(Qt::MouseButton button, Qt::KeyboardModifiers mods, int dataCol) {
    if (DragMode != dmAutomatic || !options_.Has(dgMultiSelect) || button != Qt::LeftButton ||
        (mods & Qt::ShiftModifier) || !dataLink_->Active())
        return false;
    if (!selection_->DataCellSelected(dataCol, dataLink_->DataSet()->Bookmark())) return false;
    autoDragArmed_ = true;
    return true;
}

void TCustomDBGridX::AutoDragNotStarted(Qt::KeyboardModifiers mods) {
    // A press on the selection that did not drag acts as a plain click on it.
    if ((mods & Qt::ControlModifier) && options_.Has(dgRowSelect))
        selectedRows_->SetCurrentRowSelected(!selectedRows_->CurrentRowSelected());
    else if (optionsX_.Has(dghClearSelection))
        ClearSelection();
}

void TCustomDBGridX::BeginDrag() {
    if (OnStartDrag) OnStartDrag();
    // The drag carries only its source: a drop target asks the grid for what it needs.
    auto* drag = new QDrag(this);
    auto* mime = new QMimeData;
    mime->setData(QStringLiteral("application/x-quillmarsh-grid-selection"), QByteArray());
    drag->setMimeData(mime);
    drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::CopyAction);
}

}  // namespace qm::grid
