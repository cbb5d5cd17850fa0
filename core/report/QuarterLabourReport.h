#pragma once
// Form I202-2, the quarterly labour report (劳动情况): the headcount at the end month by
// employment identity, the managers, the average headcount and the labour remuneration of
// the run of months, the average pay and the supplements of qualified construction units.
// The quarter commands run it over months 1..3, 1..6 or 1..9; the period chooser over any
// run. The computation fills the form's sheet and replaces the one row of JLabor_info.

#include "core/base/AppContext.h"
#include "core/base/Quarter.h"
#include "core/db/Db.h"
#include "core/report/CellRule.h"
#include "core/report/WorkbookExport.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace qm {
class TSheetBook;
class Progress;
class UiService;
}  // namespace qm

namespace qm::report {

class QuarterLabourReport {
public:
    static const QString kTemplate;  // the sheet template's name
    static const QString kTable;     // JLabor_info
    static const QStringList& Columns();

    // The form's figures ({from}..{e} the run, {ytd} its year to date), read by the report
    // engine.
    static const std::vector<CellRule>& Rules();

    // A run of months start..end, both 1..12, start not after end; raises
    // std::invalid_argument otherwise. `quarter`: the quarter a quarter command chose, none
    // for a run the period chooser opened.
    QuarterLabourReport(int start, int end, std::optional<qm::Quarter> quarter = std::nullopt);

    int Start() const { return start_; }
    int End() const { return end_; }
    // The quarter's label ("2012年1季度"), empty for a chosen run.
    const QString& PeriodLabel() const { return label_; }
    // The months the averages divide by: a run from month 1 also counts the start-of-period
    // list (month 0), so 3 months give 4; any other run divides by its own length.
    int Divisor() const;
    // The quarter, none for a chosen run.
    std::optional<qm::Quarter> Quarter() const { return quarter_; }

    // The sheet as the form starts: the template in the form's font.
    static void Prepare(TSheetBook& sheet);

    // The computation the form runs as it is shown: every figure onto the prepared sheet,
    // then the row of JLabor_info. `mainPb` is the main window's bar. Raises Refused when a
    // figure is beyond what the report holds or the database fails; JLabor_info is then as it was.
    void Compute(db::Connection& c, const MainState& unit, TSheetBook& sheet, Progress& mainPb);

    // The stored row: frdm, the 21 figures keyed by the code column, frmc.
    static db::Params RowFromSheet(const TSheetBook& sheet, const QString& depNo, const QString& depName);
    const db::Params& Row() const { return row_; }

    // The button "生成上报": RCSB/<DepNo>_<q>_i202.dbf of the form's own row, which is
    // stored again first.
    // Answers true when the form closes.
    bool Upload(db::Connection& c, UiService& ui, const AppPaths& paths, const QString& depNo) const;

    QString WorkbookStem() const;
    ExportLayout Layout(const MainState& unit) const;

private:
    void Fill(db::Connection& c, const MainState& unit, TSheetBook& sheet, Progress& mainPb);

    int start_;
    int end_;
    std::optional<qm::Quarter> quarter_;
    QString label_;
    db::Params row_;
};

}  // namespace qm::report
