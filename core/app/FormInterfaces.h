#pragma once
// Typed interfaces of the forms the main window opens through the form factory. A command
// creates the form, sets its fields or calls its checks, then shows it or frees it
// unshown. Each interface derives virtually from IForm, so one class (a placeholder, a
// test recorder) can implement several.

#include "core/app/FormFactory.h"
#include "core/base/Month.h"
#include "core/base/MonthRun.h"
#include "core/base/Quarter.h"

#include <QString>

#include <functional>

namespace qm {

// A chooser that loads the months with a staff list (TFrm_chooseMon, and the two below).
class IMonthLoader : public virtual IForm {
public:
    // Fills the month lists; with no month shows "没有输入月工资信息！" (stop box) and answers false.
    virtual bool LoadMonths() = 0;
};

// A month-range chooser that refuses while entered data carries errors (TFrm_chooseBA).
class IMonthRangeChooser : public virtual IMonthLoader {
public:
    // Three tests, each with its own Yes-only confirmation; answers true when none found rows.
    virtual bool CheckMonthErrors() = 0;
};

// TFrm_chooseAB: the range chooser with two modes; its opener makes exactly one of the
// buttons visible.
class ISummaryPeriodChooser : public virtual IMonthRangeChooser {
public:
    // true: summary mode (BitBtn1 "汇 总" shown, BitBtn3 hidden); false: period mode (the reverse).
    virtual void SetSummaryMode(bool summary) = 0;
};

// TFrm_JLabor: the quarterly labour report. The months it counts are given as it is made: a
// quarter's (FormArgs::quarter) or a run the period chooser chose (FormArgs::run), which has no
// quarter to upload; made with neither, the first quarter's. The form's caption, label, upload
// button and sheet head follow from them.
class IJLabor : public virtual IForm {
public:
    const MonthRun& Run() const { return run_; }

protected:
    explicit IJLabor(const MonthRun& run) : run_(run) {}

private:
    MonthRun run_;
};

// The run a labour form made with `args` counts.
inline MonthRun LabourRunOf(const FormArgs& args) {
    return args.run ? *args.run : MonthRun(args.quarter.value_or(Quarter(Quarter::kFirst)));
}

// TFrm_JGLabor: the quarterly report of staff and total wages, of the quarter it is made with
// (FormArgs::quarter; made with none, the first).
class IJGLabor : public virtual IForm {
public:
    qm::Quarter Quarter() const { return quarter_; }

protected:
    explicit IJGLabor(qm::Quarter quarter) : quarter_(quarter) {}

private:
    qm::Quarter quarter_;
};

// The quarter a quarterly wage report made with `args` reports.
inline Quarter WageQuarterOf(const FormArgs& args) { return args.quarter.value_or(Quarter(Quarter::kFirst)); }

// TFrm_perput: single-person entry.
class IPerput : public virtual IForm {
public:
    virtual Month MonthNo() const = 0;  // the start-of-period list (0) or a month's
    virtual PerputOpener Opener() const = 0;
    // The opener's refresh, called as the form closes when the list is a month's or when the
    // batch sheet opened it. Month and opener are given as the form is made.
    std::function<void()> RefreshOpener;
};

// TFrm_wagehz / TFrm_wagejghz: the wage summaries the range choosers open. The months they sum
// (FormArgs::run; made with none, month 1 alone) and the chooser's choice (FormArgs::recompute:
// true computes the range afresh, false shows its saved copy) are given as they are made.
class IWageSummary : public virtual IForm {
public:
    const MonthRun& Months() const { return months_; }
    bool Recompute() const { return recompute_; }

protected:
    IWageSummary(const MonthRun& months, bool recompute) : months_(months), recompute_(recompute) {}

private:
    MonthRun months_;
    bool recompute_;
};

// The months a wage summary made with `args` sums.
inline MonthRun SummaryMonthsOf(const FormArgs& args) { return args.run.value_or(MonthRun(Month(1), Month(1))); }

}  // namespace qm
