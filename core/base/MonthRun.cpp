#include "core/base/MonthRun.h"

#include <stdexcept>

namespace qm {

MonthRun::MonthRun(qm::Quarter quarter) : first_(1), last_(quarter.LastMonth()), quarter_(quarter) {}

MonthRun::MonthRun(Month first, Month last) : first_(first), last_(last) {
    if (first.IsStart() || first > last) throw std::invalid_argument("a run of months lies within 1..12, in order");
}

}  // namespace qm
