#pragma once
// The face the four Gid-matrix summaries share: title and unit labels above the sheet, the
// sheet with its pop-up "复制", and the buttons 导成Excel, 打印, 生成上报文件 and 关闭.

#include "core/sheet/SheetBook.h"

#include <QDialog>

class QLabel;
class QPushButton;

namespace qm {

struct AppContext;
class SheetView;

class SummaryFormBase : public QDialog {
    Q_OBJECT
public:
    SummaryFormBase(AppContext& ctx, const QString& caption, const QString& title, const QString& templateName,
                    const QString& printText, bool periodLine);

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

    AppContext& ctx_;
    TSheetBook book_;
    QString label2_, label3_;
};

}  // namespace qm
