#pragma once
// TFrm_dep, "单位信息": the reporting unit's name, nine-character code, type, class and
// founding month. The rules and the save live in UnitInfo.

#include "core/app/FormFactory.h"
#include "core/unit/UnitInfo.h"

#include <QDialog>

class QButtonGroup;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace qm {

struct AppContext;
class MainCommands;

class TFrm_dep : public QDialog, public IForm {
    Q_OBJECT
public:
    TFrm_dep(AppContext& ctx, MainCommands& main, QWidget* parent = nullptr);

    void ShowModal() override;
    void ShowModeless(std::unique_ptr<IForm> self) override;

    // Loads the current unit into the controls.
    void FormShow();
    // "确 定": saves; closes the form when saved.
    void DClick();

    // The choices as the controls hold them.
    UnitChoice Choice() const;

    // Radio groups set as a click would set them (their handlers run).
    void SetRG(int i);
    void SetRG2(int i);
    void SetRg3(int i);
    int RG() const;
    int RG2() const;
    int Rg3() const;

    QLineEdit* Edit1 = nullptr;
    QLineEdit* Code[9] = {};  // Edit2..Edit10
    QComboBox* Cb1 = nullptr;
    QComboBox* DateCb = nullptr;
    QPushButton* D = nullptr;
    QPushButton* BitBtn2 = nullptr;

protected:
    void keyPressEvent(QKeyEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void RGClick();
    void RG2Click();
    void Rg3Click();
    void CodeChange(QLineEdit* box);

    AppContext& ctx_;
    MainCommands& main_;
    QButtonGroup* rg_ = nullptr;
    QButtonGroup* rg2_ = nullptr;
    QButtonGroup* rg3_ = nullptr;
};

// Registers TFrm_dep with the main window's factory.
void RegisterUnitForm(FormFactory& forms, MainCommands& main);

}  // namespace qm
