#include "core/report/TalentSummary.h"

#include "core/base/UiService.h"
#include "core/db/Db.h"
#include "core/sheet/SheetBook.h"

#include <stdexcept>

namespace qm::report {

const TalentShape& TalentShapeOf(GidSummary s) {
    static const TalentShape x505{GidSummary::X505, 12, true, 3};
    static const TalentShape i303{GidSummary::I303_1, 0, false, 2};
    if (s == GidSummary::X505) return x505;
    if (s == GidSummary::I303_1) return i303;
    throw std::invalid_argument("not a talent table");
}

CountGrid ComputeTalentTable(db::Connection& c, const TalentShape& shape) {
    return CountMatrix(c, shape.Layout(), shape.month);
}

void StoreTalentTable(db::Connection& c, const TalentShape& shape, const CountGrid& counts, const SummaryUnit& unit,
                      const QString& dateText) {
    const GidMatrixLayout& layout = shape.Layout();
    db::Transaction t(c);
    for (int gid = 1; gid <= layout.LineCount(); ++gid) {
        GidRowValues v{unit.depNo, dateText, std::nullopt, {}};
        if (shape.writesUnitName) v.depName = unit.depName;
        UpdateResultRow(c, layout, gid, counts, v);
    }
    t.Commit();
}

void WriteTalentTable(TSheetBook& sheet, const TalentShape& shape, const CountGrid& counts) {
    for (size_t i = 0; i < counts.size(); ++i)
        for (size_t col = 0; col < counts[i].size(); ++col)
            if (counts[i][col] >= 0)
                sheet.SetCellText(int(i) + 4, int(col) + 1 + shape.sheetColOffset, QString::number(counts[i][col]));
}

bool RunTalentTable(db::Connection& c, UiService& ui, TSheetBook& sheet, GidSummary id, const QString& dateText,
                    SummaryUnit& unit) {
    const TalentShape& shape = TalentShapeOf(id);
    unit = FirstUnitRow(c);
    if (HasStaffErrors(c, shape.month == 0)) {
        ui.Info(kRefusalText);
        return false;
    }
    const CountGrid g = ComputeTalentTable(c, shape);
    WriteTalentTable(sheet, shape, g);
    StoreTalentTable(c, shape, g, unit, dateText);
    return true;
}

}  // namespace qm::report
