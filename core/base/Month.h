#pragma once
// A month of the statistical year: 0 is the start of the period (期初), 1..12 the months.
// A month is made once where it enters (a menu item, a stored row, a chooser, a form's
// field) and travels typed; SQL receives its number as a bound value, never as text.

#include <QString>

#include <compare>
#include <optional>

namespace qm {

class Month {
public:
    static constexpr int kFirst = 0;
    static constexpr int kLast = 12;

    // The start of the period.
    constexpr Month() = default;
    // A month 0..12; anything else raises std::invalid_argument.
    explicit Month(int number);

    static std::optional<Month> Of(int number);

    // How a month is written where it enters.
    enum class Written {
        // As stored or typed: ASCII digits naming 0..12, with blanks and control characters
        // (up to U+0020) around them.
        Plain,
        // A chooser's month field: one or two ASCII digits, with white space around them.
        Field,
        // A month column of the predecessor's database, loosely typed: a whole number as C
        // reads it ("3", "+3", "03", "3.0", "3e0"), with blanks and control characters around.
        Number,
    };
    // The month the text names; nothing when it names none in that writing.
    static std::optional<Month> Parse(const QString& text, Written written = Written::Plain);
    // Parse, raising std::invalid_argument when the text names no month.
    static Month FromText(const QString& text);
    // The month a caption names ("期初", "一月" .. "十二月"), matched exactly.
    static std::optional<Month> OfCaption(const QString& caption);

    static constexpr Month Start() { return Month(); }
    static Month YearEnd() { return Month(kLast); }

    constexpr int Number() const { return n_; }
    constexpr bool IsStart() const { return n_ == kFirst; }
    // "0".."12", as the state and the stored rows have always written it.
    QString Text() const { return QString::number(n_); }
    // "期初", "一月" .. "十二月".
    QString Caption() const;

    // The month before (none before the start of the period) and after (none after December).
    std::optional<Month> Previous() const;
    std::optional<Month> Next() const;

    friend constexpr bool operator==(Month a, Month b) = default;
    friend constexpr auto operator<=>(Month a, Month b) = default;

private:
    int n_ = kFirst;
};

}  // namespace qm
