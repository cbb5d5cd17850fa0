#pragma once
// The skeleton of the four report windows (202-1, 102-1, I202-2, I102-2): a sheet over the
// report, the buttons 导出Excel, 打印, 生成上报 and 关闭, and the way a window opens: it
// computes its report as it is shown and opens as large as the whole report needs. The
// window widget is the form's own (a free window or a dialog); each family lays it out.

#include "core/app/FormFactory.h"
#include "core/sheet/SheetBook.h"

#include <memory>

class QPushButton;
class QWidget;

namespace qm {

struct AppContext;
class SheetView;

class ReportWindow {
public:
    virtual ~ReportWindow();

    virtual void FormShow() = 0;      // labels, then the computation
    virtual void BitBtn2Click() = 0;  // 导出Excel
    virtual void BitBtn3Click() = 0;  // 打印
    virtual void BitBtn4Click() = 0;  // 生成上报: the upload file, then the form closes
    void BitBtn1Click();              // 关闭

    TSheetBook& Book() { return book_; }
    SheetView* View() const { return view_; }

    QPushButton *BitBtn1 = nullptr, *BitBtn2 = nullptr, *BitBtn3 = nullptr, *BitBtn4 = nullptr;

protected:
    // How a window shown without waiting opens: shown first, its report computed in sight,
    // or computed first and shown with its figures.
    enum class Opening { ShownThenComputed, ComputedThenShown };
    ReportWindow(AppContext& ctx, QWidget* window, Opening opening);

    // Makes the sheet and the buttons after the form's own head, so that the tab order runs
    // head, sheet, buttons; the family lays them out.
    void MakeSheetAndButtons();
    // A dialog computes, then runs to its close; a free window shows, computes and returns.
    void RunModal();
    // Shown without waiting: the window frees itself when it closes.
    void RunOwned(std::unique_ptr<IForm> self);
    // Opens the window as large as its whole report needs (see WindowFit.h).
    void FitToSheet();

    AppContext& ctx_;
    TSheetBook book_;
    SheetView* view_ = nullptr;
    QWidget* const window_;

private:
    void ComputeAndFit();

    Opening opening_;
};

}  // namespace qm
