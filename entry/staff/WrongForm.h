#pragma once
// The staff error list (TFrm_wrong): the rows of one staff list stored with errors, shown
// with their failing cells marked, corrected in place and written back row by row by id.
// It works on the list of the month it is made for.
//
// Openers create it through the factory as IWrongForm:
//   auto f = ctx.forms->CreateAs<IWrongForm>("TFrm_wrong", {month});
//   f->SetMonflag("0");                         // "0" start-of-period sheet, "1" monthly list
//   f->SetOpenerRefresh([&] { FillSheet(3); }); // runs when the list closes, however it closes
//   f->ShowModal();

#include "core/app/FormFactory.h"
#include "core/base/AppContext.h"
#include "core/sheet/SheetBook.h"

#include <QDialog>

#include <functional>
#include <memory>

class QLabel;
class QMenu;
class QPushButton;

namespace qm {

class SheetView;
class MonputCellEditors;

class IWrongForm : public IForm {
public:
    // Who opened the list: "0" the start-of-period batch sheet, "1" the monthly staff list.
    virtual void SetMonflag(const QString& flag) = 0;
    // The opener's reload, called once when the list closes.
    virtual void SetOpenerRefresh(std::function<void()> refresh) = 0;
};

class TFrm_wrong : public QDialog {
    Q_OBJECT
public:
    TFrm_wrong(AppContext& ctx, Month month, QWidget* parent = nullptr);
    ~TFrm_wrong() override;

    QString Monflag = QStringLiteral("1");
    std::function<void()> OpenerRefresh;

    void FormShow();
    void FormActivate();  // layout, list objects and the check pass
    void LoadErrorList(int mode);
    void InitCmBox();
    void BitBtn1Click();  // 显示错误
    void BitBtn2Click();  // 生成代码/审核/保存
    void BitBtn5Click();  // 取消: refreshes the opener and closes
    void SheetBook1DblClick(int row, int col);
    void N1Click();  // 插入
    void N2Click();  // 整条删除 (the sheet only)
    void N4Click();  // 复制
    void N5Click();  // 粘贴
    void N6Click();  // 剪切

    // Shows it modally; answers at once when there was nothing to list.
    void Open();
    bool Closed() const { return closed_; }

    TSheetBook& Sheet() { return book_; }
    SheetView* View() const { return view_; }
    MonputCellEditors& Editors() const { return *editors_; }
    QString StatusText() const;

    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QPushButton* BitBtn1 = nullptr;
    QPushButton* BitBtn2 = nullptr;
    QPushButton* BitBtn5 = nullptr;
    QMenu* PopupMenu1 = nullptr;

protected:
    void done(int r) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void Finish();
    void Run(const std::function<void()>& handler);
    void RecheckRows(bool numberFirst);
    int LastDataRow() const;

    AppContext& ctx_;
    Month month_;
    TSheetBook book_;
    SheetView* view_ = nullptr;
    std::unique_ptr<MonputCellEditors> editors_;
    QLabel* sb_ = nullptr;
    bool listsPending_ = true;
    bool closed_ = false;
    bool refreshed_ = false;
};

// The factory's face of the error list.
class WrongForm : public IWrongForm {
public:
    // parent: the opener's window; by default the active modal window or the active window.
    WrongForm(AppContext& ctx, Month month, QWidget* parent = nullptr);
    ~WrongForm() override;
    void SetMonflag(const QString& flag) override;
    void SetOpenerRefresh(std::function<void()> refresh) override;
    void ShowModal() override;
    void ShowModeless(std::unique_ptr<IForm> self) override;
    TFrm_wrong& Form() { return *form_; }

private:
    std::unique_ptr<TFrm_wrong> form_;
};

}  // namespace qm
