#pragma once
// The gateway of Staff_moninfo: its columns in statement order per unit class, the typed row
// every save fills (the start-of-period sheet, the monthly list, the single-person entry,
// the staff error list and the history import), and the statements that write it. A new
// column or unit class changes this file.

#include "core/base/Month.h"
#include "core/base/UnitClass.h"
#include "core/db/Db.h"

#include <QString>
#include <QStringList>

#include <array>
#include <optional>

namespace qm {

// The coded attributes, each stored twice: the text shown and its code. In the order of the
// staff sheets' code columns 25..37.
enum class StaffAttr {
    Sex,
    Nation,
    Party,
    Edu,
    Post,
    Grade,
    JGrade,
    Role,
    FullTime,
    Engineer,
    Builder,
    Site,
    Production
};
inline constexpr int kStaffAttrCount = int(StaffAttr::Production) + 1;

// Which attributes a save stores: the nine of every unit; the production pair of an
// above-size unit; all thirteen for a construction unit (and for the history import and the
// error list, which write whatever the row holds).
enum class StaffColumns { Base, AboveSize, All };
StaffColumns StaffColumnsFor(UnitClass cls);
// Whether the set stores an attribute.
bool Stores(StaffColumns set, StaffAttr a);

// A text column's value: null when absent.
using StoredText = std::optional<QString>;

// One Staff_moninfo row as a save binds it (id aside).
struct StaffRecord {
    Month sMon;
    QString sName, sNumber;
    StoredText sBirth;
    db::Value sWorks, sWork;  // null, a whole number or a real
    StoredText sGw;           // the present duty; a modify leaves the stored one
    std::array<StoredText, kStaffAttrCount> text;
    std::array<std::optional<long long>, kStaffAttrCount> code;
    StoredText sIsok = QStringLiteral("1");

    StoredText& Text(StaffAttr a) { return text[size_t(a)]; }
    std::optional<long long>& Code(StaffAttr a) { return code[size_t(a)]; }
    const StoredText& Text(StaffAttr a) const { return text[size_t(a)]; }
    const std::optional<long long>& Code(StaffAttr a) const { return code[size_t(a)]; }
};

class StaffTable {
public:
    // The stored names of an attribute's text and code columns.
    static QString TextColumn(StaffAttr a);
    static QString CodeColumn(StaffAttr a);
    // The columns an insert of `set` writes, in statement order.
    static QStringList InsertColumns(StaffColumns set);
    static QString InsertSql(StaffColumns set);
    // The update of one row by id and month: every column of the insert except sMon and sGw.
    static QString UpdateSql(StaffColumns set);

    StaffTable(db::Connection& c, StaffColumns set);

    void Insert(const StaffRecord& r);
    // Rewrites the row `id` of month r.sMon; answers the rows changed (0: no such row).
    int Update(long long id, const StaffRecord& r);
    int DeleteMonth(Month m);
    int DeleteRow(long long id, Month m);

private:
    void BindCommon(const StaffRecord& r, bool insert);

    db::Connection& c_;
    StaffColumns set_;
    QString insert_, update_;
    db::Params p_;
};

}  // namespace qm
