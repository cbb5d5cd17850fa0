#include "reports/LabourRegistration.h"

#include "core/app/FormFactory.h"
#include "reports/LabourReportForm.h"
#include "reports/PaymentListForm.h"

namespace qm {

void RegisterLabourForms(FormFactory& forms) {
    forms.Register<TFrm_JLabor>(QStringLiteral("TFrm_JLabor"));
    forms.Register<TFrm_NLabor>(QStringLiteral("TFrm_NLabor"));
    forms.Register<TFrm_chooseMon>(QStringLiteral("TFrm_chooseMon"));
}

}  // namespace qm
