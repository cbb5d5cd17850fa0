#include "core/report/AnnualLabourReport.h"

#include "core/report/ReportForms.h"

namespace qm::report {

const QString AnnualLabourReport::kYearLabel = QStringLiteral("2011年");

AnnualLabourReport::AnnualLabourReport() : FormReport(AnnualLabourForm(), {.divisor = 13, .label = kYearLabel}) {}

QString AnnualLabourReport::WorkbookStem() { return WorkbookOf(AnnualLabourForm(), kYearLabel, {}, {}).stem; }

void AnnualLabourReport::Prepare(TSheetBook& sheet) { PrepareSheet(AnnualLabourForm(), sheet); }

}  // namespace qm::report
