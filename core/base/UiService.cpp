#include "core/base/UiService.h"

namespace qm {

QString DlgTitle(DlgKind kind) {
    switch (kind) {
    case DlgKind::Information: return QStringLiteral("Information");
    case DlgKind::Confirmation: return QStringLiteral("Confirm");
    case DlgKind::Warning: return QStringLiteral("Warning");
    case DlgKind::Error: return QStringLiteral("Error");
    }
    return {};
}

}  // namespace qm
