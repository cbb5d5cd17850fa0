#pragma once
// The code lists: the eight code tables read into nine in-memory lists that the staff forms
// use to turn a shown text into its stored code and to fill their drop-down lists.

#include "core/db/StaffTable.h"

#include <QString>
#include <QStringList>

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
// The first entry of the attribute's list named exactly `text` (or, for Party, one of its
// fixed texts); with FixedTexts, one of the fixed texts, the list not consulted.
std::optional<int> AttrCode(const CodeLists& lists, StaffAttr a, const QString& text, CodeBy by = CodeBy::List);
// The fixed text of a code: "是" for 1 and "否" for 2 of a yes/no attribute.
QString FixedText(StaffAttr a, int code);
// Whether the attribute is answered yes or no (minority, party and the yes/no columns).
bool IsYesNo(StaffAttr a);
// The names in list order.
QStringList CodeNames(const CodeList& list);
// The names as a list object takes them: every name followed by ";".
QString CodeItemsText(const CodeList& list);

}  // namespace qm
