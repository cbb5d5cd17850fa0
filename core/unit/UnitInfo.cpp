#include "core/unit/UnitInfo.h"

#include "core/db/Db.h"
#include "core/db/Errors.h"
#include "core/base/UiService.h"
#include "core/base/AppContext.h"
#include "core/unit/MainCommands.h"

namespace qm::unit {

QString DepTypeOf(int rg) { return rg == 0 ? QStringLiteral("机关单位") : QStringLiteral("企业事业单位"); }

QString DepInfoOf(int rg2, const QString& cb1Text) {
    switch (rg2) {
    case 1: return cb1Text == kGeneralContract ? QStringLiteral("是1") : QStringLiteral("是2");
    case 2: return QStringLiteral("规上");
    default: return QStringLiteral("否");
    }
}

QString CreateMonOf(int rg3, int dateIndex) {
    return rg3 == 0 ? QStringLiteral("99") : QString::number(dateIndex);
}

QString ClassTextOf(int rg, int rg2, const QString& cb1Text) {
    switch (rg2) {
    case 1:
        return cb1Text == kGeneralContract ? QStringLiteral("有总承包和专业承包资质的建筑业单位")
                                           : QStringLiteral("有劳务分包资质的建筑业单位");
    case 2: return QStringLiteral("规模以上工业单位");
    default: return rg == 0 ? QStringLiteral("机关单位") : QStringLiteral("其他企业事业单位");
    }
}

bool IsCodeChar(QChar c) {
    const char16_t u = c.unicode();
    return (u >= '0' && u <= '9') || (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z');
}

bool IsValidCode(const QString& code) {
    if (code.size() != 9) return false;
    for (QChar c : code) {
        const char16_t u = c.unicode();
        if (!((u >= '0' && u <= '9') || (u >= 'A' && u <= 'Z'))) return false;
    }
    return true;
}

std::optional<UnitRecord> Load(AppContext& ctx) {
    db::Query q(ctx.db);
    q.Open(QStringLiteral("select * from Dep_Info  where Flag='1'"));
    if (q.Eof()) return std::nullopt;
    UnitRecord r;
    r.DepName = q.FieldByName(QStringLiteral("DepName")).AsString();
    r.DepNo = q.FieldByName(QStringLiteral("DepNo")).AsString();
    r.DepType = q.FieldByName(QStringLiteral("DepType")).AsString();
    r.DepInfo = q.FieldByName(QStringLiteral("DepInfo")).AsString().trimmed();
    r.CreateMon = q.FieldByName(QStringLiteral("CreateMon")).AsString().trimmed();
    return r;
}

SaveResult Save(AppContext& ctx, MainCommands& main, const UnitChoice& c) {
    const QString depType = DepTypeOf(c.rg);
    const QString depInfo = DepInfoOf(c.rg2, c.cb1Text);
    if (c.rg3 == 1 && c.dateIndex < 0) {
        ctx.ui.ConfirmYesOnly(QStringLiteral("请输入创办月份。"));
        Abort();
    }
    const QString createMon = CreateMonOf(c.rg3, c.dateIndex);
    const QString name = c.name.trimmed();
    QString depNo;
    bool boxesFilled = true;
    for (const QString& b : c.codeBoxes) {
        if (b.trimmed().isEmpty()) boxesFilled = false;
        depNo += b.trimmed();
    }
    if (name.isEmpty() || !boxesFilled || !IsValidCode(depNo)) {
        ctx.ui.Info(QStringLiteral("请确认单位名称或法人代码是否填写正确！"));
        main.UnitFormFinished(ClassTextOf(c.rg, c.rg2, c.cb1Text));
        return SaveResult::Refused;
    }

    db::Query q(ctx.db);
    q.Open(QStringLiteral("select * from Dep_Info where flag='1'"));
    if (q.Eof()) {
        // First registration: the table holds this one row afterwards.
        db::Transaction t(ctx.db);
        ctx.db.Exec(QStringLiteral("delete from Dep_Info"));
        ctx.db.Exec(QStringLiteral("insert into Dep_Info(DepName,DepNo,DepType,Depinfo,flag,CreateMon)values(?,?,?,?,'1',?)"),
                    {name, depNo, depType, depInfo, createMon});
        t.Commit();
        ctx.ui.Info(QStringLiteral("保存成功！"));
    } else {
        if (!ctx.ui.AskYesNo(QStringLiteral("是否要进行修改?"))) Abort();  // declined: state and row as they were
        // Every row is rewritten: the table holds the one unit.
        ctx.db.Exec(QStringLiteral("Update Dep_Info set DepName=?,DepNo=?,DepType=?,Depinfo=?,CreateMon=?"),
                    {name, depNo, depType, depInfo, createMon});
    }
    // The unit type changes only once the row is written.
    main.UnitSaved(name, depNo, depType, depInfo, c.rg);
    main.UnitFormFinished(ClassTextOf(c.rg, c.rg2, c.cb1Text));
    return SaveResult::Saved;
}

}  // namespace qm::unit
