#include "core/db/ListQuery.h"

namespace qm {

QString LikeAnywhere(const QString& text) { return QLatin1Char('%') + text + QLatin1Char('%'); }

}  // namespace qm
