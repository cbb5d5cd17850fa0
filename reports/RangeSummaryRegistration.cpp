#include "reports/RangeSummaryRegistration.h"

#include "core/app/FormFactory.h"
#include "core/base/AppContext.h"
#include "reports/RangeChooserForm.h"
#include "reports/TalentForm.h"
#include "reports/WageSummaryForm.h"

namespace qm {

void RegisterRangeSummaryForms(FormFactory& forms) {
    forms.Register(QStringLiteral("TFrm_chooseAB"),
                   [](AppContext& ctx) { return std::make_unique<TFrm_chooseAB>(ctx); });
    forms.Register(QStringLiteral("TFrm_chooseBA"),
                   [](AppContext& ctx) { return std::make_unique<TFrm_chooseBA>(ctx); });
    forms.Register(QStringLiteral("TFrm_wagehz"), [](AppContext& ctx) { return std::make_unique<TFrm_wagehz>(ctx); });
    forms.Register(QStringLiteral("TFrm_wagejghz"),
                   [](AppContext& ctx) { return std::make_unique<TFrm_wagejghz>(ctx); });
    forms.Register(QStringLiteral("TFrm_hzinfo"), [](AppContext& ctx) { return std::make_unique<TFrm_hzinfo>(ctx); });
    forms.Register(QStringLiteral("TFrm_hz"), [](AppContext& ctx) { return std::make_unique<TFrm_hz>(ctx); });
}

}  // namespace qm
