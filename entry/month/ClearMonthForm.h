#pragma once
// The two dialogs that clear monthly data: TFrm_clearChMon (monthly staff lists with their
// wages) and TFrm_clearChWage (wages only). Each offers all months or the last month entered.

#include "core/app/FormFactory.h"

#include <QDialog>

class QComboBox;
class QPushButton;
class QRadioButton;

namespace qm {

struct AppContext;

// The month a person typed or picked, refused unless it is a whole number 1..12.
extern const QString kBadMonthText;

class TFrm_clearChMon : public QDialog, public IForm {
    Q_OBJECT
public:
    explicit TFrm_clearChMon(AppContext& ctx, QWidget* parent = nullptr);
    void ShowModal() override;
    void ShowModeless(std::unique_ptr<IForm> self) override;

    void FormShow();      // fills CB1 with the last month that has a staff list
    void BitBtn1Click();  // confirm and clear
    void BitBtn2Click();  // close

    QRadioButton* R1 = nullptr;
    QRadioButton* R2 = nullptr;
    QComboBox* CB1 = nullptr;
    QPushButton* BitBtn1 = nullptr;
    QPushButton* BitBtn2 = nullptr;
    AppContext& ctx() { return ctx_; }

private:
    AppContext& ctx_;
};

class TFrm_clearChWage : public QDialog, public IForm {
    Q_OBJECT
public:
    explicit TFrm_clearChWage(AppContext& ctx, QWidget* parent = nullptr);
    void ShowModal() override;
    void ShowModeless(std::unique_ptr<IForm> self) override;

    void FormShow();  // fills CB1 with the last month that has wages
    void BitBtn1Click();
    void BitBtn2Click();

    QRadioButton* R1 = nullptr;
    QRadioButton* R2 = nullptr;
    QComboBox* CB1 = nullptr;
    QPushButton* BitBtn1 = nullptr;
    QPushButton* BitBtn2 = nullptr;
    AppContext& ctx() { return ctx_; }

private:
    AppContext& ctx_;
};

}  // namespace qm
