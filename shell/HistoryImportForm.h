#pragma once
// TFrm_historyfrom, "历史数据导入向导": step 1 the predecessor's installation folder, step 2
// one of five import choices, then the import with the form's own progress bar.

#include "core/app/FormFactory.h"
#include "core/unit/HistoryImport.h"

#include <QDialog>

class QButtonGroup;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace qm {

struct AppContext;
class BarProgress;

class TFrm_historyfrom : public QDialog, public IForm {
    Q_OBJECT
public:
    explicit TFrm_historyfrom(AppContext& ctx, QWidget* parent = nullptr);
    ~TFrm_historyfrom() override;
    void ShowModal() override;
    void ShowModeless(std::unique_ptr<IForm> self) override;

    void SpeedButton1Click();  // 选择...
    void SpeedButton2Click();  // 开始导入
    void SpeedButton3Click();  // 取  消
    // Whether the folder holds Database/RCdatabase.mdb.
    static bool getDataFile(const QString& folder) { return FindPredecessorDatabase(folder).has_value(); }

    // For tests: how the predecessor is read.
    void SetSourceFactory(HistoryImport::SourceFactory f) { factory_ = std::move(f); }

    QGroupBox* GroupBox1 = nullptr;
    QLineEdit* Dir = nullptr;
    QPushButton* SpeedButton1 = nullptr;
    QLabel* Label1 = nullptr;
    QGroupBox* Rg = nullptr;
    QButtonGroup* RgItems = nullptr;  // ids 0..4, none checked at start
    QPushButton* SpeedButton2 = nullptr;
    QPushButton* SpeedButton3 = nullptr;
    QProgressBar* Pb = nullptr;

private:
    AppContext& ctx_;
    std::unique_ptr<BarProgress> pb_;
    HistoryImport::SourceFactory factory_;
};

}  // namespace qm
