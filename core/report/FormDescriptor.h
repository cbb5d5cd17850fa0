#pragma once
// A report form as data: its sheet template, its figures, the supplementary lines of the
// unit's class, the cells made from the figures, its result table with the sheet cell of
// each column, its upload file and its workbook. The functions below fill the sheet, store the
// row, write the upload file and lay out the workbook from a form's description, so the four
// report forms (202-1, 102-1, I202-2, I102-2) differ in their descriptions only.

#include "core/base/AppContext.h"
#include "core/base/UnitClass.h"
#include "core/db/Db.h"
#include "core/report/AvgPay.h"
#include "core/report/CellRule.h"
#include "core/report/Upload.h"
#include "core/report/WorkbookExport.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <utility>
#include <variant>
#include <vector>

namespace qm {
class TSheetBook;
class Progress;
class UiService;
}  // namespace qm

namespace qm::report {

struct SheetCell {
    int row = 0;
    int col = 0;
};

// The units a line or a cell concerns, by their class.
namespace units {
bool Organ(UnitClass cls);
bool OtherOrOrgan(UnitClass cls);  // neither industry nor construction, or a government organ
bool FillsWorkers(UnitClass cls);  // industry above the size limit and qualified construction
bool Contracts(UnitClass cls);     // general and specialised contracting
bool Subcontracts(UnitClass cls);  // labour subcontracting
}  // namespace units

// The cells made once the figures are written, in the description's order.
struct ReconcileStep {  // rounded sub-items of one column made to add up to their total (Reconcile.h)
    int col;
    std::vector<int> rows;
    int totalRow;
};
struct SumStep {  // the whole-number sum of cells as they are written
    SheetCell at;
    std::vector<SheetCell> addends;
};
struct PayStep {  // an average pay from a wage cell and a headcount cell (AvgPay.h)
    SheetCell at;
    SheetCell wage;
    SheetCell headcount;
    PayRule rule;
};
struct CopyStep {
    SheetCell at;
    SheetCell from;
};
struct TextStep {  // a text into cells, for every unit or for those `when` names
    std::vector<SheetCell> cells;
    QString text;
    bool (*when)(UnitClass) = nullptr;
};
using DerivedStep = std::variant<ReconcileStep, SumStep, PayStep, CopyStep, TextStep>;

// A line of column 1 that holds no figure.
struct FixedLine {
    int row;
    QString text;
};

// A column of the result table between frdm and the supplements, and the cell it is read from
// ("--" reads 0, a blank cell NULL).
struct StoredColumn {
    QString column;
    SheetCell cell;
};

// Where the label and the code of a figure in `valueCol` stand; unlisted columns: 1 and 3.
struct LabelColumns {
    int valueCol;
    int labelCol;
    int codeCol;
};

struct FormDescriptor {
    QString title = {};  // as a refusal names the report
    QString sheetTemplate = {};
    bool formFont = false;  // rows 1..60, columns 1..11 in the form's font "fnt", 8 points
    std::vector<LabelColumns> labels = {};

    std::vector<CellRule> rules = {};
    std::vector<SupplementLine> supplements = {};  // stored after the columns, as I<code>
    std::vector<FixedLine> lines = {};
    std::vector<DerivedStep> steps = {};

    // The main window's bar: at `barFigures` once the figures are written, at 100 once the row
    // is stored, then back to 0 unless it stays full until the form closes.
    int barFigures = 0;
    bool barStaysFull = false;

    QString table = {};  // the one-row result table: frdm, the columns, the supplements, frmc
    std::vector<StoredColumn> columns = {};
    upload::Kind upload = upload::Kind::AnnualReport;

    // The workbook; "{label}", "{DepName}" and "{DepNo}" in its stem and its blocks' texts are
    // the report's label and the unit's.
    ExportLayout workbook = {};
};

// What one computation of a form is given.
struct FormValues {
    cond::Values conditions = {};                          // the rules' placeholders ({e}, {from}, ...)
    int divisor = 1;                                       // of the averages
    std::vector<std::pair<SheetCell, QString>> head = {};  // written over the template ("统计月间")
    QString label = {};                                    // the workbook's {label}
    std::optional<Quarter> quarter = std::nullopt;         // names the quarterly upload files
};

// The template, in the form's font where it has one.
void PrepareSheet(const FormDescriptor& form, TSheetBook& sheet);

// frdm, the stored columns, I<code> of each supplement, frmc.
QStringList ColumnsOf(const FormDescriptor& form);

// The result row the sheet gives; `supplements` in the description's order.
db::Params RowFromSheet(const FormDescriptor& form, const TSheetBook& sheet, const db::Params& supplements,
                        const QString& depNo, const QString& depName);

// The whole computation: the template, every figure and supplementary line, the derived cells,
// the row stored as the one row of the result table (returned). `leaderPost` is the organ's
// leader rank, kept when nobody holds a post below 20. Raises Refused, Condition's errors or
// db::Error (see RunReport), the table then as it was.
db::Params FillForm(const FormDescriptor& form, const FormValues& values, db::Connection& c, const MainState& unit,
                    TSheetBook& sheet, Progress& mainPb, int& leaderPost);

// The workbook of the form with its placeholders filled; a text given is never read again for
// placeholders.
ExportLayout WorkbookOf(const FormDescriptor& form, const QString& label, const QString& depName, const QString& depNo);

// A report form with its values: one computation's sheet, row, upload and workbook.
class FormReport {
public:
    // The computation the form runs as it is shown: the template, every figure, the row stored
    // in the result table. `mainPb` is the main window's bar. Raises Refused when a figure is
    // beyond what the report holds or the database fails; the table is then as it was.
    void Compute(db::Connection& c, const MainState& unit, TSheetBook& sheet, Progress& mainPb);

    // The stored row: frdm, the figures in the table's order, frmc; empty until computed.
    const db::Params& Row() const { return row_; }
    // An organ's leader rank as the last computation found it; when nobody holds a post below
    // 20 the rank before is kept (0 at first).
    int LeaderPost() const { return leaderPost_; }
    // Writes Row() as the one row of the result table (one transaction).
    void Store(db::Connection& c) const;
    // The button "生成上报": this form's row is stored again (another window may have computed
    // since), then its upload file is written. Answers true when the form closes.
    bool Upload(db::Connection& c, UiService& ui, const AppPaths& paths, const QString& depNo) const;

    ExportLayout Layout(const MainState& unit) const;
    QString WorkbookStem() const;

protected:
    FormReport(const FormDescriptor& form, FormValues values) : form_(&form), values_(std::move(values)) {}
    const FormValues& Values() const { return values_; }

private:
    const FormDescriptor* form_;
    FormValues values_;
    int leaderPost_ = 0;
    db::Params row_;
};

}  // namespace qm::report
