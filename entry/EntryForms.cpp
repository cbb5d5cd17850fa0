#include "entry/EntryForms.h"

#include "entry/WageErrorListForm.h"
#include "entry/WageSheetForm.h"
#include "shell/AppContext.h"
#include "shell/FormFactory.h"

namespace qm {

void RegisterEntryForms(FormFactory& forms) {
    (void)forms;  // each entry form adds its line here as it lands
    forms.Register(QStringLiteral("TFrm_mon"),
                   [](AppContext& ctx) { return std::make_unique<TFrm_mon>(ctx, ctx.mainWidget); });
    forms.Register(QStringLiteral("TFrm_wrontWage"),
                   [](AppContext& ctx) { return std::make_unique<TFrm_wrontWage>(ctx, ctx.mainWidget); });
}

}  // namespace qm
