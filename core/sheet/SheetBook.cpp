#include "core/sheet/SheetBook.h"

#include <algorithm>
#include <stdexcept>

namespace qm {

namespace {

SheetRange Normalised(int r1, int c1, int r2, int c2) {
    SheetRange r{std::min(r1, r2), std::min(c1, c2), std::max(r1, r2), std::max(c1, c2)};
    r.r1 = std::clamp(r.r1, 1, TSheetBook::kMaxRow);
    r.r2 = std::clamp(r.r2, 1, TSheetBook::kMaxRow);
    r.c1 = std::clamp(r.c1, 1, TSheetBook::kMaxColumns);
    r.c2 = std::clamp(r.c2, 1, TSheetBook::kMaxColumns);
    return r;
}

bool Covers(const SheetRange& outer, const SheetRange& inner) {
    return outer.r1 <= inner.r1 && outer.r2 >= inner.r2 && outer.c1 <= inner.c1 && outer.c2 >= inner.c2;
}

}  // namespace

TSheetBook::TSheetBook(QObject* parent) : QObject(parent), clipboard_(std::make_shared<MemoryClipboard>()) { Reset(); }

TSheetBook::~TSheetBook() = default;

void TSheetBook::Reset() {
    rows_.clear();
    rows_.resize(kMaxRow);
    fonts_.clear();
    colWidth_.assign(kMaxColumns, -1);
    colHidden_.assign(kMaxColumns, false);
    rowHeights_.clear();
    merges_.clear();
    wrapRows_.clear();
    objects_.clear();
    sel_ = SheetRange{};
    lastPaste_.reset();
    maxCol_ = 20;
    frozenRows_ = frozenCols_ = 0;
    defaultRowHeight_ = kDefaultRowHeight;
    if (updateDepth_ > 0)
        pending_ = true;
    else
        emit sheetReset();
}

// ---- cells ----

TSheetBook::Cell* TSheetBook::CellAt(int row, int col) {
    if (row < 1 || row > kMaxRow || col < 1 || col > kMaxColumns) return nullptr;
    Row* r = rows_[row - 1].get();
    if (!r || int(r->size()) < col) return nullptr;
    return &(*r)[col - 1];
}

const TSheetBook::Cell* TSheetBook::CellAt(int row, int col) const {
    return const_cast<TSheetBook*>(this)->CellAt(row, col);
}

TSheetBook::Row& TSheetBook::RowFor(int row) {
    auto& slot = rows_[row - 1];
    if (!slot) slot = std::make_unique<Row>();
    return *slot;
}

QString TSheetBook::GetCellText(int row, int col) const {
    const Cell* c = CellAt(row, col);
    return c ? c->text : QString();
}

void TSheetBook::SetCellText(int row, int col, const QString& text) {
    if (row < 1 || row > kMaxRow || col < 1 || col > kMaxColumns) return;
    Cell* c = CellAt(row, col);
    if (!c) {
        if (text.isEmpty()) return;
        Row& r = RowFor(row);
        r.resize(col);
        c = &r[col - 1];
    }
    if (c->text == text) return;
    c->text = text;
    Changed(row, col, row, col);
}

void TSheetBook::ClearRange(int r1, int c1, int r2, int c2, int kind) {
    const SheetRange rg = Normalised(r1, c1, r2, c2);
    const bool text = kind == ClearAll || kind == ClearContents;
    const bool formats = kind == ClearAll || kind == ClearFormats;
    if (!text && !formats) return;
    for (int r = rg.r1; r <= rg.r2; ++r) {
        Row* row = rows_[r - 1].get();
        if (!row) continue;
        const int last = std::min<int>(rg.c2, int(row->size()));
        for (int c = rg.c1; c <= last; ++c) {
            Cell& cell = (*row)[c - 1];
            if (text) cell.text.clear();
            if (formats) cell.pattern = 0;
        }
        // Drop trailing empty cells so a cleared row costs nothing.
        while (!row->empty() && row->back().text.isEmpty() && row->back().pattern == 0) row->pop_back();
        if (row->empty()) rows_[r - 1].reset();
    }
    if (formats) {
        // A font range wholly inside the cleared block goes; others keep their look (callers
        // set the font again after a formats clear).
        std::erase_if(fonts_, [&](const FontRange& f) { return Covers(rg, f.range); });
    }
    Changed(rg.r1, rg.c1, rg.r2, rg.c2);
}

int TSheetBook::LastUsedRow() const {
    for (int r = kMaxRow; r >= 1; --r) {
        const Row* row = rows_[r - 1].get();
        if (!row) continue;
        for (const Cell& c : *row)
            if (!c.text.isEmpty()) return r;
    }
    return 0;
}

void TSheetBook::SetMaxCol(int cols) {
    cols = std::clamp(cols, 1, kMaxColumns);
    if (cols == maxCol_) return;
    maxCol_ = cols;
    Relayout();
}

// ---- selection and formats ----

void TSheetBook::SetSelection(int r1, int c1, int r2, int c2) { sel_ = Normalised(r1, c1, r2, c2); }

void TSheetBook::SetPattern(int pattern, int, int) {
    const quint8 p = quint8(std::clamp(pattern, 0, 255));
    for (int r = sel_.r1; r <= sel_.r2; ++r) {
        if (p == 0 && !rows_[r - 1]) continue;
        Row& row = RowFor(r);
        if (int(row.size()) < sel_.c2) {
            if (p == 0) {
                if (row.empty()) rows_[r - 1].reset();
                continue;
            }
            row.resize(sel_.c2);
        }
        for (int c = sel_.c1; c <= sel_.c2; ++c) row[c - 1].pattern = p;
    }
    Changed(sel_.r1, sel_.c1, sel_.r2, sel_.c2);
}

int TSheetBook::CellPattern(int row, int col) const {
    const Cell* c = CellAt(row, col);
    return c ? c->pattern : 0;
}

void TSheetBook::SetFont(const QString&, int size, bool bold, bool, bool, bool, int, bool, bool) {
    // A new range replaces every older one it covers, so re-setting the same block over and
    // over (once per checked row) does not pile up ranges.
    std::erase_if(fonts_, [&](const FontRange& f) { return Covers(sel_, f.range); });
    fonts_.push_back({sel_, size, bold});
    Changed(sel_.r1, sel_.c1, sel_.r2, sel_.c2);
}

int TSheetBook::CellFontSize(int row, int col) const {
    for (auto it = fonts_.rbegin(); it != fonts_.rend(); ++it)
        if (it->range.Contains(row, col)) return it->size;
    return 0;
}

bool TSheetBook::CellFontBold(int row, int col) const {
    for (auto it = fonts_.rbegin(); it != fonts_.rend(); ++it)
        if (it->range.Contains(row, col)) return it->bold;
    return false;
}

void TSheetBook::SetRowHeight(int r1, int r2, int twips, bool) {
    const SheetRange rg = Normalised(r1, 1, r2, 1);
    twips = std::max(0, twips);
    if (rg.r1 <= 3 && rg.r2 >= kMaxRow * 9 / 10) {
        // Nearly every row (the forms set 2..16380 or 2..16000): that is the default height.
        std::erase_if(rowHeights_, [&](const auto& h) { return h.first.r1 >= rg.r1 && h.first.r2 <= rg.r2; });
        if (rg.r1 > 1 &&
            std::none_of(rowHeights_.begin(), rowHeights_.end(), [](const auto& h) { return h.first.Contains(1, 1); }))
            rowHeights_.push_back({SheetRange{1, 1, rg.r1 - 1, 1}, defaultRowHeight_});
        defaultRowHeight_ = twips;
    } else {
        std::erase_if(rowHeights_, [&](const auto& h) { return h.first.r1 >= rg.r1 && h.first.r2 <= rg.r2; });
        rowHeights_.push_back({rg, twips});
    }
    Relayout();
}

int TSheetBook::RowHeight(int row) const {
    for (auto it = rowHeights_.rbegin(); it != rowHeights_.rend(); ++it)
        if (row >= it->first.r1 && row <= it->first.r2) return it->second;
    return defaultRowHeight_;
}

int TSheetBook::RowHeightPx(int row) const {
    // 15 twips make a pixel at 96 dpi; 310 twips give the 21-pixel rows the forms count on.
    return (RowHeight(row) + 14) / 15;
}

void TSheetBook::SetColWidth(int c1, int c2, int px, bool) {
    const SheetRange rg = Normalised(1, c1, 1, c2);
    for (int c = rg.c1; c <= rg.c2; ++c) colWidth_[c - 1] = std::max(0, px);
    Relayout();
}

int TSheetBook::ColWidth(int col) const {
    if (col < 1 || col > kMaxColumns) return 0;
    return colWidth_[col - 1] < 0 ? kDefaultColWidth : colWidth_[col - 1];
}

void TSheetBook::SetColHidden(int c1, int c2, bool hidden) {
    const SheetRange rg = Normalised(1, c1, 1, c2);
    for (int c = rg.c1; c <= rg.c2; ++c) colHidden_[c - 1] = hidden;
    Relayout();
}

bool TSheetBook::IsColHidden(int col) const {
    if (col < 1 || col > kMaxColumns) return true;
    return colHidden_[col - 1] || colWidth_[col - 1] == 0;
}

void TSheetBook::SetFrozen(int rows, int cols) {
    frozenRows_ = std::max(0, rows);
    frozenCols_ = std::max(0, cols);
    Relayout();
}

void TSheetBook::AddMerge(int r1, int c1, int r2, int c2) {
    merges_.push_back(Normalised(r1, c1, r2, c2));
    Relayout();
}

void TSheetBook::SetWrapRows(int r1, int r2) {
    wrapRows_.emplace_back(std::min(r1, r2), std::max(r1, r2));
    Relayout();
}

bool TSheetBook::RowWraps(int row) const {
    return std::any_of(wrapRows_.begin(), wrapRows_.end(),
                       [&](const auto& w) { return row >= w.first && row <= w.second; });
}

// ---- list objects ----

int TSheetBook::AddObject(const QString& name, const QStringList& items) {
    SheetObject o;
    o.name = name;
    o.items = items;
    objects_.push_back(o);
    const int id = int(objects_.size()) - 1;
    if (updateDepth_ == 0) emit objectChanged(id);
    return id;
}

int TSheetBook::ObjectIdByName(const QString& name) const {
    for (size_t i = 0; i < objects_.size(); ++i)
        if (objects_[i].name == name) return int(i);
    return -1;
}

SheetObject& TSheetBook::Obj(int id) {
    if (id < 0 || id >= int(objects_.size()))
        throw std::out_of_range("sheet list object " + std::to_string(id) + " does not exist");
    return objects_[size_t(id)];
}

const SheetObject& TSheetBook::Object(int id) const { return const_cast<TSheetBook*>(this)->Obj(id); }

void TSheetBook::SetObjectText(int id, const QString& items) {
    SheetObject& o = Obj(id);
    QStringList list = items.split(QLatin1Char(';'));
    if (!list.isEmpty() && list.back().isEmpty()) list.pop_back();  // the last item's ";"
    o.items = list;
    o.selected = -1;
    if (updateDepth_ == 0) emit objectChanged(id);
}

void TSheetBook::SetObjectPos(int id, int x1, int y1, int x2, int y2) {
    SheetObject& o = Obj(id);
    o.x1 = std::min(x1, x2);
    o.x2 = std::max(x1, x2);
    o.y1 = std::min(y1, y2);
    o.y2 = std::max(y1, y2);
    if (updateDepth_ == 0) emit objectChanged(id);
}

void TSheetBook::SetObjectLink(int id, int kind, int row, int col) {
    SheetObject& o = Obj(id);
    o.linkKind = kind;
    o.linkRow = row;
    o.linkCol = col;
}

void TSheetBook::ObjectSelection(int id, int index) {
    SheetObject& o = Obj(id);
    o.selected = (index >= 0 && index < o.items.size()) ? index : -1;
    if (updateDepth_ == 0) emit objectChanged(id);
}

void TSheetBook::ObjectVisible(int id, bool visible) {
    SheetObject& o = Obj(id);
    if (o.visible == visible) return;
    o.visible = visible;
    if (updateDepth_ == 0) emit objectChanged(id);
}

void TSheetBook::PickObjectItem(int id, int index) {
    ObjectSelection(id, index);
    const SheetObject& o = Obj(id);
    if (o.selected < 0) return;
    if (o.linkKind == 2 && o.linkRow >= 1 && o.linkCol >= 1) SetCellText(o.linkRow, o.linkCol, o.items[o.selected]);
    emit objectPicked(id, o.selected);
}

// ---- clipboard ----

void TSheetBook::SetClipboard(std::shared_ptr<SheetClipboard> clipboard) {
    clipboard_ = clipboard ? std::move(clipboard) : std::make_shared<MemoryClipboard>();
}

QString TSheetBook::RangeText(const SheetRange& range) const {
    std::vector<QStringList> rows;
    for (int r = range.r1; r <= range.r2; ++r) {
        QStringList cells;
        for (int c = range.c1; c <= range.c2; ++c) cells << GetCellText(r, c);
        rows.push_back(cells);
    }
    return ToTsv(rows);
}

void TSheetBook::EditCopy() { clipboard_->SetText(RangeText(sel_)); }

void TSheetBook::EditCut() {
    EditCopy();
    ClearRange(sel_.r1, sel_.c1, sel_.r2, sel_.c2, ClearContents);
}

QString TSheetBook::PasteClippedText(int rows, int dropped) {
    return QStringLiteral("粘贴的%1行中有%2行超出了表格的最后一行（第%3行），没有粘贴。")
        .arg(rows)
        .arg(dropped)
        .arg(kMaxRow);
}

int TSheetBook::EditPaste() { return PasteText(sel_.r1, sel_.c1, clipboard_->Text()); }

int TSheetBook::PasteText(int row, int col, const QString& text) {
    lastPaste_.reset();
    const std::vector<QStringList> rows = FromTsv(text);
    if (rows.empty()) return 0;
    const int fit = std::clamp(kMaxRow - row + 1, 0, int(rows.size()));
    BeginUpdate();
    int width = 0;
    for (size_t i = 0; i < size_t(fit); ++i) {
        const int r = row + int(i);
        width = std::max(width, int(rows[i].size()));
        // Cells land by position, hidden columns included: the forms rely on the 15th pasted
        // column reaching column 15 even when it is not shown.
        for (int j = 0; j < rows[i].size(); ++j) {
            if (col + j > kMaxColumns) break;
            SetCellText(r, col + j, rows[i][j]);
        }
    }
    if (fit > 0 && width > 0 && col <= kMaxColumns)
        lastPaste_ = SheetRange{row, col, row + fit - 1, std::min(col + width - 1, kMaxColumns)};
    EndUpdate();
    const int dropped = int(rows.size()) - fit;
    if (dropped > 0) emit pasteClipped(int(rows.size()), dropped);
    return dropped;
}

QString TSheetBook::ToTsv(const std::vector<QStringList>& rows) {
    QString out;
    for (const QStringList& cells : rows) {
        for (int j = 0; j < cells.size(); ++j) {
            if (j) out += QLatin1Char('\t');
            const QString& c = cells[j];
            if (c.contains(QLatin1Char('\t')) || c.contains(QLatin1Char('\n')) || c.contains(QLatin1Char('\r')) ||
                c.startsWith(QLatin1Char('"'))) {
                QString q = c;
                q.replace(QLatin1String("\""), QLatin1String("\"\""));
                out += QLatin1Char('"') + q + QLatin1Char('"');
            } else {
                out += c;
            }
        }
        out += QLatin1String("\r\n");
    }
    return out;
}

std::vector<QStringList> TSheetBook::FromTsv(const QString& text) {
    // Spreadsheet programs write rows ended by CR LF (or LF), cells split by tabs, and quote
    // a cell that holds a tab, a line break or starts with a quote ("" inside is one quote).
    std::vector<QStringList> rows;
    QStringList cells;
    QString cell;
    const int n = int(text.size());
    int i = 0;
    bool rowOpen = false;
    while (i < n) {
        const QChar ch = text[i];
        if (ch == QLatin1Char('"') && cell.isEmpty()) {
            // A quoted cell, when a closing quote follows before the end of the text.
            QString q;
            int k = i + 1;
            bool closed = false;
            while (k < n) {
                if (text[k] == QLatin1Char('"')) {
                    if (k + 1 < n && text[k + 1] == QLatin1Char('"')) {
                        q += QLatin1Char('"');
                        k += 2;
                        continue;
                    }
                    closed = true;
                    break;
                }
                q += text[k++];
            }
            const bool endsCell = closed && (k + 1 >= n || text[k + 1] == QLatin1Char('\t') ||
                                             text[k + 1] == QLatin1Char('\r') || text[k + 1] == QLatin1Char('\n'));
            if (endsCell) {
                q.replace(QLatin1String("\r\n"), QLatin1String("\n"));
                cell = q;
                i = k + 1;
                rowOpen = true;
                continue;
            }
        }
        if (ch == QLatin1Char('\t')) {
            cells << cell;
            cell.clear();
            rowOpen = true;
            ++i;
        } else if (ch == QLatin1Char('\r') || ch == QLatin1Char('\n')) {
            cells << cell;
            cell.clear();
            rows.push_back(cells);
            cells.clear();
            rowOpen = false;
            i += (ch == QLatin1Char('\r') && i + 1 < n && text[i + 1] == QLatin1Char('\n')) ? 2 : 1;
        } else {
            cell += ch;
            rowOpen = true;
            ++i;
        }
    }
    if (rowOpen || !cell.isEmpty()) {
        cells << cell;
        rows.push_back(cells);
    }
    return rows;
}

// ---- rows ----

void TSheetBook::InsertRows(int row, int count) {
    if (row < 1 || row > kMaxRow || count <= 0) return;
    count = std::min(count, kMaxRow - row + 1);
    // Whole rows move, code and id columns beyond the shown area included; rows pushed past
    // the last row are dropped.
    std::move_backward(rows_.begin() + (row - 1), rows_.end() - count, rows_.end());
    for (int r = row; r < row + count; ++r) rows_[r - 1].reset();
    Relayout();
    Changed(row, 1, kMaxRow, kMaxColumns);
}

void TSheetBook::DeleteRows(int row, int count) {
    if (row < 1 || row > kMaxRow || count <= 0) return;
    count = std::min(count, kMaxRow - row + 1);
    std::move(rows_.begin() + (row - 1 + count), rows_.end(), rows_.begin() + (row - 1));
    for (int r = kMaxRow - count + 1; r <= kMaxRow; ++r) rows_[r - 1].reset();
    Relayout();
    Changed(row, 1, kMaxRow, kMaxColumns);
}

void TSheetBook::EditInsert(int kind) {
    if (kind == 3) InsertRows(sel_.r1, sel_.r2 - sel_.r1 + 1);
}

void TSheetBook::EditDelete(int kind) {
    if (kind == 3) DeleteRows(sel_.r1, sel_.r2 - sel_.r1 + 1);
}

// ---- notification ----

void TSheetBook::BeginUpdate() { ++updateDepth_; }

void TSheetBook::EndUpdate() {
    if (updateDepth_ == 0) return;
    if (--updateDepth_ == 0 && pending_) {
        pending_ = false;
        emit sheetReset();
    }
}

void TSheetBook::Changed(int r1, int c1, int r2, int c2) {
    if (updateDepth_ > 0) {
        pending_ = true;
        return;
    }
    emit cellsChanged(r1, c1, r2, c2);
}

void TSheetBook::Relayout() {
    if (updateDepth_ > 0) {
        pending_ = true;
        return;
    }
    emit layoutChanged();
}

}  // namespace qm
