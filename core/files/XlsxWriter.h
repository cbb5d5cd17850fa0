#pragma once
// A small workbook writer over libxlsxwriter: sheets, cells as text or number, merged
// cells, formats, column widths, row heights and page setup. Every export of the program
// writes through it. Rows and columns are 1-based, as on the sheets.

#include <QString>

#include <memory>
#include <stdexcept>
#include <vector>

struct lxw_workbook;
struct lxw_worksheet;
struct lxw_format;

namespace qm::files {
class ReplacingFile;
}

namespace qm::xlsx {

// A workbook that could not be created or written; carries the cause in the person's words.
class Error : public std::runtime_error {
public:
    explicit Error(const QString& text) : std::runtime_error(text.toStdString()) {}
    QString Text() const { return QString::fromUtf8(what()); }
};
// Why libxlsxwriter failed with `code`: the system's cause `err` (errno just after the
// failure) where it is a disk's that a person can act on (full, quota, size limit, read-only,
// read error), else the writer's code. Never libxlsxwriter's English.
QString FailureText(int code, int err);

// What a person is told when an export could not save its workbook at `path`: that the
// export failed, then which file and why.
QString ExportFailedText(const QString& path, const QString& cause);

// The writer itself could not be started; no file was touched.
class StartError : public Error {
public:
    using Error::Error;
};

enum class Align { General, Left, Center, Right };
enum class VAlign { Default, Top, Center, Bottom };

// How a cell looks. Equal formats share one format of the workbook.
struct CellFormat {
    QString numFormat;    // "@" keeps a value as text; empty for the default
    double fontSize = 0;  // points; 0 keeps the default
    QString fontName;     // empty keeps the default
    bool bold = false;
    Align align = Align::General;
    VAlign valign = VAlign::Default;
    bool wrap = false;
    bool border = false;  // a thin line around the cell

    bool operator==(const CellFormat&) const = default;

    // The text format the exports give their data cells.
    static CellFormat Text() {
        CellFormat f;
        f.numFormat = QStringLiteral("@");
        return f;
    }
};

class Workbook;

class Sheet {
public:
    void Text(int row, int col, const QString& text, const CellFormat& fmt = {});
    void Number(int row, int col, double value, const CellFormat& fmt = {});
    // Merges the block and writes text into it.
    void Merge(int row1, int col1, int row2, int col2, const QString& text, const CellFormat& fmt = {});
    // Width in characters (Excel's unit) and a format for the whole columns; width < 0
    // keeps the default width.
    void Columns(int col1, int col2, double width, const CellFormat& fmt = {});
    void RowHeight(int row, double points);
    void Landscape();
    // Margins in points, as the exporting forms give them.
    void MarginsPt(double left, double right, double top, double bottom);

private:
    friend class Workbook;
    Sheet(Workbook& book, lxw_worksheet* ws) : book_(book), ws_(ws) {}
    void Check(int code) const;

    Workbook& book_;
    lxw_worksheet* ws_;
};

class Workbook {
public:
    // Starts a workbook that Close() writes to `path`, replacing any file there only once the
    // new one is complete (it is written beside it to a temporary file first, made here).
    // Raises StartError when the writer cannot start, Error when the file cannot be made.
    explicit Workbook(const QString& path);
    // Discards a workbook that was not closed (nothing is written).
    ~Workbook();
    Workbook(const Workbook&) = delete;
    Workbook& operator=(const Workbook&) = delete;

    Sheet& AddSheet(const QString& name);
    // Writes the file; raises Error when it cannot be written.
    void Close();
    const QString& Path() const { return path_; }

private:
    friend class Sheet;
    lxw_format* Format(const CellFormat& fmt);

    QString path_;
    std::unique_ptr<files::ReplacingFile> file_;
    lxw_workbook* wb_ = nullptr;
    std::vector<std::unique_ptr<Sheet>> sheets_;
    std::vector<std::pair<CellFormat, lxw_format*>> formats_;
};

}  // namespace qm::xlsx
