#pragma once
// Form I102-2, the annual labour report (劳动情况): in the left half the year-end
// headcounts, the average headcounts over months 0..12, the labour remuneration of months
// 1..12 with the parts of the 在岗职工 wages, the average pay with two decimals and the
// number of units; in the right half the year-end supplements on education, talent,
// professional and skilled staff, and those of qualified construction units. The
// computation fills the form's sheet and replaces the one row of NLabor_info.

#include "core/base/AppContext.h"
#include "core/db/Db.h"
#include "core/report/CellRule.h"
#include "core/report/WorkbookExport.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace qm {
class TSheetBook;
class Progress;
class UiService;
}  // namespace qm

namespace qm::report {

class AnnualLabourReport {
public:
    static const QString kTemplate;  // the sheet template's name
    static const QString kTable;     // NLabor_info
    static const QStringList& Columns();
    // The year label the form shows and names its workbook after.
    static const QString kYearLabel;  // "2011年"

    // The form's figures: counts of staff rows (year-end, or over months 0..12 divided by
    // 13) and the wages I12..I19 as whole numbers, read by the report engine.
    static const std::vector<CellRule>& Rules();

    // The sheet as the form starts: the template in the form's font.
    static void Prepare(TSheetBook& sheet);

    // The computation the form runs as it is shown: every figure onto the prepared sheet,
    // then the row of NLabor_info. `mainPb` is the main window's bar; it stays at 100 until
    // the form closes. Raises Refused when a figure is beyond what the report holds or the
    // database fails; NLabor_info is then as it was.
    void Compute(db::Connection& c, const MainState& unit, TSheetBook& sheet, Progress& mainPb);

    // The stored row: frdm, the 49 figures keyed by the code columns ("--" stored as 0), frmc.
    static db::Params RowFromSheet(const TSheetBook& sheet, const QString& depNo, const QString& depName);
    const db::Params& Row() const { return row_; }

    // The button "生成上报": RCSB/<DepNo>_i102.dbf of the form's own row, which is
    // stored again first.
    bool Upload(db::Connection& c, UiService& ui, const AppPaths& paths, const QString& depNo) const;

    static QString WorkbookStem();
    ExportLayout Layout(const MainState& unit) const;

private:
    void Fill(db::Connection& c, const MainState& unit, TSheetBook& sheet, Progress& mainPb);

    db::Params row_;
};

}  // namespace qm::report
