#include "core/report/QuarterWageReport.h"

#include "core/report/ReportForms.h"

#include "core/base/UiService.h"
#include "core/unit/Gates.h"

namespace qm::report {

namespace {

// The form's values for the months 1..end: the averages over months 0..end.
FormValues ValuesUpTo(Month end) {
    static const char16_t* const names[] = {u"(一季度)", u"(二季度)", u"(三季度)", u"(四季度)"};
    const int quarters = end.Number() / 3;
    return {.conditions = {{QStringLiteral("e"), {end.Number()}}},
            .divisor = end.Number() + 1,
            .label = QString::fromUtf16(names[quarters - 1]),
            .quarter = Quarter::Of(quarters)};
}

}  // namespace

QuarterWageReport::QuarterWageReport(Month end) : FormReport(QuarterWageForm(), ValuesUpTo(end)), end_(end) {}

QuarterWageReport::QuarterWageReport(qm::Quarter quarter) : QuarterWageReport(quarter.LastMonth()) {}

QuarterWageReport QuarterWageReport::ToYearEnd() { return QuarterWageReport(Month::YearEnd()); }

bool QuarterWageReport::PassGates(Gates& gates, UiService& ui) const {
    const Month e = end_;
    const QString noData = QStringLiteral("无") + e.Text() + QStringLiteral("月工资数据，无法统计。");
    if (!gates.HasMonthData(e)) {
        ui.Info(noData);
        return false;
    }
    // Clean staff rows but no wage row of the month: say so rather than end without a word.
    if (!gates.CheckMonthDataErrors(e)) {
        ui.Info(noData);
        return false;
    }
    return true;
}

}  // namespace qm::report
