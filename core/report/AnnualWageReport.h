#pragma once
// Form 102-1, the annual report of staff and total wages: year-end and average headcounts
// and the year's wages by staff type, education, occupation and grade, average pay, and
// the supplementary figures of the unit's class. The computation fills the form's sheet
// from its indicator table and stores the row of NGLabor_info; the form also writes the
// upload file and the workbook.

#include "core/base/AppContext.h"
#include "core/db/Db.h"
#include "core/report/CellRule.h"
#include "core/report/WorkbookExport.h"

#include <QString>
#include <QStringList>

namespace qm {
class TSheetBook;
class Progress;
class UiService;
class Gates;
}  // namespace qm

namespace qm::report {

class AnnualWageReport {
public:
    static const QString kTemplate;  // the sheet template's name
    static const QString kTable;     // NGLabor_info
    static const QString kDefaultYear;
    static const QStringList& Columns();  // frdm, the 71 figures, frmc
    // The form's figures in the order the sheet is walked, and its supplementary lines (48,
    // then 41..47), read by the report engine.
    static const std::vector<CellRule>& Rules();
    static const std::vector<SupplementLine>& Supplements();

    // The command's gates: data of month 12, then no error rows in the year.
    static bool PassGates(Gates& gates, UiService& ui);

    // The computation the form runs as it is shown: the template, every figure, the row
    // stored in NGLabor_info. `mainPb` is the main window's bar. Raises Refused when a figure
    // is beyond what the report holds or the database fails; NGLabor_info is then as it was.
    void Compute(db::Connection& c, const MainState& unit, TSheetBook& sheet, Progress& mainPb);

    int LeaderPost() const { return leaderPost_; }
    // frdm, the 64 figures of the sheet, the seven supplements (48, 41, 42, 43, 44, 46, 47), frmc.
    const db::Params& Row() const { return row_; }
    static db::Params RowFromSheet(const TSheetBook& sheet, const db::Params& supplements, const QString& depNo,
                                   const QString& depName);
    void Store(db::Connection& c) const;

    // The button "生成上报": this form's row is stored again, then GZSB/<DepNo>_i102.dbf.
    bool Upload(db::Connection& c, UiService& ui, const AppPaths& paths, const QString& depNo) const;

    // The workbook is only made for the years the form is valid for.
    static bool ValidYear(const QString& yearText);
    static ExportLayout Layout(const MainState& unit, const QString& yearText);
    static QString WorkbookStem(const QString& depNo);
    // The button "导出Excel": refuses another year with a message.
    static bool Export(UiService& ui, Progress& pb, const AppPaths& paths, const MainState& unit,
                       const QString& yearText, const TSheetBook& sheet);

private:
    void Fill(db::Connection& c, const MainState& unit, TSheetBook& sheet, Progress& mainPb);

    int leaderPost_ = 0;
    db::Params supplements_;
    db::Params row_;
};

}  // namespace qm::report
