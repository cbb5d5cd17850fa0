#pragma once
// One staff number on two rows of one month, in the staff lists or in the wages: the reports
// join a month's wages to its list by number, so such a number's wages count twice. The saves
// look for it in a sheet's rows, the report gates in the stored months.

#include "core/base/Month.h"
#include "core/db/Db.h"

#include <QString>

#include <array>
#include <functional>
#include <optional>
#include <string>

namespace qm {

// The first staff number that a sheet of `count` rows holds twice, the numbers compared as they
// are stored (trimmed); an empty number is nobody's and never repeats. `first` and `second` are
// the places (0-based) of its first two rows; nothing when every number stands once.
struct NumberRepeat {
    int first = 0, second = 0;
    QString number;
};
std::optional<NumberRepeat> FindNumberTwice(int count, const std::function<QString(int)>& numberAt);

}  // namespace qm

namespace qm::db {

// The month as stored, the number's bytes as stored, and the name bytes of the number's first
// two rows in id order.
struct NumberTwice {
    long long month = 0;
    std::string number;
    std::array<std::string, 2> names;
};

// The first month of from..to (by month, then by number) in which `table` holds one number on
// two rows, the numbers compared as stored (kind and bytes: a text and a blob of the same bytes
// differ, as in the reports' join). Read in the order of the table's index of month and number,
// each number against the one before, nothing sorted; the number's rows are then read by its
// stored kind and bytes, never by a decoded text. `table` and `month` are the gateway's own
// names, never a person's text.
std::optional<NumberTwice> FirstNumberTwice(Connection& c, const char* table, const char* month, Month from, Month to);

}  // namespace qm::db
