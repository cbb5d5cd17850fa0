#include "shell/Maintenance.h"

#include "platform/AppPaths.h"
#include "shell/AppContext.h"

namespace qm {

// Placeholder bodies until the maintenance commands land.
namespace {
void NotYet(AppContext& ctx) {
    if (ctx.main) ctx.main->ShowStatus(QStringLiteral("此功能尚未提供。"));
}
}  // namespace

void Maintenance::N32Click() { AppPaths::Ensure(ctx_.paths.Error()); }
void Maintenance::N9Click() { NotYet(ctx_); }
void Maintenance::N21Click() { NotYet(ctx_); }
void Maintenance::N33Click() { NotYet(ctx_); }
void Maintenance::N31Click() { NotYet(ctx_); }
bool Maintenance::N34Click() {
    NotYet(ctx_);
    return false;
}
bool Maintenance::N43Click() {
    NotYet(ctx_);
    return false;
}
void Maintenance::N37Click() { NotYet(ctx_); }
bool Maintenance::N41Click() {
    NotYet(ctx_);
    return false;
}

}  // namespace qm
