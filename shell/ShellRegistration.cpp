#include "shell/ShellRegistration.h"

#include "core/app/FormFactory.h"
#include "shell/AboutForm.h"
#include "shell/BrowserForm.h"
#include "shell/ChangeDepForm.h"
#include "shell/HistoryImportForm.h"

namespace qm {

void RegisterShellForms(FormFactory& forms) {
    forms.Register<TFrm_historyfrom>(QStringLiteral("TFrm_historyfrom"));
    forms.Register<TFrm_Brower>(QStringLiteral("TFrm_Brower"));
    forms.Register<TFrm_changeDep>(QStringLiteral("TFrm_changeDep"));
    forms.Register<TAboutFrm>(QStringLiteral("TAboutFrm"));
}

}  // namespace qm
