#include "shell/ShellForms.h"

#include "shell/FormFactory.h"
#include "shell/HistoryImportForm.h"

namespace qm {

void RegisterShellForms(FormFactory& forms) {
    forms.Register(QStringLiteral("TFrm_historyfrom"), [](AppContext& c) { return std::make_unique<TFrm_historyfrom>(c); });
}

}  // namespace qm
