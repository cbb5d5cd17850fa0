#include "core/report/AnnualLabourReport.h"

#include "core/report/ReportForms.h"

namespace qm::report {

const QString AnnualLabourReport::kYearLabel = QStringLiteral("2011年");

AnnualLabourReport::AnnualLabourReport() : FormReport(AnnualLabourForm(), {{}, 13, {}, kYearLabel, std::nullopt}) {}

QString AnnualLabourReport::WorkbookStem() { return WorkbookOf(AnnualLabourForm(), kYearLabel, {}, {}).stem; }

void AnnualLabourReport::Prepare(TSheetBook& sheet) { PrepareSheet(AnnualLabourForm(), sheet); }

}  // namespace qm::report
