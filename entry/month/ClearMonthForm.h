#pragma once
// The dialog that clears monthly data, in its two uses: TFrm_clearChMon (monthly staff lists
// with their wages) and TFrm_clearChWage (wages only). Each offers all months or the last
// month entered.

#include "core/app/FormFactory.h"

#include <QDialog>

#include <optional>

class QComboBox;
class QPushButton;
class QRadioButton;

namespace qm {

struct AppContext;
class DataClearing;

// The month a person typed or picked, refused unless it is a whole number 1..12.
extern const QString kBadMonthText;

// What one use of the dialog clears, and how it says so.
struct ClearMonthUse {
    QString caption, allText;                        // the window's title; R2's text
    bool allChosen;                                  // R2 is selected when the dialog opens
    bool refreshBeforeClosing;                       // the main window's month menus before or after the dialog closes
    std::optional<int> (*lastMonth)(DataClearing&);  // CB1's one month
    void (*clearAll)(DataClearing&);
    void (*clearMonth)(DataClearing&, int month);
    QString allDone, monthDone;  // the success texts; monthDone's %1 is the month
};
const ClearMonthUse& ClearChMon();   // TFrm_clearChMon: monthly staff lists and their wages
const ClearMonthUse& ClearChWage();  // TFrm_clearChWage: wages only; neither choice selected

class ClearMonthDialog : public QDialog, public IForm {
    Q_OBJECT
public:
    ClearMonthDialog(AppContext& ctx, const ClearMonthUse& use, QWidget* parent = nullptr);
    void ShowModal() override;
    void ShowModeless(std::unique_ptr<IForm> self) override;

    void FormShow();      // fills CB1 with the last month that has rows to clear
    void BitBtn1Click();  // confirm and clear
    void BitBtn2Click();  // close

    QRadioButton* R1 = nullptr;
    QRadioButton* R2 = nullptr;
    QComboBox* CB1 = nullptr;
    QPushButton* BitBtn1 = nullptr;
    QPushButton* BitBtn2 = nullptr;

private:
    // The month of R1, checked before anything is deleted.
    std::optional<int> ChosenMonth();
    void Build();

    AppContext& ctx_;
    const ClearMonthUse& use_;
};

}  // namespace qm
