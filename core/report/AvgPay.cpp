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
        return Fmt0(double(w) * 1000.0 / double(h));
    }
    case PayRule::AnnualThousands: {
        const long long w = CellInt(wageCell);
        const long long a = CellInt(headcountCell);
        if (w == 0 || a == 0) return QStringLiteral("0");
        return Fmt0(double(w) * 1000.0 / double(a));
    }
    case PayRule::Quotient:
    case PayRule::Quotient00: {
        const long long h = CellInt(headcountCell);
        if (h == 0) return QStringLiteral("0");
        const double q = CellNumber(wageCell) / double(h);
        return rule == PayRule::Quotient ? Fmt0(q) : Fmt00(q);
    }
    }
    return {};
}

}  // namespace qm::report
