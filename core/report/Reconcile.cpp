#include "core/report/Reconcile.h"

#include <cstddef>
#include <numeric>

namespace qm::report {

bool Reconcile(std::vector<long long>& subs, long long total) {
    if (subs.empty()) return false;
    const long long d = std::accumulate(subs.begin(), subs.end(), 0LL) - total;
    if (d == 0) return false;
    long long prefix = 0;
    for (std::size_t j = 0; j + 1 < subs.size(); ++j) {
        prefix += subs[j];
        if (d <= prefix) {
            for (std::size_t i = 0; i < j; ++i) subs[i] = 0;
            subs[j] = prefix - d;
            return true;
        }
    }
    for (std::size_t i = 0; i + 1 < subs.size(); ++i) subs[i] = 0;
    subs.back() = total;
    return true;
}

}  // namespace qm::report
