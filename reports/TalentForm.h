#pragma once
// The two talent tables: TFrm_hzinfo (X505, the year-end talent resources summary of the
// month-12 list) and TFrm_hz (Ⅰ303-1, the start-of-period talent survey of the month-0 list).
// Both compute when they are shown.

#include "core/report/TalentSummary.h"
#include "reports/SummaryFormBase.h"

namespace qm {

class TalentForm : public SummaryFormBase {
    Q_OBJECT
public:
    TalentForm(AppContext& ctx, report::GidSummary id, QWidget* parent);

    void FormShow() override;
    void CountTable();
    void BitBtn1Click() override;
    void BitBtn2Click() override;
    void BitBtn3Click() override;
};

class TFrm_hzinfo final : public TalentForm {
    Q_OBJECT
public:
    explicit TFrm_hzinfo(AppContext& ctx, QWidget* parent = nullptr)
        : TalentForm(ctx, report::GidSummary::X505, parent) {}
};

class TFrm_hz final : public TalentForm {
    Q_OBJECT
public:
    explicit TFrm_hz(AppContext& ctx, QWidget* parent = nullptr)
        : TalentForm(ctx, report::GidSummary::I303_1, parent) {}
};

}  // namespace qm
