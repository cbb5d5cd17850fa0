#pragma once
// The monthly staff list (TFrm_monput): the staff list of one month, built from the
// start-of-period list or the previous month, checked with the staff-row rules and stored
// in one transaction. A non-modal window; one of it exists at a time.

#include "core/app/FormFactory.h"
#include "core/base/AppContext.h"
#include "core/db/MonthPrint.h"
#include "core/sheet/SheetBook.h"

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
    // window is made over `parent` (the main window when none).
    static TFrm_monput* ShowList(AppContext& ctx, qm::Month month, QWidget* parent = nullptr);

    // Show: the list's month, captions, buttons outside the edit state, code lists.
    void FormShow(qm::Month month);
    // Activate: the month's stored rows loaded and checked. Forms this window opens call it
    // as they close; it always reloads.
    void FormActivate();
    // A user activation from another window: reloads like FormActivate unless the sheet
    // holds unsaved rows, the window that had the focus was one of this window's own
    // dialogs, or nothing was written since the last load. Answers whether it reloaded.
    bool OnUserActivation(QWindow* from);
    void LoadSheet(int mode, qm::Month month);

    void B1Click();       // 从期初导入
    void B2Click();       // 从上一月导入
    void B3Click();       // 保存
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
    bool Dirty() const { return dirty_; }
    int Month() const { return month_.Number(); }
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
    class Quiet;
    // The rows of `fromMonth` onto the sheet; none (before the start of the period): no rows.
    void Import(std::optional<qm::Month> fromMonth, bool fromStart);
    // A form this window opened changed the month's stored rows: show them, asking first when
    // the sheet holds rows that are not stored.
    void ReloadAfterStoredChange();
    void SetStatus(const QString& text);
    int LastDataRow() const;
    bool OwnWindow(QWindow* w) const;
    void Run(const std::function<void()>& handler);

    AppContext& ctx_;
    TSheetBook book_;
    SheetView* view_ = nullptr;
    std::unique_ptr<MonputCellEditors> editors_;
    QLabel* sb_ = nullptr;
    qm::Month month_;
    bool dirty_ = false;
    db::MonthLoad loaded_;  // what the sheet was filled from: the save replaces only that
    int quiet_ = 0;
    bool listsPending_ = true;
    int loads_ = 0;
    db::WriteStamp loadedStamp_;  // the database when the sheet was last loaded or saved
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
