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
    // Creates (truncating) the file and writes into it; raises when it cannot be written.
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
    void Write(const QByteArray& b);
    void Write(const char* s) {
        if (Sink)
            Sink->append(s);
        else
            Write(QByteArray(s));
    }
    // The footer text of footer row `footerNo` for exported column `j`.
    QString FooterText(int footerNo, int j, TColumnX* column);

    TCustomDBGridX* DBGridX;
    QIODevice* Stream = nullptr;
    // When set, writes are appended here instead of going to the stream.
    QByteArray* Sink = nullptr;
    TColumnsXList ExpCols;
    std::vector<TCurrency> FooterValues;

private:
    void AccumulateFooters();
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
    explicit TDBGridXExportAsCSV(TCustomDBGridX* grid) : TDBGridXExportAsText(grid), Separator(CsvSeparator) {}
    static QString Quoted(const QString& s);

protected:
    void WriteTitle(const TColumnsXList& cols) override;
    void WriteDataCell(TColumnX* column, const TFont&, const QColor&) override;
    void WriteFooterCell(int, int, TColumnX*, const TFont&, const QColor&, TAlignment, const QString& text) override;
    void WriteFieldSeparator() override;
    QChar Separator;
};

class TDBGridXExportAsRTF : public TDBGridXExport {
public:
    using TDBGridXExport::TDBGridXExport;
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
    int ColorIndex(const QColor& c);
    int FontIndex(const QFont& f);
    void WriteRowPrefix(const std::vector<QColor>& backgrounds, const std::vector<int>& borders);
    void WriteRowPrefixBytes(const std::vector<QColor>& backgrounds, const std::vector<int>& borders);
    // A cell's text run: its colour is the font's, else the palette's `textRole`.
    void WriteCell(TAlignment alignment, const TFont& font, const QColor& bg, const QString& text, int spacing = -1,
                   QPalette::ColorRole textRole = QPalette::Text);
    void WriteRowEnd();
    void WriteEscaped(const QString& text);
    int Twips(int pixels) const;
    void WriteMultiTitle(const TColumnsXList& cols);

    QByteArray body_;
    QStringList colorTable_, fontTable_;
    int dpi_ = 96;
    // Every record row starts alike and a column's cells are alike but for their text:
    // the bytes written last for the same backgrounds and looks are written again.
    struct TCellLook {
        TAlignment alignment;
        int spacing;
        QRgb bg, fg;
        QFont font;
        QByteArray bytes;
    };
    std::vector<TCellLook> cellLooks_;
    std::vector<QRgb> prefixBackgrounds_;
    std::vector<int> prefixBorders_;
    QByteArray prefixBytes_;
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
