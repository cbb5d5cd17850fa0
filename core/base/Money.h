#pragma once
// Money held exactly, so that no total depends on the order its amounts are added in.
//
// An amount is a whole count of ten-thousandths of a yuan, the grid's scale. A stored whole
// number is taken as it is; a stored real by the decimal digits it was written with (its
// shortest text: 2499.2, not the 2499.19999999999981... the binary value holds), and a typed
// amount by its text. A fifth decimal rounds the fourth, a half away from zero.
//
// An amount is stored as it is summed: every save of an amount (the wage sheet, the wage error
// list, the history import) writes the ten-thousandth this rule gives (2499.49995 is stored as
// 2499.5), so that the database, the reports, the payment list and SQLite's own sums agree.
//
// Sums are kept in 128 bits. An amount is held while it lies below 1e20 yuan (the wage sheet
// and the history import take amounts below 1e15, the reports refuse any figure from 1e15 on),
// so any number of held amounts adds up exactly, in any order: 2^127 ten-thousandths are
// 1.7e34 yuan. A larger amount (a stray 1e300 in a database) is kept apart, as a double, only
// so that a refusal can name the figure.

#include <QString>

#include <optional>
#include <utility>
#include <vector>

namespace qm {

class Money {
public:
    __extension__ using Units = __int128;
    static constexpr long long kScale = 10000;  // units per yuan
    static constexpr double kHeldLimit = 1e20;  // amounts held: |amount| below this

    Money() = default;
    static Money OfUnits(Units u) { return Money(u); }
    static Money Whole(long long yuan) { return Money(Units(yuan) * kScale); }
    // A stored real; none when it is no finite number or not held.
    static std::optional<Money> FromDouble(double v);
    // A typed amount: optional blanks, a sign, digits with at most one point ("2500",
    // "-3.25", ".5"); none for any other text or an amount not held.
    static std::optional<Money> FromText(const QString& text);
    // The real an amount is stored as, and the amount that real reads back as (FromDouble):
    // the same decimal up to some 5e11 yuan, a ten-thousandth or so apart beyond, where a real
    // holds fewer decimals. A save sums what it reads back, so the stored total is its sum.
    static std::pair<double, Money> Stored(const Money& m);

    Units TenThousandths() const { return units_; }
    // The nearest double (for values that go on as reals).
    double ToDouble() const;
    // The exact decimal text without trailing zeros: "2499.5", "-0.0001", "5000".
    QString Text() const;

    friend bool operator==(const Money&, const Money&) = default;
    friend auto operator<=>(const Money& a, const Money& b) { return a.units_ <=> b.units_; }

private:
    explicit Money(Units u) : units_(u) {}
    Units units_ = 0;
};

// n / d (d > 0) to the nearest whole number, a half going away from zero or to the even one.
enum class Half { AwayFromZero, ToEven };
Money::Units DivideRounded(Money::Units n, Money::Units d, Half half);

// The decimal digits of a 128-bit whole number, with a '-' when negative.
QString UnitsText(Money::Units v);

// A sum of amounts, the same whatever the order they come in. Empty (as SQL's sum over no
// rows is NULL) until the first amount.
class MoneySum {
public:
    void Add(const Money& m);
    // A stored amount: held when it can be, else kept apart.
    void Add(double stored);
    MoneySum& operator+=(const MoneySum& other);
    bool IsNull() const { return !any_; }
    // Every amount was held: Total() is the sum.
    bool Exact() const { return unheld_.empty(); }
    Money Total() const { return Money::OfUnits(units_); }
    // The amounts not held, as they came; a refusal names them rather than a sum of them.
    const std::vector<double>& Unheld() const { return unheld_; }
    // The sum as a double, amounts not held included (added smallest first, so that this too
    // is the same in any order); not a number when one of them is none.
    double Approx() const;

private:
    Money::Units units_ = 0;
    std::vector<double> unheld_;
    bool any_ = false;
};

}  // namespace qm
