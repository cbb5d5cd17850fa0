#pragma once
// What the quarterly and the annual wage report windows share: the title, the sheet, the
// buttons 导出Excel, 打印, 生成上报 and 关闭 under it, and the window's own progress bar. The
// window widget is the form's own (a free window or a dialog).

#include "core/app/FormFactory.h"
#include "core/sheet/SheetBook.h"
#include "platform/BarProgress.h"

#include <memory>

class QGridLayout;
class QLabel;
class QProgressBar;
class QPushButton;
class QWidget;

namespace qm {

struct AppContext;
class SheetView;

class WageReportWindow {
public:
    virtual ~WageReportWindow();

    virtual void FormShow() = 0;      // labels, then the computation
    virtual void BitBtn2Click() = 0;  // 导出Excel
    virtual void BitBtn3Click() = 0;  // 打印
    virtual void BitBtn4Click() = 0;  // 生成上报: the upload file, then the form closes
    void BitBtn1Click();              // 关闭

    TSheetBook& Sheet() { return book_; }

    QLabel* Label1 = nullptr;
    QPushButton *BitBtn1 = nullptr, *BitBtn2 = nullptr, *BitBtn3 = nullptr, *BitBtn4 = nullptr;
    QProgressBar* Pb = nullptr;

protected:
    WageReportWindow(AppContext& ctx, QWidget* window) : ctx_(ctx), window_(window) {}
    // Makes the shared widgets after the form's own (so the tab order runs head, sheet,
    // buttons) and lays the window out: title, `underTitle` if any, `head`, sheet, buttons, bar.
    void Build(QLabel* underTitle, QGridLayout* head);
    // Shown without waiting: the window frees itself when it closes.
    void ShowOwned(std::unique_ptr<IForm> self);
    // Opens the window as large as its whole report needs (see WindowFit.h).
    void FitToSheet();

    AppContext& ctx_;
    TSheetBook book_;
    SheetView* view_ = nullptr;
    std::unique_ptr<BarProgress> pb_;

private:
    QWidget* window_;
};

}  // namespace qm
