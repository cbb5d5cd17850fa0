#pragma once
// A report workbook before it is written: cells with text and looks, merged blocks,
// widths, heights and page setup of one worksheet. The export builds it in the order the
// report layouts give their steps (values first, then merges and borders), so the rules of
// a spreadsheet hold here and tests can read the result without opening a file: a merge
// keeps only the value of its top-left cell, as a spreadsheet does when it merges.
// Rows and columns count from 1.

#include <QString>

#include <map>
#include <optional>
#include <utility>
#include <vector>

namespace qm::report {

struct XRange {
    int r1 = 1, c1 = 1, r2 = 1, c2 = 1;
    bool Contains(int r, int c) const { return r >= r1 && r <= r2 && c >= c1 && c <= c2; }
    bool operator==(const XRange&) const = default;
};

// "A7:E28" or "B2" (letters case-blind); raises std::invalid_argument for anything else.
XRange A1(const QString& ref);
// "A".."Z", "AA".. for a column number.
QString ColumnLetters(int col);

enum class HAlign { General, Center };

// Line weights of a border edge, as the layouts give them: 2 thin, 4 thick.
inline constexpr int kThin = 2;
inline constexpr int kThick = 4;

struct XCell {
    QString text;
    bool hasText = false;
    double fontSize = 0;  // points; 0: the workbook's default
    QString fontName;     // empty: the workbook's default
    HAlign align = HAlign::General;
    bool wrap = false;
    // Border weights of the four edges: 0 none, kThin, kThick.
    int top = 0, bottom = 0, left = 0, right = 0;
};

struct Margins {
    // In points, as the layouts give them; unset margins keep the defaults.
    std::optional<double> left, right, top, bottom;
};

class WorkbookModel {
public:
    QString sheetName;
    bool landscape = false;
    Margins margins;

    // Writes a text; every value of a report workbook is text.
    void SetText(int r, int c, const QString& text);
    QString Text(int r, int c) const;
    bool HasText(int r, int c) const;
    // The cell, created empty when absent.
    XCell& At(int r, int c);
    const XCell* Find(int r, int c) const;
    const std::map<std::pair<int, int>, XCell>& Cells() const { return cells_; }

    // Empties the texts of a block (formats stay).
    void ClearText(const XRange& r);
    // Merges a block: the top-left text stays, every other text of the block is dropped.
    void Merge(const XRange& r);
    const std::vector<XRange>& Merges() const { return merges_; }
    // The merged block that holds the cell, if any.
    const XRange* MergeAt(int r, int c) const;

    // Thin lines on every edge of every cell of the block.
    void AllLines(const XRange& r);
    // The bottom edge of every cell of the block in the given weight.
    void BottomEdge(const XRange& r, int weight);

    // Width in characters; height in points, 0 hiding the row.
    void SetColumnWidth(int c, double width) { widths_[c] = width; }
    void SetRowHeight(int r, double points) { heights_[r] = points; }
    std::optional<double> ColumnWidth(int c) const;
    std::optional<double> RowHeight(int r) const;
    bool RowHidden(int r) const;
    const std::map<int, double>& ColumnWidths() const { return widths_; }
    const std::map<int, double>& RowHeights() const { return heights_; }

    // The margins in inches, as the workbook file stores them; -1 keeps a default.
    struct Inches {
        double left = -1, right = -1, top = -1, bottom = -1;
    };
    Inches MarginInches() const;

private:
    std::map<std::pair<int, int>, XCell> cells_;
    std::vector<XRange> merges_;
    std::map<int, double> widths_;
    std::map<int, double> heights_;
};

}  // namespace qm::report
