#pragma once
// The face the four Gid-matrix summaries share: title and unit labels above the sheet, the
// sheet with its pop-up "复制", and the buttons 导成Excel, 打印, 生成上报文件 and 关闭. Each
// fills its sheet as it is shown.

#include "core/app/FormFactory.h"
#include "core/report/WageSummary.h"
#include "core/sheet/SheetBook.h"

#include <QDialog>

class QLabel;
class QPushButton;

namespace qm {

struct AppContext;
class SheetView;

class SummaryFormBase : public QDialog, public virtual IForm {
    Q_OBJECT
public:
    SummaryFormBase(AppContext& ctx, report::GidSummary id, const QString& caption, const QString& title,
                    const QString& templateName, const QString& printText, bool periodLine, QWidget* parent);

    void ShowModal() override;
    void ShowModeless(std::unique_ptr<IForm> self) override;

    virtual void FormShow() = 0;
    virtual void BitBtn1Click() = 0;  // 导成Excel
    virtual void BitBtn2Click() = 0;  // 打印
    virtual void BitBtn3Click() = 0;  // 生成上报文件
    bool Refused() const { return refused_; }

    QLabel* Label1 = nullptr;  // title
    QLabel* Label2 = nullptr;  // "单位名称："
    QLabel* Label3 = nullptr;  // "单位法人代码："
    QLabel* Label4 = nullptr;  // the period line (wage summaries only)
    SheetView* SheetBook1 = nullptr;
    QPushButton* BitBtn1 = nullptr;  // 导成Excel
    QPushButton* BitBtn2 = nullptr;  // 打印
    QPushButton* BitBtn3 = nullptr;  // 生成上报文件
    QPushButton* BitBtn4 = nullptr;  // 关闭
    TSheetBook& Book() { return book_; }

    void N1Click();  // 复制

protected:
    // Appends the unit as the label texts of the resource end.
    void ShowUnit(const QString& depName, const QString& depNo);
    void EnableOutputs(bool on);
    // Nothing was computed: the template stays and nothing can leave the form, not even an
    // upload of another report's figures. Stops the handler.
    [[noreturn]] void Refuse();
    // Closing puts the main window's bar back to 0 where the summary asks for it.
    void closeEvent(QCloseEvent* e) override;
    bool resetBarOnClose_ = false;

    AppContext& ctx_;
    TSheetBook book_;
    QString label2_, label3_;
    report::GidSummary id_;
    report::SummaryUnit unit_;
    bool refused_ = false;
};

}  // namespace qm
