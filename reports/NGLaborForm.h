#pragma once
// TFrm_NGLabor: the window of form 102-1, the annual report of staff and total wages. It
// computes as it is shown; the year typed over "20       年" only names the workbook's year.

#include "core/report/AnnualWageReport.h"
#include "reports/WageReportWindow.h"

#include <QDialog>

#include <memory>
#include <optional>

class QLabel;
class QLineEdit;

namespace qm {

struct AppContext;

class TFrm_NGLabor : public QDialog, public WageReportWindow, public IForm {
    Q_OBJECT
public:
    explicit TFrm_NGLabor(AppContext& ctx, QWidget* parent = nullptr);
    ~TFrm_NGLabor() override;
    void ShowModal() override { RunModal(); }
    void ShowModeless(std::unique_ptr<IForm> self) override { RunOwned(std::move(self)); }

    void FormShow() override;
    void BitBtn2Click() override;
    void BitBtn3Click() override;
    void BitBtn4Click() override;

    const report::AnnualWageReport* Report() const { return report_ ? &*report_ : nullptr; }

    QLabel *Label3 = nullptr, *Label4 = nullptr, *Label5 = nullptr, *Label6 = nullptr, *Label7 = nullptr,
           *Label8 = nullptr, *Label9 = nullptr;
    QLineEdit* Year = nullptr;

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    std::optional<report::AnnualWageReport> report_;
};

}  // namespace qm
