#pragma once
// TFrm_NGLabor: the window of form 102-1, the annual report of staff and total wages. It
// computes as it is shown; the year typed over "20       年" only names the workbook's year.

#include "core/base/FormFactory.h"
#include "core/report/AnnualWageReport.h"
#include "core/sheet/SheetBook.h"
#include "reports/FormProgress.h"

#include <QDialog>

#include <memory>
#include <optional>

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace qm {

struct AppContext;
class SheetView;

class TFrm_NGLabor : public QDialog, public IForm {
    Q_OBJECT
public:
    explicit TFrm_NGLabor(AppContext& ctx);
    ~TFrm_NGLabor() override;
    void ShowModal() override;
    void ShowModeless(std::unique_ptr<IForm> self) override;

    void FormShow();      // labels, then the computation
    void BitBtn2Click();  // 导出Excel
    void BitBtn3Click();  // 打印
    void BitBtn4Click();  // 生成上报: the upload file, then the form closes
    void BitBtn1Click();  // 关闭

    TSheetBook& Sheet() { return book_; }
    const report::AnnualWageReport* Report() const { return report_ ? &*report_ : nullptr; }

    QLabel *Label1 = nullptr, *Label3 = nullptr, *Label4 = nullptr, *Label5 = nullptr, *Label6 = nullptr,
           *Label7 = nullptr, *Label8 = nullptr, *Label9 = nullptr;
    QLineEdit* Year = nullptr;
    QPushButton *BitBtn1 = nullptr, *BitBtn2 = nullptr, *BitBtn3 = nullptr, *BitBtn4 = nullptr;
    QProgressBar* Pb = nullptr;

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    AppContext& ctx_;
    TSheetBook book_;
    SheetView* view_ = nullptr;
    std::unique_ptr<FormProgress> pb_;
    std::optional<report::AnnualWageReport> report_;
};

}  // namespace qm
