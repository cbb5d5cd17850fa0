#include "shell/BrowserForms.h"

#include "shell/AboutForm.h"
#include "shell/BrowserForm.h"
#include "shell/ChangeDepForm.h"
#include "shell/FormFactory.h"

namespace qm {

void RegisterBrowserForms(FormFactory& forms) {
    forms.Register(QStringLiteral("TFrm_Brower"),
                   [](AppContext& c) -> std::unique_ptr<IForm> { return std::make_unique<TFrm_Brower>(c); });
    forms.Register(QStringLiteral("TFrm_changeDep"),
                   [](AppContext& c) -> std::unique_ptr<IForm> { return std::make_unique<TFrm_changeDep>(c); });
    forms.Register(QStringLiteral("TAboutFrm"),
                   [](AppContext& c) -> std::unique_ptr<IForm> { return std::make_unique<TAboutFrm>(c); });
}

}  // namespace qm
