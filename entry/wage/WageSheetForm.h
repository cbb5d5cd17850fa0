#pragma once
// TFrm_mon: the monthly wage sheet of the month it is made for, a modal dialog. It reads cells,
// hands them to WageSheet and paints what comes back.

#include "core/app/FormFactory.h"
#include "core/sheet/SheetBook.h"
#include "core/wage/WageSheet.h"

#include <QDialog>
#include <QPointer>

class QLabel;
class QPushButton;
class QStatusBar;

namespace qm {

class SheetView;

class TFrm_mon : public QDialog, public IForm {
    Q_OBJECT
public:
    TFrm_mon(AppContext& ctx, Month month, QWidget* parent = nullptr);
    ~TFrm_mon() override;

    void ShowModal() override;
    void ShowModeless(std::unique_ptr<IForm> self) override;

    // Loads the month (also what the wage error list calls when it closes).
    void FormShow();

    // The buttons, for the main window's tests and for scripted runs.
    void BitBtn2Click();  // 编辑 / 取消
    void B5Click();       // 导入本月名册
    void BitBtn3Click();  // 检查/合计/存储
    // 显示错误. The list stores its changes at once, and a save of the sheet replaces the whole
    // month: a sheet showing rows the list has since changed or deleted would store them again.
    // So the list opens only over a sheet that shows the stored month (over unsaved rows the
    // person saves them first or gives them up, db::kSaveBeforeListQuestion), and the sheet
    // shows the month again whenever the list stored a change.
    void B2Click();
    void BitBtn1Click();  // 核实名册

    TSheetBook& Book() { return book_; }
    SheetView* View() const { return view_; }
    bool EditMode() const;
    QString StatusText() const;
    // The monthly staff list opened by 核实名册, while it is open.
    QWidget* StaffListWindow() const { return monput_; }

    // Closing (关闭, the title bar, Esc): asks first when rows are not stored.
    void reject() override;

protected:
    void done(int r) override;

private:
    void SetEditMode(bool on);
    // Saves the sheet as 检查/合计/存储 does; answers whether the month was stored.
    bool SaveSheet();
    void SetCount(int n);
    void ShowPopup(int row, int col);
    void ReleaseStaffList();

    AppContext& ctx_;
    TSheetBook book_;
    WageSheet sheet_;
    SheetView* view_ = nullptr;
    QLabel* label1_ = nullptr;
    QPushButton *bitBtn2_ = nullptr, *bitBtn1_ = nullptr, *b5_ = nullptr, *b1_ = nullptr, *b2_ = nullptr,
                *b3_ = nullptr;
    QStatusBar* sb_ = nullptr;
    QLabel* sbCount_ = nullptr;
    QPointer<QWidget> monput_;
};

}  // namespace qm
