#pragma once
// Form 202-1, the quarterly report of staff and total wages: period-end and average
// headcounts and total wages by employment identity (在岗职工, 劳务派遣人员, 其他从业人员), the
// average pay and the supplementary figures of the unit's class. The computation fills the
// form's sheet and keeps the row it stores in JGLabor_info, so that the form's upload
// writes this form's own figures even when another quarter was computed since.

#include "core/base/AppContext.h"
#include "core/base/Month.h"
#include "core/base/Quarter.h"
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

class QuarterWageReport {
public:
    static const QString kTemplate;  // the sheet template's name
    static const QString kTable;     // JGLabor_info
    static const QStringList& Columns();
    // The form's figures ({e} the end month) and its supplementary lines.
    static const std::vector<CellRule>& Rules();
    static const std::vector<SupplementLine>& Supplements();

    // The report of a quarter as the form offers it.
    explicit QuarterWageReport(qm::Quarter quarter);
    // The months up to December, which no window offers: the benchmark's largest period.
    static QuarterWageReport ToYearEnd();

    Month EndMonth() const { return end_; }
    // "(一季度)" ... : the form's label and part of the workbook's name.
    QString QuarterLabel() const;

    // The commands' gates for this report: data of the end month, then no error rows up to
    // it. A refusal shows its message and answers false (error rows stop silently, by
    // SilentAbort, after their own message).
    bool PassGates(Gates& gates, UiService& ui) const;

    // The computation the form runs as it is shown: the template, every figure, the row
    // stored in JGLabor_info. `mainPb` is the main window's bar. Raises Refused when a figure
    // is beyond what the report holds or the database fails; JGLabor_info is then as it was.
    void Compute(db::Connection& c, const MainState& unit, TSheetBook& sheet, Progress& mainPb);

    int LeaderPost() const { return leaderPost_; }
    // The stored row: frdm, the 22 figures in the table's order, frmc.
    const db::Params& Row() const { return row_; }
    // The row the sheet gives (rows 4..23, the "-" cells deciding which column is read).
    static db::Params RowFromSheet(const TSheetBook& sheet, const db::Params& supplements, const QString& depNo,
                                   const QString& depName);
    // Writes Row() as the one row of JGLabor_info (one transaction).
    void Store(db::Connection& c) const;

    // The button "生成上报": this form's row is stored again, then GZSB/<DepNo>_<q>_i202.dbf
    // is written. Answers true when the form closes.
    bool Upload(db::Connection& c, UiService& ui, const AppPaths& paths, const QString& depNo) const;

    // The workbook of the form.
    ExportLayout Layout(const MainState& unit) const;
    QString WorkbookStem() const;

private:
    void Fill(db::Connection& c, const MainState& unit, TSheetBook& sheet, Progress& mainPb);

    explicit QuarterWageReport(Month end) : end_(end) {}
    // The quarters counted, 1..4: the label's and the upload file's number.
    int Quarters() const { return end_.Number() / 3; }

    Month end_;
    int leaderPost_ = 0;  // a fresh form's value, kept when no post below 20 exists
    db::Params supplements_;
    db::Params row_;
};

}  // namespace qm::report
