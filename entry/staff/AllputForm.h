#pragma once
// TFrm_allput: the start-of-period batch sheet (人员情况期初录入), and when made without a
// month the staff register (人员名册) whose one command is the upload of the register file.
// The work is done by AllputSheet; this form lays out, paints and forwards.

#include "core/app/FormFactory.h"
#include "core/sheet/SheetBook.h"
#include "core/staff/AllputSheet.h"

#include <QDialog>
#include <QPointer>
#include <array>
#include <memory>
#include <optional>

class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QWindow;

namespace qm {

struct AppContext;
class SheetView;

class TFrm_allput : public QDialog, public IForm {
    Q_OBJECT
public:
    // `month`: the start of the period for the batch sheet; none for the staff register. The
    // mode stays for the life of the window.
    TFrm_allput(AppContext& ctx, std::optional<Month> month, QWidget* parent = nullptr);
    ~TFrm_allput() override;

    void ShowModal() override;
    void ShowModeless(std::unique_ptr<IForm> self) override;

    // Show: titles, code lists, row heights (once per opening).
    void FormShow();
    // Activation: layout, load, mode, re-check and editor lists. Forms that change the stored
    // list under an open sheet call it (or FillSheet) as they close.
    void FormActivate();
    void ReloadAndRecheck() { FormActivate(); }
    void FillSheet();

    // Whether an activation coming from `previous` reloads the sheet: only from another
    // window of the program that this form did not open itself, and never over edits.
    static bool ShouldReloadOnActivation(const QWidget* form, const QWidget* previous, bool dirty);

    // Handlers.
    void SheetBook1DblClick(int nRow, int nCol);
    void NameExit();
    void DT2Change();
    void N1Click();  // 插入
    void N2Click();  // 整条删除
    void N4Click();  // 复制
    void N5Click();  // 粘贴
    void N6Click();  // 剪切
    void BitBtn1Click();
    void BitBtn4Click();
    void BitBtn5Click();
    void BitBtn7Click();
    void SpeedButton1Click();
    void SBtClick();

    bool RegisterMode() const { return registerMode_; }
    AllputSheet& Sheet() { return *sheet_; }
    TSheetBook& Book() { return book_; }
    SheetView* View() const { return SheetBook1; }

    // Controls, by their names.
    QLabel *Label1, *Label2, *Label3, *Label4;
    QFrame* GroupBox1;
    SheetView* SheetBook1;
    QLineEdit* Name;
    QComboBox *DT1, *DT2;
    QPushButton *BitBtn1, *BitBtn4, *BitBtn7, *SpeedButton1, *SBt, *BitBtn5;
    QFrame* Sb;
    QLabel *SbPanel0, *SbPanel1;
    QMenu* PopupMenu1;

    int EditCellRow = 0, EditCellCol = 0;
    std::array<int, 8> SheetObjectIds{};

    // Closing (关闭, the title bar, Esc): asks first when typed or pasted rows are not stored.
    void reject() override;

protected:
    bool event(QEvent* e) override;
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void Build();
    void Paint();         // labels, status and the error-list button from the sheet's state
    void LayOutStatus();  // panel 0 as wide as its text, panel 1 the rest of the form's width
    void HideEditors(int exceptObject = -1, bool keepName = false, bool keepDates = false);
    void Run(const std::function<void()>& handler);
    void CentreOnMain();

    AppContext& ctx_;
    TSheetBook book_;
    std::unique_ptr<AllputSheet> sheet_;
    std::unique_ptr<IForm> self_;
    bool shown_ = false;
    bool skipNextActivate_ = false;
    bool registerMode_ = false;
    bool nameOpen_ = false;
    QPointer<QWidget> lastOther_;  // the last window of the program active before this one
};

}  // namespace qm
