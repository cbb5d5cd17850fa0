#include "core/sheet/SheetBook.h"

#include <algorithm>
#include <stdexcept>

namespace qm {

namespace {

bool Covers(const SheetRange& outer, const SheetRange& inner) {
    return outer.r1 <= inner.r1 && outer.r2 >= inner.r2 && outer.c1 <= inner.c1 && outer.c2 >= inner.c2;
}

}  // namespace

TSheetBook::TSheetBook(QObject* parent) : QObject(parent), clipboard_(std::make_shared<MemoryClipboard>()) { Reset(); }

TSheetBook::~TSheetBook() = default;

SheetRange TSheetBook::Normalised(int r1, int c1, int r2, int c2) const {
    SheetRange r{std::min(r1, r2), std::min(c1, c2), std::max(r1, r2), std::max(c1, c2)};
    r.r1 = std::clamp(r.r1, 1, MaxRow());
    r.r2 = std::clamp(r.r2, 1, MaxRow());
    r.c1 = std::clamp(r.c1, 1, kMaxColumns);
    r.c2 = std::clamp(r.c2, 1, kMaxColumns);
    return r;
}

SheetRange TSheetBook::Extended(SheetRange r) const {
    if (r.r2 >= MaxRow()) r.r2 = kOpenEnd;
    return r;
}

void TSheetBook::Resize(int rows) {
    rows = std::clamp(rows, kMinRows, kRowLimit);
    if (rows == MaxRow()) return;
    // Only empty rows ever go: the callers keep every row up to stored_.
    rows_.resize(size_t(rows));
    if (updateDepth_ > 0)
        pending_ = true;
    else
        emit maxRowChanged(rows);
}

void TSheetBook::Reach(int row) {
    stored_ = std::max(stored_, row);
    if (row > MaxRow() - kRowsBelow) Resize(row + kRowsBelow);
}

void TSheetBook::Fit() {
    while (stored_ > 0 && rows_[size_t(stored_ - 1)].size == 0) --stored_;
    if (stored_ + kRowsBelow < MaxRow()) Resize(stored_ + kRowsBelow);
}

void TSheetBook::Reset() {
    rows_.clear();
    rows_.resize(kMinRows);
    stored_ = 0;
    ClearTexts();
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

void TSheetBook::ClearTexts() {
    // Given back whole: a sheet that held a large list keeps nothing of it after a reset.
    std::vector<PooledText>(1).swap(texts_);
    std::vector<TextSlot>().swap(textIndex_);
    indexedTexts_ = 0;
    std::vector<quint32>().swap(freeTextIds_);
    lastTextIds_.fill(0);
}

namespace {
bool SameText(const QString& a, const QString& b) {
    return a.size() == b.size() && std::equal(a.constData(), a.constData() + a.size(), b.constData());
}
}  // namespace

quint32 TSheetBook::Intern(const QString& text, int col) {
    if (text.isEmpty()) return 0;
    quint32& last = lastTextIds_[size_t(col - 1)];
    if (last != 0 && SameText(texts_[last].text, text)) {  // a freed text is empty: no match
        ++texts_[last].uses;
        return last;
    }
    const quint32 hash = quint32(qHash(QStringView(text)));
    if (!textIndex_.empty()) {
        const size_t mask = textIndex_.size() - 1;
        for (size_t i = hash & mask; textIndex_[i].id != 0; i = (i + 1) & mask) {
            const TextSlot& slot = textIndex_[i];
            if (slot.hash == hash && SameText(texts_[slot.id].text, text)) {
                ++texts_[slot.id].uses;
                return last = slot.id;
            }
        }
    }
    quint32 id;
    if (freeTextIds_.empty() && texts_.size() > kTextBits)
        throw std::length_error("表格中不同的文字太多（超过16777215种），无法再写入。");
    if (!freeTextIds_.empty()) {
        id = freeTextIds_.back();
        freeTextIds_.pop_back();
    } else {
        id = quint32(texts_.size());
        texts_.emplace_back();
    }
    texts_[id] = PooledText{text, 1, hash};
    IndexText(id);
    return last = id;
}

void TSheetBook::IndexText(quint32 id) {
    if ((indexedTexts_ + 1) * 2 > textIndex_.size()) {
        // At most half full, so probes stay short; the hashes are kept, nothing is hashed again.
        std::vector<TextSlot> old(std::max<size_t>(64, textIndex_.size() * 2));
        old.swap(textIndex_);
        const size_t mask = textIndex_.size() - 1;
        for (const TextSlot& s : old) {
            if (s.id == 0) continue;
            size_t i = s.hash & mask;
            while (textIndex_[i].id != 0) i = (i + 1) & mask;
            textIndex_[i] = s;
        }
    }
    const quint32 hash = texts_[id].hash;
    const size_t mask = textIndex_.size() - 1;
    size_t i = hash & mask;
    while (textIndex_[i].id != 0) i = (i + 1) & mask;
    textIndex_[i] = TextSlot{hash, id};
    ++indexedTexts_;
}

void TSheetBook::UnindexText(quint32 id) {
    const size_t mask = textIndex_.size() - 1;
    size_t i = texts_[id].hash & mask;
    while (textIndex_[i].id != id) i = (i + 1) & mask;
    // Later slots of the same run move back into the gap when their home allows it, so no
    // probe ever stops early at a hole.
    for (size_t j = (i + 1) & mask; textIndex_[j].id != 0; j = (j + 1) & mask) {
        const size_t home = textIndex_[j].hash & mask;
        const bool between = i <= j ? (home > i && home <= j) : (home > i || home <= j);
        if (between) continue;
        textIndex_[i] = textIndex_[j];
        i = j;
    }
    textIndex_[i] = TextSlot{};
    --indexedTexts_;
}

void TSheetBook::Release(quint32 id) {
    if (id == 0) return;
    PooledText& t = texts_[id];
    if (--t.uses > 0) return;
    UnindexText(id);
    t.text = QString();
    freeTextIds_.push_back(id);
}

TSheetBook::Cell* TSheetBook::CellAt(int row, int col) {
    if (row < 1 || row > MaxRow() || col < 1 || col > kMaxColumns) return nullptr;
    Row& r = rows_[size_t(row - 1)];
    if (r.size < col) return nullptr;
    return &r.cells[size_t(col - 1)];
}

const TSheetBook::Cell* TSheetBook::CellAt(int row, int col) const {
    return const_cast<TSheetBook*>(this)->CellAt(row, col);
}

TSheetBook::Cell& TSheetBook::GrowTo(int row, int col) {
    Reach(row);
    Row& r = rows_[size_t(row - 1)];
    if (col > r.capacity) {
        // Rows are written left to right, the texts first and the codes after them: grow by
        // half again, in steps of 8 cells, so a row takes a few steps and keeps little room.
        const int want = std::max(col, r.capacity + r.capacity / 2);
        const int capacity = std::min((want + 7) / 8 * 8, kMaxColumns);
        auto cells = std::make_unique<Cell[]>(size_t(capacity));  // zeroed: empty cells
        std::copy_n(r.cells.get(), r.size, cells.get());
        r.cells = std::move(cells);
        r.capacity = quint16(capacity);
    }
    if (col > r.size) r.size = quint16(col);
    return r.cells[size_t(col - 1)];
}

void TSheetBook::DropRow(int row) {
    Row& r = rows_[size_t(row - 1)];
    for (int c = 0; c < r.size; ++c) Release(TextId(r.cells[size_t(c)]));
    r = Row{};
}

void TSheetBook::TrimRow(int row) {
    Row& r = rows_[size_t(row - 1)];
    while (r.size > 0 && r.cells[size_t(r.size - 1)] == 0) --r.size;
    if (r.size == 0) r = Row{};
}

QString TSheetBook::GetCellText(int row, int col) const {
    const Cell* c = CellAt(row, col);
    return c ? TextOf(*c) : QString();
}

void TSheetBook::SetCellText(int row, int col, const QString& text) {
    if (row < 1 || row > kRowLimit || col < 1 || col > kMaxColumns) return;
    Cell* c = CellAt(row, col);
    if (!c) {
        if (text.isEmpty()) return;
        c = &GrowTo(row, col);
    }
    if (TextOf(*c) == text) return;
    const quint32 id = Intern(text, col);
    Release(TextId(*c));
    *c = (*c & ~kTextBits) | id;
    Changed(row, col, row, col);
}

void TSheetBook::ClearRange(int r1, int c1, int r2, int c2, int kind) {
    const SheetRange rg = Normalised(r1, c1, r2, c2);
    const bool text = kind == ClearAll || kind == ClearContents;
    const bool formats = kind == ClearAll || kind == ClearFormats;
    if (!text && !formats) return;
    const Cell keep = (text ? 0 : kTextBits) | (formats ? 0 : ~kTextBits);
    for (int r = rg.r1; r <= rg.r2; ++r) {
        Row& row = rows_[size_t(r - 1)];
        const int last = std::min<int>(rg.c2, row.size);
        if (last < rg.c1) continue;
        for (int c = rg.c1; c <= last; ++c) {
            Cell& cell = row.cells[size_t(c - 1)];
            if (text) Release(TextId(cell));
            cell &= keep;
        }
        // Trailing empty cells go, so a cleared row costs nothing.
        TrimRow(r);
    }
    if (formats) {
        // A font range wholly inside the cleared block goes; others keep their look (callers
        // set the font again after a formats clear).
        const SheetRange all = Extended(rg);
        std::erase_if(fonts_, [&](const FontRange& f) { return Covers(all, f.range); });
    }
    Changed(rg.r1, rg.c1, rg.r2, rg.c2);
    Fit();
}

int TSheetBook::LastUsedRow() const {
    for (int r = stored_; r >= 1; --r) {
        const Row& row = rows_[size_t(r - 1)];
        for (int c = 0; c < row.size; ++c)
            if (TextId(row.cells[size_t(c)]) != 0) return r;
    }
    return 0;
}

int TSheetBook::LastUsedCol(int fromRow, int toCol) const {
    int last = 0;
    for (int r = std::max(fromRow, 1); r <= stored_ && last < toCol; ++r) {
        const Row& row = rows_[size_t(r - 1)];
        for (int c = std::min(int(row.size), toCol); c > last; --c)
            if (TextId(row.cells[size_t(c - 1)]) != 0) {
                last = c;
                break;
            }
    }
    return last;
}

int TSheetBook::FilledRowsFrom(int row, int c1, int c2) const {
    auto filled = [](const QString& t) {
        return std::any_of(t.cbegin(), t.cend(), [](QChar ch) { return ch.unicode() > 0x20; });
    };
    int n = 0;
    for (int r = std::max(row, 1), last = LastUsedRow(); r <= last; ++r)
        for (int c = c1; c <= c2; ++c)
            if (filled(GetCellText(r, c))) {
                ++n;
                break;
            }
    return n;
}

QString RowsLeftQuestion(int shownRow, int rowsLeft, int rowsSaved, const QString& what, long long stored) {
    QString q = QStringLiteral("第%1行姓名为空，从该行起的%2行不会保存。\n").arg(shownRow).arg(rowsLeft);
    // The save replaces the stored list: say what it would take away from it.
    if (stored > rowsSaved)
        q += QStringLiteral("库中%1现有%2人，保存后只剩%3人。\n").arg(what).arg(stored).arg(rowsSaved);
    return q + QStringLiteral("只保存前面的%1行吗？").arg(rowsSaved);
}

void TSheetBook::SetMaxCol(int cols) {
    cols = std::clamp(cols, 1, kMaxColumns);
    if (cols == maxCol_) return;
    maxCol_ = cols;
    Relayout();
}

// ---- selection and formats ----

void TSheetBook::SetSelection(int r1, int c1, int r2, int c2) { sel_ = Normalised(r1, c1, r2, c2); }

void TSheetBook::GoTo(int row, int col) {
    SetSelection(row, col, row, col);
    emit goToRequested(sel_.r1, sel_.c1);
}

void TSheetBook::SetPattern(int pattern, int, int) {
    const Cell p = Cell(std::clamp(pattern, 0, 255)) << kPatternShift;
    for (int r = sel_.r1; r <= sel_.r2; ++r) {
        if (p == 0) {
            Row& row = rows_[size_t(r - 1)];
            const int last = std::min<int>(sel_.c2, row.size);
            for (int c = sel_.c1; c <= last; ++c) row.cells[size_t(c - 1)] &= kTextBits;
            if (last >= sel_.c1) TrimRow(r);
            continue;
        }
        GrowTo(r, sel_.c2);
        Cell* cells = rows_[size_t(r - 1)].cells.get();
        for (int c = sel_.c1; c <= sel_.c2; ++c) cells[c - 1] = (cells[c - 1] & kTextBits) | p;
    }
    Changed(sel_.r1, sel_.c1, sel_.r2, sel_.c2);
    if (p == 0) Fit();
}

int TSheetBook::CellPattern(int row, int col) const {
    const Cell* c = CellAt(row, col);
    return c ? Pattern(*c) : 0;
}

void TSheetBook::SetFont(const QString&, int size, bool bold, bool, bool, bool, int, bool, bool) {
    // A new range replaces every older one it covers, so re-setting the same block over and
    // over (once per checked row) does not pile up ranges.
    const SheetRange rg = Extended(sel_);
    std::erase_if(fonts_, [&](const FontRange& f) { return Covers(rg, f.range); });
    fonts_.push_back({rg, size, bold});
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
    const SheetRange rg = Extended(Normalised(r1, 1, r2, 1));
    twips = std::max(0, twips);
    if (rg.r1 <= 3 && rg.r2 >= std::min(MaxRow(), kMinRows) * 9 / 10) {
        // Nearly every row (the forms set rows 2 to the last): that is the default height.
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
        .arg(kRowLimit);
}

int TSheetBook::EditPaste() { return PasteText(sel_.r1, sel_.c1, clipboard_->Text()); }

int TSheetBook::PasteText(int row, int col, const QString& text) {
    lastPaste_.reset();
    const std::vector<QStringList> rows = FromTsv(text);
    if (rows.empty()) return 0;
    const int fit = std::clamp(kRowLimit - row + 1, 0, int(rows.size()));
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
    if (row < 1 || row > MaxRow() || count <= 0) return;
    // Whole rows move, code and id columns beyond the shown area included. The sheet grows
    // for the rows that hold anything; only empty rows leave its end.
    const int last = std::max(stored_, row - 1);  // the last row that moves with anything in it
    count = std::min(count, kRowLimit - last);
    if (count <= 0) return;
    if (stored_ >= row) Reach(stored_ + count);
    count = std::min(count, MaxRow() - row + 1);  // rows inserted past the end are simply there
    std::move_backward(rows_.begin() + (row - 1), rows_.end() - count, rows_.end());
    for (int r = row; r < row + count; ++r) rows_[size_t(r - 1)] = Row{};
    Relayout();
    Changed(row, 1, MaxRow(), kMaxColumns);
}

void TSheetBook::DeleteRows(int row, int count) {
    if (row < 1 || row > MaxRow() || count <= 0) return;
    count = std::min(count, MaxRow() - row + 1);
    const int rows = MaxRow();
    for (int r = row; r < row + count; ++r) DropRow(r);
    std::move(rows_.begin() + (row - 1 + count), rows_.end(), rows_.begin() + (row - 1));
    for (int r = rows - count + 1; r <= rows; ++r) rows_[size_t(r - 1)] = Row{};
    if (stored_ >= row) stored_ = std::max(row - 1, stored_ - count);
    Relayout();
    Changed(row, 1, rows, kMaxColumns);
    Fit();
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
