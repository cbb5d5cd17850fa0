#pragma once
// The unit record behind the unit information form: how the form's choices map to the
// Dep_Info columns, the checks, and the save. The form only reads its controls and calls these.

#include "core/base/UnitClass.h"

#include <QString>

#include <optional>

namespace qm {

namespace db {
class Connection;
}
struct AppContext;

// The form's choices as the controls hold them.
struct UnitChoice {
    QString name;          // Edit1
    QString codeBoxes[9];  // Edit2..Edit10, one character each
    int rg = 1;            // 0 机关单位, 1 企业事业单位
    int rg2 = 0;           // 0 其他, 1 资质建筑业单位, 2 规模以上工业单位
    QString cb1Text;       // 有总承包和专业承包资质 / 有劳务分包资质
    int rg3 = 0;           // 新创办单位: 0 否, 1 是
    int dateIndex = -1;    // DateCb: 0 "1月创办" .. 11 "12月创办"; -1 none chosen
};

// Whom the unit form's save tells what it did: the main window's controller, or a test.
class UnitFormHost {
public:
    virtual ~UnitFormHost() = default;
    // After the row is written.
    virtual void UnitSaved(const QString& depName, const QString& depNo, UnitClass cls) = 0;
    // The form's last step, saved or refused: the class text its choices give.
    virtual void UnitFormFinished(const QString& classText) = 0;
};

// The current unit, decoded where its Dep_Info row is read.
struct UnitRecord {
    QString DepName, DepNo;    // as stored
    UnitClass DepClass;        // from DepType and DepInfo
    QString DepType, DepInfo;  // as stored
    FoundingMonth CreateMon;
};

namespace unit {

inline const QString kGeneralContract = QStringLiteral("有总承包和专业承包资质");
inline const QString kLabourSubcontract = QStringLiteral("有劳务分包资质");

// The class the form's choices give: rg the type, rg2 and the contract text the class.
UnitClass ClassOf(int rg, int rg2, const QString& cb1Text);
// The founding choice: not this year (rg3 0), else the month before the chosen founding
// month (dateIndex 0 for January).
FoundingMonth CreateMonOf(int rg3, int dateIndex);
// The status-bar class text of the form's choices (a class picked under 机关单位 names the class).
QString ClassTextOf(int rg, int rg2, const QString& cb1Text);
// A code character: 0-9, A-Z or a-z (a lower-case letter is upper-cased as it is typed).
bool IsCodeChar(QChar c);
// The code as stored: exactly nine characters 0-9 or A-Z. It becomes part of upload and
// backup file names, so nothing else may reach the database.
bool IsValidCode(const QString& code);

// The bytes (GBK) of the unit name's field in the uploads.
inline constexpr int kNameBytes = 100;

// Why the uploads could not carry the unit name (frmc: GBK, 100 bytes, no control
// characters), or empty when they can. The name is judged trimmed, as it is stored.
QString NameProblem(const QString& name);

// The current unit (Flag='1'), if any. Every reader of the unit row comes here.
std::optional<UnitRecord> Load(db::Connection& db);

enum class SaveResult { Saved, Refused };

// The form's "确 定": validates, writes the row, updates the main window. Refused: the
// message was shown, nothing written, the form stays open. A missing founding month or a
// declined change stops silently (SilentAbort) with nothing changed.
SaveResult Save(AppContext& ctx, UnitFormHost& main, const UnitChoice& choice);

}  // namespace unit
}  // namespace qm
