#pragma once
// The wage payment list: the month chooser TFrm_chooseMon ("选择输出期限") and the list
// TFrm_permonWage it opens, both modal.

#include "core/app/FormFactory.h"
#include "core/app/FormInterfaces.h"
#include "core/base/AppContext.h"
#include "core/report/RangeChoice.h"
#include "core/sheet/SheetBook.h"

#include <QDate>
#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;

namespace qm {

class SheetView;

class TFrm_permonWage final : public QDialog {
    Q_OBJECT
public:
    TFrm_permonWage(AppContext& ctx, int from, int to, QWidget* parent = nullptr, QDate today = QDate::currentDate());

    // Builds the list of the chooser's months.
    void FormShow();
    void N1Click();            // 复制
    void SpeedButton2Click();  // 取  消

    TSheetBook& Book() { return book_; }
    SheetView* View() const { return view_; }
    QLabel* Label1() const { return label1_; }
    QLabel* Label2() const { return label2_; }

private:
    AppContext& ctx_;
    int from_, to_;
    QDate today_;
    TSheetBook book_;
    SheetView* view_ = nullptr;
    QLabel* label1_ = nullptr;
    QLabel* label2_ = nullptr;
};

class TFrm_chooseMon final : public QDialog, public IMonthLoader {
    Q_OBJECT
public:
    explicit TFrm_chooseMon(AppContext& ctx, QWidget* parent = nullptr);

    bool LoadMonths() override;
    void ShowModal() override;
    void ShowModeless(std::unique_ptr<IForm> self) override;

    // 输 出: a good range opens the list, then the chooser closes; a bad one keeps it open.
    void BitBtn1Click();
    void BitBtn2Click() { close(); }  // 关 闭

    QComboBox* FromMon() const { return fromMon_; }
    QComboBox* ToMon() const { return toMon_; }

private:
    AppContext& ctx_;
    report::RangeChoice choice_;
    QComboBox* fromMon_ = nullptr;
    QComboBox* toMon_ = nullptr;
};

}  // namespace qm
