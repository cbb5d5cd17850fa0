#include "reports/ReportRegistration.h"

#include "core/app/FormFactory.h"
#include "reports/JGLaborForm.h"
#include "reports/NGLaborForm.h"

namespace qm {

void RegisterReportForms(FormFactory& forms) {
    forms.Register(QStringLiteral("TFrm_JGLabor"), [](AppContext& ctx, const FormArgs& args) {
        return std::make_unique<TFrm_JGLabor>(ctx, ParentOf(ctx, args), WageQuarterOf(args));
    });
    forms.Register<TFrm_ChooseJLabor>(QStringLiteral("TFrm_ChooseJLabor"));
    forms.Register<TFrm_NGLabor>(QStringLiteral("TFrm_NGLabor"));
}

}  // namespace qm
