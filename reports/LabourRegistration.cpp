#include "reports/LabourRegistration.h"

#include "core/app/FormFactory.h"
#include "core/base/AppContext.h"
#include "reports/LabourReportForm.h"
#include "reports/PaymentListForm.h"

namespace qm {

void RegisterLabourForms(FormFactory& forms) {
    forms.Register(QStringLiteral("TFrm_JLabor"),
                   [](AppContext& ctx) { return std::make_unique<TFrm_JLabor>(ctx, ctx.mainWidget); });
    forms.Register(QStringLiteral("TFrm_NLabor"),
                   [](AppContext& ctx) { return std::make_unique<TFrm_NLabor>(ctx, ctx.mainWidget); });
    forms.Register(QStringLiteral("TFrm_chooseMon"),
                   [](AppContext& ctx) { return std::make_unique<TFrm_chooseMon>(ctx, ctx.mainWidget); });
}

}  // namespace qm
