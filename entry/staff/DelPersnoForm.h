#pragma once
// The batch deletion of persons (TFrm_delPersno): names and staff numbers typed or pasted
// into the left sheet are looked up in the staff list of its month; the matches show in
// the right sheet and can be deleted one by one or all together. Wage rows stay.

#include "core/app/FormFactory.h"
#include "core/base/AppContext.h"
#include "core/sheet/SheetBook.h"

#include <QDialog>

#include <functional>
#include <memory>

class QAction;
class QLabel;
class QMenu;
class QPushButton;

namespace qm {

class SheetView;

class IDelPersnoForm : public IForm {
public:
    // The opener's reload (the monthly list), called once as the dialog closes when it deleted
    // stored rows.
    virtual void SetOpenerRefresh(std::function<void()> refresh) = 0;
    // The opener shows rows of the month that are not stored: the query says so.
    virtual void SetListUnsaved(bool unsaved) = 0;
};

class TFrm_delPersno : public QDialog {
    Q_OBJECT
public:
    TFrm_delPersno(AppContext& ctx, Month month, QWidget* parent = nullptr);
    ~TFrm_delPersno() override;

    std::function<void()> OpenerRefresh;
    bool ListUnsaved = false;

    void BitBtn1Click();  // 查询
    void BitBtn2Click();  // 关闭
    void ShowMatches();
    void N7Click();  // right sheet: 删除整条
    void N9Click();  // right sheet: 清空
    void N1Click();  // left sheet: 插入
    void N2Click();  // left sheet: 删除整条
    void N4Click();  // 复制
    void N5Click();  // 粘贴
    void N6Click();  // 剪切

    TSheetBook& Left() { return book1_; }
    TSheetBook& Right() { return book2_; }
    QString Status(int panel) const;
    bool ClearEnabled() const;

    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QPushButton* BitBtn1 = nullptr;
    QPushButton* BitBtn2 = nullptr;
    QMenu* PopupMenu1 = nullptr;
    QMenu* PopupMenu2 = nullptr;
    QAction* N9 = nullptr;

protected:
    void done(int r) override;

private:
    void Run(const std::function<void()>& handler);
    void ClearRight();

    AppContext& ctx_;
    TSheetBook book1_, book2_;
    SheetView* view1_ = nullptr;
    SheetView* view2_ = nullptr;
    QLabel* sb0_ = nullptr;
    QLabel* sb1_ = nullptr;
    Month month_;
    int deleted_ = 0;  // stored rows this dialog deleted
    bool refreshed_ = false;
};

class DelPersnoForm : public IDelPersnoForm {
public:
    DelPersnoForm(AppContext& ctx, Month month, QWidget* parent = nullptr);
    ~DelPersnoForm() override;
    void SetOpenerRefresh(std::function<void()> refresh) override;
    void SetListUnsaved(bool unsaved) override;
    void ShowModal() override;
    void ShowModeless(std::unique_ptr<IForm> self) override;
    TFrm_delPersno& Form() { return *form_; }

private:
    std::unique_ptr<TFrm_delPersno> form_;
};

}  // namespace qm
