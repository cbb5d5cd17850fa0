#include "entry/EntryForms.h"

#include "entry/PerputForm.h"
#include "shell/FormFactory.h"

namespace qm {

void RegisterEntryForms(FormFactory& forms) {
    // each entry form adds its line here as it lands
    forms.Register(QStringLiteral("TFrm_perput"),
                   [](AppContext& ctx) -> std::unique_ptr<IForm> { return std::make_unique<TFrm_perput>(ctx); });
}

}  // namespace qm
