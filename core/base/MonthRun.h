#pragma once
// The months a quarterly report counts: a quarter's, 1..3q, or a run first..last (1..12) that
// the period chooser chose, which belongs to no quarter (it has no label and no upload file).
// Made where the quarter or the run is chosen, it is given to the report as it is made.

#include "core/base/Month.h"
#include "core/base/Quarter.h"

#include <optional>

namespace qm {

class MonthRun {
public:
    // Months 1..3q of the quarter.
    explicit MonthRun(qm::Quarter quarter);
    // A chosen run: 1 <= first <= last; anything else raises std::invalid_argument (the
    // start-of-period list is no month of a run).
    MonthRun(Month first, Month last);

    Month First() const { return first_; }
    Month Last() const { return last_; }
    int MonthCount() const { return last_.Number() - first_.Number() + 1; }
    // The quarter the run was made for; none for a chosen run, also one of a quarter's months.
    std::optional<qm::Quarter> Quarter() const { return quarter_; }

    friend bool operator==(const MonthRun&, const MonthRun&) = default;

private:
    Month first_;
    Month last_;
    std::optional<qm::Quarter> quarter_;
};

}  // namespace qm
