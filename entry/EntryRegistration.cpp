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

namespace {

// The month of a form that has one; an opener that gives none means the start of the period.
Month MonthOf(const FormArgs& args) { return args.month.value_or(Month::Start()); }

}  // namespace

void RegisterEntryForms(FormFactory& forms) {
    forms.Register(QStringLiteral("TFrm_allput"), [](AppContext& ctx, const FormArgs& args) {
        return std::make_unique<TFrm_allput>(ctx, args.month, args.parent);
    });
    forms.Register(QStringLiteral("TFrm_mon"), [](AppContext& ctx, const FormArgs& args) {
        return std::make_unique<TFrm_mon>(ctx, MonthOf(args), ParentOf(ctx, args));
    });
    forms.Register(QStringLiteral("TFrm_wrontWage"), [](AppContext& ctx, const FormArgs& args) {
        return std::make_unique<TFrm_wrontWage>(ctx, MonthOf(args), ParentOf(ctx, args));
    });
    forms.Register(QStringLiteral("TFrm_clearChWage"), [](AppContext& ctx, const FormArgs& args) {
        return std::make_unique<ClearMonthDialog>(ctx, ClearChWage(), ParentOf(ctx, args));
    });
    forms.Register(QStringLiteral("TFrm_clearChMon"), [](AppContext& ctx, const FormArgs& args) {
        return std::make_unique<ClearMonthDialog>(ctx, ClearChMon(), ParentOf(ctx, args));
    });
    forms.Register<TFrm_set>(QStringLiteral("TFrm_set"));
    forms.Register(QStringLiteral("TFrm_monput"), [](AppContext& ctx, const FormArgs& args) {
        return std::make_unique<MonputOpener>(ctx, MonthOf(args), args.parent);
    });
    // The month's list is the one window that outlives its opener with unsaved rows.
    forms.AddLeaveCheck([](AppContext& ctx) { return TFrm_monput::MayLeave(ctx); });
    forms.Register(QStringLiteral("TFrm_delPersno"), [](AppContext& ctx, const FormArgs& args) {
        return std::make_unique<DelPersnoForm>(ctx, MonthOf(args), args.parent);
    });
    forms.Register(QStringLiteral("TFrm_wrong"), [](AppContext& ctx, const FormArgs& args) {
        return std::make_unique<WrongForm>(ctx, MonthOf(args), args.parent);
    });
    forms.Register(QStringLiteral("TFrm_perput"), [](AppContext& ctx, const FormArgs& args) {
        return std::make_unique<TFrm_perput>(ctx, ParentOf(ctx, args), args.month.value_or(Month::Start()),
                                             args.opener);
    });
}

}  // namespace qm
