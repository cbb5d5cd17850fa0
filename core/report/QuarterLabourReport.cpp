#include "core/report/QuarterLabourReport.h"

#include "core/report/ReportForms.h"

namespace qm::report {

namespace {

FormValues ValuesOf(const MonthRun& run) {
    const int from = run.First().Number(), end = run.Last().Number();
    FormValues v;
    // A run that does not start at month 1 has no start-of-period list in it: months 4..6 are
    // three months, not seven.
    v.conditions = {{QStringLiteral("e"), {end}},
                    {QStringLiteral("from"), {from}},
                    {QStringLiteral("ytd"), {from == 1 ? 0 : from}}};
    v.divisor = from == 1 ? end + 1 : end - from + 1;
    if (run.Quarter()) {
        v.label = run.Quarter()->Label();
        v.quarter = run.Quarter();
    } else {
        v.head = {{{1, 5}, QStringLiteral("统计月间")}};
    }
    return v;
}

}  // namespace

QuarterLabourReport::QuarterLabourReport(MonthRun run) : FormReport(QuarterLabourForm(), ValuesOf(run)), run_(run) {}

QString QuarterLabourReport::CaptionSuffix() const {
    static const char16_t* const quarters[] = {u" 统计第一季度，即从 1 月到 3月", u" 统计前二季度，即从 1 月到 6月",
                                               u" 统计前三季度，即从 1 月到 9月"};
    if (run_.Quarter()) return QString::fromUtf16(quarters[run_.Quarter()->Number() - 1]);
    return QStringLiteral(" 统计从 ") + run_.First().Text() + QStringLiteral("月到") + run_.Last().Text() +
           QStringLiteral("月");
}

void QuarterLabourReport::Prepare(TSheetBook& sheet) { PrepareSheet(QuarterLabourForm(), sheet); }

}  // namespace qm::report
