#pragma once
// The two month-range choosers, both captioned "选择汇总月度区间": TFrm_chooseAB (the wage
// summary of enterprises and institutions in its summary mode, the period labour report in
// its period mode) and TFrm_chooseBA (the wage summary of government organs). Their decisions
// live in core/report/RangeChoice; the dialogs read the two fields and open the report.

#include "core/app/FormInterfaces.h"
#include "core/report/RangeChoice.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;

namespace qm {

struct AppContext;

// What both choosers share: the two month fields, the summary button and the close button.
class RangeChooserDialog : public QDialog {
    Q_OBJECT
public:
    RangeChooserDialog(AppContext& ctx, report::RangeChoice::Twin twin, QWidget* parent);

    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QComboBox* FromMon = nullptr;
    QComboBox* ToMon = nullptr;
    QPushButton* BitBtn1 = nullptr;  // "汇 总"
    QPushButton* BitBtn2 = nullptr;  // "关 闭"
    // The recompute flag the summary form was opened with: "1" compute, "0" the saved copy.
    QString Label3;

    void BitBtn2Click() { close(); }

protected:
    bool Load();
    bool CheckErrors() { return choice_.CheckMonthErrors(); }
    // 汇 总: the range, the question about its saved copy, then the summary form, modally;
    // the chooser closes when that form has closed.
    void RunSummary(const QString& formClass, int lines);
    std::optional<report::MonthRange> Range();

    AppContext& ctx_;
    report::RangeChoice choice_;
};

class TFrm_chooseAB final : public RangeChooserDialog, public ISummaryPeriodChooser {
    Q_OBJECT
public:
    explicit TFrm_chooseAB(AppContext& ctx, QWidget* parent = nullptr);

    QPushButton* BitBtn3 = nullptr;  // "确 定", period mode

    bool LoadMonths() override { return Load(); }
    bool CheckMonthErrors() override { return CheckErrors(); }
    void SetSummaryMode(bool summary) override;
    void ShowModal() override { exec(); }
    void ShowModeless(std::unique_ptr<IForm> self) override;

    void BitBtn1Click();  // 汇 总 -> TFrm_wagehz
    void BitBtn3Click();  // 确 定 -> TFrm_JLabor over the chosen months
};

class TFrm_chooseBA final : public RangeChooserDialog, public IMonthRangeChooser {
    Q_OBJECT
public:
    explicit TFrm_chooseBA(AppContext& ctx, QWidget* parent = nullptr);

    bool LoadMonths() override { return Load(); }
    bool CheckMonthErrors() override { return CheckErrors(); }
    void ShowModal() override { exec(); }
    void ShowModeless(std::unique_ptr<IForm> self) override;

    void BitBtn1Click();  // 汇 总 -> TFrm_wagejghz
};

}  // namespace qm
