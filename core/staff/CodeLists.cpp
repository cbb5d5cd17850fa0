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
    // tables use are constants of the program, shared without a count of their users, so a
    // cell costs neither a string of its own nor a counted copy.
    static constexpr int kWidth = 3;
    static_assert(kSharedCodeTexts <= 1000, "three digits each");
    static constexpr auto digits = [] {
        std::array<char16_t, size_t(kSharedCodeTexts) * kWidth> d{};
        for (int i = 0; i < kSharedCodeTexts; ++i) {
            char16_t* at = d.data() + i * kWidth;
            if (i >= 100) *at++ = char16_t(u'0' + i / 100);
            if (i >= 10) *at++ = char16_t(u'0' + i / 10 % 10);
            *at = char16_t(u'0' + i % 10);
        }
        return d;
    }();
    if (code < 0 || code >= kSharedCodeTexts) return QString::number(code);
    const qsizetype length = code >= 100 ? 3 : code >= 10 ? 2 : 1;
    return QString::fromRawData(reinterpret_cast<const QChar*>(digits.data() + code * kWidth), length);
}

std::optional<int> FirstCodeOf(const CodeList& list, const QString& name) {
    for (const CodeEntry& e : list)
        if (e.CodeName == name) return e.ID;
    return std::nullopt;
}

QString FixedText(StaffAttr a, int code) {
    const detail::Coding& c = detail::CodingOf(a);
    if (c.first.isEmpty() || (code != 1 && code != 2)) return {};
    // The literals live as long as the program: the text shares them.
    const QStringView t = code == 1 ? c.first : c.second;
    return QString::fromRawData(t.data(), t.size());
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
