#pragma once
// One staff number stands once in a month's list and once in a month's wages: a number held on
// two rows would make the reports count that person's wages twice. The saves look for it here.

#include <QString>

#include <functional>
#include <optional>

namespace qm {

// The first staff number that a list of `count` rows holds twice, the numbers compared as they
// are stored (trimmed); an empty number is nobody's and never repeats. `first` and `second`
// are the places (0-based) of its first two rows; nothing when every number stands once.
struct NumberRepeat {
    int first = 0, second = 0;
    QString number;
};
std::optional<NumberRepeat> FindNumberTwice(int count, const std::function<QString(int)>& numberAt);

}  // namespace qm
