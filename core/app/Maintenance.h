#pragma once
// The maintenance commands of the main window's "系统管理" menu (and the hidden period-end
// headcount): clearing data, reinitialisation, backup and restore. The main window's
// handlers of the same names delegate here, so the logic is driven by tests without widgets.

#include <QString>

namespace qm {

struct AppContext;

class Maintenance {
public:
    explicit Maintenance(AppContext& ctx) : ctx_(ctx) {}

    void N32Click();  // 数据库检查: creates the ERROR folder
    // As the program starts: what killed runs left in its folders goes (FolderTemporary's
    // sweep), a restore's copy beside the live database among it, and a group of upload files
    // left half in place gets its earlier files back.
    void SweepLeftovers();
    void N9Click();   // 期末从业人员总数设置
    void N21Click();  // 清空月度工资
    void N33Click();  // 清空月度从业人员
    void N31Click();  // 清空从业人员
    bool N34Click();  // 清空期初从业人员; answers whether it deleted
    // 初始化系统, 数据备份, 数据还原. Reinitialisation and restore answer true when the
    // program must now end (the live file was replaced).
    bool N43Click();
    void N37Click();
    bool N41Click();

    // The folder the file manager opens after a backup: the folder of the file chosen.
    static QString FolderOf(const QString& file);

private:
    bool UnitGate();  // message only
    void OpenForm(const QString& formClass);
    // Copies `source` over the live file with the connection closed; on a refusal or a failed
    // copy it says why, leaves the live file as it was and reconnects.
    bool ReplaceLiveDatabase(const QString& source);

    AppContext& ctx_;
};

}  // namespace qm
