#include "core/app/Maintenance.h"

#include "core/app/FormFactory.h"
#include "core/base/AppContext.h"
#include "core/base/AppPaths.h"
#include "core/base/FolderTemporary.h"
#include "core/base/UiService.h"
#include "core/db/DatabaseCopy.h"
#include "core/db/Db.h"
#include "core/db/Errors.h"
#include "core/db/SchemaVersion.h"
#include "core/unit/DataClearing.h"
#include "core/unit/Headcount.h"

#include <QDir>
#include <QFileInfo>

namespace qm {

namespace {
const QString kDbFilter = QStringLiteral("数据库文件 (*.mdb);;所有文件 (*)");
}

bool Maintenance::UnitGate() {
    if (ctx_.main && ctx_.main->LoadUnitInfo()) return true;
    ctx_.ui.Info(QStringLiteral("请先填写单位基本信息！"));
    return false;
}

void Maintenance::OpenForm(const QString& formClass) {
    if (!ctx_.forms) return;
    if (auto f = ctx_.forms->Create(formClass)) f->ShowModal();
}

void Maintenance::N32Click() { AppPaths::Ensure(ctx_.paths.Error()); }

void Maintenance::SweepLeftovers() {
    const AppPaths& p = ctx_.paths;
    for (const QString& folder : {p.DatabaseDir(), p.Bak(), p.Error(), p.Xls(), p.Rcsb(), p.Gzsb()})
        FolderTemporary::RemoveStaleIn(folder);
}

void Maintenance::N9Click() {
    if (!UnitGate()) return;
    if (!ctx_.ui.AskYesNo(QStringLiteral("从[从业人员]中汇总？"), DlgKind::Information)) {
        OpenForm(QStringLiteral("TFrm_set"));
        return;
    }
    Headcount h(ctx_.db);
    const QString num = QString::number(h.CountStaffInfo());
    if (ctx_.ui.MessageDlg(QStringLiteral("共有:") + num + QStringLiteral("人！"), DlgKind::Information,
                           DlgButtons::YesOnly) == DlgAnswer::Yes) {
        h.Store(ctx_.state.DepNo, num);
        ctx_.ui.MessageDlg(QStringLiteral("期末从业人员数量生成成功！"), DlgKind::Information, DlgButtons::YesOnly);
    } else {
        ctx_.ui.MessageDlg(QStringLiteral("将影响报表生成！"), DlgKind::Information, DlgButtons::YesOnly);
    }
}

void Maintenance::N21Click() {
    if (!UnitGate()) return;
    if (!DataClearing(ctx_.db).LastWageMonth()) {
        ctx_.ui.MessageDlg(QStringLiteral("没有月度工资数据！"), DlgKind::Confirmation, DlgButtons::Ok);
        return;
    }
    OpenForm(QStringLiteral("TFrm_clearChWage"));
}

void Maintenance::N33Click() {
    if (!UnitGate()) return;
    if (!DataClearing(ctx_.db).LastStaffMonth()) {
        ctx_.ui.MessageDlg(QStringLiteral("没有月度从业人员数据！"), DlgKind::Confirmation, DlgButtons::Ok);
        return;
    }
    OpenForm(QStringLiteral("TFrm_clearChMon"));
}

void Maintenance::N31Click() {
    if (!UnitGate()) return;
    // The month items are recomputed whatever the answer, and also after a failed clearing.
    // A destructor must not throw (it may run while a clearing's failure unwinds): a failing
    // refresh is shown instead of ending the program.
    struct Refresh {
        IMainWindow* main;
        UiService& ui;
        ~Refresh() {
            try {
                if (main) main->RefreshMonthMenus();
            } catch (...) {
                ShowCurrentException(ui);
            }
        }
    } refresh{ctx_.main, ctx_.ui};
    if (!ctx_.ui.AskYesNoDefaultNo(QStringLiteral("请慎重处理，一旦清空，无法恢复！"), DlgKind::Information)) return;
    DataClearing(ctx_.db).ClearAllMonthlyStaff();
    ctx_.ui.Info(QStringLiteral("成功清空！"));
}

bool Maintenance::N34Click() {
    if (!UnitGate()) return false;
    if (!ctx_.ui.AskYesNoDefaultNo(QStringLiteral("Yes:清空，无法恢复；No:不清空。"), DlgKind::Information))
        return false;
    DataClearing(ctx_.db).ClearInitialList();
    ctx_.ui.Plain(QStringLiteral("   成功清空。   "));
    // Without a start-of-period list the wage and summary menus go dark.
    if (ctx_.main) ctx_.main->RefreshInitialDataMenus();
    ctx_.state.InitialCleared = 1;
    return true;
}

bool Maintenance::ReplaceLiveDatabase(const QString& source) {
    const QString live = ctx_.paths.Database();
    // Refusals come before the connection is closed, so a refused copy changes nothing.
    if (SameFile(source, live)) {
        ctx_.ui.Plain(RestoreFromLiveText());
        return false;
    }
    if (const auto newer = NewerDatabaseRefusal(source)) {
        ctx_.ui.Plain(*newer);
        return false;
    }
    switch (ClassifyDatabaseFile(source, ctx_.paths.EmptyDatabase())) {
    case DatabaseFileKind::System: break;
    case DatabaseFileKind::Jet: ctx_.ui.Plain(JetDatabaseText(source)); return false;
    case DatabaseFileKind::Missing:
        ctx_.ui.Plain(CopyFailedText(QStringLiteral("找不到文件：%1").arg(QDir::toNativeSeparators(source))));
        return false;
    default: ctx_.ui.Plain(NotSystemDatabaseText(source)); return false;
    }
    ctx_.db.Close();
    try {
        ReplaceDatabaseFile(source, live);
    } catch (const CopyError& e) {
        // The live file is as it was: reconnect and carry on.
        ctx_.ui.Plain(e.Text());
        ctx_.db.Open(live);
        return false;
    }
    return true;
}

bool Maintenance::N43Click() {
    if (!ctx_.ui.AskYesNoDefaultNo(
            QStringLiteral("系统数据将清空，必须重启系统才生效，请确认！\n确认按[Yes],不确认按[No]"),
            DlgKind::Information))
        return false;
    return ReplaceLiveDatabase(ctx_.paths.EmptyDatabase());
}

void Maintenance::N37Click() {
    if (!UnitGate()) return;
    const QString bak = AppPaths::Ensure(ctx_.paths.Bak());
    const auto file = ctx_.ui.SaveFile(QStringLiteral("数据备份"), bak,
                                       ctx_.state.DepNo.trimmed() + QStringLiteral(".mdb"), kDbFilter);
    if (!file || file->isEmpty()) return;
    try {
        BackupDatabase(ctx_.db, *file);
    } catch (const CopyError& e) {
        ctx_.ui.Plain(e.Text());
        return;
    }
    ctx_.ui.MessageDlg(QStringLiteral("备份成功，备份在：") + QDir::toNativeSeparators(*file), DlgKind::Information,
                       DlgButtons::YesOnly);
    ctx_.ui.OpenFolder(FolderOf(*file));
}

bool Maintenance::N41Click() {
    const QString bak = AppPaths::Ensure(ctx_.paths.Bak());
    if (!ctx_.ui.AskYesNoDefaultNo(
            QStringLiteral("还原数据后，必须重启系统才生效，确认还原？\n确认按[Yes],不确认按[No]"),
            DlgKind::Information))
        return false;
    const auto file = ctx_.ui.OpenFile(QStringLiteral("数据还原"), bak, kDbFilter);
    if (!file || file->isEmpty()) return false;
    if (!ReplaceLiveDatabase(*file)) return false;
    ctx_.ui.MessageDlg(QStringLiteral("还原系统成功，请重启！"), DlgKind::Information, DlgButtons::YesOnly);
    return true;
}

QString Maintenance::FolderOf(const QString& file) { return QFileInfo(file).absolutePath(); }

}  // namespace qm
