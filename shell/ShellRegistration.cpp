#include "shell/ShellRegistration.h"

#include "core/app/FormFactory.h"
#include "shell/AboutForm.h"
#include "shell/BrowserForm.h"
#include "shell/ChangeDepForm.h"
#include "shell/HistoryImportForm.h"

namespace qm {

void RegisterShellForms(FormFactory& forms) {
    forms.Register(QStringLiteral("TFrm_historyfrom"),
                   [](AppContext& c) { return std::make_unique<TFrm_historyfrom>(c); });
    forms.Register(QStringLiteral("TFrm_Brower"), [](AppContext& c) { return std::make_unique<TFrm_Brower>(c); });
    forms.Register(QStringLiteral("TFrm_changeDep"), [](AppContext& c) { return std::make_unique<TFrm_changeDep>(c); });
    forms.Register(QStringLiteral("TAboutFrm"), [](AppContext& c) { return std::make_unique<TAboutFrm>(c); });
}

}  // namespace qm
