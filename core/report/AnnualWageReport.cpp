#include "core/report/AnnualWageReport.h"

#include "core/report/ReportForms.h"

#include "core/base/UiService.h"
#include "core/unit/Gates.h"

namespace qm::report {

const QString AnnualWageReport::kDefaultYear = QStringLiteral("2012");

AnnualWageReport::AnnualWageReport() : FormReport(AnnualWageForm(), {.divisor = 13, .label = kDefaultYear}) {}

bool AnnualWageReport::PassGates(Gates& gates, UiService& ui) {
    if (!gates.HasMonthData(Month::YearEnd())) {
        ui.Info(QStringLiteral("无12月数据，无法统计。"));
        return false;
    }
    // A return computed from rows the audit marked wrong would be a wrong return.
    if (!gates.CheckMonthDataErrors(Month::YearEnd())) {
        ui.Info(QStringLiteral("无12月工资数据，无法统计。"));
        return false;
    }
    return true;
}

bool AnnualWageReport::ValidYear(const QString& yearText) {
    const QString y = yearText.trimmed();
    return y == QStringLiteral("2012") || y == QStringLiteral("2013");
}

QString AnnualWageReport::WorkbookStem(const QString& depNo) {
    return WorkbookOf(AnnualWageForm(), {}, {}, depNo).stem;
}

ExportLayout AnnualWageReport::Layout(const MainState& unit, const QString& yearText) {
    return WorkbookOf(AnnualWageForm(), yearText.trimmed(), unit.DepName, unit.DepNo);
}

bool AnnualWageReport::Export(UiService& ui, Progress& pb, const AppPaths& paths, const MainState& unit,
                              const QString& yearText, const TSheetBook& sheet) {
    if (!ValidYear(yearText)) {
        ui.Info(QStringLiteral("年份只能为2012或2013。"));
        return false;
    }
    return ExportWorkbook(ui, pb, paths, Layout(unit, yearText), sheet);
}

}  // namespace qm::report
