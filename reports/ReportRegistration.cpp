#include "reports/ReportRegistration.h"

#include "core/app/FormFactory.h"
#include "core/base/AppContext.h"
#include "reports/JGLaborForm.h"
#include "reports/NGLaborForm.h"

namespace qm {

void RegisterReportForms(FormFactory& forms) {
    forms.Register(QStringLiteral("TFrm_JGLabor"),
                   [](AppContext& ctx) { return std::make_unique<TFrm_JGLabor>(ctx, ctx.mainWidget); });
    forms.Register(QStringLiteral("TFrm_ChooseJLabor"),
                   [](AppContext& ctx) { return std::make_unique<TFrm_ChooseJLabor>(ctx); });
    forms.Register(QStringLiteral("TFrm_NGLabor"), [](AppContext& ctx) { return std::make_unique<TFrm_NGLabor>(ctx); });
}

}  // namespace qm
