#pragma once
// The main window's logic without its widgets: a temporary database, the scripted message
// service, and a form factory whose forms record how the commands use them.

#include "core/app/FormFactory.h"
#include "core/app/FormInterfaces.h"
#include "core/app/MainCommands.h"
#include "core/app/Placeholders.h"
#include "core/base/AppContext.h"
#include "core/base/Progress.h"
#include "core/base/ScriptedUiService.h"
#include "core/db/Errors.h"
#include "tests/support/TempBase.h"

#include <map>
#include <memory>
#include <vector>

namespace qm::test {

// What a recording form saw by the time it was shown or freed.
struct FormUse {
    QString form;
    QString how;    // "modal", "modeless" or "freed" (never shown)
    QString month;  // the month the form was made for, "0".."12"; empty when given none
    int quarter = 0;
    QString monthNo;
    std::optional<PerputOpener> opener;
    int periodMonths = 0;  // the labour form's run, as it was made
    QString startMonth, endMonth, periodLabel;
    int summaryMode = -1;  // -1 never set, 0 period, 1 summary
    int monthCount = 0;    // the wage summaries' range and recompute flag
    QString fromMonth, toMonth;
    bool recompute = false;
    QStringList calls;  // LoadMonths, CheckMonthErrors in order
};

class FormRecorder {
public:
    std::vector<FormUse> uses;
    // Answers of the choosers' checks, by form class (true when absent).
    std::map<QString, bool> loadMonths, checkErrors;

    QStringList Shown() const {
        QStringList out;
        for (const auto& u : uses)
            if (u.how != QLatin1String("freed")) out << u.form + QLatin1Char(':') + u.how;
        return out;
    }
    const FormUse* Find(const QString& form) const {
        for (const auto& u : uses)
            if (u.form == form) return &u;
        return nullptr;
    }
};

class RecordingForm final : public ISummaryPeriodChooser,
                            public IJLabor,
                            public IJGLabor,
                            public IPerput,
                            public IWageSummary {
public:
    RecordingForm(FormRecorder& rec, QString form, const FormArgs& args)
        : IJLabor(LabourRunOf(args)),
          IJGLabor(WageQuarterOf(args)),
          IWageSummary(SummaryMonthsOf(args), args.recompute),
          rec_(rec) {
        use_.form = std::move(form);
        if (args.month) use_.month = args.month->Text();
        if (args.quarter) use_.quarter = args.quarter->Number();
        monthNo_ = args.month.value_or(Month::Start());
        opener_ = args.opener;
    }
    Month MonthNo() const override { return monthNo_; }
    PerputOpener Opener() const override { return opener_; }
    ~RecordingForm() override {
        if (!done_) Record(QStringLiteral("freed"));
    }
    void ShowModal() override { Record(QStringLiteral("modal")); }
    void ShowModeless(std::unique_ptr<IForm> self) override {
        Record(QStringLiteral("modeless"));
        self.reset();  // closes at once
    }
    bool LoadMonths() override {
        use_.calls << QStringLiteral("LoadMonths");
        auto it = rec_.loadMonths.find(use_.form);
        return it == rec_.loadMonths.end() || it->second;
    }
    bool CheckMonthErrors() override {
        use_.calls << QStringLiteral("CheckMonthErrors");
        auto it = rec_.checkErrors.find(use_.form);
        return it == rec_.checkErrors.end() || it->second;
    }
    void SetSummaryMode(bool summary) override { use_.summaryMode = summary ? 1 : 0; }

private:
    void Record(const QString& how) {
        if (done_) return;
        done_ = true;
        use_.how = how;
        use_.monthNo = MonthNo().Text();
        use_.opener = Opener();
        use_.periodMonths = Run().MonthCount();
        use_.startMonth = Run().First().Text();
        use_.endMonth = Run().Last().Text();
        if (Run().Quarter()) use_.periodLabel = Run().Quarter()->Label();
        use_.monthCount = Months().MonthCount();
        use_.fromMonth = Months().First().Text();
        use_.toMonth = Months().Last().Text();
        use_.recompute = Recompute();
        rec_.uses.push_back(use_);
    }
    FormRecorder& rec_;
    FormUse use_;
    Month monthNo_;
    PerputOpener opener_ = PerputOpener::MonthList;
    bool done_ = false;
};

struct MainFixture {
    TempBase base;
    ScriptedUiService ui;
    MemoryProgress pb;
    MainState state;
    AppContext ctx{base.db(), ui, base.paths(), state, pb, nullptr, nullptr, nullptr};
    FormFactory forms{ctx};
    MainCommands cmd{ctx};
    FormRecorder rec;

    MainFixture() {
        ctx.main = &cmd;
        ctx.forms = &forms;
        QStringList names = PlaceholderFormNames();
        names << QStringLiteral("TFrm_dep");
        for (const QString& n : names)
            forms.Register(n, [this, n](AppContext&, const FormArgs& args) -> std::unique_ptr<IForm> {
                return std::make_unique<RecordingForm>(rec, n, args);
            });
    }

    // Runs a handler as the window does: a silent stop is swallowed.
    bool Run(const std::function<void()>& fn) { return Guarded(ui, fn); }

    void Unit(const QString& createMon = QStringLiteral("99"), const QString& depType = QStringLiteral("企业事业单位"),
              const QString& depInfo = QStringLiteral("否")) {
        base.db().Exec(
            QStringLiteral("insert into Dep_Info(DepName,DepNo,DepType,DepInfo,Flag,CreateMon) values(?,?,?,?,'1',?)"),
            {QStringLiteral("某单位"), QStringLiteral("12345678X"), depType, depInfo, createMon});
    }
    void Staff(int mon, const QString& number, const QString& isok = QStringLiteral("1")) {
        base.db().Exec(QStringLiteral("insert into Staff_moninfo(sMon,sName,sNumber,sIsok) values(?,?,?,?)"),
                       {mon, QStringLiteral("张三") + number, number, isok});
    }
    void Wage(int mon, const QString& number, const QString& sFlag = QStringLiteral("1"),
              const QString& wFlag = QStringLiteral("1")) {
        base.db().Exec(
            QStringLiteral("insert into Wage_Info(Smon,sNumber,sName,sTotal,sFlag,wFlag) values(?,?,?,3000,?,?)"),
            {mon, number, QStringLiteral("张三") + number, sFlag, wFlag});
    }
    // Clean staff and wages for months from..to (staff also for month 0).
    void CleanMonths(int from, int to) {
        Staff(0, QStringLiteral("001"));
        for (int m = from; m <= to; ++m) {
            Staff(m, QStringLiteral("001"));
            Wage(m, QStringLiteral("001"));
        }
    }
    QList<int> EnabledMonths() const {
        QList<int> out;
        for (int k = 1; k <= 12; ++k)
            if (cmd.menus.month[size_t(k)]) out << k;
        return out;
    }
};

}  // namespace qm::test
