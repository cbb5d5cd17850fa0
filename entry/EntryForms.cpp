#include "entry/EntryForms.h"

#include "entry/DelPersno.h"
#include "entry/Monput.h"
#include "entry/Wrong.h"
#include "shell/FormFactory.h"

namespace qm {

void RegisterEntryForms(FormFactory& forms) {
    forms.Register(QStringLiteral("TFrm_monput"), [](AppContext& ctx) { return std::make_unique<MonputOpener>(ctx); });
    forms.Register(QStringLiteral("TFrm_delPersno"),
                   [](AppContext& ctx) { return std::make_unique<DelPersnoForm>(ctx); });
    forms.Register(QStringLiteral("TFrm_wrong"), [](AppContext& ctx) { return std::make_unique<WrongForm>(ctx); });
}

}  // namespace qm
