#include "grid/Export.h"

#include "grid/FooterText.h"
#include "grid/TitleTree.h"
#include "grid/ViewPosition.h"

#include <QBuffer>
#include <QDate>
#include <QFile>
#include <QFontInfo>

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

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

void TDBGridXExport::Write(const QByteArray& b) {
    if (b.isEmpty()) return;
    if (Sink) {
        Sink->append(b);
        return;
    }
    if (Stream->write(b) != b.size())
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
}

void TDBGridXExport::ExportToFile(const QString& fileName, bool isExportAll) {
    QFile f(fileName);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw std::runtime_error(
            QStringLiteral("Cannot create file \"%1\". %2").arg(fileName, f.errorString()).toStdString());
    ExportData(f, isExportAll);
    f.close();
    if (f.error() != QFileDevice::NoError)
        throw std::runtime_error(
            QStringLiteral("Cannot write file \"%1\". %2").arg(fileName, f.errorString()).toStdString());
}

void TDBGridXExport::AccumulateFooters() {
    TCustomDBGridX& g = *DBGridX;
    TDataSet* ds = g.DataLink()->DataSet();
    const size_t n = ExpCols.size();
    for (int i = 0; i < g.FooterRowCount(); ++i)
        for (size_t j = 0; j < n; ++j) {
            TColumnFooterX* f = ExpCols[j]->UsedFooter(i);
            TField* field = ds->FindField(f->FieldName().isEmpty() ? ExpCols[j]->FieldName() : f->FieldName());
            if (!field) continue;
            TCurrency& v = FooterValues[size_t(i) * n + j];
            if (f->ValueType() == fvtSum && !field->IsNull())
                v += CurrencyFromDoubleOr0(field->AsFloat());
            else if (f->ValueType() == fvtCount)
                v += kCurrencyScale;
        }
}

QString TDBGridXExport::FooterText(int footerNo, int j, TColumnX* column) {
    TCustomDBGridX& g = *DBGridX;
    TColumnFooterX* f = column->UsedFooter(footerNo);
    const TCurrency v = FooterValues[size_t(footerNo) * ExpCols.size() + size_t(j)];
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

void TDBGridXExport::WriteFooter(const TColumnsXList& cols, int footerNo) {
    for (size_t j = 0; j < cols.size(); ++j) {
        TColumnX* c = cols[j];
        TColumnFooterX* f = c->UsedFooter(footerNo);
        TFont font = f->Font();
        QColor bg = f->Color();
        TAlignment alignment = f->Alignment();
        QString text = FooterText(footerNo, int(j), c);
        DBGridX->GetFooterParams(c->Index(), footerNo, c, font, bg, alignment, {}, text);
        WriteFooterCell(c->Index(), footerNo, c, font, bg, alignment, text);
    }
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

void TDBGridXExportAsCSV::WriteTitle(const TColumnsXList& cols) {
    WriteRecordSeparator();
    for (size_t i = 0; i < cols.size(); ++i) {
        Write(Utf8(Quoted(cols[i]->Title()->Caption())));
        if (i + 1 < cols.size()) Write(Utf8(QString(Separator)));
    }
}

void TDBGridXExportAsCSV::WriteDataCell(TColumnX* column, const TFont&, const QColor&) {
    WriteFieldSeparator();
    Write(Utf8(Quoted(column->DisplayText())));
}

void TDBGridXExportAsCSV::WriteFooterCell(int, int, TColumnX*, const TFont&, const QColor&, TAlignment,
                                          const QString& text) {
    WriteFieldSeparator();
    Write(Utf8(Quoted(text)));
}

void TDBGridXExportAsCSV::WriteFieldSeparator() {
    if (FirstCell)
        FirstCell = false;
    else
        Write(Utf8(QString(Separator)));
}

// ---------------------------------------------------------------- RTF

QByteArray TDBGridXExportAsRTF::Escaped(const QString& text) {
    QByteArray out;
    AppendEscaped(out, text);
    return out;
}

void TDBGridXExportAsRTF::AppendEscaped(QByteArray& out, const QString& text) {
    bool unicode = false;
    char num[16];
    for (qsizetype i = 0; i < text.size(); ++i) {
        const ushort u = text[i].unicode();
        if (u == '\r' || u == '\n') {
            // CR LF, LF or a lone CR: one line break inside the cell.
            if (u == '\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
            out += "\\line ";
        } else if (u == '\\' || u == '{' || u == '}') {
            out += '\\';
            out += char(u);
        } else if (u < 128) {
            out += char(u);
        } else {
            if (!unicode) {
                out += "\\uc1";  // one replacement character follows each \u
                unicode = true;
            }
            const int n = std::snprintf(num, sizeof num, "\\u%d?", int(short(u)));
            out.append(num, n);
        }
    }
}

int TDBGridXExportAsRTF::PointSize(const QFont& f, int dpi) {
    if (f.pointSize() > 0) return f.pointSize();
    const int px = f.pixelSize() > 0 ? f.pixelSize() : QFontInfo(f).pixelSize();
    return int(std::lround(px * 72.0 / std::max(1, dpi)));
}

int TDBGridXExportAsRTF::Twips(int pixels) const { return int(std::lround(pixels * 1440.0 / dpi_)); }

int TDBGridXExportAsRTF::ColorIndex(const QColor& c) {
    const QString key = QString::asprintf("%3d%3d%3d", c.red(), c.green(), c.blue());
    int i = int(colorTable_.indexOf(key));
    if (i < 0) {
        colorTable_ << key;
        i = int(colorTable_.size()) - 1;
    }
    return i;
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
    body_.clear();
    colorTable_.clear();
    fontTable_.clear();
    dpi_ = DBGridX->logicalDpiX();
    ColorIndex(QColor(0, 0, 0));
    ColorIndex(QColor(255, 255, 255));
    ColorIndex(DBGridX->palette().color(QPalette::Button));
    cellLooks_.clear();
    prefixBackgrounds_.clear();
    prefixBytes_.clear();
    {
        // The tables come first but are known only after the walk: the body waits in memory.
        struct Unsink {
            QByteArray*& sink;
            ~Unsink() { sink = nullptr; }
        } unsink{Sink};
        Sink = &body_;
        TDBGridXExport::ExportData(stream, isExportAll);
    }
    Stream = &stream;
    Write("{\\rtf0\\ansi\r\n{\\colortbl");
    for (const QString& k : colorTable_)
        Write("\\red" + QByteArray::number(k.mid(0, 3).trimmed().toInt()) + "\\green" +
              QByteArray::number(k.mid(3, 3).trimmed().toInt()) + "\\blue" +
              QByteArray::number(k.mid(6, 3).trimmed().toInt()) + ";");
    Write("}\r\n{\\fonttbl");
    for (int i = 0; i < fontTable_.size(); ++i)
        Write("\\f" + QByteArray::number(i) + "\\fnil " + Escaped(fontTable_[i]) + ";");
    Write("}\r\n");
    Write(body_);
    body_.clear();
}

void TDBGridXExportAsRTF::WriteEscaped(const QString& text) {
    if (Sink)
        AppendEscaped(*Sink, text);
    else
        Write(Escaped(text));
}

void TDBGridXExportAsRTF::WriteSuffix() { Write("}"); }

void TDBGridXExportAsRTF::WriteRowPrefix(const std::vector<QColor>& backgrounds, const std::vector<int>& borders) {
    std::vector<QRgb> key;
    key.reserve(backgrounds.size());
    for (const QColor& c : backgrounds) key.push_back(c.rgb());
    if (!prefixBytes_.isEmpty() && key == prefixBackgrounds_ && borders == prefixBorders_) {
        Write(prefixBytes_);
        return;
    }
    QByteArray* sink = Sink;
    QByteArray bytes;
    Sink = &bytes;
    WriteRowPrefixBytes(backgrounds, borders);
    Sink = sink;
    prefixBackgrounds_ = std::move(key);
    prefixBorders_ = borders;
    prefixBytes_ = bytes;
    Write(bytes);
}

void TDBGridXExportAsRTF::WriteRowPrefixBytes(const std::vector<QColor>& backgrounds, const std::vector<int>& borders) {
    Write("\\trowd\\trgaph40\r\n");
    int right = 0;
    for (size_t i = 0; i < ExpCols.size() && i < backgrounds.size(); ++i) {
        const int b = borders[i];
        if (b & bLeft) Write("\\clbrdrl\\brdrs\\brdrcf0\r\n");
        if (b & bTop) Write("\\clbrdrt\\brdrs\\brdrcf0\r\n");
        if (b & bBottom) Write("\\clbrdrb\\brdrs\\brdrcf0\r\n");
        if (b & bRight) Write("\\clbrdrr\\brdrs\\brdrcf0\r\n");
        // The background as the cell's background colour: a solid shading pattern is drawn
        // in the pattern's foreground by some readers, black over black text.
        Write("\\clcbpat" + QByteArray::number(ColorIndex(backgrounds[i])));
        right += Twips(ExpCols[i]->Width());
        Write("\\cellx" + QByteArray::number(right) + "\r\n");
    }
    Write("{\\trrh0\r\n");
}

void TDBGridXExportAsRTF::WriteCell(TAlignment alignment, const TFont& font, const QColor& bg, const QString& text,
                                    int spacing, QPalette::ColorRole textRole) {
    const QRgb bgKey = bg.rgb();
    const QColor fg = font.ColorOr(DBGridX->palette().color(textRole));
    const QRgb fgKey = fg.rgb();
    for (const TCellLook& l : cellLooks_)
        if (l.alignment == alignment && l.spacing == spacing && l.bg == bgKey && l.fg == fgKey &&
            l.font == static_cast<const QFont&>(font)) {
            Write(l.bytes);
            WriteEscaped(text);
            Write("\\cell}\r\n");
            return;
        }
    const QByteArray a = alignment == taRightJustify ? "\\qr" : alignment == taCenter ? "\\qc" : "\\ql";
    const QByteArray s = QByteArray::number(spacing >= 0 ? spacing : (DBGridX->Flat() ? 12 : 24));
    QByteArray look = "\\pard\\intbl{" + a + "\\sb" + s + "\\sa" + s;
    QByteArray run = "\\fs" + QByteArray::number(2 * PointSize(font, dpi_));
    if (font.bold()) run += "\\b";
    if (font.italic()) run += "\\i";
    if (font.strikeOut()) run += "\\strike";
    if (font.underline()) run += "\\ul";
    run += "\\f" + QByteArray::number(FontIndex(font));
    run += "\\cf" + QByteArray::number(ColorIndex(fg));
    run += "\\cb" + QByteArray::number(ColorIndex(bg)) + " ";
    look += run;
    if (cellLooks_.size() < 64) cellLooks_.push_back({alignment, spacing, bgKey, fgKey, font, look});
    Write(look);
    WriteEscaped(text);
    Write("\\cell}\r\n");
}

void TDBGridXExportAsRTF::WriteRowEnd() { Write("\\pard\\intbl\\row}\r\n"); }

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
    std::vector<QColor> bgs;
    for (TColumnX* c : cols) {
        TFont font = c->Font();
        QColor bg = c->Color();
        DBGridX->GetCellParams(c, font, bg, {});
        bgs.push_back(bg);
    }
    WriteRowPrefix(bgs, std::vector<int>(cols.size(), bAll));
    TDBGridXExport::WriteRecord(cols);
    WriteRowEnd();
}

void TDBGridXExportAsRTF::WriteDataCell(TColumnX* column, const TFont& font, const QColor& bg) {
    WriteCell(column->Alignment(), font, bg, column->DisplayText());
}

void TDBGridXExportAsRTF::WriteFooter(const TColumnsXList& cols, int footerNo) {
    std::vector<QColor> bgs;
    for (size_t j = 0; j < cols.size(); ++j) {
        TColumnX* c = cols[j];
        TColumnFooterX* f = c->UsedFooter(footerNo);
        TFont font = f->Font();
        QColor bg = f->Color();
        TAlignment alignment = f->Alignment();
        QString text = FooterText(footerNo, int(j), c);
        DBGridX->GetFooterParams(c->Index(), footerNo, c, font, bg, alignment, {}, text);
        bgs.push_back(bg);
    }
    WriteRowPrefix(bgs, std::vector<int>(cols.size(), bAll));
    TDBGridXExport::WriteFooter(cols, footerNo);
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
