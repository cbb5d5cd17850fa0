#include "core/base/NumberTwice.h"

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
