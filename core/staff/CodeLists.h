#pragma once
// The code lists: the eight code tables read into nine in-memory lists that the staff forms
// use to turn a shown text into its stored code and to fill their drop-down lists.

#include "core/db/StaffTable.h"

#include <QString>
#include <QStringList>
#include <QStringView>

#include <iterator>
#include <optional>
#include <vector>

namespace qm {

namespace db {
class Connection;
}

struct CodeEntry {
    int ID = 0;
    QString CodeName;
    QString Memo;
};

using CodeList = std::vector<CodeEntry>;

struct CodeLists {
    CodeList CodePostList;  // Code_Post rows whose Memo holds the unit-type digit
    CodeList CodeEduList;
    CodeList CodeSexList;
    CodeList CodeGradeList0;  // professional titles (Memo holds "0")
    CodeList CodeGradeList1;  // skill grades (Memo holds "1")
    CodeList CodeNationList;  // names trimmed
    CodeList CodeRoleList;    // names trimmed
    CodeList CodeYesNoList;   // names trimmed
    CodeList CodeCertyList;
};

// The program-wide lists, empty until the first staff form shows.
CodeLists& ProgramCodeLists();

// Reads all nine lists. postFilter is "0" for a government organ, "1" for an enterprise or
// institution. A table without rows gives an empty list. Database errors propagate.
void LoadCodeTables(db::Connection& db, const QString& postFilter, CodeLists& lists);
inline void LoadCodeTables(db::Connection& db, const QString& postFilter) {
    LoadCodeTables(db, postFilter, ProgramCodeLists());
}

// A code as decimal text. The texts of codes below kSharedCodeTexts are made once and shared.
inline constexpr int kSharedCodeTexts = 1000;
QString CodeText(int code);
// A name's code: the first exact match.
std::optional<int> FirstCodeOf(const CodeList& list, const QString& name);
// How a coded staff attribute's text becomes its code, for every form that codes one. Each
// attribute's code table (the staff registry's) has its list here; sex and the yes/no
// attributes also have a pair of fixed texts, the first coded 1 and the second 2 ("男"/"女",
// "是"/"否"). Party has its fixed texts only.
enum class CodeBy { List, FixedTexts };
namespace detail {
// The staff-row rules code every cell of every row through here: the coding of each code
// table is a constant, and its fixed texts are compared in place, never made into a string
// of their own per call.
struct Coding {
    CodeList CodeLists::*list;
    QStringView first;  // the fixed texts, coded 1 and 2; empty for none
    QStringView second;
};
// In StaffCodeTable order.
inline constexpr Coding kCodings[] = {
    {&CodeLists::CodeSexList, u"男", u"女"},     // Sex
    {&CodeLists::CodeNationList, u"是", u"否"},  // Nation
    {nullptr, u"是", u"否"},                     // Party
    {&CodeLists::CodeEduList, {}, {}},           // Edu
    {&CodeLists::CodePostList, {}, {}},          // Post
    {&CodeLists::CodeGradeList0, {}, {}},        // Grade
    {&CodeLists::CodeGradeList1, {}, {}},        // Skill
    {&CodeLists::CodeRoleList, {}, {}},          // Role
    {&CodeLists::CodeYesNoList, u"是", u"否"},   // YesNo
    {&CodeLists::CodeCertyList, {}, {}},         // Certy
};
static_assert(std::size(kCodings) == size_t(StaffCodeTable::Certy) + 1);
inline const Coding& CodingOf(StaffAttr a) { return kCodings[size_t(AttrRow(a).codes)]; }
}  // namespace detail
// The first entry of the attribute's list named exactly `text` (or, for Party, one of its
// fixed texts); with FixedTexts, one of the fixed texts, the list not consulted.
inline std::optional<int> AttrCode(const CodeLists& lists, StaffAttr a, const QString& text, CodeBy by = CodeBy::List) {
    const detail::Coding& c = detail::CodingOf(a);
    if (by == CodeBy::List && c.list) return FirstCodeOf(lists.*c.list, text);
    if (c.first.isEmpty()) return std::nullopt;
    if (text == c.first) return 1;
    if (text == c.second) return 2;
    return std::nullopt;
}
// The fixed text of a code: "是" for 1 and "否" for 2 of a yes/no attribute.
QString FixedText(StaffAttr a, int code);
// Whether the attribute is answered yes or no (minority, party and the yes/no columns).
bool IsYesNo(StaffAttr a);
// The names in list order.
QStringList CodeNames(const CodeList& list);
// The names as a list object takes them: every name followed by ";".
QString CodeItemsText(const CodeList& list);

}  // namespace qm
