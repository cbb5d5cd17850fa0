#include "core/report/AvgPay.h"

#include "core/report/Fmt.h"

namespace qm::report {

QString AveragePay(PayRule rule, const QString& wageCell, const QString& headcountCell) {
    switch (rule) {
    case PayRule::QuarterlyThousands: {
        const long long w = CellInt(wageCell);
        if (w == 0) return QStringLiteral("0");
        const long long h = CellInt(headcountCell);
        if (h <= 0) return {};
        return FmtQuotient(Money::Units(w) * 1000, h, 0);
    }
    case PayRule::AnnualThousands: {
        const long long w = CellInt(wageCell);
        const long long a = CellInt(headcountCell);
        if (w == 0 || a == 0) return QStringLiteral("0");
        return FmtQuotient(Money::Units(w) * 1000, a, 0);
    }
    case PayRule::Quotient:
    case PayRule::Quotient00: {
        const long long h = CellInt(headcountCell);
        if (h == 0) return QStringLiteral("0");
        // The wage cell's decimal as written, over the headcount, rounded once.
        const std::optional<Money> w =
            wageCell.trimmed().isEmpty() ? std::optional<Money>(Money()) : Money::FromText(wageCell);
        if (!w) throw FormatError(QStringLiteral("“%1”不是数字").arg(wageCell));
        return FmtQuotient(w->TenThousandths(), Money::Units(h) * Money::kScale, rule == PayRule::Quotient ? 0 : 2);
    }
    }
    return {};
}

}  // namespace qm::report
