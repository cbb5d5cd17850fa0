#include "reports/RangeSummaryForms.h"

#include "core/base/AppContext.h"
#include "core/base/FormFactory.h"
#include "reports/RangeChoosers.h"

namespace qm {

void RegisterRangeSummaryForms(FormFactory& forms) {
    forms.Register(QStringLiteral("TFrm_chooseAB"), [](AppContext& ctx) { return std::make_unique<TFrm_chooseAB>(ctx); });
    forms.Register(QStringLiteral("TFrm_chooseBA"), [](AppContext& ctx) { return std::make_unique<TFrm_chooseBA>(ctx); });
}

}  // namespace qm
