#include "core/base/Quarter.h"

#include <stdexcept>
#include <string>

namespace qm {

Quarter::Quarter(int number) : n_(number) {
    if (number < kFirst || number > kLast)
        throw std::invalid_argument("quarter out of range: " + std::to_string(number));
}

std::optional<Quarter> Quarter::Of(int number) {
    if (number < kFirst || number > kLast) return std::nullopt;
    return Quarter(number);
}

QString Quarter::Label() const { return QStringLiteral("2012年") + QString::number(n_) + QStringLiteral("季度"); }

}  // namespace qm
