#pragma once
// Form 202-1, the quarterly report of staff and total wages: period-end and average
// headcounts and total wages by employment identity (在岗职工, 劳务派遣人员, 其他从业人员), the
// average pay and the supplementary figures of the unit's class. The computation fills the
// form's sheet from its description and keeps the row it stores in JGLabor_info, so that the
// form's upload writes this form's own figures even when another quarter was computed since.

#include "core/base/Month.h"
#include "core/base/Quarter.h"
#include "core/report/FormDescriptor.h"

#include <QString>

namespace qm {
class Gates;
}

namespace qm::report {

class QuarterWageReport : public FormReport {
public:
    // The report of a quarter as the form offers it.
    explicit QuarterWageReport(qm::Quarter quarter);
    // The months up to December, which no window offers: the benchmark's largest period (it
    // has no quarter to upload).
    static QuarterWageReport ToYearEnd();

    Month EndMonth() const { return end_; }
    // "(一季度)" ... : the form's label and part of the workbook's name.
    QString QuarterLabel() const { return Values().label; }

    // The commands' gates for this report: data of the end month, then no error rows up to
    // it. A refusal shows its message and answers false (error rows stop silently, by
    // SilentAbort, after their own message).
    bool PassGates(Gates& gates, UiService& ui) const;

private:
    explicit QuarterWageReport(Month end);

    Month end_;
};

}  // namespace qm::report
