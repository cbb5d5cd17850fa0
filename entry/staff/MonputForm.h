#pragma once
// The monthly staff list (TFrm_monput): the staff list of one month, built from the
// start-of-period list or the previous month, checked with the staff-row rules and stored
// in one transaction. A non-modal window; one of it exists at a time.

#include "core/app/FormFactory.h"
#include "core/base/AppContext.h"
#include "core/sheet/SheetBook.h"
#include "core/staff/MonputSheet.h"

#include <QPointer>
#include <QWidget>

#include <memory>

class QLabel;
class QMenu;
class QPushButton;
class QWindow;

namespace qm {

class SheetView;
class MonputCellEditors;

class TFrm_monput : public QWidget {
    Q_OBJECT
public:
    explicit TFrm_monput(AppContext& ctx, QWidget* parent = nullptr);
    ~TFrm_monput() override;

    // The window of the program, or null when none is open.
    static TFrm_monput* Instance();
    // Shows the list of `month`: the open window again, else a new one. Called while a
    // modal window runs (the wage sheet's 核实名册), the list becomes a child window of it so
    // that it stays usable; it returns to the main window when that modal window goes. A new
    // window is made over `parent` (the main window when none). An open window with unsaved
    // rows keeps them while they can still be saved; it shows another month only when the
    // person gives them up, and otherwise says why it shows its own.
    static TFrm_monput* ShowList(AppContext& ctx, qm::Month month, QWidget* parent = nullptr);
    // Before the program ends: the open list's unsaved rows are given up only when the person
    // says so (No, the default, keeps the program and shows the list). Answers whether it may end.
    static bool MayLeave(AppContext& ctx);

    // Show: the list's month, captions, buttons outside the edit state, code lists.
    void FormShow(qm::Month month);
    // Activate: the month's stored rows loaded and checked. Forms this window opens call it
    // as they close; it always reloads.
    void FormActivate();
    // A user activation from another window: reloads like FormActivate unless the sheet
    // holds unsaved rows, the window that had the focus was one of this window's own
    // dialogs, or nothing was written since the last load. Answers whether it reloaded.
    bool OnUserActivation(QWindow* from);

    void B1Click();       // 从期初导入
    void B2Click();       // 从上一月导入
    bool B3Click();       // 保存; answers whether the sheet is stored
    void B4Click();       // 批量核对删除
    void B5Click();       // 显示错误
    void B6Click();       // 个别核对
    void BitBtn1Click();  // 关闭: hides
    void BitBtn2Click();  // 编辑 / 取消编辑

    void FillLists();
    void SheetBook1DblClick(int row, int col);
    void N1Click();  // 插入
    void N2Click();  // 删除整条
    void N4Click();  // 复制
    void N5Click();  // 粘贴
    void N6Click();  // 剪切

    // Puts the window beside the running modal window, or back under the main window.
    void AttachToActiveModal();

    TSheetBook& Sheet() { return book_; }
    SheetView* View() const { return view_; }
    MonputCellEditors& Editors() const { return *editors_; }
    bool Dirty() const { return sheet_.Dirty(); }
    int Month() const { return sheet_.Month().Number(); }
    MonputSheet& List() { return sheet_; }
    QString StatusText() const;
    bool ListsPending() const { return listsPending_; }
    int LoadCount() const { return loads_; }

    QLabel* Label1 = nullptr;
    QPushButton* B1 = nullptr;
    QPushButton* B2 = nullptr;
    QPushButton* B3 = nullptr;
    QPushButton* B4 = nullptr;
    QPushButton* B5 = nullptr;
    QPushButton* B6 = nullptr;
    QPushButton* BitBtn1 = nullptr;
    QPushButton* BitBtn2 = nullptr;
    QMenu* PopupMenu1 = nullptr;

protected:
    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    // A form this window opened changed the month's stored rows: show them, asking first when
    // the sheet holds rows that are not stored.
    void ReloadAfterStoredChange();
    void SetStatus(const QString& text);
    bool OwnWindow(QWindow* w) const;
    void Run(const std::function<void()>& handler);

    AppContext& ctx_;
    TSheetBook book_;
    SheetView* view_ = nullptr;
    std::unique_ptr<MonputCellEditors> editors_;
    QLabel* sb_ = nullptr;
    MonputSheet sheet_;
    bool listsPending_ = true;
    int loads_ = 0;
    QPointer<QWindow> lastOther_;
    QPointer<QWidget> modalHost_;
};

// The factory's face of the window: ShowModeless shows the one window of the program, with
// the list of the month the opener gave.
class MonputOpener : public IForm {
public:
    MonputOpener(AppContext& ctx, qm::Month month, QWidget* parent) : ctx_(ctx), month_(month), parent_(parent) {}
    void ShowModal() override;
    void ShowModeless(std::unique_ptr<IForm> self) override;

private:
    AppContext& ctx_;
    qm::Month month_;
    QWidget* parent_;
};

}  // namespace qm
