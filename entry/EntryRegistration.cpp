#include "entry/EntryRegistration.h"

#include "core/app/FormFactory.h"
#include "core/base/AppContext.h"
#include "entry/month/ClearMonthForm.h"
#include "entry/month/HeadcountForm.h"
#include "entry/staff/AllputForm.h"
#include "entry/staff/DelPersnoForm.h"
#include "entry/staff/MonputForm.h"
#include "entry/staff/PerputForm.h"
#include "entry/staff/WrongForm.h"
#include "entry/wage/WageErrorListForm.h"
#include "entry/wage/WageSheetForm.h"

namespace qm {

void RegisterEntryForms(FormFactory& forms) {
    forms.Register(QStringLiteral("TFrm_allput"), [](AppContext& ctx) { return std::make_unique<TFrm_allput>(ctx); });
    forms.Register(QStringLiteral("TFrm_mon"),
                   [](AppContext& ctx) { return std::make_unique<TFrm_mon>(ctx, ctx.mainWidget); });
    forms.Register(QStringLiteral("TFrm_wrontWage"),
                   [](AppContext& ctx) { return std::make_unique<TFrm_wrontWage>(ctx, ctx.mainWidget); });
    forms.Register(QStringLiteral("TFrm_clearChWage"),
                   [](AppContext& ctx) { return std::make_unique<TFrm_clearChWage>(ctx); });
    forms.Register(QStringLiteral("TFrm_clearChMon"),
                   [](AppContext& ctx) { return std::make_unique<TFrm_clearChMon>(ctx); });
    forms.Register(QStringLiteral("TFrm_set"), [](AppContext& ctx) { return std::make_unique<TFrm_set>(ctx); });
    forms.Register(QStringLiteral("TFrm_monput"), [](AppContext& ctx) { return std::make_unique<MonputOpener>(ctx); });
    forms.Register(QStringLiteral("TFrm_delPersno"),
                   [](AppContext& ctx) { return std::make_unique<DelPersnoForm>(ctx); });
    forms.Register(QStringLiteral("TFrm_wrong"), [](AppContext& ctx) { return std::make_unique<WrongForm>(ctx); });
    forms.Register(QStringLiteral("TFrm_perput"), [](AppContext& ctx) { return std::make_unique<TFrm_perput>(ctx); });
}

}  // namespace qm
