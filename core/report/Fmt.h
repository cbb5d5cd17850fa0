#pragma once
// Our own number formatting for report figures. Report cells follow fixed rounding rules:
// the patterns "0" and "0.00" round a half away from zero, on the exact quotient the figure
// is, never on whatever the C library or the locale would do.

#include "core/base/Money.h"

#include <QDate>
#include <QString>

#include <stdexcept>

namespace qm::report {

// A cell text that should hold a whole number but does not.
class FormatError : public std::runtime_error {
public:
    explicit FormatError(const QString& text) : std::runtime_error(text.toStdString()) {}
};

// n / d (d nonzero) exactly, rounded to `decimals` places (0..4), a half going away from
// zero: the pattern "0" (5 / 2 -> "3", -5 / 2 -> "-3") or "0.00" (12345 / 8 -> "1543.13") on a
// quotient of whole numbers, with no error of a double; "-0" never appears.
QString FmtQuotient(Money::Units n, Money::Units d, int decimals);

// The shortest text of a real as a cell shows it: "5000", not "5000.0"; "4999.5"; at most
// 15 significant digits.
QString ShortFloat(double v);

// A date as a Chinese desktop writes it, whatever the machine's locale: "2026-12-09".
QString DateText(const QDate& d);

// A cell read as a whole number: blanks around are ignored, an empty cell reads 0; any
// other text raises FormatError.
long long CellInt(const QString& text);
// A cell read as a number (whole or with decimals); empty reads 0; other text raises.
double CellNumber(const QString& text);

// A sum read "as a whole number" the way the old data layer read a float into an integer:
// the nearest whole number, a half going to the even one (1499.5 -> 1500, 2.5 -> 2). A value
// no 64-bit integer holds (or no number) raises FormatError.
long long HalfEven(double v);

}  // namespace qm::report
