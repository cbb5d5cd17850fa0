#pragma once
// TFrm_perput: single-person entry. Two tabs (个人输入, 个人查询) over a read-only browsing
// grid of one list of Staff_moninfo. The form reads its controls, calls PerputLogic, paints
// the fields that fail and shows the messages.

#include "core/app/FormFactory.h"
#include "core/app/FormInterfaces.h"
#include "core/base/AppContext.h"
#include "core/staff/PerputLogic.h"
#include "grid/DBGridX.h"

#include <QDialog>

#include <functional>
#include <map>
#include <memory>

class QAction;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTabWidget;

namespace qm {

class TFrm_perput : public QDialog, public IPerput {
    Q_OBJECT
public:
    // `month` is the list edited; the opener is refreshed (RefreshOpener, set before the form
    // shows) as the form closes when the list is a month's or the batch sheet opened it.
    explicit TFrm_perput(AppContext& ctx, QWidget* parent = nullptr, Month month = Month::Start(),
                         PerputOpener opener = PerputOpener::MainWindow);
    ~TFrm_perput() override;

    Month MonthNo() const override { return month_; }
    PerputOpener Opener() const override { return opener_; }

    void ShowModal() override;
    void ShowModeless(std::unique_ptr<IForm> self) override;

    // Handlers.
    void FormShow();
    void RefreshGrid();
    void FieldExit(PerputField f);  // the check of a field as it loses the focus
    void B1Click();                 // 增加
    void B3Click();                 // 修改
    void BitBtn3Click();            // 取消
    void BitBtn4Click();            // 关闭 (also BitBtn2)
    void N1Click();                 // pop-up 修改: load the selected row
    void N2Click();                 // pop-up 删除
    void N4Click();                 // pop-up 清空
    void BitBtn5Click();            // 查找
    void BitBtn6Click();            // 查看是否同名
    void BitBtn7Click();            // 查看是否同编号
    void BitBtn8Click();            // 查看错误信息
    void BitBtn9Click();            // 查看全部信息 (also BitBtn1)
    void TabSheet1Show();
    void TabSheet2Show();

    // What tests and the opener look at.
    PersonInput Input() const;
    void SetInput(const PersonInput& in);
    bool IsRed(PerputField f) const;
    bool InModifyMode() const;
    QString Panel(int i) const;
    grid::TDataSet* DataSet() const { return ds_.get(); }
    const PerputLogic* Logic() const { return logic_.get(); }

    // Controls, by their names on the form.
    QTabWidget* PageControl1 = nullptr;
    QLineEdit *Edit1 = nullptr, *Edit2 = nullptr, *Edit3 = nullptr, *Edit4 = nullptr;
    QLineEdit *NX1 = nullptr, *NX2 = nullptr;
    QComboBox *D1 = nullptr, *D2 = nullptr, *D3 = nullptr, *D4 = nullptr, *D5 = nullptr;
    QComboBox *CByear = nullptr, *CBm = nullptr, *Mz = nullptr, *Dy = nullptr;
    QComboBox *sf = nullptr, *qrz = nullptr, *gc = nullptr, *jzs = nullptr, *sg = nullptr, *yg = nullptr;
    QGroupBox* GB = nullptr;
    QPushButton *B1 = nullptr, *B3 = nullptr, *BitBtn1 = nullptr, *BitBtn2 = nullptr, *BitBtn3 = nullptr,
                *BitBtn4 = nullptr, *BitBtn5 = nullptr, *BitBtn6 = nullptr, *BitBtn7 = nullptr, *BitBtn8 = nullptr,
                *BitBtn9 = nullptr;
    grid::TDBGridX* DBG1 = nullptr;
    QMenu* PopupMenu1 = nullptr;
    QAction *N1 = nullptr, *N2 = nullptr, *N4 = nullptr;

protected:
    void showEvent(QShowEvent* e) override;
    void done(int r) override;
    bool eventFilter(QObject* o, QEvent* e) override;

private:
    void BuildUi();
    void Paint(PerputField f, bool red);
    void PaintCheck(const FieldCheck& c);
    void ShowList(const ListQuery& q);
    void ResetAfterSave(int yearIndex);
    void SelectFirst(QComboBox* c);
    long long SelectedId() const;
    void OnFocusChanged(QWidget* old, QWidget* now);
    QMetaObject::Connection focusWatch_;
    PerputField FieldOf(QWidget* w, bool* found) const;
    void Run(const std::function<void()>& handler);

    AppContext& ctx_;
    const Month month_;
    const PerputOpener opener_;
    std::unique_ptr<PerputLogic> logic_;
    grid::TDataSource src_;
    std::unique_ptr<grid::TQueryDataSet> ds_;
    std::map<PerputField, QWidget*> fields_;
    QLabel* panel0_ = nullptr;
    QLabel* panel1_ = nullptr;
    QLabel* Label9 = nullptr;  // the id of the row being modified
    long long modifyId_ = -1;
    bool shown_ = false;
    bool closing_ = false;
};

}  // namespace qm
