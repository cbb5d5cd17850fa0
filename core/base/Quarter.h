#pragma once
// A quarter of the statistical year as the quarterly reports know it: 1 (months 1..3),
// 2 (1..6) or 3 (1..9); the year as a whole is the annual reports'. Made where a quarter
// command or a report's arguments name it, it travels typed; its label is for display only.

#include "core/base/Month.h"

#include <QString>

#include <optional>

namespace qm {

class Quarter {
public:
    static constexpr int kFirst = 1;
    static constexpr int kLast = 3;

    // A quarter 1..3; anything else raises std::invalid_argument.
    explicit Quarter(int number);
    static std::optional<Quarter> Of(int number);

    constexpr int Number() const { return n_; }
    // The last month of the quarter: the end of the run the quarterly reports count.
    Month LastMonth() const { return Month(n_ * 3); }
    // "2012年1季度" .. "2012年3季度", as the quarterly labour report shows it.
    QString Label() const;

    friend bool operator==(Quarter a, Quarter b) = default;

private:
    int n_;
};

}  // namespace qm
