#pragma once
// The two talent tables: TFrm_hzinfo (X505, the year-end talent resources summary of the
// month-12 list) and TFrm_hz (Ⅰ303-1, the start-of-period talent survey of the month-0 list).
// Both compute when they are shown.

#include "core/base/FormFactory.h"
#include "core/report/TalentSummary.h"
#include "reports/SummaryFormBase.h"

namespace qm {

class TalentForm : public SummaryFormBase, public IForm {
    Q_OBJECT
public:
    TalentForm(AppContext& ctx, report::GidSummary id);

    void ShowModal() override;
    void ShowModeless(std::unique_ptr<IForm> self) override;

    void FormShow();
    void CountTable();
    void BitBtn1Click();  // 导成Excel
    void BitBtn2Click();  // 打印
    void BitBtn3Click();  // 生成上报文件

    bool Refused() const { return refused_; }

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    report::GidSummary id_;
    report::SummaryUnit unit_;
    bool refused_ = false;
};

class TFrm_hzinfo final : public TalentForm {
    Q_OBJECT
public:
    explicit TFrm_hzinfo(AppContext& ctx) : TalentForm(ctx, report::GidSummary::X505) {}
};

class TFrm_hz final : public TalentForm {
    Q_OBJECT
public:
    explicit TFrm_hz(AppContext& ctx) : TalentForm(ctx, report::GidSummary::I303_1) {}
};

}  // namespace qm
