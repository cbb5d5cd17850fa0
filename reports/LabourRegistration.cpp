#include "reports/LabourRegistration.h"

#include "core/app/FormFactory.h"
#include "reports/LabourReportForm.h"
#include "reports/PaymentListForm.h"

namespace qm {

void RegisterLabourForms(FormFactory& forms) {
    forms.Register(QStringLiteral("TFrm_JLabor"), [](AppContext& ctx, const FormArgs& args) {
        return std::make_unique<TFrm_JLabor>(ctx, ParentOf(ctx, args), LabourRunOf(args));
    });
    forms.Register<TFrm_NLabor>(QStringLiteral("TFrm_NLabor"));
    forms.Register<TFrm_chooseMon>(QStringLiteral("TFrm_chooseMon"));
}

}  // namespace qm
