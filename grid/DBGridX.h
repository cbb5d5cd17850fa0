#pragma once
// The data grid: records of a data set as rows, its fields as columns. The grid holds only
// the rows that fit (the data link's buffer window); its vertical scroll bar counts
// records. Forms bind it to a data source, customise Columns and read the current record
// through GetFields / GetSelectedField.

#include "grid/CellTextCache.h"
#include "grid/Columns.h"
#include "grid/CustomGrid.h"
#include "grid/Footers.h"
#include "grid/Selection.h"
#include "grid/SumList.h"

#include <QBasicTimer>
#include <QColor>
#include <QCursor>
#include <QFont>
#include <QPixmap>
#include <QPointer>

#include <functional>
#include <memory>
#include <stdexcept>

namespace qm {
class UiService;
}

namespace qm::grid {
class TMoneyStyle;
class THeadTreeNode;
class TDBGridInplaceEdit;

// The short part of a hint: the text before its first "|" (the whole text without one).
QString GetShortHint(const QString& hint);

// Misuse of the grid.
class EInvalidGridOperation : public std::runtime_error {
public:
    explicit EInvalidGridOperation(const QString& text) : std::runtime_error(text.toStdString()) {}
    QString Text() const { return QString::fromStdString(what()); }
};

enum TDBGridOption {
    dgEditing,
    dgAlwaysShowEditor,
    dgTitles,
    dgIndicator,
    dgColumnResize,
    dgColLines,
    dgRowLines,
    dgTabs,
    dgRowSelect,
    dgAlwaysShowSelection,
    dgConfirmDelete,
    dgCancelOnExit,
    dgMultiSelect
};
using TDBGridOptions = TSet<TDBGridOption>;

enum TDBGridXOption {
    dghFixed3D,
    dghFrozen3D,
    dghFooter3D,
    dghData3D,
    dghResizeWholeRightPart,
    dghHighlightFocus,
    dghClearSelection,
    dghFitRowHeightToText,
    dghAutoSortMarking,
    dghMultiSortMarking,
    dghEnterAsTab,
    dghTraceColSizing
};
using TDBGridXOptions = TSet<TDBGridXOption>;

enum TDBGridXAllowedOperation { alopInsertX, alopUpdateX, alopDeleteX, alopAppendX };
using TDBGridXAllowedOperations = TSet<TDBGridXAllowedOperation>;

enum TDBGridXEditAction { geaCutX, geaCopyX, geaPasteX, geaDeleteX, geaSelectAllX };
using TDBGridXEditActions = TSet<TDBGridXEditAction>;

enum TTextLayout { tlTop, tlCenter, tlBottom };

// Whether a press on the selection starts dragging it (after the first move).
enum TDragMode { dmManual, dmAutomatic };
// The cursor the grid shows over a point.
// (gcSizing over a column's line, gcRowSizing over a row's line.)
enum TGridCursorX { gcDefault, gcSizing, gcColumnSelect, gcRowSelect, gcRowSizing };

// Text metrics of a font as the layout uses them.
struct TTextMetrics {
    int Height = 0;  // height of "Wg"
    int ExternalLeading = 0;
    int InternalLeading = 0;
    int Overhang = 0;
    int ZeroWidth = 0;  // width of "0"
    int AveCharWidth = 0;
};

class TCustomDBGridX;

// One of the grid's scroll bars as an option object: whether it may show, and whether the
// records follow its thumb while it is dragged.
class TDBGridXScrollBar {
public:
    TDBGridXScrollBar(TCustomDBGridX* grid, Qt::Orientation kind) : grid_(grid), kind_(kind) {}
    TDBGridXScrollBar(const TDBGridXScrollBar&) = delete;
    TDBGridXScrollBar& operator=(const TDBGridXScrollBar&) = delete;
    Qt::Orientation Kind() const { return kind_; }
    bool Visible() const { return visible_; }
    // Lays the grid out again (the vertical bar's range is written first).
    void SetVisible(bool v);
    bool Tracking = false;
    // Whether the bar is on screen now.
    bool IsScrollBarShowing() const;
    void Assign(const TDBGridXScrollBar& src);

private:
    TCustomDBGridX* grid_;
    Qt::Orientation kind_;
    bool visible_ = true;
};

class TGridDataLinkX : public TDataLink {
public:
    explicit TGridDataLinkX(TCustomDBGridX* grid) : grid_(grid) {}
    TCustomDBGridX* Grid() const { return grid_; }
    int FieldCount() const { return int(fieldMap_.size()); }
    const std::vector<int>& FieldMap() const { return fieldMap_; }
    bool SparseMap() const { return sparseMap_; }
    bool Modified() const { return modified_; }
    void SetModified() { modified_ = true; }
    int AddMapping(const QString& fieldName);
    void ClearMapping();
    TField* GetMappedField(int index) const;
    bool DefaultFields() const;
    void Reset();

protected:
    void ActiveChanged() override;
    void DataSetChanged() override;
    void DataSetScrolled(int distance) override;
    void EditingChanged() override;
    void LayoutChanged() override;
    void RecordChanged(TField* field) override;
    void UpdateData() override;

private:
    friend class TCustomDBGridX;
    TCustomDBGridX* grid_;
    std::vector<int> fieldMap_;
    bool modified_ = false, inUpdateData_ = false, sparseMap_ = false;
};

class TCustomDBGridX : public TCustomGrid {
    Q_OBJECT
public:
    explicit TCustomDBGridX(QWidget* parent = nullptr);
    ~TCustomDBGridX() override;

    // ---- binding and field access
    TDataSource* DataSource() const { return dataLink_->DataSource(); }
    void SetDataSource(TDataSource* s);
    TGridDataLinkX* DataLink() const { return dataLink_.get(); }
    TDBGridColumnsX& Columns() { return *columns_; }
    const TDBGridColumnsX& Columns() const { return *columns_; }
    TField* GetFields(int index) const;
    TField* GetSelectedField() const;
    int SelectedIndex() const { return RawToDataColumn(Col()); }
    void SetSelectedIndex(int v);
    int RawToDataColumn(int c) const { return c - indicatorOffset_; }
    int DataToRawColumn(int i) const { return i + indicatorOffset_; }
    const TColumnsXList& VisibleColumns() const { return visibleColumns_; }
    const TColumnsXList& SortMarkedColumns() const { return sortMarkedColumns_; }
    TColumnsXList& SortMarkedColumnsRef() { return sortMarkedColumns_; }
    // The message service that asks the delete confirmation.
    void SetUiService(UiService* ui) { ui_ = ui; }
    UiService* UiServiceOf() const { return ui_; }

    // ---- published properties
    TDBGridOptions Options() const { return options_; }
    void SetOptions(TDBGridOptions v);
    TDBGridXOptions OptionsX() const { return optionsX_; }
    void SetOptionsX(TDBGridXOptions v);
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool v) { readOnly_ = v; }
    bool DefaultDrawing = true;
    QColor FixedColor() const { return fixedColor_; }
    void SetFixedColor(const QColor& c);
    QColor Color() const { return color_; }
    void SetColor(const QColor& c);
    QFont Font() const { return font(); }
    void SetFont(const QFont& f);
    TFont TitleFont() const { return titleFont_; }
    void SetTitleFont(const TFont& f);
    int FooterRowCount() const { return footerRowCount_; }
    void SetFooterRowCount(int v);
    TFont FooterFont() const { return footerFont_; }
    void SetFooterFont(const TFont& f);
    QColor FooterColor() const { return footerColor_; }
    void SetFooterColor(const QColor& c);
    TDBGridXSumList& SumList() { return *sumList_; }
    void SetSumList(const TDBGridXSumList& v) { sumList_->Assign(v); }
    // The text of a footer cell (footer row `row`, 0 = first footer row).
    virtual QString GetFooterValue(int row, TColumnX* column);
    void InvalidateFooter();
    int FrozenCols() const { return frozenCols_; }
    void SetFrozenCols(int v);
    int TitleHeight() const { return titleHeight_; }
    void SetTitleHeight(int v);
    int TitleLines() const { return titleLines_; }
    void SetTitleLines(int v);
    int VTitleMargin() const { return vTitleMargin_; }
    void SetVTitleMargin(int v);
    bool AutoFitColWidths() const { return autoFitColWidths_; }
    void SetAutoFitColWidths(bool v);
    int MinAutoFitWidth() const { return minAutoFitWidth_; }
    void SetMinAutoFitWidth(int v);
    int RowHeight() const { return rowHeight_; }
    void SetRowHeight(int v);
    int RowLines() const { return rowLines_; }
    void SetRowLines(int v);
    // Lets the user drag a row's lower line in the indicator column; the dragged height
    // becomes the height of every data row.
    bool RowSizingAllowed() const { return rowSizingAllowed_; }
    void SetRowSizingAllowed(bool v);
    bool Flat() const { return flat_; }
    void SetFlat(bool v);
    // Grid lines of a flat grid in black rather than grey.
    bool TarnStyle() const { return tarnStyle_; }
    void SetTarnStyle(bool v);
    bool DrawMemoText = false;
    // Multi-level titles from "|" in captions (TitleTree.h).
    bool UseMultiTitle() const { return useMultiTitle_; }
    void SetUseMultiTitle(bool v);
    THeadTreeNode& TitleTree() { return *titleTree_; }
    // The leaf of a column in the title tree (null without multi-level titles).
    THeadTreeNode* LeafOf(int dataCol) const {
        return dataCol >= 0 && dataCol < int(leafColumns_.size()) ? leafColumns_[size_t(dataCol)] : nullptr;
    }
    // Under multi-level titles: whether a point lies on a column's own title band, not on
    // a group band above it.
    bool PointInLeafBand(int rawCol, int x, int y) const;
    // The tool tip over a cell whose text does not fit: where it goes (client coordinates),
    // its text and font; or a title's hint.
    struct TCellToolTip {
        bool Show = false;
        bool IsHint = false;
        QString Text;
        QPoint Pos;
        QRect CursorRect;
        QFont Font;
        int MaxWidth = 0;  // for word-wrapped text
    };
    TCellToolTip CellToolTipAt(const QPoint& p, Qt::KeyboardModifiers modifiers) const;
    // The grid's tool-tip window while one is shown (null otherwise). It lies over its cell
    // but lets the pointer through, and goes when the pointer leaves the cell.
    QWidget* CellTipWindow() const;
    void HideCellTip();
    // Ledger-style money columns (MoneyStyle.h).
    bool DrawCurrency() const { return drawCurrency_; }
    void SetDrawCurrency(bool v);
    TMoneyStyle& CurrencyStyle() { return *currencyStyle_; }
    void SetCurrencyStyle(const TMoneyStyle& v);
    TDBGridXAllowedOperations AllowedOperations{alopInsertX, alopUpdateX, alopDeleteX, alopAppendX};
    TDBGridXEditActions EditActions;
    TDBGridXScrollBar HorzScrollBar{this, Qt::Horizontal}, VertScrollBar{this, Qt::Vertical};

    // ---- state
    int TitleOffset() const { return titleOffset_; }
    int IndicatorOffset() const { return indicatorOffset_; }
    bool MultiLineRows() const { return multiLineRows_; }
    int RowSpacing() const { return rowSpacing_; }
    int TitleRowHeight() const { return titleRowHeight_; }
    int IndicatorRow() const { return indicatorRow_; }
    bool HasMoneyColumns() const { return hasMoneyColumns_; }
    bool LayoutFromDataset() const { return layoutFromDataset_; }
    int UpdateLock() const { return updateLock_; }
    int LayoutLock() const { return layoutLock_; }
    bool IsLayoutPosted() const { return layoutPosted_; }
    TDBGridXSelection& Selection() { return *selection_; }
    TBookmarkListX& SelectedRows() { return *selectedRows_; }
    int VisibleDataRowCount() const;
    int EditButtonWidth() const { return editButtonWidth_; }
    // Indicator image size (the images are drawn in code).
    static constexpr int kIndicatorImageWidth = 6, kIndicatorImageHeight = 9;
    static constexpr int kSortMarkerImageWidth = 8, kSortMarkerImageHeight = 9;
    // The font of sort-index numbers: a pixel height one less than the marker image's.
    static QFont SortIndexFont();
    static const QColor kDarkHighlight;  // RGB(64,64,64)

    // ---- text metrics (injectable, so the layout arithmetic can be tested exactly)
    std::function<TTextMetrics(const QFont&)> MetricsHook;
    TTextMetrics MetricsOf(const QFont& f) const;

    // ---- layout
    void BeginUpdate() { ++updateLock_; }
    void EndUpdate() {
        if (updateLock_ > 0) --updateLock_;
    }
    void BeginLayout();
    void EndLayout();
    void CancelLayout();
    bool AcquireLayoutLock();
    void LayoutChanged();
    void DeferLayout();
    void UpdateRowCount();
    void PlaceFooterRows();
    void UpdateScrollBar();
    void UpdateActive();
    void DeferredLayout();  // the queued layout request

    // ---- navigation and editing primitives
    void MoveBy(bool select, int distance, bool rowMode, bool toEnd);
    void NextRow(bool shift);
    void PriorRow(bool shift);
    void Tab(bool goForward);
    void MoveCol(int rawCol, int direction, bool select);
    bool HighlightCell(int dataCol, int dataRow, const QString& value, TGridDrawState state) const;
    void ClearSelection();
    bool CanModifyRecord() const;
    // ---- the in-place editor (InplaceEdit.h)
    int GetColumnEditStyle(TColumnX* c) const;
    void ShowEditor();
    // Hides the editor; with `commit` its text goes into the field first.
    void HideEditor(bool commit = true);
    bool EditorMode() const;
    TDBGridInplaceEdit* InplaceEditor() const { return editor_; }
    // Where a column that always shows its edit button has it in a data cell (empty when it
    // shows none).
    QRect EditButtonRect(TColumnX* column, const QRect& cellRect) const;
    void EditButtonClick() {
        if (OnEditButtonClick) OnEditButtonClick();
    }
    // The text the editor starts from: the field's text, or the pick-list entry of its key.
    QString EditTextOf(TColumnX* c) const;
    const QString& EditText() const { return editText_; }
    void SetEditText(const QString& t) { editText_ = t; }
    // Of a lookup column: the key that belongs to the edit text (null otherwise).
    const db::Value& EditKeyValue() const { return editKeyValue_; }
    void SetEditKeyValue(const db::Value& v) { editKeyValue_ = v; }
    // Whether the current cell may be changed (also for key-list columns); puts the data
    // link into edit state.
    bool CanEditModifyAny();
    // A key the editor hands back to the grid.
    void EditorKey(int key, Qt::KeyboardModifiers shift);
    // The clipboard operations' availability (Clipboard.h); forms wire their actions to
    // ExecuteAction/UpdateAction, which answer whether the grid handled the action.
    bool CanCopy() const;
    bool CanPaste() const;
    bool CanCut() const;
    bool CanDelete() const;
    bool CanSelectAll() const;
    bool ExecuteAction(TDBGridXEditAction a);
    bool UpdateAction(TDBGridXEditAction a, bool& enabled) const;
    bool CanEditModify() const;
    // Whether the current cell's field takes a typed character (any, in a key-list column).
    bool CanEditAcceptKey(QChar key) const;
    // The characters the current cell's text may hold: a string field's size; 0 for no limit.
    int GetEditLimit() const;
    bool KeepSelection() const { return keepSelection_; }
    // Asks the delete confirmation; answers whether to go on.
    bool DeletePrompt();

    // ---- keyboard and mouse (also callable directly)
    void KeyDown(int key, Qt::KeyboardModifiers shift);
    // One step of automatic scrolling during a drag: rows moved and the next timer interval
    // (ms) for a point at the given distance outside the data box.
    struct TAutoScrollStep {
        int Rows = 0;
        int Interval = 0;
    };
    static TAutoScrollStep AutoScrollRows(int distance) {
        return {std::min(distance / 6, 8), std::max(0, 200 - 15 * distance)};
    }
    static int AutoScrollColumnsInterval(int distance) { return std::max(0, 200 - 10 * distance); }
    int AutoScrollInterval() const { return timerInterval_; }
    // 0 none, 1 rows, 2 columns, 3 rectangle, 6 sizing a frozen column.
    int MouseSelectionState() const { return mouseSelState_; }
    // The cursor over a point: sizing lines, the row-select cursor over a data row's
    // indicator and the column-select cursor over the lowest 7 pixels of a title (both
    // only in a multi-select grid).
    TGridCursorX CursorAt(const QPoint& p) const;
    static const QCursor& ColumnSelectCursor();
    static const QCursor& RowSelectCursor();
    // The frozen column whose sizing zone holds a point of the titles, or −1 (`edge`: the
    // pixel where its line starts).
    int FrozenSizingIndexAt(int x, int y, int* edge = nullptr) const;
    int FrozenSizingPos() const { return frozenPos_; }
    // Automatic dragging of a selection.
    TDragMode DragMode = dmManual;
    bool AutoDragArmed() const { return autoDragArmed_; }
    std::function<void()> OnStartDrag;
    // Starts dragging the selection (raises OnStartDrag first).
    virtual void BeginDrag();

    // ---- painting
    // Writes a cell's text as the grid does everywhere.
    void WriteCellText(QPainter& p, const QRect& rect, int dx, int dy, const QString& text, TAlignment alignment,
                       TTextLayout layout, bool wordWrap, bool endEllipsis, int leftMargin, int rightMargin) const;
    // The end-ellipsis shortening: first (length − k) characters and "...", k from 2 upward.
    static QString ShortenWithEllipsis(const QString& text, int width,
                                       const std::function<int(const QString&)>& measure);
    void DrawCellEdge(QPainter& p, const QRect& r, bool bottomRight, bool topLeft, bool sunken, bool pressed) const;
    // Finished cell texts kept between paints (see CellTextCache.h).
    TCellTextCache& TextCache() { return textCache_; }
    QColor FixedLineColor() const;
    QColor DataLineColor() const;
    int PressedTitleCol() const { return pressedCol_; }

    // ---- events (each fires only when assigned)
    std::function<void(TColumnX*)> OnCellClick, OnTitleClick;
    std::function<void()> OnColEnter, OnColExit, OnTopLeftChanged, OnColWidthsChanged, OnSortMarkingChanged;
    std::function<void(int from, int to)> OnColumnMoved;
    std::function<void(const QRect&, int dataCol, TColumnX*, TGridDrawState)> OnDrawColumnCell;
    std::function<void(const QRect&, TField*, TGridDrawState)> OnDrawDataCell;
    std::function<void(TColumnX*, TFont&, QColor&, TGridDrawState)> OnGetCellParams;
    std::function<void(int dataCol, int row, TColumnX*, TFont&, QColor&, TAlignment&, TGridDrawState, QString&)>
        OnGetFooterParams;
    std::function<void(int dataCol, int row, TColumnX*, const QRect&, TGridDrawState)> OnDrawFooterCell;
    std::function<void()> OnSumListRecalcAll;
    std::function<void()> OnEditButtonClick;
    std::function<void(QString&)> OnGetConfirmText;
    std::function<void(int col, TColumnX*)> OnTitleBtnClick;
    std::function<void(int col, bool& enabled)> OnCheckButton;

    // Notifications from the data link and the columns.
    void LinkActive(bool value);
    void DataChanged();
    void Scroll(int distance);
    void RecordChanged(TField* field);
    void InternalLayout();
    void ColumnsUpdate(TColumnX* item);
    void SortMarkersChanged();  // rebuilds SortMarkedColumns from the titles
    bool IsLoading() const { return false; }

protected:
    void Paint(QPainter& p, const QRect& clip) override;
    // Makes the glyphs of the characters the shown columns hold, in their fonts, as `p`'s
    // device draws them.
    void WarmGlyphs(QPainter& p);
    void DrawCell(QPainter& p, int col, int row, const QRect& rect, TGridDrawState state) override;
    void ColWidthsChanged() override;
    int MinCurrentCol() const override { return indicatorOffset_; }
    void ColumnMoved(int from, int to) override;
    void TopLeftChanged() override;
    void SizeChanged() override;
    TGridState CalcSizingState(int x, int y, int& index, int& sizingPos, int& sizingOfs) const override;
    void RowHeightsChanged() override;

    virtual void DefineFieldMap();
    virtual void SetColumnAttributes();
    virtual void CellClick(TColumnX* c) {
        if (OnCellClick) OnCellClick(c);
    }
    virtual void TitleClick(TColumnX* c) {
        if (OnTitleClick) OnTitleClick(c);
    }
    virtual void ColEnter() {
        if (OnColEnter) OnColEnter();
    }
    virtual void ColExit() {
        if (OnColExit) OnColExit();
    }

public:
    // Painting and export take cell and footer looks through these.
    virtual void GetCellParams(TColumnX* c, TFont& f, QColor& bg, TGridDrawState st) {
        if (OnGetCellParams) OnGetCellParams(c, f, bg, st);
    }
    virtual void GetFooterParams(int dataCol, int row, TColumnX* c, TFont& f, QColor& bg, TAlignment& a,
                                 TGridDrawState st, QString& text) {
        if (OnGetFooterParams) OnGetFooterParams(dataCol, row, c, f, bg, a, st, text);
    }

protected:
    virtual void DrawColumnCell(const QRect& r, int dataCol, TColumnX* c, TGridDrawState st) {
        if (OnDrawColumnCell) OnDrawColumnCell(r, dataCol, c, st);
    }
    virtual void DrawDataCell(const QRect& r, TField* f, TGridDrawState st) {
        if (OnDrawDataCell) OnDrawDataCell(r, f, st);
    }
    virtual void TitleBtnClick(int col, TColumnX* c) {
        if (OnTitleBtnClick) OnTitleBtnClick(col, c);
    }
    virtual void SortMarkingChanged() {
        if (optionsX_.Has(dghAutoSortMarking) && OnSortMarkingChanged) OnSortMarkingChanged();
    }
    void CheckTitleButton(int col, bool& enabled);

    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void timerEvent(QTimerEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void changeEvent(QEvent* e) override;
    bool viewportEvent(QEvent* e) override;
    void hideEvent(QHideEvent* e) override;
    bool focusNextPrevChild(bool next) override;

private:
    friend class TGridDataLinkX;
    void AutoFitPass();
    void VertScrollAction(int action);
    void VertSliderReleased();
    void DrawLinesBand(QPainter& p, const TGridDrawInfo& info, bool fixedBand, int startCol, int startRow,
                       const QRect& band, const QColor& onColor, const QColor& offColor) const;
    void DrawIndicatorCell(QPainter& p, int row, QRect rect, int dataRow, int dx);
    // Draws a title cell's own caption in `rect`, which it narrows to the column's own band
    // (below the group bands, above a money header).
    void DrawTitleCell(QPainter& p, int col, QRect& rect, TColumnX* column, int dx, int dy, bool& dark);
    // The group bands above `nodeRect`, the piece of each over the cell `cellRect` of raw
    // column `col`.
    void DrawTitleGroups(QPainter& p, int col, THeadTreeNode* node, const QRect& cellRect, const QRect& nodeRect,
                         bool endEllipsis, int dy, bool dark);
    void DrawFooterCell(QPainter& p, int row, QRect rect, const QRect& cellRect, TColumnX* column, TGridDrawState state,
                        int dx, int dy);
    void DrawDataCellFull(QPainter& p, int col, int row, QRect rect, const QRect& cellRect, TColumnX* column,
                          TGridDrawState state, int dx, int dy, bool& dark);
    void StartTimer(int interval);
    void StopTimer();
    void DoAutoScroll();
    void UpdateCursor(const QPoint& p);
    bool ColumnSelectPress(const QPoint& p, Qt::KeyboardModifiers mods);
    void ColumnSelectMove(const QPoint& p);
    void DoColumnAutoScroll();
    void ExtendColumnSelectionTo(int rawCol);  // Shift-selects up to the data column shown there
    bool FrozenSizingPress(const QPoint& p);
    void FrozenSizingMove(const QPoint& p);
    void FrozenSizingRelease();
    void PaintFrozenSizingLine(QPainter& p, int height) const;
    bool ArmAutoDrag(Qt::MouseButton button, Qt::KeyboardModifiers mods, int dataCol);
    void AutoDragNotStarted(Qt::KeyboardModifiers mods);
    QRect DataBox() const;
    bool IsFocusedGrid() const { return Focused(); }
    void BuildImages();
    static uint32_t TextOptions(TAlignment alignment, TTextLayout layout, bool wordWrap, bool endEllipsis);

    // Declared first so that it outlives the columns, whose footers hold items in it.
    std::unique_ptr<TDBGridXSumList> sumList_;
    TDBGridInplaceEdit* editor_ = nullptr;  // a child of the viewport
    QString editText_;
    db::Value editKeyValue_;
    std::unique_ptr<TMoneyStyle> currencyStyle_;
    std::unique_ptr<THeadTreeNode> titleTree_;
    std::vector<THeadTreeNode*> leafColumns_;
    bool useMultiTitle_ = false, drawCurrency_ = false;
    std::unique_ptr<TGridDataLinkX> dataLink_;
    std::unique_ptr<TDBGridColumnsX> columns_;
    std::unique_ptr<TBookmarkListX> selectedRows_;
    std::unique_ptr<TDBGridXSelection> selection_;
    UiService* ui_ = nullptr;
    TColumnsXList visibleColumns_, sortMarkedColumns_;

    TDBGridOptions options_;
    TDBGridXOptions optionsX_;
    bool readOnly_ = false;
    QColor fixedColor_, color_;
    TFont titleFont_, footerFont_;
    QColor footerColor_;
    int footerRowCount_ = 0, frozenCols_ = 0, titleHeight_ = 0, titleLines_ = 0, vTitleMargin_ = 10;
    bool autoFitColWidths_ = false;
    int minAutoFitWidth_ = 0, rowHeight_ = 0, rowLines_ = 0;
    bool flat_ = false, rowSizingAllowed_ = false, tarnStyle_ = false;

    int titleOffset_ = 1, indicatorOffset_ = 1;
    int updateLock_ = 0, layoutLock_ = 0;
    bool layoutFromDataset_ = false, layoutPosted_ = false;
    bool multiLineRows_ = false, hasMoneyColumns_ = false;
    int rowSpacing_ = 4, titleRowHeight_ = 0, indicatorRow_ = -1, editButtonWidth_ = 16;
    bool skipThumbPosition_ = false;
    QPixmap indicatorImages_[6];
    QPixmap sortMarkerImages_[2];
    TCellTextCache textCache_;
    // Whether the glyphs of the present layout's columns were made (see WarmGlyphs).
    bool glyphsWarm_ = false;

    // input state
    bool keepSelection_ = true;
    int mouseSelState_ = 0;       // 0 none, 1 rows, 2 columns, 3 rectangle, 6 frozen sizing
    bool selectRowsMode_ = true;  // rows moved over while selecting become selected
    TBookmark rowSelAnchor_ = -1;
    bool rowSelAnchorWasSelected_ = false;
    int pressedCol_ = -1;
    bool titlePressed_ = false, titleTracking_ = false;
    bool multiSortFlag_ = false;
    QPoint lastPoint_;
    QBasicTimer timer_;
    int timerInterval_ = -1;
    int wheelAccum_ = 0;
    bool dblClick_ = false, dblPress_ = false;
    bool dataDrag_ = false;        // a press in the data area drags the current cell along
    TGridCoord pressedCheckCell_;  // the image or check-box cell pressed, (-1, -1) when none
    int frozenIndex_ = -1, frozenPos_ = 0, frozenOfs_ = 0;
    bool autoDragArmed_ = false;
    bool rowSized_ = false;  // a row-sizing drag has just been released
    // A press on a cell's always-shown edit button went on to the editor's button (or one
    // of its up-down buttons); the mouse follows it there until the release.
    QPointer<QWidget> editorPress_;
    void ForwardToEditor(QMouseEvent* e);
    // The cell tool tip: its window, the cell it belongs to (viewport coordinates), and
    // the cell the pointer was last seen over.
    QWidget* tipWindow_ = nullptr;  // a TToolTipsWindow, a window of its own
    QRect tipCellRect_;
    TGridCoord tipPointerCell_;
    void ShowCellTip(const TCellToolTip& tip);
    void PointerMovedForTip(const QPoint& p, Qt::MouseButtons buttons, Qt::KeyboardModifiers mods);
};

// The grid as forms place it.
class TDBGridX : public TCustomDBGridX {
    Q_OBJECT
public:
    using TCustomDBGridX::TCustomDBGridX;
};

}  // namespace qm::grid
