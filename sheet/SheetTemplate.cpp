#include "sheet/SheetTemplate.h"

namespace qm {

QString SheetTemplate::Cell(int row, int col) const {
    for (const CellText& c : cells)
        if (c.row == row && c.col == col) return c.text;
    return {};
}

SheetTemplate ParseSheetTemplate(const QString&, const QString& name) {
    SheetTemplate t;
    t.name = name;
    return t;
}

SheetTemplate LoadSheetTemplate(const QString& name) { return ParseSheetTemplate({}, name); }

QStringList SheetTemplateNames() { return {}; }

void ApplySheetTemplate(TSheetBook& book, const SheetTemplate&) { book.Reset(); }

}  // namespace qm
