#include "core/db/NumberTwice.h"

#include "core/base/RtlText.h"

#include <QHash>

namespace qm {

std::optional<NumberRepeat> FindNumberTwice(int count, const std::function<QString(int)>& numberAt) {
    QHash<QString, int> seen;
    seen.reserve(count);
    for (int i = 0; i < count; ++i) {
        QString number = RtlTrim(numberAt(i));
        if (number.isEmpty()) continue;
        if (const auto at = seen.constFind(number); at != seen.constEnd())
            return NumberRepeat{at.value(), i, std::move(number)};
        seen.insert(number, i);
    }
    return std::nullopt;
}

}  // namespace qm

namespace qm::db {

std::optional<NumberTwice> FirstNumberTwice(Connection& c, const char* table, const char* month, Month from, Month to) {
    // The index holds the month and the number: the scan never reads the table itself, and
    // reads no more of each row than the two.
    Statement scan(c, QStringLiteral("select %2, sNumber from %1 where %2>=? and %2<=? and sNumber is not null "
                                     "order by %2, sNumber")
                          .arg(QLatin1String(table), QLatin1String(month)));
    scan.Add(Value(from)).Add(Value(to));
    // The row before: its month and number (kind and bytes); none before the first.
    long long lastMonth = 0;
    Cell number;
    std::string bytes;
    bool twice = false;
    while (!twice && scan.Step()) {
        const long long m = scan.Integer(0);
        const Cell n = scan.At(1);
        twice = number.kind == n.kind && m == lastMonth && n.bytes == bytes;
        lastMonth = m;
        number.kind = n.kind;
        bytes.assign(n.bytes);
    }
    if (!twice) return std::nullopt;
    // Its first two rows, found by the number as stored: its kind and bytes bound as they are.
    NumberTwice found{lastMonth, bytes, {}};
    number.bytes = bytes;
    Statement rows(c, QStringLiteral("select sName from %1 where %2=? and sNumber=? order by id limit 2")
                          .arg(QLatin1String(table), QLatin1String(month)));
    rows.Add(Value(lastMonth)).Add(number);
    for (size_t k = 0; k < found.names.size() && rows.Step(); ++k) found.names[k].assign(rows.At(0).bytes);
    return found;
}

}  // namespace qm::db
