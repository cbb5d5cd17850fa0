#pragma once
// TFrm_changeDep, the unit switch dialog: an empty shell with a grid of four titles, a
// "确定" without action and a close button.

#include "core/app/FormFactory.h"
#include "core/base/AppContext.h"
#include "grid/DBGridX.h"

#include <QDialog>

class QPushButton;

namespace qm {

class TFrm_changeDep : public QDialog, public IForm {
    Q_OBJECT
public:
    explicit TFrm_changeDep(AppContext& ctx, QWidget* parent = nullptr);
    void ShowModal() override { exec(); }
    void ShowModeless(std::unique_ptr<IForm> self) override;
    void BitBtn2Click() { reject(); }

    grid::TDBGridX* DBGridX1 = nullptr;
    QPushButton *BitBtn1 = nullptr, *BitBtn2 = nullptr;
};

}  // namespace qm
