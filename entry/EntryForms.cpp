#include "entry/EntryForms.h"

#include "entry/ClearMonthDialogs.h"
#include "entry/HeadcountDialog.h"
#include "shell/FormFactory.h"

namespace qm {

void RegisterEntryForms(FormFactory& forms) {
    // each entry form adds its line here as it lands
    forms.Register(QStringLiteral("TFrm_clearChWage"), [](AppContext& c) { return std::make_unique<TFrm_clearChWage>(c); });
    forms.Register(QStringLiteral("TFrm_clearChMon"), [](AppContext& c) { return std::make_unique<TFrm_clearChMon>(c); });
    forms.Register(QStringLiteral("TFrm_set"), [](AppContext& c) { return std::make_unique<TFrm_set>(c); });
}

}  // namespace qm
