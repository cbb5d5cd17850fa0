#pragma once
// Form 102-1, the annual report of staff and total wages: year-end and average headcounts
// and the year's wages by staff type, education, occupation and grade, average pay, and
// the supplementary figures of the unit's class. The computation fills the form's sheet
// from its description and stores the row of NGLabor_info; the form also writes the upload
// file and the workbook.

#include "core/report/FormDescriptor.h"

#include <QString>

namespace qm {
class Gates;
}

namespace qm::report {

class AnnualWageReport : public FormReport {
public:
    static const QString kDefaultYear;

    AnnualWageReport();

    // The command's gates: data of month 12, then no error rows in the year.
    static bool PassGates(Gates& gates, UiService& ui);

    // The workbook is only made for the years the form is valid for; the year typed names it.
    static bool ValidYear(const QString& yearText);
    static ExportLayout Layout(const MainState& unit, const QString& yearText);
    static QString WorkbookStem(const QString& depNo);
    // The button "导出Excel": refuses another year with a message.
    static bool Export(UiService& ui, Progress& pb, const AppPaths& paths, const MainState& unit,
                       const QString& yearText, const TSheetBook& sheet);
};

}  // namespace qm::report
