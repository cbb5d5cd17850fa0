#pragma once
// The wage payment list (工资发放汇总清单): for a range of months, one line per person of
// Wage_Info with the month totals of the range, the person's total and a grand total. A
// screen list only: no result table, workbook or upload.

#include <QDate>
#include <QString>

#include <array>
#include <cstddef>
#include <string>
#include <vector>

namespace qm {
class TSheetBook;
class Progress;
namespace db {
class Connection;
class Value;
}  // namespace db
}  // namespace qm

namespace qm::report {

// One line as it is read: its texts are made from the stored values when asked.
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

namespace detail {
class PaymentBuilder;
}

// The lines of the list, kept as the stored values (a few hundred bytes a person, whatever
// the size of the unit); a line's texts are made only when it is read or shown.
class PaymentLines {
public:
    size_t size() const { return persons_.size(); }
    bool empty() const { return persons_.empty(); }
    QString Name(size_t line) const;
    QString Number(size_t line) const;
    // The month's cell (1..12): empty outside the range and for a month without a row.
    QString MonthText(size_t line, int month) const;
    double Total(size_t line) const { return totals_[line]; }
    PaymentLine operator[](size_t line) const;

    class const_iterator {
    public:
        using value_type = PaymentLine;
        using difference_type = std::ptrdiff_t;
        const_iterator(const PaymentLines* lines, size_t at) : lines_(lines), at_(at) {}
        PaymentLine operator*() const { return (*lines_)[at_]; }
        const_iterator& operator++() {
            ++at_;
            return *this;
        }
        bool operator==(const const_iterator& o) const { return at_ == o.at_; }

    private:
        const PaymentLines* lines_;
        size_t at_;
    };
    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, size()}; }

private:
    friend class detail::PaymentBuilder;

    // A stored total: none (no row in the month), a whole number, a real, a text.
    // (NULL is kept as none: it shows empty and adds nothing.)
    enum class Kind : quint8 { None, Integer, Real, Text };
    // A person: the number's bytes followed by the name's, as stored; `slot` is where the
    // person's month cells lie.
    struct Person {
        size_t at = 0;
        quint32 numberLen = 0, nameLen = 0;
        quint32 slot = 0;
    };

    std::string bytes_;
    std::vector<Person> persons_;  // in the order of the lines
    int from_ = 1, span_ = 12;     // the months kept per person: from_ .. from_ + span_ - 1
    // The month cells, in blocks of persons so that a growing list never copies them: a
    // person's month lies at (slot % kBlock) * span_ + month - from_ of block slot / kBlock.
    static constexpr quint32 kBlock = 4096;
    struct Block {
        std::vector<Kind> kinds;
        std::vector<quint64> values;  // the integer, the real's bits or the index into texts_
    };
    std::vector<Block> blocks_;
    std::vector<QString> texts_;  // the totals stored as text, as stored
    std::vector<double> totals_;  // by line

    const Block& BlockOf(quint32 slot) const { return blocks_[slot / kBlock]; }
    size_t CellOf(quint32 slot, int month) const {
        return size_t(slot % kBlock) * size_t(span_) + size_t(month - from_);
    }
    // The stored total of the person's month, NULL when none is kept.
    db::Value Stored(quint32 slot, int month) const;

    // The texts of the amounts shown last, by their stored bits (filled by the const readers:
    // the lines are read by one thread at a time).
    struct Made {
        Kind kind = Kind::None;
        quint64 bits = 0;
        QString text;
    };
    static constexpr size_t kMade = 4096;
    mutable std::vector<Made> made_;
};

struct PaymentList {
    int from = 1;
    int to = 12;
    PaymentLines lines;
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

// For each column 1..15 of the list, the row of the text that likely needs the most room: the
// one of most characters, a character beyond Latin-1 (a Chinese one) counting twice; 0 when
// the column holds no text. The form widens its columns to those texts.
using PaymentWidestRows = std::array<int, 16>;

// Writes the lines below the template's header row: person k in row k + 1 (name, number,
// month m in column m + 2, total in column 15), then "总计：" and the grand total. A month
// that is no number carries the error mark.
PaymentWidestRows FillPaymentSheet(TSheetBook& sheet, const PaymentList& list);

// What the person is told about the months that are no number, naming each person and month;
// empty when there are none.
QString PaymentProblemsText(const PaymentList& list);

// A total as the list shows it: the shortest form, "5000" and "4999.5".
QString PaymentAmount(double v);

}  // namespace qm::report
