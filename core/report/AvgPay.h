#pragma once
// Average pay of a category from two cells of a report sheet: a wage figure and a
// headcount. The reports differ in units and in what a zero gives, so the rule is named.

#include <QString>

namespace qm::report {

enum class PayRule {
    // Thousand yuan over an average headcount, in yuan: a wage reading 0 gives "0", a
    // headcount reading 0 or less gives an empty cell (stored NULL).
    QuarterlyThousands,
    // Thousand yuan over an average headcount, in yuan: either reading 0 gives "0".
    AnnualThousands,
    // Yuan over a headcount, whole yuan: a divisor reading 0 gives "0".
    Quotient,
    // As Quotient, with two decimals ("0.00").
    Quotient00,
};

QString AveragePay(PayRule rule, const QString& wageCell, const QString& headcountCell);

}  // namespace qm::report
