#pragma once
// The base grid: a matrix of cells over a scroll area. It owns the geometry (fixed rows and
// columns, widths and heights, the scrolled top-left cell, the current cell), the cell loop
// of painting, column and row sizing and column moving by mouse and horizontal scrolling
// by columns.
// Painting goes through PaintGrid(), which can draw into any paint device.

#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QRect>

#include <cstdint>
#include <vector>

namespace qm::grid {

// A small bit set over an enumeration, with the numeric value of the set.
template <class E>
class TSet {
public:
    constexpr TSet() = default;
    constexpr TSet(std::initializer_list<E> l) {
        for (E e : l) bits_ |= 1u << unsigned(e);
    }
    static constexpr TSet FromValue(uint32_t v) {
        TSet s;
        s.bits_ = v;
        return s;
    }
    constexpr bool Has(E e) const { return bits_ & (1u << unsigned(e)); }
    constexpr TSet& Include(E e) {
        bits_ |= 1u << unsigned(e);
        return *this;
    }
    constexpr TSet& Exclude(E e) {
        bits_ &= ~(1u << unsigned(e));
        return *this;
    }
    constexpr TSet With(E e) const {
        TSet s = *this;
        return s.Include(e);
    }
    constexpr TSet Without(E e) const {
        TSet s = *this;
        return s.Exclude(e);
    }
    constexpr uint32_t Value() const { return bits_; }
    constexpr bool Empty() const { return bits_ == 0; }
    constexpr bool operator==(const TSet&) const = default;

private:
    uint32_t bits_ = 0;
};

enum TGridOption {
    goFixedVertLine,
    goFixedHorzLine,
    goVertLine,
    goHorzLine,
    goRangeSelect,
    goDrawFocusSelected,
    goRowSizing,
    goColSizing,
    goRowMoving,
    goColMoving,
    goEditing,
    goTabs,
    goRowSelect,
    goAlwaysShowEditor,
    goThumbTracking
};
using TGridOptions = TSet<TGridOption>;

enum TGridDrawStateItem { gdSelected, gdFocused, gdFixed };
using TGridDrawState = TSet<TGridDrawStateItem>;

enum TGridState { gsNormal, gsSelecting, gsRowSizing, gsColSizing, gsRowMoving, gsColMoving };
enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };

struct TGridCoord {
    int X = -1, Y = -1;
    bool operator==(const TGridCoord&) const = default;
};
struct TGridRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
};

// The drawing information of one axis (columns horizontally, rows vertically).
struct TGridAxisDrawInfo {
    int EffectiveLineWidth = 0;
    int FixedBoundary = 0;  // pixel end of the fixed cells
    int GridBoundary = 0;   // pixel end of the drawn cells
    int GridExtent = 0;     // client extent
    int LastFullVisibleCell = 0;
    int FullVisBoundary = 0;
    int FixedCellCount = 0;
    int FirstGridCell = 0;
    int GridCellCount = 0;
    const std::vector<int>* Extents = nullptr;
    int Extent(int i) const { return (*Extents)[size_t(i)]; }
};
struct TGridDrawInfo {
    TGridAxisDrawInfo Horz, Vert;
};

class TCustomGrid : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit TCustomGrid(QWidget* parent = nullptr);
    ~TCustomGrid() override;

    // The matrix.
    int ColCount() const { return int(colWidths_.size()); }
    void SetColCount(int v);
    int RowCount() const { return int(rowHeights_.size()); }
    void SetRowCount(int v);
    int FixedCols() const { return fixedCols_; }
    void SetFixedCols(int v);
    int FixedRows() const { return fixedRows_; }
    void SetFixedRows(int v);
    int ColWidths(int i) const { return colWidths_.at(size_t(i)); }
    void SetColWidths(int i, int w);
    int RowHeights(int i) const { return rowHeights_.at(size_t(i)); }
    void SetRowHeights(int i, int h);
    int DefaultColWidth() const { return defaultColWidth_; }
    void SetDefaultColWidth(int v);
    int DefaultRowHeight() const { return defaultRowHeight_; }
    void SetDefaultRowHeight(int v);  // resets every row height to it
    int GridLineWidth() const { return gridLineWidth_; }
    void SetGridLineWidth(int v);
    TGridOptions GridOptions() const { return gridOptions_; }
    void SetGridOptions(TGridOptions v);
    bool TabStops(int i) const { return tabStops_.at(size_t(i)); }
    void SetTabStops(int i, bool v) { tabStops_.at(size_t(i)) = v; }
    TScrollStyle ScrollBars() const { return scrollBars_; }
    void SetScrollBars(TScrollStyle v);

    // Current cell and scrolling.
    int Col() const { return col_; }
    void SetCol(int v) { MoveColRow(v, row_, true, true); }
    int Row() const { return row_; }
    void SetRow(int v) { MoveColRow(col_, v, true, true); }
    int LeftCol() const { return leftCol_; }
    void SetLeftCol(int v);
    int TopRow() const { return topRow_; }
    void SetTopRow(int v);
    TGridRect Selection() const;
    void MoveColRow(int col, int row, bool moveAnchor, bool show);

    // Geometry (client coordinates of the viewport).
    void CalcDrawInfo(TGridDrawInfo& info) const;
    void CalcDrawInfoXY(TGridDrawInfo& info, int width, int height) const;
    QRect CellRect(int col, int row) const { return BoxRect(col, row, col, row); }
    QRect BoxRect(int left, int top, int right, int bottom) const;
    TGridCoord MouseCoord(int x, int y) const;
    int VisibleColCount() const;
    int VisibleRowCount() const;
    int GridWidth() const;
    int GridHeight() const;
    int ClientWidth() const;
    int ClientHeight() const;

    // Repaint requests.
    void InvalidateCell(int col, int row);
    void InvalidateCol(int col);
    void InvalidateRow(int row);
    void InvalidateGrid();

    // The one painting entry point: draws the grid's clip rectangle on any painter.
    void PaintGrid(QPainter& p, const QRect& clip);
    // Renders the whole client area into an image (tests and screenshots).
    QImage RenderImage();

    // What the mouse is doing: sizing a column or a row, moving a column, or nothing.
    TGridState GridState() const { return gridState_; }
    // While sizing, the position of the sizing line (x for a column, y for a row).
    int SizingPos() const { return sizingPos_; }
    // While a column is dragged to another place: the bar, over the whole grid height, at
    // the edge where it will land; empty otherwise.
    QRect MoveIndicatorRect() const;

protected:
    // Hooks.
    virtual void Paint(QPainter& p, const QRect& clip);
    virtual void DrawCell(QPainter& p, int col, int row, const QRect& rect, TGridDrawState state);
    virtual void ColWidthsChanged() {}
    virtual void RowHeightsChanged() {}
    virtual void ColumnMoved(int /*from*/, int /*to*/) {}
    virtual void TopLeftChanged() {}
    virtual void SizeChanged() {}
    virtual bool SelectCell(int /*col*/, int /*row*/) { return true; }
    // The first column the current cell may stay in when the fixed part changes (a grid
    // whose frozen columns can be current lowers it).
    virtual int MinCurrentCol() const { return fixedCols_; }
    virtual bool Focused() const;
    // Sizing test: gsColSizing for the trailing line of a scrolling column under x in the
    // fixed rows, gsRowSizing for the trailing line of a scrolling row under y in the fixed
    // columns (with the row-sizing option), else gsNormal; `index` is the column or row.
    virtual TGridState CalcSizingState(int x, int y, int& index, int& sizingPos, int& sizingOfs) const;
    // The cell loop over the four regions.
    void DrawCells(QPainter& p, const QRect& clip, const TGridDrawInfo& info);
    void MoveColumn(int from, int to);
    void DrawMoveIndicator(QPainter& p) const;
    void UpdateHorzScrollBar();
    int MaxLeftCol() const;
    void ScrollToShow(int col, int row);

    // Qt events.
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void scrollContentsBy(int, int) override {}
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

    // The base mouse handling, callable from the grid above.
    void BaseMouseDown(QMouseEvent* e);
    void BaseMouseMove(QMouseEvent* e);
    void BaseMouseUp(QMouseEvent* e);

    // Width of the lines of an axis (0 when the axis draws none).
    int HorzLineWidth() const;
    int VertLineWidth() const;

    int anchorCol_ = 0, anchorRow_ = 0;
    TGridState gridState_ = gsNormal;
    int sizingIndex_ = -1, sizingPos_ = 0, sizingOfs_ = 0;
    int moveIndex_ = -1, movePos_ = -1;
    QPoint pressPoint_;

private:
    void ClampAll();
    void CalcAxis(TGridAxisDrawInfo& a, int fixed, int first, int extent, int lineWidth,
                  const std::vector<int>& ext) const;
    static int LinePos(const TGridAxisDrawInfo& a, int line);
    static int CoordFromPoint(const TGridAxisDrawInfo& a, int pos);

    std::vector<int> colWidths_, rowHeights_;
    std::vector<bool> tabStops_;
    int fixedCols_ = 0, fixedRows_ = 0;
    int defaultColWidth_ = 64, defaultRowHeight_ = 24, gridLineWidth_ = 1;
    TGridOptions gridOptions_;
    TScrollStyle scrollBars_ = ssBoth;
    int col_ = 0, row_ = 0, leftCol_ = 0, topRow_ = 0;
    bool syncingBar_ = false;
};

}  // namespace qm::grid
