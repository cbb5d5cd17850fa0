#pragma once
// TFrm_set: the period-end headcount typed by the person, stored as the one row of
// Initial_Info.

#include "core/app/FormFactory.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace qm {

struct AppContext;

class TFrm_set : public QDialog, public IForm {
    Q_OBJECT
public:
    explicit TFrm_set(AppContext& ctx, QWidget* parent = nullptr);
    void ShowModal() override;
    void ShowModeless(std::unique_ptr<IForm> self) override;

    void FormShow();                        // the unit's number and name
    void Edit1Change();                     // input check on every change
    bool CheckDigits(const QString& text);  // false (after its message) at a non-digit
    void BitBtn1Click();                    // 设定
    void BitBtn2Click();                    // 取消

    QLabel *Label1 = nullptr, *Label2 = nullptr, *Label3 = nullptr, *Label4 = nullptr, *Label5 = nullptr,
           *Label6 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QPushButton* BitBtn1 = nullptr;
    QPushButton* BitBtn2 = nullptr;

private:
    AppContext& ctx_;
};

}  // namespace qm
