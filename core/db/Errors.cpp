#include "core/db/Errors.h"

#include "core/base/UiService.h"
#include "core/db/Db.h"

#include <exception>

namespace qm {

void ShowCurrentException(UiService& ui) {
    try {
        throw;
    } catch (const SilentAbort&) {
    } catch (const db::Error& e) {
        ui.Plain(e.Text());
    } catch (const std::exception& e) {
        ui.Plain(QString::fromUtf8(e.what()));
    } catch (...) {
        ui.Plain(QStringLiteral("未知错误。"));
    }
}

bool Guarded(UiService& ui, const std::function<void()>& handler) {
    try {
        const BusyScope busy(ui);
        handler();
        return true;
    } catch (...) {
        ShowCurrentException(ui);
        return false;
    }
}

}  // namespace qm
