#include "core/unit/UnitInfo.h"

#include "core/base/AppContext.h"
#include "core/base/TextCheck.h"
#include "core/base/UiService.h"
#include "core/db/Db.h"
#include "core/db/Errors.h"
#include "core/files/Gbk.h"

namespace qm::unit {

namespace {
UnitClass::Kind KindOf(int rg2, const QString& cb1Text) {
    switch (rg2) {
    case 1: return cb1Text == kGeneralContract ? UnitClass::Kind::GeneralContract : UnitClass::Kind::LabourSubcontract;
    case 2: return UnitClass::Kind::AboveSize;
    default: return UnitClass::Kind::Other;
    }
}
}  // namespace

UnitClass ClassOf(int rg, int rg2, const QString& cb1Text) { return UnitClass(rg == 0, KindOf(rg2, cb1Text)); }

FoundingMonth CreateMonOf(int rg3, int dateIndex) {
    if (rg3 == 0) return FoundingMonth::NotThisYear();
    return FoundingMonth::Before(Month(dateIndex));
}

QString ClassTextOf(int rg, int rg2, const QString& cb1Text) {
    // The class of the second group names itself even under 机关单位; the form does not let
    // that pair be chosen.
    return UnitClass(rg == 0 && rg2 == 0, KindOf(rg2, cb1Text)).StatusText();
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

QString NameProblem(const QString& name) {
    const QString t = name.trimmed();
    if (HasUnsafeChars(t))
        return QStringLiteral(
                   "单位名称“%1”含有控制字符（制表符、换行等）或无效的字符，上报文件不能容纳。请改正后再保存。")
            .arg(VisibleText(t));
    gbk::Encoder gbk;
    std::string bytes;
    for (qsizetype i = 0; i < t.size(); ++i) {
        const qsizetype n = t[i].isHighSurrogate() && i + 1 < t.size() ? 2 : 1;
        const QStringView c = QStringView(t).mid(i, n);
        if (!gbk.Encode(c, bytes))
            return QStringLiteral("单位名称中的“%1”不是上报文件（GBK编码）能容纳的字，请改用其他写法后再保存。")
                .arg(c.toString());
        i += n - 1;
    }
    if (int(bytes.size()) > kNameBytes)
        return QStringLiteral("单位名称有%1个字节（一个汉字占两个字节），上报文件最多容纳%2个字节。请改短后再保存。")
            .arg(bytes.size())
            .arg(kNameBytes);
    return {};
}

std::optional<UnitRecord> Load(db::Connection& db) {
    db::Query q(db);
    q.Open(QStringLiteral("select * from Dep_Info where Flag='1'"));
    if (q.Eof()) return std::nullopt;
    UnitRecord r;
    r.DepName = q.FieldByName(QStringLiteral("DepName")).AsString();
    r.DepNo = q.FieldByName(QStringLiteral("DepNo")).AsString();
    r.DepType = q.FieldByName(QStringLiteral("DepType")).AsString();
    r.DepInfo = q.FieldByName(QStringLiteral("DepInfo")).AsString();
    r.DepClass = UnitClass::Decode(r.DepType, r.DepInfo);
    r.CreateMon = FoundingMonth::Decode(q.FieldByName(QStringLiteral("CreateMon")).AsString());
    return r;
}

SaveResult Save(AppContext& ctx, UnitFormHost& main, const UnitChoice& c) {
    const UnitClass cls = ClassOf(c.rg, c.rg2, c.cb1Text);
    if (c.rg3 == 1 && c.dateIndex < 0) {
        ctx.ui.ConfirmYesOnly(QStringLiteral("请输入创办月份。"));
        Abort();
    }
    const QString createMon = CreateMonOf(c.rg3, c.dateIndex).Text();
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
    // A name every upload would refuse, or cut, is not saved.
    if (const QString problem = NameProblem(name); !problem.isEmpty()) {
        ctx.ui.Info(problem);
        main.UnitFormFinished(ClassTextOf(c.rg, c.rg2, c.cb1Text));
        return SaveResult::Refused;
    }

    db::Query q(ctx.db);
    q.Open(QStringLiteral("select * from Dep_Info where flag='1'"));
    if (q.Eof()) {
        // First registration: the table holds this one row afterwards.
        db::Transaction t(ctx.db);
        ctx.db.Exec(QStringLiteral("delete from Dep_Info"));
        ctx.db.Exec(
            QStringLiteral("insert into Dep_Info(DepName,DepNo,DepType,Depinfo,flag,CreateMon)values(?,?,?,?,'1',?)"),
            {name, depNo, cls.DepTypeText(), cls.DepInfoText(), createMon});
        t.Commit();
        ctx.ui.Info(QStringLiteral("保存成功！"));
    } else {
        if (!ctx.ui.AskYesNo(QStringLiteral("是否要进行修改?"))) Abort();  // declined: state and row as they were
        // Every row is rewritten: the table holds the one unit.
        ctx.db.Exec(QStringLiteral("Update Dep_Info set DepName=?,DepNo=?,DepType=?,Depinfo=?,CreateMon=?"),
                    {name, depNo, cls.DepTypeText(), cls.DepInfoText(), createMon});
    }
    // The unit type changes only once the row is written.
    main.UnitSaved(name, depNo, cls);
    main.UnitFormFinished(ClassTextOf(c.rg, c.rg2, c.cb1Text));
    return SaveResult::Saved;
}

}  // namespace qm::unit
