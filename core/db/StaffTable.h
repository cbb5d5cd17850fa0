#pragma once
// The gateway of Staff_moninfo: the registry of its columns (one row per coded attribute,
// one per plain field) from which every list of them is derived, the typed row every save
// fills and every read returns (the start-of-period sheet, the monthly list, the single-person
// entry, the staff error list, the history import and the upload), and the statements that
// read, write and delete it.
//
// A new coded attribute is a StaffAttr and its row in kStaffAttrs; the column lists, the
// statements, the reads, the stores, the history import and the staff sheets' code columns
// follow from them. By hand it also takes: its two columns in Staff_moninfo and Staff_Info
// (core/db/schema.sql) with an upgrade step for older databases; its code table when none of
// StaffCodeTable serves (a Code_* table, and its list and text-to-code lookup in the staff
// rules); its check in StaffRowRules::CheckRow; its column in the staff sheet template
// (core/sheet/templates/staff.sheet, with its row's caption and width); its field in the
// single-person entry (PerputField, its widget, kAttrField); its column in the staff browser;
// and, where they carry it, the upload register (core/report/Upload.cpp), the report rules
// that count it and the benchmark's synthetic unit.

#include "core/base/Month.h"
#include "core/base/UnitClass.h"
#include "core/db/Db.h"
#include "core/db/ListQuery.h"
#include "core/db/MonthFingerprint.h"
#include "core/db/NumberTwice.h"

#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string_view>
#include <utility>
#include <vector>

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
// error list, which write whatever the row holds). Each set stores what the one before holds.
enum class StaffColumns { Base, AboveSize, All };
StaffColumns StaffColumnsFor(UnitClass cls);

// The code table an attribute's text is looked up in. Party has none: its two texts are fixed.
enum class StaffCodeTable { Sex, Nation, Party, Edu, Post, Grade, Skill, Role, YesNo, Certy };

// One coded attribute: where it is stored, where the staff sheets show it and what checks it.
struct StaffAttrRow {
    StaffAttr attr;
    const char* text;  // the stored text column
    const char* code;  // the stored code column
    int sheetCol;      // the staff sheets' column of the text; the code goes to kStaffFirstCodeCol + attr
    StaffCodeTable codes;
    const char* caption;    // the staff sheets' header (UTF-8)
    int width;              // the staff sheets' column width in pixels
    StaffColumns storedBy;  // the first column set that stores it
};

// In attribute order, which is the order of the staff sheets' code columns.
inline constexpr StaffAttrRow kStaffAttrs[kStaffAttrCount] = {
    {StaffAttr::Sex, "sTsex", "sSex", 3, StaffCodeTable::Sex, "性别", 36, StaffColumns::Base},
    {StaffAttr::Nation, "sTnation", "sNation", 4, StaffCodeTable::Nation, "少数民族", 44, StaffColumns::Base},
    {StaffAttr::Party, "sTparty", "sParty", 5, StaffCodeTable::Party, "中共党员", 44, StaffColumns::Base},
    {StaffAttr::Edu, "sTEdu", "sEducation", 9, StaffCodeTable::Edu, "学历", 80, StaffColumns::Base},
    {StaffAttr::Post, "sTPost", "sPost", 10, StaffCodeTable::Post, "岗位名称", 124, StaffColumns::Base},
    {StaffAttr::Grade, "sTGrade", "sPostGrade", 11, StaffCodeTable::Grade, "具有国家评定的专业技术等级", 86,
     StaffColumns::Base},
    {StaffAttr::JGrade, "sTJGrade", "sJGrade", 12, StaffCodeTable::Skill, "具有国家评定的技能等级", 86,
     StaffColumns::Base},
    {StaffAttr::Role, "sTsf", "ssf", 13, StaffCodeTable::Role, "用工身份", 76, StaffColumns::Base},
    {StaffAttr::FullTime, "sTqrz", "sqrz", 14, StaffCodeTable::YesNo, "全日制用工", 46, StaffColumns::Base},
    {StaffAttr::Engineer, "sTgc", "sgc", 15, StaffCodeTable::YesNo, "工程技术人员", 46, StaffColumns::All},
    {StaffAttr::Builder, "sTjzs", "sjzs", 16, StaffCodeTable::YesNo, "一级建造师", 46, StaffColumns::All},
    {StaffAttr::Site, "sTsg", "ssg", 17, StaffCodeTable::Certy, "现场施工人员", 96, StaffColumns::All},
    {StaffAttr::Production, "sTyg", "syg", 18, StaffCodeTable::YesNo, "是否直接从事生产经营活动", 80,
     StaffColumns::AboveSize},
};

// The fields of a row that are not coded attributes.
enum class StaffPlain { Id, Mon, Name, Number, Birth, Works, Work, Gw, Isok };
struct StaffPlainRow {
    StaffPlain field;
    const char* column;
    int sheetCol;  // the staff sheets' column, 0 when they do not show it
};
inline constexpr StaffPlainRow kStaffPlain[] = {
    {StaffPlain::Id, "id", 0},          {StaffPlain::Mon, "sMon", 0},     {StaffPlain::Name, "sName", 1},
    {StaffPlain::Number, "sNumber", 2}, {StaffPlain::Birth, "sBirth", 6}, {StaffPlain::Works, "sWorks", 7},
    {StaffPlain::Work, "sWork", 8},     {StaffPlain::Gw, "sGw", 0},       {StaffPlain::Isok, "sIsok", 0},
};

constexpr const StaffAttrRow& AttrRow(StaffAttr a) { return kStaffAttrs[int(a)]; }
constexpr const StaffPlainRow& PlainRow(StaffPlain f) { return kStaffPlain[int(f)]; }

// The staff sheets' geometry, derived from the registry: the shown texts fill columns
// 1..kStaffSheetTexts; the codes sit from kStaffFirstCodeCol on, one per attribute.
inline constexpr int kStaffSheetTexts = [] {
    int n = 0;
    for (const StaffAttrRow& r : kStaffAttrs) n = r.sheetCol > n ? r.sheetCol : n;
    for (const StaffPlainRow& r : kStaffPlain) n = r.sheetCol > n ? r.sheetCol : n;
    return n;
}();
inline constexpr int kStaffFirstCodeCol = 25;
// Rows 1 and 2 are the headers and the numbering line; a person per row from here on.
inline constexpr int kStaffFirstRow = 3;
// A sheet row as the messages name it: the sheets show no row numbers, so the first person
// is 第1行.
constexpr int StaffShownRow(int sheetRow) { return sheetRow - kStaffFirstRow + 1; }
inline constexpr int kStaffLastCodeCol = kStaffFirstCodeCol + kStaffAttrCount - 1;
constexpr int SheetColOf(StaffAttr a) { return AttrRow(a).sheetCol; }
constexpr int SheetColOf(StaffPlain f) { return PlainRow(f).sheetCol; }
constexpr int CodeColOf(StaffAttr a) { return kStaffFirstCodeCol + int(a); }
// The attribute shown in a sheet column, if any.
constexpr std::optional<StaffAttr> AttrAtSheetCol(int col) {
    for (const StaffAttrRow& r : kStaffAttrs)
        if (r.sheetCol == col) return r.attr;
    return std::nullopt;
}

// A stored column named by what it holds: a plain field, or an attribute's text.
struct StaffColumn {
    constexpr StaffColumn(StaffPlain f) : plain(f) {}
    constexpr StaffColumn(StaffAttr a) : attr(a) {}
    std::optional<StaffAttr> attr;
    StaffPlain plain = StaffPlain::Id;
    constexpr const char* Name() const { return attr ? AttrRow(*attr).text : PlainRow(plain).column; }
};

// Whether the set stores an attribute.
constexpr bool Stores(StaffColumns set, StaffAttr a) { return int(set) >= int(AttrRow(a).storedBy); }

// A text column's value: null when absent.
using StoredText = std::optional<QString>;

// One Staff_moninfo row as a save binds it (id aside) and a read returns it.
struct StaffRecord {
    long long id = 0;  // set by reads; saves leave it to the database
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

// One row of a stepped read, its columns in the order asked for; valid only while it is handed on.
class StaffRowView {
public:
    explicit StaffRowView(sqlite3_stmt* st) : st_(st) {}
    bool IsNull(int i) const;
    // The column as text, a stored number as SQLite spells it (what a read into a StoredText
    // gives); empty when null.
    std::string_view Utf8(int i) const;
    QString Text(int i) const;
    // The column as stored: null, a whole number, a real or a text.
    db::Value Value(int i) const;

private:
    sqlite3_stmt* st_;
};

class StaffTable : public db::MonthSource {
public:
    // The stored name of a plain field.
    static QString Column(StaffPlain f);
    // The stored column behind each shown text column 1..kStaffSheetTexts of the staff sheets.
    static QStringList SheetTextColumns();
    // The shown texts of a row in sheet column order, as the sheets and grids show them.
    static std::array<QString, kStaffSheetTexts> SheetTexts(const StaffRecord& r);
    // Every column a read returns, in its order.
    static QStringList ReadColumns();
    // The columns an insert of `set` writes, in statement order.
    static QStringList InsertColumns(StaffColumns set);
    static QString InsertSql(StaffColumns set);
    // The values an insert of `set` binds for r, in InsertColumns(set) order.
    static db::Params InsertValues(const StaffRecord& r, StaffColumns set);
    // The update of one row by id and month: every column of the insert except sMon and sGw.
    static QString UpdateSql(StaffColumns set);

    StaffTable(db::Connection& c, StaffColumns set);
    // For reads and deletes, which do not depend on the unit's class.
    explicit StaffTable(db::Connection& c) : StaffTable(c, StaffColumns::All) {}
    ~StaffTable();

    // Inserts run through one statement prepared at the first of them.
    void Insert(const StaffRecord& r);
    // From here on the fingerprint of the rows Insert stores, as FingerprintMonth reads them;
    // InsertedFingerprint answers it, or none when it is not known without reading them back.
    void FingerprintInserts();
    std::optional<db::RowsFingerprint> InsertedFingerprint();
    // Rewrites the row `id` of month r.sMon; answers the rows changed (0: no such row).
    int Update(long long id, const StaffRecord& r);
    // Marks row `id` as failing its checks (sIsok '0').
    int MarkFailed(long long id);
    int DeleteMonth(Month m);
    int DeleteRow(long long id, Month m);
    // Every list but the start-of-period one.
    int DeleteMonthlyLists();
    // The rows of month m whose staff number is `number`.
    int DeleteNumber(Month m, const QString& number);
    // The rows of month m whose number the table `listTable` (columns sMon, sNumber) lists
    // for that month.
    int DeleteListed(Month m, const QString& listTable);

    // Every row of the month, in id order.
    std::vector<StaffRecord> ReadMonth(Month m);
    // Every row of the month in id order, handed to `each` one at a time with only the columns
    // `cols`, nothing kept: for a pass over a whole month that needs a few of its values.
    void StepMonth(Month m, std::span<const StaffColumn> cols, const std::function<void(const StaffRowView&)>& each);
    // Only the shown texts of every row of the month, in id order, as SheetTexts gives them; with
    // `isok`, only the rows whose sIsok is that text. With `fingerprint`, the fingerprint of the
    // rows read (their ids and shown texts as stored), as FingerprintMonth takes it.
    std::vector<std::array<QString, kStaffSheetTexts>> ReadSheetTexts(Month m, const StoredText& isok = {},
                                                                      db::RowsFingerprint* fingerprint = nullptr);
    // The columns a fingerprint covers: the id, then the shown texts in sheet column order.
    static QStringList FingerprintColumns();
    // The row `id`; nothing when there is none.
    std::optional<StaffRecord> Read(long long id);
    // The rows of month m joined with each row of `listTable` that names their number, in id order.
    std::vector<StaffRecord> ReadListed(Month m, const QString& listTable);
    // The number and name of every row of the month, in id order (the wage forms' persons).
    std::vector<std::pair<QString, QString>> ReadPeople(Month m);
    // The id, number and name of every row of the month as stored UTF-8 bytes (empty when null),
    // handed to `each` and not kept, in whatever order the month is found in: no sort of the month.
    using TextPairStep = std::function<void(long long id, std::string_view, std::string_view)>;
    void StepPeople(Month m, const TextPairStep& each);
    // The same with the number and duty of every row of the month that has a duty.
    void StepDuties(Month m, const TextPairStep& each);
    // The first list of months from..to that carries one stored number on two rows, with the
    // names of both (db::FirstNumberTwice).
    std::optional<db::NumberTwice> FirstNumberTwice(Month from, Month to);
    // The months that have rows, ascending (a stored month outside 0..12 is none).
    std::vector<Month> Months();
    // Whether the month has rows; whether any monthly list (1..12) has rows.
    bool HasRows(Month m);
    bool HasMonthlyRows();
    // Whether the month has rows that failed their checks (sIsok '0').
    bool HasFailedRows(Month m);
    // The name of a row of month m other than `except` that carries the staff number `number`,
    // the stored numbers compared trimmed as the saves store them; nothing when none does.
    std::optional<QString> NumberHolder(Month m, const QString& number, std::optional<long long> except = std::nullopt);

    // The statements of the single-person form's grid over the list of month m: every row,
    // the rows whose name or number contains `pattern` (a LikeAnywhere pattern), the rows of
    // a name or a number entered twice, the rows that failed their checks.
    static ListQuery ListAll(Month m);
    static ListQuery ListSearch(Month m, const QString& pattern);
    static ListQuery ListSameName(Month m);
    static ListQuery ListSameNumber(Month m);
    static ListQuery ListErrors(Month m);
    // The browser's: every row of the month; the rows whose name contains `pattern`.
    static ListQuery BrowseMonth(Month m);
    static ListQuery BrowseName(Month m, const QString& pattern);

private:
    static void Bind(const StaffRecord& r, StaffColumns set, bool insert, db::Params& out);
    void StepPairs(const QString& sql, Month m, const TextPairStep& each);
    std::vector<StaffRecord> ReadWith(const QString& sql, const db::Params& params);

    db::Connection& c_;
    StaffColumns set_;
    QString insert_, update_;
    db::Params p_;
    std::unique_ptr<db::Statement> inserts_;
};

}  // namespace qm
