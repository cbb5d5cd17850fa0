// payment F T: the wage payment list of months F..T, as its chooser opens it.

#include "core/report/PaymentList.h"
#include "core/report/RangeChoice.h"
#include "core/sheet/SheetTemplate.h"
#include "tools/report/ReportTool.h"

namespace {

bool RunPayment(qm::reporttool::Run& r) {
    using namespace qm::report;
    if (r.args.size() != 2) throw qm::reporttool::UsageError(QStringLiteral("give the months F T"));
    if (r.upload || r.xlsx)
        throw qm::reporttool::UsageError(QStringLiteral("the payment list has no upload or workbook"));
    RangeChoice choice(r.db, r.ui, RangeChoice::Twin::BA);
    if (!choice.LoadMonths()) return false;
    const auto range = choice.CheckRange(r.args[0], r.args[1]);
    if (!range) return false;
    qm::ApplySheetTemplate(r.sheet, QStringLiteral("permonwage"));
    const PaymentList list = BuildPaymentList(r.db, range->from, range->to, &r.pb);
    FillPaymentSheet(r.sheet, list);
    const QString problems = PaymentProblemsText(list);
    if (!problems.isEmpty()) r.ui.Info(problems);
    return true;
}

}  // namespace

QM_REPORT_FORM("payment", "F T", RunPayment);
