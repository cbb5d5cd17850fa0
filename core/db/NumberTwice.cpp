#include "core/db/NumberTwice.h"

namespace qm::db {

std::optional<NumberTwice> FirstNumberTwice(Connection& c, const char* table, const char* month, Month from, Month to) {
    // The index holds the month, the number and the id: the scan never reads the table itself.
    Statement scan(c, QStringLiteral("select %2, sNumber, id from %1 where %2>=? and %2<=? and sNumber is not null "
                                     "order by %2, sNumber")
                          .arg(QLatin1String(table), QLatin1String(month)));
    scan.Add(Value(from)).Add(Value(to));
    // The row before: its month, id and number (kind and bytes); none before the first.
    long long lastMonth = 0, lastId = 0;
    std::optional<Cell::Kind> lastKind;
    std::string lastNumber;
    std::optional<NumberTwice> twice;
    std::array<long long, 2> ids{};
    while (!twice && scan.Step()) {
        const long long m = scan.Integer(0), id = scan.Integer(2);
        const Cell n = scan.At(1);
        if (lastKind == n.kind && m == lastMonth && n.bytes == lastNumber) {
            twice = NumberTwice{m, lastNumber, {}};
            ids = {lastId, id};
        }
        lastMonth = m;
        lastId = id;
        lastKind = n.kind;
        lastNumber.assign(n.bytes);
    }
    if (!twice) return std::nullopt;
    Statement names(c, QStringLiteral("select id, sName from %1 where id=? or id=?").arg(QLatin1String(table)));
    names.Add(Value(ids[0])).Add(Value(ids[1]));
    while (names.Step()) twice->names[names.Integer(0) == ids[0] ? 0 : 1].assign(names.At(1).bytes);
    return twice;
}

}  // namespace qm::db
