#pragma once
// Form I202-2, the quarterly labour report (劳动情况): the headcount at the end month by
// employment identity, the managers, the average headcount and the labour remuneration of
// the run of months, the average pay and the supplements of qualified construction units.
// The quarter commands run it over months 1..3, 1..6 or 1..9; the period chooser over any
// run. The computation fills the form's sheet from its description and replaces the one row
// of JLabor_info.

#include "core/base/MonthRun.h"
#include "core/report/FormDescriptor.h"

#include <QString>

#include <optional>

namespace qm::report {

class QuarterLabourReport : public FormReport {
public:
    explicit QuarterLabourReport(MonthRun run);

    const MonthRun& Run() const { return run_; }
    // The quarter's label ("2012年1季度"), empty for a chosen run.
    const QString& PeriodLabel() const { return Values().label; }
    // The months the averages divide by: a run from month 1 also counts the start-of-period
    // list (month 0), so 3 months give 4; any other run divides by its own length.
    int Divisor() const { return Values().divisor; }
    // The quarter, none for a chosen run (which has no upload file).
    std::optional<qm::Quarter> Quarter() const { return run_.Quarter(); }
    // What the form's caption adds: " 统计第一季度，即从 1 月到 3月", or " 统计从 2月到5月" for a run.
    QString CaptionSuffix() const;

    // The sheet as the form starts: the template in the form's font.
    static void Prepare(TSheetBook& sheet);

private:
    MonthRun run_;
};

}  // namespace qm::report
