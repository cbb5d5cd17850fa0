#include "reports/RangeSummaryRegistration.h"

#include "core/app/FormFactory.h"
#include "reports/RangeChooserForm.h"
#include "reports/TalentForm.h"
#include "reports/WageSummaryForm.h"

namespace qm {

void RegisterRangeSummaryForms(FormFactory& forms) {
    forms.Register<TFrm_chooseAB>(QStringLiteral("TFrm_chooseAB"));
    forms.Register<TFrm_chooseBA>(QStringLiteral("TFrm_chooseBA"));
    forms.Register<TFrm_wagehz>(QStringLiteral("TFrm_wagehz"));
    forms.Register<TFrm_wagejghz>(QStringLiteral("TFrm_wagejghz"));
    forms.Register<TFrm_hzinfo>(QStringLiteral("TFrm_hzinfo"));
    forms.Register<TFrm_hz>(QStringLiteral("TFrm_hz"));
}

}  // namespace qm
