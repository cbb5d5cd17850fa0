#pragma once
// Typed interfaces of the forms the main window opens through the form factory. A command
// creates the form, sets its fields or calls its checks, then shows it or frees it
// unshown. Each interface derives virtually from IForm, so one class (a placeholder, a
// test recorder) can implement several.

#include "core/app/FormFactory.h"
#include "core/base/Month.h"
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

// TFrm_JLabor: the quarterly labour report over a period of months.
class IJLabor : public virtual IForm {
public:
    int PeriodMonths = 0;  // 3, 6 or 9 (or the chosen range's length)
    Month StartMonth{1};
    Month EndMonth{1};
    // The quarter a quarter command chose: its label ("2012年1季度") in Label7, made visible,
    // width 150; it names the workbook and the upload file. A chosen run has none.
    virtual void SetQuarter(Quarter quarter) = 0;
    // Appended to the form's caption (" 统计第一季度，即从 1 月到 3月").
    virtual void AppendCaption(const QString& suffix) = 0;
    // The range chooser's period mode: 生成上报 (BitBtn4) disabled, since a chosen range is
    // no quarter to upload.
    virtual void DisableUpload() = 0;
    // A text the opener writes into the form's sheet before showing it (the period mode
    // writes "统计月间" into cell (1, 5)).
    virtual void SetSheetCellText(int row, int col, const QString& text) = 0;
};

// TFrm_JGLabor: the quarterly report of staff and total wages.
class IJGLabor : public virtual IForm {
public:
    qm::Quarter Quarter{qm::Quarter::kFirst};  // the quarter the window reports
};

// TFrm_perput: single-person entry.
class IPerput : public virtual IForm {
public:
    Month MonthNo;       // the start-of-period list (0) or a month's
    QString ReturnMode;  // "0" opened by the batch sheet, "1" by the main window or the staff browser
    // The opener's refresh, called as the form closes when the list is a month's or when the
    // batch sheet opened it (ReturnMode "0").
    std::function<void()> RefreshOpener;
};

// TFrm_wagehz / TFrm_wagejghz: the wage summaries the range choosers open.
class IWageSummary : public virtual IForm {
public:
    int MonthCount = 0;
    Month FromMonth{1};
    Month ToMonth{1};
    // The chooser's choice: true computes the range afresh, false shows its saved copy.
    bool Recompute = true;
};

}  // namespace qm
