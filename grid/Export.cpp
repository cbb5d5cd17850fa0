#include "grid/Export.h"

#include "grid/FooterText.h"
#include "grid/TitleTree.h"
#include "grid/ViewPosition.h"

#include "core/files/ReplacingFile.h"

#include <QBuffer>
#include <QDate>
#include <QFile>
#include <QFontInfo>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <optional>
#include <string>

namespace qm::grid {

QChar CsvSeparator = u';';

namespace {
const QDate kDayZero(1899, 12, 30);
}

std::optional<double> DateToDayCount(const QString& text) {
    const QDate d = QDate::fromString(text.trimmed(), Qt::ISODate);
    if (!d.isValid()) return std::nullopt;
    return double(kDayZero.daysTo(d));
}

QString DayCountToDate(double days) {
    return kDayZero.addDays(qint64(std::floor(days))).toString(QStringLiteral("yyyy-MM-dd"));
}

namespace {

QByteArray Utf8(const QString& s) { return s.toUtf8(); }

void PutLE32(QByteArray& b, quint32 v) {
    for (int i = 0; i < 4; ++i) b.append(char((v >> (8 * i)) & 0xFF));
}

// Tag 4 and an IEEE double, little-endian.
void PutFloat(QByteArray& b, double d) {
    b.append(char(4));
    quint64 bits;
    static_assert(sizeof bits == sizeof d);
    std::memcpy(&bits, &d, sizeof d);
    for (int i = 0; i < 8; ++i) b.append(char((bits >> (8 * i)) & 0xFF));
}

}  // namespace

// ---------------------------------------------------------------- base walk

void TDBGridXExport::Write(const char* s, qsizetype n) {
    if (n <= 0) return;
    if (Stream->write(s, n) != n)
        throw std::runtime_error(QStringLiteral("Stream write error: %1").arg(Stream->errorString()).toStdString());
}

void TDBGridXExport::ExportData(QIODevice& stream, bool isExportAll) {
    Stream = &stream;
    TCustomDBGridX& g = *DBGridX;
    const int kind = isExportAll ? gstAll : g.Selection().SelectionType();
    if (kind == gstNone) return;
    TDataSet* ds = g.DataLink()->DataSet();
    if (!ds || !ds->Active()) throw EDatabaseError(QStringLiteral("Cannot perform this operation on a closed dataset"));

    // The view and the controls come back on every path, also when writing fails.
    TGridViewPosition view(g);
    ds->DisableControls();
    struct Leave {
        TDataSet* ds;
        TGridViewPosition& view;
        ~Leave() {
            try {
                view.Restore();
            } catch (...) {
            }
            ds->EnableControls();
        }
    } leave{ds, view};

    switch (kind) {
    case gstRectangle: {
        ExpCols.clear();
        const int l = g.Selection().Rect().GetLeftCol(), r = g.Selection().Rect().GetRightCol();
        for (int i = l; i <= r && i < g.Columns().Count(); ++i)
            if (g.Columns()[i]->Visible()) ExpCols.push_back(g.Columns()[i]);
        break;
    }
    case gstColumns:
        ExpCols.clear();
        for (int i = 0; i < g.Selection().Columns().Count(); ++i) ExpCols.push_back(g.Selection().Columns().Items(i));
        break;
    default: ExpCols = g.VisibleColumns(); break;
    }
    FooterValues.assign(size_t(g.FooterRowCount()) * ExpCols.size(), 0);
    footerSources_.assign(FooterValues.size(), {});
    footerOutOfRange_.assign(FooterValues.size(), 0);
    WritePrefix();
    if (g.Options().Has(dgTitles)) WriteTitle(ExpCols);

    auto one = [&] {
        WriteRecord(ExpCols);
        AccumulateFooters();
    };
    switch (kind) {
    case gstRecordBookmarks: {
        TBookmarkListX& rows = g.SelectedRows();
        for (int i = 0; i < rows.Count(); ++i) {
            if (!ds->BookmarkValid(rows.Items(i))) continue;
            ds->GotoBookmark(rows.Items(i));
            one();
        }
        break;
    }
    case gstRectangle: {
        const TBookmark top = g.Selection().Rect().GetTopRow(), bottom = g.Selection().Rect().GetBottomRow();
        ds->GotoBookmark(top);
        for (;;) {
            one();
            if (ds->CompareBookmarks(ds->Bookmark(), bottom) == 0) break;
            ds->Next();
            if (ds->Eof()) break;
        }
        break;
    }
    default:
        ds->First();
        while (!ds->Eof()) {
            one();
            ds->Next();
        }
        break;
    }
    for (int i = 0; i < g.FooterRowCount(); ++i) WriteFooter(ExpCols, i);
    WriteSuffix();
    FooterValues.clear();
    footerSources_.clear();
    footerOutOfRange_.clear();
}

void TDBGridXExport::ExportToFile(const QString& fileName, bool isExportAll) {
    // Written beside the file and put in place only when complete: a failed export leaves an
    // earlier file of the name as it was.
    std::optional<files::ReplacingFile> temp;
    try {
        temp.emplace(fileName);
    } catch (const files::ReplaceError& e) {
        throw std::runtime_error(QStringLiteral("Cannot create file \"%1\". %2").arg(fileName, e.Text()).toStdString());
    }
    QFile f;
    if (!f.open(temp->Descriptor(), QIODevice::WriteOnly, QFileDevice::DontCloseHandle))
        throw std::runtime_error(
            QStringLiteral("Cannot create file \"%1\". %2").arg(fileName, f.errorString()).toStdString());
    ExportData(f, isExportAll);
    f.close();
    if (f.error() != QFileDevice::NoError)
        throw std::runtime_error(
            QStringLiteral("Cannot write file \"%1\". %2").arg(fileName, f.errorString()).toStdString());
    try {
        temp->Commit();
    } catch (const files::ReplaceError& e) {
        throw std::runtime_error(QStringLiteral("Cannot write file \"%1\". %2").arg(fileName, e.Text()).toStdString());
    }
}

void TDBGridXExport::AccumulateFooters() {
    TCustomDBGridX& g = *DBGridX;
    TDataSet* ds = g.DataLink()->DataSet();
    const size_t n = ExpCols.size();
    for (int i = 0; i < g.FooterRowCount(); ++i)
        for (size_t j = 0; j < n; ++j) {
            TColumnFooterX* f = ExpCols[j]->UsedFooter(i);
            const TFooterValueType type = f->ValueType();
            if (type != fvtSum && type != fvtCount) continue;  // other kinds count nothing
            const QString& name = f->FieldName().isEmpty() ? ExpCols[j]->FieldName() : f->FieldName();
            TFooterSource& src = footerSources_[size_t(i) * n + j];
            if (!src.found || src.name != name) src = {name, ds->FindField(name), true};
            TField* field = src.field;
            if (!field) continue;
            TCurrency& v = FooterValues[size_t(i) * n + j];
            TCurrency value = 0;
            if (type == fvtSum && !field->IsNull()) {
                if (!CurrencyFromDouble(field->AsFloat(), value) || !AddCurrency(v, value))
                    footerOutOfRange_[size_t(i) * n + j] = 1;
            } else if (type == fvtCount) {
                v += kCurrencyScale;
            }
        }
}

QString TDBGridXExport::FooterText(int footerNo, int j, TColumnX* column) {
    TCustomDBGridX& g = *DBGridX;
    TColumnFooterX* f = column->UsedFooter(footerNo);
    const TCurrency v = FooterValues[size_t(footerNo) * ExpCols.size() + size_t(j)];
    if (f->ValueType() == fvtSum && footerOutOfRange_[size_t(footerNo) * ExpCols.size() + size_t(j)])
        return OutOfRangeText();
    if (f->ValueType() == fvtSum) {
        TDataSet* ds = g.DataLink()->DataSet();
        TField* field = ds->FindField(f->FieldName().isEmpty() ? column->FieldName() : f->FieldName());
        return field ? FormatFooterSum(field, v) : QString();
    }
    if (f->ValueType() == fvtCount) return CurrToStrGeneral(v);
    return g.GetFooterValue(footerNo, column);
}

void TDBGridXExport::WriteRecord(const TColumnsXList& cols) {
    for (TColumnX* c : cols) {
        TFont font = c->Font();
        QColor bg = c->Color();
        DBGridX->GetCellParams(c, font, bg, {});
        WriteDataCell(c, font, bg);
    }
}

std::vector<TDBGridXExport::TFooterCell> TDBGridXExport::FooterCells(const TColumnsXList& cols, int footerNo) {
    std::vector<TFooterCell> cells;
    cells.reserve(cols.size());
    for (size_t j = 0; j < cols.size(); ++j) {
        TColumnX* c = cols[j];
        TColumnFooterX* f = c->UsedFooter(footerNo);
        TFooterCell& cell = cells.emplace_back(TFooterCell{f->Font(), f->Color(), f->Alignment(), {}});
        cell.text = FooterText(footerNo, int(j), c);
        DBGridX->GetFooterParams(c->Index(), footerNo, c, cell.font, cell.bg, cell.alignment, {}, cell.text);
    }
    return cells;
}

void TDBGridXExport::WriteFooterCells(const TColumnsXList& cols, int footerNo, const std::vector<TFooterCell>& cells) {
    for (size_t j = 0; j < cols.size(); ++j) {
        const TFooterCell& f = cells[j];
        WriteFooterCell(cols[j]->Index(), footerNo, cols[j], f.font, f.bg, f.alignment, f.text);
    }
}

void TDBGridXExport::WriteFooter(const TColumnsXList& cols, int footerNo) {
    WriteFooterCells(cols, footerNo, FooterCells(cols, footerNo));
}

// ---------------------------------------------------------------- text

void TDBGridXExportAsText::ExportData(QIODevice& stream, bool isExportAll) {
    FirstRec = true;
    TDBGridXExport::ExportData(stream, isExportAll);
}

void TDBGridXExportAsText::WriteRecordSeparator() {
    if (FirstRec)
        FirstRec = false;
    else
        Write("\r\n");
}

void TDBGridXExportAsText::WriteFieldSeparator() {
    if (FirstCell)
        FirstCell = false;
    else
        Write("\t");
}

void TDBGridXExportAsText::WriteTitle(const TColumnsXList& cols) {
    WriteRecordSeparator();
    for (size_t i = 0; i < cols.size(); ++i) {
        Write(Utf8(cols[i]->Title()->Caption()));
        if (i + 1 < cols.size()) Write("\t");
    }
}

void TDBGridXExportAsText::WriteRecord(const TColumnsXList& cols) {
    WriteRecordSeparator();
    FirstCell = true;
    TDBGridXExport::WriteRecord(cols);
}

void TDBGridXExportAsText::WriteDataCell(TColumnX* column, const TFont&, const QColor&) {
    WriteFieldSeparator();
    Write(Utf8(column->DisplayText()));
}

void TDBGridXExportAsText::WriteFooter(const TColumnsXList& cols, int footerNo) {
    WriteRecordSeparator();
    FirstCell = true;
    TDBGridXExport::WriteFooter(cols, footerNo);
}

void TDBGridXExportAsText::WriteFooterCell(int, int, TColumnX*, const TFont&, const QColor&, TAlignment,
                                           const QString& text) {
    WriteFieldSeparator();
    Write(Utf8(text));
}

// ---------------------------------------------------------------- CSV

QString TDBGridXExportAsCSV::Quoted(const QString& s) {
    QString r = s;
    r.replace(u'"', QStringLiteral("\"\""));
    return u'"' + r + u'"';
}

void TDBGridXExportAsCSV::WriteQuoted(const QString& s) {
    const QByteArray text = s.toUtf8();
    QByteArray out;
    out.reserve(text.size() + 2);
    out += '"';
    for (const char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
    Write(out);
}

void TDBGridXExportAsCSV::WriteTitle(const TColumnsXList& cols) {
    WriteRecordSeparator();
    for (size_t i = 0; i < cols.size(); ++i) {
        WriteQuoted(cols[i]->Title()->Caption());
        if (i + 1 < cols.size()) Write(separatorBytes_);
    }
}

void TDBGridXExportAsCSV::WriteDataCell(TColumnX* column, const TFont&, const QColor&) {
    WriteFieldSeparator();
    WriteQuoted(column->DisplayText());
}

void TDBGridXExportAsCSV::WriteFooterCell(int, int, TColumnX*, const TFont&, const QColor&, TAlignment,
                                          const QString& text) {
    WriteFieldSeparator();
    WriteQuoted(text);
}

void TDBGridXExportAsCSV::WriteFieldSeparator() {
    if (FirstCell)
        FirstCell = false;
    else
        Write(separatorBytes_);
}

// ---------------------------------------------------------------- RTF

// The body of an RTF export while the tables that precede it are still growing. Bytes are
// kept as they will be written, except that a 0 byte starts a reference to a snippet: the
// snippet's number plus one follows (LEB128), or 0 for a 0 byte of the text itself.
class TRtfBody {
public:
    TRtfBody() = default;
    TRtfBody(const TRtfBody&) = delete;
    TRtfBody& operator=(const TRtfBody&) = delete;
    ~TRtfBody() { std::free(data_); }

    int AddSnippet(QByteArray bytes) {
        snippets_.push_back(std::move(bytes));
        return int(snippets_.size()) - 1;
    }
    void Snippet(int id) {
        char* w = Room(6);
        *w++ = 0;
        w = PutCount(w, unsigned(id) + 1);
        size_ = size_t(w - data_);
    }
    void Append(const char* s, size_t n) {
        std::memcpy(Room(n), s, n);
        size_ += n;
    }
    // At least n bytes of room at the end; written bytes count once Commit is given their end.
    char* Room(size_t n) {
        if (cap_ - size_ < n) Grow(n);
        return data_ + size_;
    }
    void Commit(char* end) { size_ = size_t(end - data_); }

    // The bytes with every snippet in its place, written through `write` in blocks.
    template <class Write>
    void Expand(Write&& write) const {
        std::string block;
        block.reserve(kBlock);
        auto put = [&](const char* s, size_t n) {
            if (block.size() + n > kBlock) {
                write(block.data(), block.size());
                block.clear();
                if (n > kBlock) return write(s, n);
            }
            block.append(s, n);
        };
        const char* p = data_;
        const char* const end = data_ + size_;
        while (p < end) {
            const char* zero = static_cast<const char*>(std::memchr(p, 0, size_t(end - p)));
            put(p, size_t((zero ? zero : end) - p));
            if (!zero) break;
            p = zero + 1;
            unsigned id = 0;
            for (int shift = 0;; shift += 7) {
                const unsigned char b = static_cast<unsigned char>(*p++);
                id |= unsigned(b & 0x7F) << shift;
                if (!(b & 0x80)) break;
            }
            if (id == 0)
                put("", 1);  // the text's own 0 byte
            else
                put(snippets_[id - 1].constData(), size_t(snippets_[id - 1].size()));
        }
        if (!block.empty()) write(block.data(), block.size());
    }

    static char* PutCount(char* w, unsigned v) {
        while (v >= 0x80) {
            *w++ = char(0x80 | (v & 0x7F));
            v >>= 7;
        }
        *w++ = char(v);
        return w;
    }

private:
    static constexpr size_t kBlock = 256 * 1024;
    void Grow(size_t n) {
        const size_t cap = std::max({cap_ * 2, size_ + n, size_t(64 * 1024)});
        char* d = static_cast<char*>(std::realloc(data_, cap));
        if (!d) throw std::bad_alloc();
        data_ = d;
        cap_ = cap;
    }
    char* data_ = nullptr;
    size_t size_ = 0, cap_ = 0;
    std::vector<QByteArray> snippets_;
};

namespace {

// The RTF text of `text` at `w`, which has room for 9 bytes a character and 4 more. In the
// body (`inBody`) a 0 character is written as a reference to no snippet.
template <bool inBody>
char* EscapeRtf(char* w, QStringView text) {
    bool unicode = false;
    const char16_t* p = text.utf16();
    const char16_t* const end = p + text.size();
    while (p < end) {
        const char16_t u = *p++;
        if (u >= 128) {
            if (!unicode) {
                std::memcpy(w, "\\uc1", 4);  // one replacement character follows each \u
                w += 4;
                unicode = true;
            }
            *w++ = '\\';
            *w++ = 'u';
            int n = int(short(u));
            if (n < 0) {
                *w++ = '-';
                n = -n;
            }
            char digits[5];
            int k = 0;
            do {
                digits[k++] = char('0' + n % 10);
                n /= 10;
            } while (n);
            while (k) *w++ = digits[--k];
            *w++ = '?';
        } else if (u == '\r' || u == '\n') {
            // CR LF, LF or a lone CR: one line break inside the cell.
            if (u == '\r' && p < end && *p == u'\n') ++p;
            std::memcpy(w, "\\line ", 6);
            w += 6;
        } else if (u == '\\' || u == '{' || u == '}') {
            *w++ = '\\';
            *w++ = char(u);
        } else if (inBody && u == 0) {
            *w++ = 0;
            *w++ = 0;
        } else {
            *w++ = char(u);
        }
    }
    return w;
}

constexpr size_t EscapedRoom(qsizetype length) { return size_t(length) * 9 + 4; }

}  // namespace

TDBGridXExportAsRTF::TDBGridXExportAsRTF(TCustomDBGridX* grid) : TDBGridXExport(grid) {}
TDBGridXExportAsRTF::~TDBGridXExportAsRTF() = default;

QByteArray TDBGridXExportAsRTF::Escaped(const QString& text) {
    QByteArray out;
    AppendEscaped(out, text);
    return out;
}

void TDBGridXExportAsRTF::AppendEscaped(QByteArray& out, const QString& text) {
    const qsizetype at = out.size();
    out.resize(at + qsizetype(EscapedRoom(text.size())));
    char* const end = EscapeRtf<false>(out.data() + at, text);
    out.resize(end - out.constData());
}

int TDBGridXExportAsRTF::PointSize(const QFont& f, int dpi) {
    if (f.pointSize() > 0) return f.pointSize();
    const int px = f.pixelSize() > 0 ? f.pixelSize() : QFontInfo(f).pixelSize();
    return int(std::lround(px * 72.0 / std::max(1, dpi)));
}

int TDBGridXExportAsRTF::Twips(int pixels) const { return int(std::lround(pixels * 1440.0 / dpi_)); }

int TDBGridXExportAsRTF::ColorIndex(QRgb c) {
    c &= RGB_MASK;
    for (size_t i = 0; i < colorTable_.size(); ++i)
        if (colorTable_[i] == c) return int(i);
    colorTable_.push_back(c);
    return int(colorTable_.size()) - 1;
}

int TDBGridXExportAsRTF::FontIndex(const QFont& f) {
    int i = int(fontTable_.indexOf(f.family()));
    if (i < 0) {
        fontTable_ << f.family();
        i = int(fontTable_.size()) - 1;
    }
    return i;
}

void TDBGridXExportAsRTF::ExportData(QIODevice& stream, bool isExportAll) {
    body_ = std::make_unique<TRtfBody>();
    colorTable_.clear();
    fontTable_.clear();
    dpi_ = DBGridX->logicalDpiX();
    ColorIndex(QColor(0, 0, 0));
    ColorIndex(QColor(255, 255, 255));
    ColorIndex(DBGridX->palette().color(QPalette::Button));
    cellLooks_.clear();
    lookHints_.clear();
    rowPrefixes_.clear();
    lastPrefix_ = 0;
    cellEnd_ = body_->AddSnippet("\\cell}\r\n");
    rowEnd_ = body_->AddSnippet("\\pard\\intbl\\row}\r\n");
    TDBGridXExport::ExportData(stream, isExportAll);
    Stream = &stream;
    QByteArray head = "{\\rtf0\\ansi\r\n{\\colortbl";
    for (const QRgb c : colorTable_)
        head += "\\red" + QByteArray::number(qRed(c)) + "\\green" + QByteArray::number(qGreen(c)) + "\\blue" +
                QByteArray::number(qBlue(c)) + ";";
    head += "}\r\n{\\fonttbl";
    for (int i = 0; i < fontTable_.size(); ++i)
        head += "\\f" + QByteArray::number(i) + "\\fnil " + Escaped(fontTable_[i]) + ";";
    head += "}\r\n";
    Write(head);
    const std::unique_ptr<TRtfBody> body = std::move(body_);
    body->Expand([this](const char* s, size_t n) { Write(s, qsizetype(n)); });
}

void TDBGridXExportAsRTF::WriteSuffix() { body_->Append("}", 1); }

void TDBGridXExportAsRTF::WriteRowPrefix(const std::vector<QColor>& backgrounds, const std::vector<int>& borders) {
    rowBackgrounds_.clear();
    for (const QColor& c : backgrounds) rowBackgrounds_.push_back(qRgb(c.red(), c.green(), c.blue()));
    WriteRowPrefix(rowBackgrounds_, borders);
}

void TDBGridXExportAsRTF::WriteRowPrefix(const std::vector<QRgb>& backgrounds, const std::vector<int>& borders) {
    cellInRow_ = 0;
    auto same = [&](const TRowPrefix& r) { return r.backgrounds == backgrounds && r.borders == borders; };
    if (lastPrefix_ < rowPrefixes_.size() && same(rowPrefixes_[lastPrefix_]))
        return body_->Snippet(rowPrefixes_[lastPrefix_].snippet);
    for (size_t i = 0; i < rowPrefixes_.size(); ++i)
        if (same(rowPrefixes_[i])) {
            lastPrefix_ = i;
            return body_->Snippet(rowPrefixes_[i].snippet);
        }
    QByteArray bytes = RowPrefixBytes(backgrounds, borders);
    if (rowPrefixes_.size() < kMaxKept) {
        lastPrefix_ = rowPrefixes_.size();
        rowPrefixes_.push_back({backgrounds, borders, body_->AddSnippet(std::move(bytes))});
        return body_->Snippet(rowPrefixes_.back().snippet);
    }
    body_->Append(bytes.constData(), size_t(bytes.size()));
}

QByteArray TDBGridXExportAsRTF::RowPrefixBytes(const std::vector<QRgb>& backgrounds, const std::vector<int>& borders) {
    QByteArray out = "\\trowd\\trgaph40\r\n";
    int right = 0;
    for (size_t i = 0; i < ExpCols.size() && i < backgrounds.size(); ++i) {
        const int b = borders[i];
        if (b & bLeft) out += "\\clbrdrl\\brdrs\\brdrcf0\r\n";
        if (b & bTop) out += "\\clbrdrt\\brdrs\\brdrcf0\r\n";
        if (b & bBottom) out += "\\clbrdrb\\brdrs\\brdrcf0\r\n";
        if (b & bRight) out += "\\clbrdrr\\brdrs\\brdrcf0\r\n";
        // The background as the cell's background colour: a solid shading pattern is drawn
        // in the pattern's foreground by some readers, black over black text.
        out += "\\clcbpat" + QByteArray::number(ColorIndex(backgrounds[i]));
        right += Twips(ExpCols[i]->Width());
        out += "\\cellx" + QByteArray::number(right) + "\r\n";
    }
    out += "{\\trrh0\r\n";
    return out;
}

QByteArray TDBGridXExportAsRTF::CellLookBytes(TAlignment alignment, const TFont& font, const QColor& bg,
                                              const QColor& fg, int spacing) {
    const QByteArray a = alignment == taRightJustify ? "\\qr" : alignment == taCenter ? "\\qc" : "\\ql";
    const QByteArray s = QByteArray::number(spacing >= 0 ? spacing : (DBGridX->Flat() ? 12 : 24));
    QByteArray look = "\\pard\\intbl{" + a + "\\sb" + s + "\\sa" + s;
    look += "\\fs" + QByteArray::number(2 * PointSize(font, dpi_));
    if (font.bold()) look += "\\b";
    if (font.italic()) look += "\\i";
    if (font.strikeOut()) look += "\\strike";
    if (font.underline()) look += "\\ul";
    look += "\\f" + QByteArray::number(FontIndex(font));
    look += "\\cf" + QByteArray::number(ColorIndex(fg));
    look += "\\cb" + QByteArray::number(ColorIndex(bg)) + " ";
    return look;
}

void TDBGridXExportAsRTF::WriteCell(TAlignment alignment, const TFont& font, const QColor& bg, const QString& text,
                                    int spacing, QPalette::ColorRole textRole) {
    const QRgb bgKey = bg.rgb();
    const QColor fg = font.ColorOr(DBGridX->palette().color(textRole));
    const QRgb fgKey = fg.rgb();
    auto same = [&](const TCellLook& l) {
        return l.alignment == alignment && l.spacing == spacing && l.bg == bgKey && l.fg == fgKey;
    };
    // The look the last cell at this place had, when it is the same font object: the usual case,
    // a column's cells one row after the other.
    if (lookHints_.size() <= cellInRow_) lookHints_.resize(cellInRow_ + 1);
    TLookHint& hint = lookHints_[cellInRow_++];
    size_t look = SIZE_MAX;
    if (hint.look < cellLooks_.size() && hint.font.isCopyOf(font) && same(cellLooks_[hint.look])) {
        look = hint.look;
    } else {
        for (size_t i = 0; i < cellLooks_.size(); ++i)
            if (same(cellLooks_[i]) && cellLooks_[i].font == static_cast<const QFont&>(font)) {
                look = i;
                break;
            }
        if (look == SIZE_MAX && cellLooks_.size() < kMaxKept) {
            cellLooks_.push_back({alignment, spacing, bgKey, fgKey, font,
                                  body_->AddSnippet(CellLookBytes(alignment, font, bg, fg, spacing))});
            look = cellLooks_.size() - 1;
        }
        if (look != SIZE_MAX) hint = {look, font};
    }
    if (look != SIZE_MAX) {
        body_->Snippet(cellLooks_[look].snippet);
    } else {
        const QByteArray bytes = CellLookBytes(alignment, font, bg, fg, spacing);
        body_->Append(bytes.constData(), size_t(bytes.size()));
    }
    body_->Commit(EscapeRtf<true>(body_->Room(EscapedRoom(text.size())), text));
    body_->Snippet(cellEnd_);
}

void TDBGridXExportAsRTF::WriteRowEnd() { body_->Snippet(rowEnd_); }
void TDBGridXExportAsRTF::WriteTitle(const TColumnsXList& cols) {
    if (DBGridX->UseMultiTitle()) return WriteMultiTitle(cols);
    std::vector<QColor> bgs;
    for (TColumnX* c : cols) bgs.push_back(c->Title()->Color());
    WriteRowPrefix(bgs, std::vector<int>(cols.size(), bAll));
    for (TColumnX* c : cols)
        WriteCell(c->Title()->Alignment(), c->Title()->Font(), c->Title()->Color(), c->Title()->Caption(), -1,
                  QPalette::ButtonText);
    WriteRowEnd();
}

void TDBGridXExportAsRTF::WriteMultiTitle(const TColumnsXList& cols) {
    TCustomDBGridX& g = *DBGridX;
    const size_t n = cols.size();
    // The paragraph spacing of title cells follows the grid's title margin.
    const int s = std::abs(int(std::lround(g.VTitleMargin() / 2.0 / dpi_ * 1440.0 - 20)));
    // Levels: from each column's leaf upward, every pass moving the columns whose
    // accumulated height is the smallest one band up.
    std::vector<THeadTreeNode*> cur(n);
    std::vector<int> acc(n);
    for (size_t j = 0; j < n; ++j) {
        cur[j] = g.LeafOf(cols[j]->Index());
        acc[j] = cur[j] ? cur[j]->Height : 0;
    }
    std::vector<std::vector<THeadTreeNode*>> levels;
    for (bool first = true;; first = false) {
        int low = INT_MAX;
        for (size_t j = 0; j < n; ++j) low = std::min(low, acc[j]);
        const std::vector<THeadTreeNode*> recorded = cur;
        bool moved = false;
        for (size_t j = 0; j < n; ++j)
            if (acc[j] == low && cur[j] && cur[j]->Host) {
                cur[j] = cur[j]->Host;
                acc[j] += cur[j]->Height;
                moved = true;
            }
        if (moved || first) levels.push_back(recorded);
        if (!moved) break;
    }
    const int top = int(levels.size()) - 1;
    std::vector<std::vector<bool>> covered(levels.size(), std::vector<bool>(n, false));
    std::vector<std::vector<int>> borders(levels.size(), std::vector<int>(n, 0));
    std::vector<std::vector<QString>> texts(levels.size(), std::vector<QString>(n));
    for (int l = top; l >= 0; --l)
        for (size_t j = 0; j < n; ++j) {
            if (covered[size_t(l)][j]) continue;
            THeadTreeNode* node = levels[size_t(l)][j];
            int down = l;
            while (down > 0 && levels[size_t(down - 1)][j] == node) --down;
            size_t right = j;
            while (right + 1 < n && levels[size_t(l)][right + 1] == node) ++right;
            for (int ll = l; ll >= down; --ll)
                for (size_t jj = j; jj <= right; ++jj) {
                    covered[size_t(ll)][jj] = true;
                    int b = 0;
                    if (jj == j) b |= bLeft;
                    if (jj == right) b |= bRight;
                    if (ll == l) b |= bTop;
                    if (ll == down) b |= bBottom;
                    borders[size_t(ll)][jj] = b;
                }
            texts[size_t(l)][j] = node ? node->Text : QString();
        }
    for (int l = top; l >= 0; --l) {
        std::vector<QColor> bgs;
        for (size_t j = 0; j < n; ++j) bgs.push_back(l > 0 ? g.FixedColor() : cols[j]->Title()->Color());
        WriteRowPrefix(bgs, borders[size_t(l)]);
        for (size_t j = 0; j < n; ++j)
            WriteCell(taCenter, l > 0 ? g.TitleFont() : cols[j]->Title()->Font(), bgs[j], texts[size_t(l)][j], s,
                      QPalette::ButtonText);
        WriteRowEnd();
    }
}

void TDBGridXExportAsRTF::WriteRecord(const TColumnsXList& cols) {
    rowBackgrounds_.clear();
    for (TColumnX* c : cols) {
        TFont font = c->Font();
        QColor bg = c->Color();
        DBGridX->GetCellParams(c, font, bg, {});
        rowBackgrounds_.push_back(qRgb(bg.red(), bg.green(), bg.blue()));
    }
    allBorders_.resize(cols.size(), bAll);
    WriteRowPrefix(rowBackgrounds_, allBorders_);
    TDBGridXExport::WriteRecord(cols);
    WriteRowEnd();
}

void TDBGridXExportAsRTF::WriteDataCell(TColumnX* column, const TFont& font, const QColor& bg) {
    WriteCell(column->Alignment(), font, bg, column->DisplayText());
}

void TDBGridXExportAsRTF::WriteFooter(const TColumnsXList& cols, int footerNo) {
    // The row's backgrounds and its cells come from one answer of the hook.
    const std::vector<TFooterCell> cells = FooterCells(cols, footerNo);
    std::vector<QColor> bgs;
    for (const TFooterCell& f : cells) bgs.push_back(f.bg);
    WriteRowPrefix(bgs, std::vector<int>(cols.size(), bAll));
    WriteFooterCells(cols, footerNo, cells);
    WriteRowEnd();
}

void TDBGridXExportAsRTF::WriteFooterCell(int, int, TColumnX*, const TFont& font, const QColor& bg,
                                          TAlignment alignment, const QString& text) {
    WriteCell(alignment, font, bg, text);
}

// ---------------------------------------------------------------- GRIDBIF

void TDBGridXExportAsGRIDBIF::WritePrefix() {
    QByteArray b("GRIDBIF");
    b.append(char(1));
    PutLE32(b, quint32(ExpCols.size()) & 0xFFFFu);  // only the low 16 bits are kept
    for (TColumnX* c : ExpCols) {
        b.append(char(c->Visible() ? 1 : 0));
        b.append(char(0));  // the name is always written empty
    }
    Write(b);
}

void TDBGridXExportAsGRIDBIF::WriteSuffix() { Write(QByteArray(1, char(0))); }

void TDBGridXExportAsGRIDBIF::WriteDataCell(TColumnX* column, const TFont&, const QColor&) {
    QByteArray b;
    TField* f = column->ModifiedField();  // a lookup travels as its key
    auto text = [&](const QByteArray& bytes, char tag) {
        b.append(tag);
        PutLE32(b, quint32(bytes.size()));
        b.append(bytes);
    };
    if (!f || f->DataType() == ftUnknown) {
        b.append(char(1));
    } else if (f->IsNull()) {
        b.append(char(2));
    } else {
        const db::Value& v = f->AsValue();
        switch (f->DataType()) {
        case ftInteger:
            // An integer beyond 32 bits (or a text in the column) travels as text, never cut.
            if (v.kind() == db::Value::Kind::Integer && v.AsInteger() >= std::numeric_limits<qint32>::min() &&
                v.AsInteger() <= std::numeric_limits<qint32>::max()) {
                b.append(char(3));
                const qint32 i = qint32(v.AsInteger());
                PutLE32(b, quint32(i));
            } else {
                text(f->AsString().toUtf8(), 5);
            }
            break;
        case ftFloat:
        case ftCurrency:
            if (v.kind() == db::Value::Kind::Text)
                text(f->AsString().toUtf8(), 5);
            else
                PutFloat(b, f->AsFloat());
            break;
        case ftDate: {
            // A date travels as its day count; text that is no date travels as text.
            const std::optional<double> days = DateToDayCount(f->AsString());
            if (days)
                PutFloat(b, *days);
            else
                text(f->AsString().toUtf8(), 5);
            break;
        }
        default: text(f->AsString().toUtf8(), 5); break;
        }
    }
    Write(b);
}

}  // namespace qm::grid
