#include "entry/EntryForms.h"

#include "entry/AllputForm.h"
#include "shell/FormFactory.h"

namespace qm {

void RegisterEntryForms(FormFactory& forms) {
    // each entry form adds its line here as it lands
    forms.Register(QStringLiteral("TFrm_allput"), [](AppContext& ctx) { return std::make_unique<TFrm_allput>(ctx); });
}

}  // namespace qm
