#pragma once
// TFrm_wrontWage: the wage error list of the month it is made for, a modal dialog opened from the
// wage sheet. When it closes or runs out of rows it reloads the wage sheet through the
// callback its opener gave.

#include "core/app/FormFactory.h"
#include "core/sheet/SheetBook.h"
#include "core/wage/WageErrorList.h"

#include <QDialog>

#include <functional>

class QLabel;
class QPushButton;
class QStatusBar;

namespace qm {

class SheetView;

class TFrm_wrontWage : public QDialog, public IForm {
    Q_OBJECT
public:
    TFrm_wrontWage(AppContext& ctx, Month month, QWidget* parent = nullptr);

    // What reloads the opener (the wage sheet's FormShow).
    void SetReloadOpener(std::function<void()> reload) { reloadOpener_ = std::move(reload); }

    void ShowModal() override;
    void ShowModeless(std::unique_ptr<IForm> self) override;

    // Loads the list; with no row left reloads the opener and closes. Answers the row count.
    int FormShow();
    void B1Click();       // 检查/合计/保存
    void Button1Click();  // 工资审核性错误 [确认]
    void N1Click();       // 删除 (the last clicked row)
    void BitBtn1Click();  // 导出名单
    void BitBtn2Click();  // 取消

    TSheetBook& Book() { return book_; }
    SheetView* View() const { return view_; }
    // Whether this list has changed stored rows of the month since it opened.
    bool Stored() const { return list_.Stored(); }
    int WageErrorRow = 0;  // the row last clicked with either button

protected:
    void done(int r) override;

private:
    void CloseAndReloadOpener();
    void ReloadOpenerOnce();

    AppContext& ctx_;
    TSheetBook book_;
    WageErrorList list_;
    SheetView* view_ = nullptr;
    QLabel* label1_ = nullptr;
    QStatusBar* sb_ = nullptr;
    QLabel* sbCount_ = nullptr;
    std::function<void()> reloadOpener_;
    bool closing_ = false;
};

}  // namespace qm
