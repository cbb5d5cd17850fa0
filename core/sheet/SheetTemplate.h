#pragma once
// Sheet templates: each form's header cells, merged cells, widths, frozen area and named list
// objects, kept as readable text files in sheet/templates/ and compiled into the program.
//
// The format, one statement a line ("#" starts a comment, fields split by blanks; a cell's
// text is the rest of its line, "\n" in it is a line break):
//   maxcol 20                  shown columns
//   frozen 2 1                 frozen title rows and columns
//   rowheight 310              default row height in twips
//   rowheight 1 1 620          height of rows 1..1 in twips
//   wrap 1 1                   rows 1..1 wrap their text
//   font 1 2 9 bold            font size (and bold) of rows 1..2, all shown columns
//   width 1 5 64               columns 1..5 are 64 px wide
//   hidden 25 40               columns 25..40 hidden
//   cell 1 1 姓名              text of cell (1,1)
//   merge 1 1 2 1              merged block r1 c1 r2 c2
//   list sexCom 女;男;          a list object and its items (items may be left out)

#include "core/sheet/SheetBook.h"

#include <QString>
#include <QStringList>

#include <stdexcept>
#include <utility>
#include <vector>

namespace qm {

struct SheetTemplate {
    struct CellText {
        int row, col;
        QString text;
    };
    struct Span {
        int first, last, value;
        bool bold = false;
    };
    struct ListObject {
        QString name;
        QString items;  // "a;b;" as SetObjectText takes it
    };

    QString name;
    int maxCol = 20;
    int frozenRows = 0, frozenCols = 0;
    int defaultRowHeight = TSheetBook::kDefaultRowHeight;
    std::vector<Span> rowHeights;  // twips
    std::vector<Span> wrapRows;    // value unused
    std::vector<Span> fonts;       // rows first..last, value = size
    std::vector<Span> widths;      // columns first..last, value = px
    std::vector<std::pair<int, int>> hidden;
    std::vector<CellText> cells;
    std::vector<SheetRange> merges;
    std::vector<ListObject> lists;

    QString Cell(int row, int col) const;  // "" when the template sets none
};

class SheetTemplateError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Parses template text; a malformed line throws SheetTemplateError naming the line.
SheetTemplate ParseSheetTemplate(const QString& text, const QString& name = {});
// The compiled-in template "sheet/templates/<name>.sheet" (e.g. "staff"); throws when absent.
SheetTemplate LoadSheetTemplate(const QString& name);
// Clears the sheet and sets it up from the template.
void ApplySheetTemplate(TSheetBook& book, const SheetTemplate& tpl);
inline void ApplySheetTemplate(TSheetBook& book, const QString& name) {
    ApplySheetTemplate(book, LoadSheetTemplate(name));
}

}  // namespace qm
