#pragma once
// The spreadsheet sheet every tabular form keeps its rows in: a non-visual model that the
// checks, audits and saves work on without any widget. SheetView draws and edits it.
//
// Rows and columns count from 1. Cells are sparse: only rows that were written hold storage,
// so an empty row costs a few bytes, and clears and fonts over whole row ranges cost the used
// cells, not the range.
//
// The sheet is as long as what it holds: its last row holding anything, then kRowsBelow empty
// rows to type or paste into, and never fewer than kMinRows rows. A row written, pasted or
// inserted near the end grows it; clearing or deleting the bottom rows shrinks it again.
// MaxRow() is that last row; loops and clears "to the end" run to it. Only kRowLimit bounds
// it, a guard against a runaway row number far beyond any unit's persons. A filled sheet repeats a few texts in most
// of its cells (codes, yes/no, sex, the code lists' names), so each distinct text is kept
// once and a cell holds only its number: a staff sheet of 16338 rows with its code columns
// takes a few megabytes, not fifty.

#include <QObject>
#include <QString>
#include <QStringList>

#include <array>
#include <climits>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace qm {

// Where EditCopy/EditCut write and EditPaste reads. The model starts with an in-memory one
// (tests drive it); the widget installs one over the system clipboard.
class SheetClipboard {
public:
    virtual ~SheetClipboard() = default;
    virtual QString Text() const = 0;
    virtual void SetText(const QString& text) = 0;
};

class MemoryClipboard : public SheetClipboard {
public:
    QString Text() const override { return text_; }
    void SetText(const QString& text) override { text_ = text; }

private:
    QString text_;
};

struct SheetRange {
    int r1 = 1, c1 = 1, r2 = 1, c2 = 1;
    bool Contains(int r, int c) const { return r >= r1 && r <= r2 && c >= c1 && c <= c2; }
};

// A named drop-down list drawn over the sheet. Position is in cell-grid coordinates: from the
// boundary after column x1 / row y1 to the boundary after column x2 / row y2.
struct SheetObject {
    QString name;
    QStringList items;
    int x1 = 0, y1 = 0, x2 = 1, y2 = 1;
    int linkKind = 0, linkRow = 0, linkCol = 0;  // kind 2: a pick writes the item into the cell
    int selected = -1;
    bool visible = false;
};

class TSheetBook : public QObject {
    Q_OBJECT
public:
    static constexpr int kMinRows = 16384;  // the least a sheet has, however empty
    // Empty rows kept below the last row holding anything: room to type a person below the
    // last one, or to paste a block, without scrolling into nothing.
    static constexpr int kRowsBelow = 1000;
    static constexpr int kRowLimit = 1 << 20;      // writes below it are refused
    static constexpr int kMaxColumns = 256;        // storage capacity of a row
    static constexpr int kMarkPattern = 18;        // the red error mark
    static constexpr int kNumberMarkPattern = 20;  // the staff error list's empty-number mark
    static constexpr int kDefaultRowHeight = 310;  // twips
    static constexpr int kDefaultColWidth = 72;    // pixels

    enum ClearKind { ClearAll = 1, ClearFormats = 2, ClearContents = 3 };

    explicit TSheetBook(QObject* parent = nullptr);
    ~TSheetBook() override;

    // Empties the sheet: cells, formats, widths, merges, frozen area and list objects.
    void Reset();

    // ---- cell content ----
    QString GetCellText(int row, int col) const;  // "" for an empty cell or out of range
    void SetCellText(int row, int col, const QString& text);
    // kind 1 text and formats, 2 formats only (drops marks), 3 text only (keeps marks)
    void ClearRange(int r1, int c1, int r2, int c2, int kind);
    int MaxRow() const { return int(rows_.size()); }  // the sheet's last row
    int LastUsedRow() const;                          // 0 when the sheet holds no text
    // The last column up to toCol holding text in the rows from fromRow on; 0 when none does.
    int LastUsedCol(int fromRow, int toCol) const;
    // The rows from `row` to the last used one with text other than blanks in columns c1..c2:
    // what a save that stops at an empty name before `row` would leave out.
    int FilledRowsFrom(int row, int c1, int c2) const;
    int DistinctTexts() const { return int(indexedTexts_); }  // each kept once, however many cells hold it
    int MaxCol() const { return maxCol_; }                    // shown columns; later ones keep their data
    void SetMaxCol(int cols);

    // ---- selection and formats ----
    // Clamped to the sheet's rows. A font or a row height set on a selection that reaches the
    // last row reaches every row the sheet grows to.
    void SetSelection(int r1, int c1, int r2, int c2);
    SheetRange Selection() const { return sel_; }
    void SetSelection(const SheetRange& r) { SetSelection(r.r1, r.c1, r.r2, r.c2); }
    // Makes (row, col) the selection and asks every view of the sheet to make it the current
    // cell, scrolled into sight: where a refused save sends the person.
    void GoTo(int row, int col);
    int SelStartRow() const { return sel_.r1; }
    int SelStartCol() const { return sel_.c1; }
    int SelEndRow() const { return sel_.r2; }
    int SelEndCol() const { return sel_.c2; }
    // Fill of the selection. Any non-zero pattern is a mark; 18 (colours 200/255) is the red one.
    void SetPattern(int pattern, int colour1, int colour2);
    int CellPattern(int row, int col) const;  // 0 when unmarked
    bool IsMarked(int row, int col) const { return CellPattern(row, col) != 0; }
    // Font of the selection. The name is a placeholder ("fnt") and always means the sheet's
    // CJK-capable default font; only the size and style are kept.
    void SetFont(const QString& name, int size, bool bold = false, bool italic = false, bool underline = false,
                 bool strike = false, int colour = 0, bool flag1 = false, bool flag2 = false);
    int CellFontSize(int row, int col) const;  // 0: the sheet's default
    bool CellFontBold(int row, int col) const;
    void SetRowHeight(int r1, int r2, int twips, bool flag = false);
    int RowHeight(int row) const;                               // twips
    int RowHeightPx(int row) const;                             // pixels at 96 dpi
    int DefaultRowHeight() const { return defaultRowHeight_; }  // twips
    // Rows whose height differs from the default, later entries winning (twips).
    const std::vector<std::pair<SheetRange, int>>& RowHeightRanges() const { return rowHeights_; }
    void SetColWidth(int c1, int c2, int px, bool flag = false);  // 0 hides
    int ColWidth(int col) const;                                  // pixels
    void SetColHidden(int c1, int c2, bool hidden);
    bool IsColHidden(int col) const;  // hidden or width 0 (not MaxCol)
    bool IsColShown(int col) const { return col >= 1 && col <= maxCol_ && !IsColHidden(col); }
    void SetFrozen(int rows, int cols);
    int FrozenRows() const { return frozenRows_; }
    int FrozenCols() const { return frozenCols_; }
    void AddMerge(int r1, int c1, int r2, int c2);
    const std::vector<SheetRange>& Merges() const { return merges_; }
    void SetWrapRows(int r1, int r2);  // rows whose text wraps (header rows)

    // ---- drop-down list objects ----
    int AddObject(const QString& name, const QStringList& items = {});  // the template's
    int ObjectCount() const { return int(objects_.size()); }
    int ObjectIdByName(const QString& name) const;  // -1 when absent
    const SheetObject& Object(int id) const;
    void SetObjectText(int id, const QString& items);  // "a;b;c;": each item ends with ";"
    void SetObjectPos(int id, int x1, int y1, int x2, int y2);
    void SetObjectLink(int id, int kind, int row, int col);
    void ObjectSelection(int id, int index);  // -1: no item chosen
    void ObjectVisible(int id, bool visible);
    // A person's pick: selects the item and, when linked, writes its text into the cell.
    void PickObjectItem(int id, int index);

    // ---- clipboard and rows ----
    void SetClipboard(std::shared_ptr<SheetClipboard> clipboard);
    SheetClipboard& Clipboard() const { return *clipboard_; }
    QString ClipboardText() const { return clipboard_->Text(); }
    void SetClipboardText(const QString& text) { clipboard_->SetText(text); }
    void EditCopy();
    void EditCut();  // copy, then clear the contents (kind 3)
    // At the selection's top-left, hidden columns filled by position; the sheet grows for
    // the rows. Rows that would land below kRowLimit are not pasted: both answer how many,
    // and pasteClipped tells whoever shows it to the person.
    int EditPaste();
    QString RangeText(const SheetRange& range) const;  // tab-separated
    int PasteText(int row, int col, const QString& text);
    // The block the last paste wrote (its widest row gives the columns), none when it wrote nothing.
    const std::optional<SheetRange>& LastPaste() const { return lastPaste_; }
    // What the person is told about such a paste.
    static QString PasteClippedText(int rows, int dropped);
    // Whole rows at the selection, as many as selected; the rows below move down and the sheet
    // grows for them (at kRowLimit fewer rows are inserted: none holding anything drops off).
    void EditInsert(int kind = 3);
    void EditDelete(int kind = 3);
    void InsertRows(int row, int count);
    void DeleteRows(int row, int count);

    // Bulk changes: no signal until the outermost EndUpdate, which emits sheetReset once.
    void BeginUpdate();
    void EndUpdate();

    // Tab-separated text as external spreadsheets put it on the clipboard, and back.
    static QString ToTsv(const std::vector<QStringList>& rows);
    static std::vector<QStringList> FromTsv(const QString& text);

signals:
    void cellsChanged(int r1, int c1, int r2, int c2);  // text or format
    void layoutChanged();                               // widths, hidden, MaxCol, heights, rows moved
    // MaxRow() changed, outside a bulk change (inside one, sheetReset tells it).
    void maxRowChanged(int maxRow);
    void objectChanged(int id);
    void objectPicked(int id, int index);  // a person picked an item (after the linked cell was written)
    void sheetReset();
    void goToRequested(int row, int col);
    // A paste of `rows` rows of which the last `dropped` would have landed below kRowLimit.
    void pasteClipped(int rows, int dropped);

private:
    // A cell is the number of its text in texts_ (0: empty) in the low 24 bits and its fill
    // pattern in the high 8: at most 2^24 - 1 distinct texts, which Intern guards.
    using Cell = quint32;
    static constexpr Cell kTextBits = 0x00FFFFFFu;
    static constexpr int kPatternShift = 24;
    static quint32 TextId(Cell c) { return c & kTextBits; }
    static int Pattern(Cell c) { return int(c >> kPatternShift); }
    // A written row: cells 1..size in use, zero up to capacity.
    struct Row {
        std::unique_ptr<Cell[]> cells;
        quint16 size = 0, capacity = 0;
        Row() = default;
        Row(Row&& o) noexcept { *this = std::move(o); }
        Row& operator=(Row&& o) noexcept {
            if (this == &o) return *this;
            cells = std::move(o.cells);
            size = std::exchange(o.size, quint16(0));
            capacity = std::exchange(o.capacity, quint16(0));
            return *this;
        }
    };
    // A distinct text and the number of cells that hold it; freed when none does.
    struct PooledText {
        QString text;
        quint32 uses = 0;
        quint32 hash = 0;
    };
    // The index of the texts: open addressing over a power-of-two table, the hash beside the
    // id, so a probe reads one small slot and a text only when the hashes agree.
    struct TextSlot {
        quint32 hash = 0;
        quint32 id = 0;  // 0: free
    };
    struct FontRange {
        SheetRange range;
        int size;
        bool bold;
    };

    static constexpr int kOpenEnd = INT_MAX;  // the last row of a range that follows the sheet
    SheetRange Normalised(int r1, int c1, int r2, int c2) const;
    // A range that reaches the last row reaches every row the sheet grows to.
    SheetRange Extended(SheetRange r) const;
    // The sheet grown to hold `row` and kRowsBelow rows below it (up to kRowLimit).
    void Reach(int row);
    // The sheet shrunk to its last row holding anything and kRowsBelow rows (at least kMinRows).
    void Fit();
    void Resize(int rows);
    Cell* CellAt(int row, int col);
    const Cell* CellAt(int row, int col) const;
    // The row's cell `col`, the row grown to hold it.
    Cell& GrowTo(int row, int col);
    void DropRow(int row);  // gives back the texts of its cells and its storage
    void TrimRow(int row);  // drops trailing empty cells, and the row when none is left
    const QString& TextOf(Cell c) const { return texts_[TextId(c)].text; }
    quint32 Intern(const QString& text, int col);  // counts one more use; 0 for the empty text
    void Release(quint32 id);
    void IndexText(quint32 id);
    void UnindexText(quint32 id);
    void ClearTexts();
    void Changed(int r1, int c1, int r2, int c2);
    void Relayout();
    SheetObject& Obj(int id);

    std::vector<Row> rows_;          // index row-1; its size is MaxRow()
    int stored_ = 0;                 // no row below it holds anything (0: none does)
    std::vector<PooledText> texts_;  // index 0 is the empty text, never counted
    std::vector<TextSlot> textIndex_;
    size_t indexedTexts_ = 0;
    std::vector<quint32> freeTextIds_;
    // The text last written into each column: a column mostly repeats a few texts, and a
    // comparison with the last one is cheaper than a look-up.
    std::array<quint32, kMaxColumns> lastTextIds_{};
    std::vector<FontRange> fonts_;
    std::vector<int> colWidth_;  // index col-1; -1: default
    std::vector<bool> colHidden_;
    std::vector<std::pair<SheetRange, int>> rowHeights_;
    std::vector<SheetRange> merges_;
    std::vector<std::pair<int, int>> wrapRows_;
    std::vector<SheetObject> objects_;
    std::shared_ptr<SheetClipboard> clipboard_;
    SheetRange sel_;
    std::optional<SheetRange> lastPaste_;
    int maxCol_ = 20;
    int frozenRows_ = 0, frozenCols_ = 0;
    int defaultRowHeight_ = kDefaultRowHeight;
    int updateDepth_ = 0;
    bool pending_ = false;
};

// What an entry sheet asks before a save that stops at the empty name of `shownRow` (counted
// as the person sees it) and would leave out `rowsLeft` filled rows below it.
// Asked before a save that stops at an empty name at `shownRow` would leave `rowsLeft` filled rows
// out of `what` ("期初名单", "3月名册", "3月工资"), which then holds `rowsSaved` rows instead of
// the `stored` it holds now.
QString RowsLeftQuestion(int shownRow, int rowsLeft, int rowsSaved, const QString& what, long long stored);

}  // namespace qm
