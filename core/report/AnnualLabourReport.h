#pragma once
// Form I102-2, the annual labour report (劳动情况): in the left half the year-end
// headcounts, the average headcounts over months 0..12, the labour remuneration of months
// 1..12 with the parts of the 在岗职工 wages, the average pay with two decimals and the
// number of units; in the right half the year-end supplements on education, talent,
// professional and skilled staff, and those of qualified construction units. The
// computation fills the form's sheet from its description and replaces the one row of
// NLabor_info; the bar stays full until the form closes.

#include "core/report/FormDescriptor.h"

#include <QString>

namespace qm::report {

class AnnualLabourReport : public FormReport {
public:
    // The year label the form shows and names its workbook after.
    static const QString kYearLabel;  // "2011年"

    AnnualLabourReport();

    // The sheet as the form starts: the template in the form's font.
    static void Prepare(TSheetBook& sheet);
    static QString WorkbookStem();
};

}  // namespace qm::report
