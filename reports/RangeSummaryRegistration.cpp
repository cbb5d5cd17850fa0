#include "reports/RangeSummaryRegistration.h"

#include "core/app/FormFactory.h"
#include "reports/RangeChooserForm.h"
#include "reports/TalentForm.h"
#include "reports/WageSummaryForm.h"

namespace qm {

void RegisterRangeSummaryForms(FormFactory& forms) {
    forms.Register<TFrm_chooseAB>(QStringLiteral("TFrm_chooseAB"));
    forms.Register<TFrm_chooseBA>(QStringLiteral("TFrm_chooseBA"));
    forms.Register(QStringLiteral("TFrm_wagehz"), [](AppContext& ctx, const FormArgs& args) {
        return std::make_unique<TFrm_wagehz>(ctx, ParentOf(ctx, args), SummaryMonthsOf(args), args.recompute);
    });
    forms.Register(QStringLiteral("TFrm_wagejghz"), [](AppContext& ctx, const FormArgs& args) {
        return std::make_unique<TFrm_wagejghz>(ctx, ParentOf(ctx, args), SummaryMonthsOf(args), args.recompute);
    });
    forms.Register<TFrm_hzinfo>(QStringLiteral("TFrm_hzinfo"));
    forms.Register<TFrm_hz>(QStringLiteral("TFrm_hz"));
}

}  // namespace qm
