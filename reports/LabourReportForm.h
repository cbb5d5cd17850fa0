#pragma once
// The labour report forms: TFrm_JLabor (I202-2, quarterly or over a chosen run of months,
// modal) and TFrm_NLabor (I102-2, annual, beside the main window). Both compute as they are
// shown; their buttons export the workbook, print it, write the upload file or close.

#include "core/app/FormFactory.h"
#include "core/app/FormInterfaces.h"
#include "core/base/AppContext.h"
#include "core/report/AnnualLabourReport.h"
#include "core/report/QuarterLabourReport.h"
#include "reports/ReportWindow.h"

#include <QDialog>

#include <array>

class QLabel;
class QPushButton;

namespace qm {

// What the two forms add to the report skeleton: the head labels over the sheet and the
// buttons at the right under it.
class LabourReportForm : public QDialog, public ReportWindow {
    Q_OBJECT
public:
    QLabel* Label(int n) const { return labels_[n]; }
    QPushButton* BitBtn(int n) const {
        return std::array<QPushButton*, 5>{nullptr, BitBtn1, BitBtn2, BitBtn3, BitBtn4}[n];
    }

protected:
    LabourReportForm(AppContext& ctx, QWidget* parent, const QString& caption, const QString& formNumber,
                     const QString& validity);
    // The unit lines of the head.
    void ShowUnit();
    // However the form closes (关闭, an upload, Esc, the close box) the bar goes back to 0.
    void done(int r) override;

    QLabel* labels_[8] = {};  // Label1..Label7 by number
};

class TFrm_JLabor final : public LabourReportForm, public IJLabor {
    Q_OBJECT
public:
    // The form over `run`: a quarter's shows its label and may upload; a chosen run puts
    // "统计月间" over its year-to-date column and has no upload.
    TFrm_JLabor(AppContext& ctx, QWidget* parent, const MonthRun& run);
    void ShowModal() override { RunModal(); }
    void ShowModeless(std::unique_ptr<IForm> self) override { RunOwned(std::move(self)); }

    // Labels, then the computation over the run.
    void FormShow() override;
    void BitBtn2Click() override;
    void BitBtn3Click() override;
    void BitBtn4Click() override;

    const report::QuarterLabourReport& Report() const { return report_; }

private:
    report::QuarterLabourReport report_;
};

class TFrm_NLabor final : public LabourReportForm, public IForm {
    Q_OBJECT
public:
    explicit TFrm_NLabor(AppContext& ctx, QWidget* parent = nullptr);

    void ShowModal() override { RunModal(); }
    void ShowModeless(std::unique_ptr<IForm> self) override { RunOwned(std::move(self)); }

    void FormShow() override;
    void BitBtn2Click() override;
    void BitBtn3Click() override;
    void BitBtn4Click() override;

private:
    report::AnnualLabourReport report_;
};

}  // namespace qm
