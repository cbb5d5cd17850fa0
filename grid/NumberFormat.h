#pragma once
// Our own formatter of money amounts: a signed 64-bit count of ten-thousandths formatted by
// display patterns ("#,##0.00", sections split by ';'), in the general, fixed and currency
// formats. It never consults the locale and never rounds through printf: every digit comes
// from the integer, so a total shows exactly what was added.

#include "core/base/FloatText.h"

#include <QString>

namespace qm::grid {

// An amount times 10000.
using TCurrency = long long;
constexpr TCurrency kCurrencyScale = 10000;

// v × 10000 as the decimal v was written with (see core/base/Money.h), a fifth decimal rounding
// the fourth, halves away from zero; false when it does not fit.
bool CurrencyFromDouble(double v, TCurrency& out);
TCurrency CurrencyFromDoubleOr0(double v);
// Adds v to a running total; false, leaving the total as it was, when the sum leaves the
// 64-bit range.
bool AddCurrency(TCurrency& total, TCurrency v);
// What a footer shows for a total that left the 64-bit range.
QString OutOfRangeText();

// Reads "-1234.5", "1,234.50", " 12 " (at most four decimals kept, rounded); false for anything else.
bool StrToCurr(const QString& text, TCurrency& out);

// A display pattern: '0' digit, '#' optional digit, '.' decimal point, ',' thousands grouping,
// quoted or other characters literal; sections "positive;negative;zero". An empty pattern
// gives the general format.
QString FormatCurr(const QString& pattern, TCurrency v);
// General format: no trailing zeros, `precision` significant digits at most.
QString CurrToStrGeneral(TCurrency v, int precision = 15);
// Fixed format: exactly `digits` decimals (0..4), no grouping.
QString CurrToStrFixed(TCurrency v, int digits);
// A floating value in the general format (the data set's text of a float field).
using qm::FloatToStrGeneral;
// Currency format of the house: "￥" before the amount, grouping, `digits` decimals, "￥-1,234.50".
QString CurrToStrCurrency(TCurrency v, int digits = 2);

}  // namespace qm::grid
