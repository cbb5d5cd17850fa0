#pragma once
// The wage summaries by staff category: TFrm_wagehz (I704, enterprises and institutions) and
// TFrm_wagejghz (I705, government organs). A range chooser opens them with the range and the
// choice between computing it afresh and showing its saved copy.

#include "core/app/FormInterfaces.h"
#include "core/report/WageSummary.h"
#include "reports/SummaryFormBase.h"

namespace qm {

class WageSummaryForm : public SummaryFormBase, public IWageSummary {
    Q_OBJECT
public:
    WageSummaryForm(AppContext& ctx, report::GidSummary id, QWidget* parent, const MonthRun& months, bool recompute);

    // Shown, it fills the sheet, then waits; a refusal leaves the form open on its template.
    void FormShow() override;
    void ComputeSummary();
    void ShowSavedSummary();
    void BitBtn1Click() override;
    void BitBtn2Click() override;
    void BitBtn3Click() override;

    bool ShowsSavedCopy() const { return saved_; }

private:
    report::MonthRange Range() const;
    QString Stem() const;

    bool saved_ = false;
};

class TFrm_wagehz final : public WageSummaryForm {
    Q_OBJECT
public:
    TFrm_wagehz(AppContext& ctx, QWidget* parent, const MonthRun& months, bool recompute)
        : WageSummaryForm(ctx, report::GidSummary::I704, parent, months, recompute) {}
};

class TFrm_wagejghz final : public WageSummaryForm {
    Q_OBJECT
public:
    TFrm_wagejghz(AppContext& ctx, QWidget* parent, const MonthRun& months, bool recompute)
        : WageSummaryForm(ctx, report::GidSummary::I705, parent, months, recompute) {}
};

}  // namespace qm
