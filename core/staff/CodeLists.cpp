#include "core/staff/CodeLists.h"

#include "core/base/RtlText.h"
#include "core/db/Db.h"

#include <array>

namespace qm {

CodeLists& ProgramCodeLists() {
    static CodeLists lists;
    return lists;
}

namespace {

// Reads one list. An empty result gives an empty list rather than keeping an earlier load's
// rows, so a lookup never finds a name the table no longer holds.
void Fill(db::Connection& conn, const QString& sql, const db::Params& params, bool trimNames, CodeList& list) {
    db::Query q(conn);
    q.Open(sql, params);
    CodeList fresh;
    fresh.reserve(size_t(q.RecordCount()));
    for (q.First(); !q.Eof(); q.Next()) {
        CodeEntry e;
        e.ID = int(q.FieldByName(QStringLiteral("ID")).AsInteger());
        const QString name = q.FieldByName(QStringLiteral("CodeName")).AsString();
        e.CodeName = trimNames ? RtlTrim(name) : name;
        e.Memo = q.FieldByName(QStringLiteral("Memo")).AsString();
        fresh.push_back(std::move(e));
    }
    list = std::move(fresh);
}

}  // namespace

void LoadCodeTables(db::Connection& conn, const QString& postFilter, CodeLists& lists) {
    // The unit-type digit is a bound pattern; Code_Edu and Code_Sex are ordered by ID too so
    // their order does not depend on how the rows happen to be stored.
    Fill(conn, QStringLiteral("select * from Code_Post where Memo like ? order by ID"),
         {QStringLiteral("%") + postFilter + QStringLiteral("%")}, false, lists.CodePostList);
    Fill(conn, QStringLiteral("select * from Code_Edu order by ID"), {}, false, lists.CodeEduList);
    Fill(conn, QStringLiteral("select * from Code_Sex order by ID"), {}, false, lists.CodeSexList);
    Fill(conn, QStringLiteral("select * from Code_Grade where Memo like '%0%' order by Id"), {}, false,
         lists.CodeGradeList0);
    Fill(conn, QStringLiteral("select * from Code_Grade where Memo like '%1%' order by Id"), {}, false,
         lists.CodeGradeList1);
    Fill(conn, QStringLiteral("select * from Code_Nation order by Id"), {}, true, lists.CodeNationList);
    Fill(conn, QStringLiteral("select * from Code_Role order by Id"), {}, true, lists.CodeRoleList);
    Fill(conn, QStringLiteral("select * from Code_YesNo order by Id"), {}, true, lists.CodeYesNoList);
    Fill(conn, QStringLiteral("select * from Code_Certy order by Id"), {}, false, lists.CodeCertyList);
}

QString CodeText(int code) {
    // The checks write a code into every coded cell of every row: the texts of the codes the
    // tables use are made once and shared, so a cell costs no string of its own.
    static const std::array<QString, kSharedCodeTexts> texts = [] {
        std::array<QString, kSharedCodeTexts> t;
        for (int i = 0; i < kSharedCodeTexts; ++i) t[size_t(i)] = QString::number(i);
        return t;
    }();
    if (code >= 0 && code < kSharedCodeTexts) return texts[size_t(code)];
    return QString::number(code);
}

std::optional<int> FirstCodeOf(const CodeList& list, const QString& name) {
    for (const CodeEntry& e : list)
        if (e.CodeName == name) return e.ID;
    return std::nullopt;
}

namespace {

struct Coding {
    CodeList CodeLists::*list;
    const char* first;  // the fixed texts, coded 1 and 2; null for none
    const char* second;
};

Coding CodingOf(StaffAttr a) {
    switch (AttrRow(a).codes) {
    case StaffCodeTable::Sex: return {&CodeLists::CodeSexList, "男", "女"};
    case StaffCodeTable::Nation: return {&CodeLists::CodeNationList, "是", "否"};
    case StaffCodeTable::Party: return {nullptr, "是", "否"};
    case StaffCodeTable::Edu: return {&CodeLists::CodeEduList, nullptr, nullptr};
    case StaffCodeTable::Post: return {&CodeLists::CodePostList, nullptr, nullptr};
    case StaffCodeTable::Grade: return {&CodeLists::CodeGradeList0, nullptr, nullptr};
    case StaffCodeTable::Skill: return {&CodeLists::CodeGradeList1, nullptr, nullptr};
    case StaffCodeTable::Role: return {&CodeLists::CodeRoleList, nullptr, nullptr};
    case StaffCodeTable::YesNo: return {&CodeLists::CodeYesNoList, "是", "否"};
    case StaffCodeTable::Certy: return {&CodeLists::CodeCertyList, nullptr, nullptr};
    }
    return {};
}

}  // namespace

std::optional<int> AttrCode(const CodeLists& lists, StaffAttr a, const QString& text, CodeBy by) {
    const Coding c = CodingOf(a);
    if (by == CodeBy::List && c.list) return FirstCodeOf(lists.*c.list, text);
    if (!c.first) return std::nullopt;
    if (text == QString::fromUtf8(c.first)) return 1;
    if (text == QString::fromUtf8(c.second)) return 2;
    return std::nullopt;
}

QString FixedText(StaffAttr a, int code) {
    const Coding c = CodingOf(a);
    if (!c.first || (code != 1 && code != 2)) return {};
    return QString::fromUtf8(code == 1 ? c.first : c.second);
}

bool IsYesNo(StaffAttr a) {
    const StaffCodeTable t = AttrRow(a).codes;
    return t == StaffCodeTable::Nation || t == StaffCodeTable::Party || t == StaffCodeTable::YesNo;
}

QStringList CodeNames(const CodeList& list) {
    QStringList out;
    out.reserve(qsizetype(list.size()));
    for (const CodeEntry& e : list) out << e.CodeName;
    return out;
}

QString CodeItemsText(const CodeList& list) {
    QString out;
    for (const CodeEntry& e : list) out += e.CodeName + QLatin1Char(';');
    return out;
}

}  // namespace qm
