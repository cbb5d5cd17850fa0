#pragma once
// The wage payment list (工资发放汇总清单): for a range of months, one line per person of
// Wage_Info with the month totals of the range, the person's total and a grand total. A
// screen list only: no result table, workbook or upload.

#include <QDate>
#include <QString>

#include <array>
#include <vector>

namespace qm {
class TSheetBook;
class Progress;
namespace db {
class Connection;
}
}  // namespace qm

namespace qm::report {

struct PaymentLine {
    QString name;                    // trimmed
    QString number;                  // trimmed
    std::array<QString, 13> months;  // index 1..12: the month's total as the cell shows it, empty outside the range
    double total = 0;                // summed exactly, then taken as the nearest real
};

// A month whose stored total is no number ("", "３０００", "Infinity"): an error row, shown
// as stored and marked, counted in no total.
struct PaymentProblem {
    int line;  // index into lines
    int month;
    QString text;
};

struct PaymentList {
    int from = 1;
    int to = 12;
    std::vector<PaymentLine> lines;
    double grandTotal = 0;
    std::vector<PaymentProblem> problems;
};

// Builds the list for months from..to (1..12, from not after to; raises
// std::invalid_argument otherwise). A person is one pair of number and name: a number
// entered under two names gives two lines, each with its own months. Persons are ordered by
// their number read as a whole number (a number with letters reads 0), then as text, so
// any number lists. `pb` (may be null) follows the persons done.
PaymentList BuildPaymentList(db::Connection& c, int from, int to, Progress* pb = nullptr);

// The texts of the list form: its caption, its title line and its date line.
QString PaymentCaption(const QString& depName);
QString PaymentTitle(int from, int to);
QString PaymentDateLine(const QDate& today);

// Writes the lines below the template's header row: person k in row k + 1 (name, number,
// month m in column m + 2, total in column 15), then "总计：" and the grand total. A month
// that is no number carries the error mark.
void FillPaymentSheet(TSheetBook& sheet, const PaymentList& list);

// What the person is told about the months that are no number, naming each person and month;
// empty when there are none.
QString PaymentProblemsText(const PaymentList& list);

// A total as the list shows it: the shortest form, "5000" and "4999.5".
QString PaymentAmount(double v);

}  // namespace qm::report
