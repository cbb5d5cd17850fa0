#include "core/app/Placeholders.h"

#include "core/app/FormInterfaces.h"
#include "core/base/AppContext.h"

#include <map>

namespace qm {

namespace {

// What the person knows each form as.
const std::map<QString, QString>& Titles() {
    static const std::map<QString, QString> t = {
        {QStringLiteral("TFrm_Brower"), QStringLiteral("人员基本情况")},
        {QStringLiteral("TFrm_changeDep"), QStringLiteral("切换单位")},
        {QStringLiteral("TFrm_allput"), QStringLiteral("从业人员批量输入")},
        {QStringLiteral("TFrm_perput"), QStringLiteral("从业人员个人输入")},
        {QStringLiteral("TFrm_monput"), QStringLiteral("月度从业人员名单")},
        {QStringLiteral("TFrm_mon"), QStringLiteral("月工资过录表")},
        {QStringLiteral("TFrm_hzinfo"), QStringLiteral("年末人才资源情况汇总")},
        {QStringLiteral("TFrm_hz"), QStringLiteral("人才资源汇总")},
        {QStringLiteral("TFrm_chooseAB"), QStringLiteral("选择汇总月度区间")},
        {QStringLiteral("TFrm_chooseBA"), QStringLiteral("选择汇总月度区间")},
        {QStringLiteral("TFrm_wagehz"), QStringLiteral("按人员分类工资情况汇总")},
        {QStringLiteral("TFrm_wagejghz"), QStringLiteral("按人员分类工资情况汇总")},
        {QStringLiteral("TFrm_JLabor"), QStringLiteral("劳动情况基层季报表")},
        {QStringLiteral("TFrm_NLabor"), QStringLiteral("劳动情况基层年报表")},
        {QStringLiteral("TFrm_JGLabor"), QStringLiteral("从业人员及工资总额季报")},
        {QStringLiteral("TFrm_NGLabor"), QStringLiteral("从业人员及工资总额年报")},
        {QStringLiteral("TFrm_ChooseJLabor"), QStringLiteral("季报")},
        {QStringLiteral("TFrm_chooseMon"), QStringLiteral("工资发放清单")},
        {QStringLiteral("TFrm_permonWage"), QStringLiteral("工资发放清单")},
        {QStringLiteral("TAboutFrm"), QStringLiteral("关于本系统")},
        {QStringLiteral("TFrm_historyfrom"), QStringLiteral("导入历史数据")},
        {QStringLiteral("TFrm_clearChWage"), QStringLiteral("清空月度工资")},
        {QStringLiteral("TFrm_clearChMon"), QStringLiteral("清空月度从业人员")},
        {QStringLiteral("TFrm_set"), QStringLiteral("期末从业人员总数设置")},
    };
    return t;
}

// One class answers for every interface, so a command reaches it whichever kind it asks
// for. Its checks let the command go on, so the person sees which form is missing.
class PlaceholderForm final : public ISummaryPeriodChooser,
                              public IJLabor,
                              public IJGLabor,
                              public IPerput,
                              public IWageSummary {
public:
    PlaceholderForm(AppContext& ctx, QString formClass)
        : IJLabor(LabourRunOf({})),
          IJGLabor(WageQuarterOf({})),
          IWageSummary(SummaryMonthsOf({}), FormArgs{}.recompute),
          ctx_(ctx),
          class_(std::move(formClass)) {}
    void ShowModal() override { Tell(); }
    void ShowModeless(std::unique_ptr<IForm>) override { Tell(); }
    bool LoadMonths() override { return true; }
    bool CheckMonthErrors() override { return true; }
    void SetSummaryMode(bool) override {}
    Month MonthNo() const override { return Month::Start(); }
    PerputOpener Opener() const override { return PerputOpener::MainWindow; }

private:
    void Tell() {
        if (ctx_.main) ctx_.main->ShowStatus(FormNotAvailableText(class_));
    }
    AppContext& ctx_;
    QString class_;
};

}  // namespace

const QStringList& PlaceholderFormNames() {
    static const QStringList names = [] {
        QStringList n;
        for (const auto& [k, v] : Titles()) n << k;
        return n;
    }();
    return names;
}

QString FormNotAvailableText(const QString& formClass) {
    auto it = Titles().find(formClass);
    const QString title = it == Titles().end() ? formClass : it->second;
    return QStringLiteral("“") + title + QStringLiteral("”功能尚未提供。");
}

bool IsPlaceholder(const IForm& form) { return dynamic_cast<const PlaceholderForm*>(&form) != nullptr; }

void RegisterPlaceholders(FormFactory& forms) {
    for (const QString& name : PlaceholderFormNames()) {
        if (forms.IsRegistered(name)) continue;
        forms.Register(name, [name](AppContext& ctx) -> std::unique_ptr<IForm> {
            return std::make_unique<PlaceholderForm>(ctx, name);
        });
    }
}

}  // namespace qm
