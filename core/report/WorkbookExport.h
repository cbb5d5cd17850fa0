#pragma once
// Exporting a report sheet to a workbook in XLS/ and printing by opening that workbook.
// One engine serves every report form; a form gives only its layout, as data.

#include "core/base/AppPaths.h"
#include "core/report/WorkbookModel.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

namespace qm {
class TSheetBook;
class UiService;
class Progress;
}  // namespace qm

namespace qm::report {

// A fixed text, a merge or a look given to a block after the copied cells, in the order
// of the layout.
struct FixedBlock {
    QString range;                // "A1:E1" or "E3"
    std::optional<QString> text;  // written into the top-left cell; unset keeps what is there
    bool merge = false;
    bool clear = false;           // the block's texts emptied first
    double fontSize = 0;          // 0 keeps the cell's size
    QString fontName;             // empty keeps the cell's font
    std::optional<HAlign> align;  // unset keeps the alignment
    bool wrap = false;
};

// A text written at `size` points into the block's top-left cell.
FixedBlock TextBlock(const QString& range, std::optional<QString> text, double size, bool merge,
                     std::optional<HAlign> align = std::nullopt, bool wrap = false);

struct ExportLayout {
    // The workbook is XLS/<stem>.xlsx; the first worksheet gets `sheetName`.
    QString stem;
    QString sheetName;

    // The copied block: sheet cell (r, c) goes to workbook cell (r + rowOffset, c).
    int firstRow = 1, lastRow = 1, firstCol = 1, lastCol = 1, rowOffset = 0;
    // The form's progress bar follows trunc(r x 100 / divisor) after each copied row r.
    int progressDivisor = 1;
    // Text of a copied cell; unset copies it as the sheet shows it.
    std::function<QString(int sheetRow, int col, const QString& text)> cellText;
    double copiedFontSize = 0;          // 0 keeps the default
    std::vector<int> centredColumns;    // centred in every copied row
    std::vector<QString> centredCells;  // further centred cells ("A7")

    // Widths in characters from column A on; heights in points of workbook rows r1..r2.
    std::vector<double> columnWidths;
    struct Heights {
        int r1, r2;
        double points;
    };
    std::vector<Heights> rowHeights;

    // The title: merged over `range`, centred, in 黑体.
    QString titleRange;
    QString titleText;
    double titleSize = 18;
    double titleRowHeight = 0;  // 0 keeps the row's height

    std::vector<FixedBlock> blocks;  // head lines, merges and fixed texts, in order

    std::vector<QString> allLines;                     // thin lines around every cell
    std::vector<std::pair<QString, int>> bottomEdges;  // block, weight kThin or kThick

    Margins margins;  // points
    bool landscape = false;

    // The closing message names the file as written: "文件所在路径:'<folder>';\n文件名为:<file>",
    // or "你导出到'<folder>'里,文件名为:<file>" for the summaries that say it so.
    bool exportedToMessage = false;
};

// "单位名称：<name>" in A<row> and "法人单位代码：<code>" in the row below, at `size` points.
void AddUnitLines(ExportLayout& l, int row, const QString& depName, const QString& depNo, double size);
// Text lines one under another from `firstRow`, each in `rangePattern` with its row for %1
// ("E%1", or "G%1:I%1" merged); an empty line writes nothing.
void AddTextLines(ExportLayout& l, const QString& rangePattern, int firstRow, const QStringList& lines, double size,
                  bool merge, std::optional<HAlign> align = std::nullopt);

// XLS/<stem>.xlsx below the base folder.
QString WorkbookPath(const AppPaths& paths, const QString& stem);
QString WorkbookFileName(const QString& stem);

// The workbook as the layout makes it from the sheet; `pb` (may be null) follows the rows.
WorkbookModel BuildWorkbook(const ExportLayout& layout, const TSheetBook& sheet, Progress* pb = nullptr);

// Writes the model as an .xlsx file beside `path` and renames it over any file there once it
// is complete. Raises std::runtime_error with the cause in Chinese; the old file then stays.
void WriteXlsx(const WorkbookModel& model, const QString& path);

// The button "导出Excel": builds, writes into XLS/ (created when missing), tells where the
// file lies and opens the folder. A failed save shows "数据导出错误！" with the file and the
// cause, and answers false: no success message, no folder.
bool ExportWorkbook(UiService& ui, Progress& pb, const AppPaths& paths, const ExportLayout& layout,
                    const TSheetBook& sheet);

// The button "打印": opens the workbook with the desktop's program, or says that it must
// be exported first.
void PrintWorkbook(UiService& ui, const AppPaths& paths, const QString& stem);

}  // namespace qm::report
