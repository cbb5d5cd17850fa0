#pragma once
// TFrm_JGLabor: the window of form 202-1, the quarterly report of staff and total wages,
// and TFrm_ChooseJLabor, the quarter chooser that opens it. Several report windows may be
// open at once; each computes as it is shown and keeps its own figures.

#include "core/app/FormInterfaces.h"
#include "core/report/QuarterWageReport.h"
#include "reports/WageReportWindow.h"

#include <QDialog>
#include <QWidget>

#include <memory>
#include <optional>

class QLabel;
class QPushButton;

namespace qm {

struct AppContext;

class TFrm_JGLabor : public QWidget, public WageReportWindow, public IJGLabor {
    Q_OBJECT
public:
    TFrm_JGLabor(AppContext& ctx, QWidget* parent, qm::Quarter quarter);
    ~TFrm_JGLabor() override;
    void ShowModal() override { RunModal(); }
    void ShowModeless(std::unique_ptr<IForm> self) override { RunOwned(std::move(self)); }

    void FormShow() override;
    void BitBtn2Click() override;
    void BitBtn3Click() override;
    void BitBtn4Click() override;

    const report::QuarterWageReport* Report() const { return report_ ? &*report_ : nullptr; }

    QLabel *Label2 = nullptr, *Label3 = nullptr, *Label4 = nullptr, *Label5 = nullptr, *Label6 = nullptr,
           *Label7 = nullptr, *Label8 = nullptr, *Label9 = nullptr;

private:
    std::optional<report::QuarterWageReport> report_;
};

class TFrm_ChooseJLabor : public QDialog, public IForm {
    Q_OBJECT
public:
    explicit TFrm_ChooseJLabor(AppContext& ctx, QWidget* parent = nullptr);
    void ShowModal() override;
    void ShowModeless(std::unique_ptr<IForm> self) override;

    // The quarter buttons: the command's gates, then a new report window for the quarter.
    void OpenQuarter(Quarter quarter);
    void SpeedButton1Click() { OpenQuarter(qm::Quarter(1)); }
    void SpeedButton2Click() { OpenQuarter(qm::Quarter(2)); }
    void SpeedButton3Click() { OpenQuarter(qm::Quarter(3)); }

    QPushButton *SpeedButton1 = nullptr, *SpeedButton2 = nullptr, *SpeedButton3 = nullptr;

private:
    AppContext& ctx_;
};

}  // namespace qm
