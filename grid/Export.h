#pragma once
// Writing the rows a grid shows (all, or the selection) as text, CSV, RTF or the grid's own
// binary GRIDBIF format. One walk serves all four: titles, records, then footer rows whose
// totals are counted again over the exported records.
//
// Text, CSV and GRIDBIF text are UTF-8. RTF escapes '\', '{' and '}', writes line breaks as
// \line and characters beyond ASCII as \uN? so that other programs read Chinese text correctly.

#include "grid/DBGridX.h"

#include <QByteArray>
#include <QFont>
#include <QIODevice>
#include <QPalette>
#include <QStringList>

#include <cstring>
#include <memory>
#include <optional>
#include <vector>

namespace qm::grid {

// The CSV separator taken by each CSV exporter when it is created.
extern QChar CsvSeparator;

// Dates in GRIDBIF are day counts from 1899-12-30 (day 0). A date field's text
// ("yyyy-MM-dd") as a day count, when it is a date; and a day count as that text.
std::optional<double> DateToDayCount(const QString& text);
QString DayCountToDate(double days);

class TDBGridXExport {
public:
    explicit TDBGridXExport(TCustomDBGridX* grid) : DBGridX(grid) {}
    virtual ~TDBGridXExport() = default;
    virtual void ExportData(QIODevice& stream, bool isExportAll);
    // Writes the file (beside it first, then renamed over it); raises when it cannot be written.
    void ExportToFile(const QString& fileName, bool isExportAll);

protected:
    virtual void WritePrefix() {}
    virtual void WriteSuffix() {}
    virtual void WriteTitle(const TColumnsXList&) {}
    virtual void WriteRecord(const TColumnsXList& cols);
    virtual void WriteDataCell(TColumnX*, const TFont&, const QColor&) {}
    virtual void WriteFooter(const TColumnsXList& cols, int footerNo);
    virtual void WriteFooterCell(int /*dataCol*/, int /*row*/, TColumnX*, const TFont&, const QColor&, TAlignment,
                                 const QString&) {}
    void Write(const QByteArray& b) { Write(b.constData(), b.size()); }
    void Write(const char* s) { Write(s, qsizetype(std::strlen(s))); }
    void Write(const char* s, qsizetype n);
    // The footer text of footer row `footerNo` for exported column `j`.
    QString FooterText(int footerNo, int j, TColumnX* column);
    // The looks and text of each exported column's cell of footer row `footerNo`, the grid's
    // hook asked once per cell; and those cells written.
    struct TFooterCell {
        TFont font;
        QColor bg;
        TAlignment alignment;
        QString text;
    };
    std::vector<TFooterCell> FooterCells(const TColumnsXList& cols, int footerNo);
    void WriteFooterCells(const TColumnsXList& cols, int footerNo, const std::vector<TFooterCell>& cells);

    TCustomDBGridX* DBGridX;
    QIODevice* Stream = nullptr;
    TColumnsXList ExpCols;
    std::vector<TCurrency> FooterValues;

private:
    void AccumulateFooters();
    // The field each footer total reads, found by name once and again only when the name
    // changes (one per footer row and exported column, as FooterValues).
    struct TFooterSource {
        QString name;
        TField* field = nullptr;
        bool found = false;
    };
    std::vector<TFooterSource> footerSources_;
    std::vector<char> footerOutOfRange_;  // as FooterValues: a total that left the 64-bit range
};

class TDBGridXExportAsText : public TDBGridXExport {
public:
    using TDBGridXExport::TDBGridXExport;
    void ExportData(QIODevice& stream, bool isExportAll) override;

protected:
    void WriteTitle(const TColumnsXList& cols) override;
    void WriteRecord(const TColumnsXList& cols) override;
    void WriteDataCell(TColumnX* column, const TFont&, const QColor&) override;
    void WriteFooter(const TColumnsXList& cols, int footerNo) override;
    void WriteFooterCell(int, int, TColumnX*, const TFont&, const QColor&, TAlignment, const QString& text) override;
    virtual void WriteRecordSeparator();
    virtual void WriteFieldSeparator();
    bool FirstRec = true, FirstCell = true;
};

class TDBGridXExportAsCSV : public TDBGridXExportAsText {
public:
    explicit TDBGridXExportAsCSV(TCustomDBGridX* grid)
        : TDBGridXExportAsText(grid), Separator(CsvSeparator), separatorBytes_(QString(Separator).toUtf8()) {}
    static QString Quoted(const QString& s);

protected:
    void WriteTitle(const TColumnsXList& cols) override;
    void WriteDataCell(TColumnX* column, const TFont&, const QColor&) override;
    void WriteFooterCell(int, int, TColumnX*, const TFont&, const QColor&, TAlignment, const QString& text) override;
    void WriteFieldSeparator() override;
    QChar Separator;

private:
    // Quoted(s) in UTF-8.
    void WriteQuoted(const QString& s);
    QByteArray separatorBytes_;
};

class TRtfBody;

class TDBGridXExportAsRTF : public TDBGridXExport {
public:
    explicit TDBGridXExportAsRTF(TCustomDBGridX* grid);
    ~TDBGridXExportAsRTF() override;
    void ExportData(QIODevice& stream, bool isExportAll) override;
    // '\', '{', '}' escaped; CR LF, LF and CR as \line; characters beyond ASCII as \uN? (after \uc1).
    static QByteArray Escaped(const QString& text);
    static void AppendEscaped(QByteArray& out, const QString& text);
    // Points of a font, converted from pixels when the font is pixel-sized.
    static int PointSize(const QFont& f, int dpi);

protected:
    void WriteSuffix() override;
    void WriteTitle(const TColumnsXList& cols) override;
    void WriteRecord(const TColumnsXList& cols) override;
    void WriteDataCell(TColumnX* column, const TFont& font, const QColor& bg) override;
    void WriteFooter(const TColumnsXList& cols, int footerNo) override;
    void WriteFooterCell(int, int, TColumnX*, const TFont& font, const QColor& bg, TAlignment alignment,
                         const QString& text) override;

private:
    enum Border { bLeft = 1, bTop = 2, bBottom = 4, bRight = 8, bAll = 15 };
    int ColorIndex(QRgb c);
    int ColorIndex(const QColor& c) { return ColorIndex(qRgb(c.red(), c.green(), c.blue())); }
    int FontIndex(const QFont& f);
    // The row prefix for cells of these backgrounds (as RGB) and borders.
    void WriteRowPrefix(const std::vector<QRgb>& backgrounds, const std::vector<int>& borders);
    QByteArray RowPrefixBytes(const std::vector<QRgb>& backgrounds, const std::vector<int>& borders);
    void WriteRowPrefix(const std::vector<QColor>& backgrounds, const std::vector<int>& borders);
    // A cell's text run: its colour is the font's, else the palette's `textRole`.
    void WriteCell(TAlignment alignment, const TFont& font, const QColor& bg, const QString& text, int spacing = -1,
                   QPalette::ColorRole textRole = QPalette::Text);
    QByteArray CellLookBytes(TAlignment alignment, const TFont& font, const QColor& bg, const QColor& fg, int spacing);
    void WriteRowEnd();
    int Twips(int pixels) const;
    void WriteMultiTitle(const TColumnsXList& cols);

    // The tables come first but are known only after the walk: the body waits in memory, and
    // what repeats in it (row prefixes, cell looks, cell and row ends) is kept there once.
    std::unique_ptr<TRtfBody> body_;
    std::vector<QRgb> colorTable_;
    QStringList fontTable_;
    int dpi_ = 96;
    int cellEnd_ = -1, rowEnd_ = -1;  // snippets of the body
    // Looks of cells met so far (at most kMaxKept): every cell of a look starts alike.
    static constexpr size_t kMaxKept = 64;
    struct TCellLook {
        TAlignment alignment;
        int spacing;
        QRgb bg, fg;
        QFont font;
        int snippet;
    };
    std::vector<TCellLook> cellLooks_;
    // By place in the row: the look the last cell there had, and the font it was found for.
    struct TLookHint {
        size_t look = SIZE_MAX;
        QFont font;
    };
    std::vector<TLookHint> lookHints_;
    size_t cellInRow_ = 0;
    // Row prefixes met so far (at most kMaxKept), the last one used first.
    struct TRowPrefix {
        std::vector<QRgb> backgrounds;
        std::vector<int> borders;
        int snippet;
    };
    std::vector<TRowPrefix> rowPrefixes_;
    size_t lastPrefix_ = 0;
    std::vector<QRgb> rowBackgrounds_;
    std::vector<int> allBorders_;
};

class TDBGridXExportAsGRIDBIF : public TDBGridXExport {
public:
    using TDBGridXExport::TDBGridXExport;

protected:
    void WritePrefix() override;
    void WriteSuffix() override;
    void WriteDataCell(TColumnX* column, const TFont&, const QColor&) override;
};

template <class E>
void ExportGridToStream(TCustomDBGridX& grid, QIODevice& stream, bool isExportAll) {
    E e(&grid);
    e.ExportData(stream, isExportAll);
}

}  // namespace qm::grid
