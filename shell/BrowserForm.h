#pragma once
// TFrm_Brower, the staff browser: the staff rows of one month in a read-only grid, a month
// combo, a name search, and buttons to the batch and single-person entry forms. Its first
// activation, and each from another window of the program, reloads the unit labels, the
// month list and the first month's rows.

#include "core/app/FormFactory.h"
#include "core/base/AppContext.h"
#include "grid/DBGridX.h"

#include <QPointer>
#include <QWidget>

#include <memory>

class QComboBox;
class QGroupBox;
class QLabel;
class QToolButton;

namespace qm {

class TFrm_Brower : public QWidget, public IForm {
    Q_OBJECT
public:
    explicit TFrm_Brower(AppContext& ctx, QWidget* parent = nullptr);
    ~TFrm_Brower() override;

    void ShowModal() override;
    void ShowModeless(std::unique_ptr<IForm> self) override;

    // Handlers.
    void FormActivate();
    void CheckMonth();
    void CheckMonthChage(const QString& monthCaption);
    void MonCbChange();
    void Cb1KeyDown(int key);
    void showGrid() {}  // the unit form calls it; there is nothing to redo
    void ToolButton1Click();
    void ToolButton3Click();
    void ToolButton4Click();

    // Whether an activation after the first showing reloads: only one coming from another
    // window of the program that is not the browser's own box or dialog.
    static bool ShouldReloadOnActivation(const QWidget* form, const QWidget* previous);

    grid::TDataSet* DataSet() const { return ds_.get(); }
    QString StatusText() const;

    QComboBox *Cb1 = nullptr, *MonCb = nullptr;
    QLabel *Label1 = nullptr, *Label2 = nullptr, *Label3 = nullptr, *Label4 = nullptr, *Label5 = nullptr,
           *Label7 = nullptr;
    QGroupBox *GroupBox1 = nullptr, *GroupBox2 = nullptr;
    QToolButton *ToolButton1 = nullptr, *ToolButton3 = nullptr, *ToolButton4 = nullptr, *SpeedButton1 = nullptr;
    grid::TDBGridX* DBG1 = nullptr;

signals:
    void closed();

protected:
    bool event(QEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* o, QEvent* e) override;

private:
    void BuildUi();
    void Show(std::unique_ptr<grid::TQueryDataSet> ds);
    void ShowNothing();
    bool UnitGate();
    void Run(const std::function<void()>& handler);

    AppContext& ctx_;
    grid::TDataSource src_;
    std::unique_ptr<grid::TQueryDataSet> ds_;
    QLabel* sb_ = nullptr;
    QPointer<QWidget> lastOther_;  // the last other window of the program that had the focus
    bool shown_ = false;
};

}  // namespace qm
