#pragma once
// Rounded sub-items made to add up to their rounded total. Each figure is rounded on its
// own, so the parts of a total can miss it by a unit or two; the difference is taken from
// (or given to) the first items, as the statistics office's forms require.

#include <vector>

namespace qm::report {

// With d = sum(subs) - total: nothing when d is 0; else the first j (up to the one before
// the last) whose running sum of the original values reaches d: the items before it
// become 0 and item j becomes that running sum minus d (d < 0 makes the first item
// grow); when no such j exists, every item but the last becomes 0 and the last takes the
// total. Answers whether anything changed.
bool Reconcile(std::vector<long long>& subs, long long total);

}  // namespace qm::report
