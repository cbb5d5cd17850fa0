// The four Gid-matrix summaries as data: lines, columns, their condition texts and skip sets.

#include "core/report/GidMatrix.h"

#include <QStringList>

#include <stdexcept>

namespace qm::report {

namespace {

// A line's condition opens the counts' WHERE clause ("where sPost = 21 and "); the wage
// summaries also append it to their period queries (" and sPost = 21"). Line n is the n-th
// condition; an empty one is the whole list.
std::vector<GidLine> Lines(const QStringList& conditions, bool withPeriod) {
    std::vector<GidLine> lines;
    for (const QString& c : conditions) {
        const int gid = int(lines.size()) + 1;
        if (c.isEmpty())
            lines.push_back({gid, QStringLiteral("where "), QString()});
        else
            lines.push_back({gid, QStringLiteral("where ") + c + QStringLiteral(" and "),
                             withPeriod ? QStringLiteral(" and ") + c : QString()});
    }
    return lines;
}

QString Post(int post) { return QStringLiteral("sPost = %1").arg(post); }
QString Group(int digit) { return QStringLiteral("sPost like '%1%'").arg(digit); }
QStringList Posts(int first, int last) {
    QStringList l;
    for (int p = first; p <= last; ++p) l << Post(p);
    return l;
}

// The forty lines of the enterprise surveys (I704, Ⅰ303-1): post groups 2..6 with their posts,
// each leaders' and managers' post followed by three title lines (其中). The surveys differ in
// the title grades of those three lines and in the professional posts of lines 16..19.
QStringList EnterpriseLines(const QStringList& titleGrades, const QStringList& professionals) {
    QStringList c{QString(), Group(2)};
    auto titled = [&](int post) {
        c << Post(post);
        for (const QString& g : titleGrades) c << Post(post) + QStringLiteral(" and sPostGrade in(") + g + u')';
    };
    titled(21);
    titled(22);
    titled(23);
    c << Group(3) << professionals << Group(4);
    titled(41);
    titled(42);
    c << Group(5) << Posts(51, 56) << Group(6) << Posts(61, 64);
    return c;
}

// The nine columns of I704, I705 and Ⅰ303-1: they differ in the first column's text, the age
// cut and the title column (empty where it depends on the line).
std::vector<GidColumn> StaffColumns(const char16_t* all, const char16_t* ageCut, const char16_t* titles) {
    return {
        {"G11", all},
        {"G12", u" Ssex=2"},
        {"G13", ageCut},
        {"G14", titles},
        {"G15", u" sEducation in(1,2)"},
        {"G16", u" sEducation in(3)"},
        {"G17", u" sEducation in(4)"},
        {"G18", u" sEducation in(5,6,7)"},
        {"G19", u" sEducation in(8,9)"},
    };
}

// ---------------------------------------------------------------- I704 (enterprises and institutions)

// Title lines (其中) count the persons of their parent who hold a senior, middle or junior title.
std::vector<GidLine> I704Lines() {
    return Lines(EnterpriseLines({QStringLiteral("31,32"), QStringLiteral("33"), QStringLiteral("34")},
                                 QStringList{QStringLiteral("sPost in(31,32)")} << Posts(33, 35)),
                 true);
}

// Column 4 counts title holders (title grades live in sPostGrade) and skilled workers (skill
// grades 51..55 live in sJGrade only): a person counts when either matches.
std::vector<GidColumn> I704Columns() {
    return StaffColumns(u"", u" sBirth >= '1976-06'", u" (sPostGrade in(31,32,33,34) or sJGrade in(51,52,53,54,55))");
}

// The title column is not computed for the leaders' and the managers' lines.
bool I704Skipped(int gid, int column) { return column == 4 && ((gid >= 1 && gid <= 14) || (gid >= 20 && gid <= 28)); }

// ---------------------------------------------------------------- I705 (government organs)

std::vector<GidLine> I705Lines() {
    return Lines(QStringList{QString(), QStringLiteral("sPost in(11,12,13,14,15)")}
                     << Posts(11, 15) << Group(3) << QStringLiteral("sPost in (31,32)") << Posts(33, 35) << Group(5)
                     << Posts(51, 56) << Post(18) << Post(19),
                 true);
}

std::vector<GidColumn> I705Columns() { return StaffColumns(u"", u" sBirth >= '1977-06'", u""); }

// The title column: titles 31..33 for the professional lines; for the workers' lines also the
// skill grades 51..55, which live in sJGrade.
const char16_t* I705Condition(int gid, int column) {
    if (column != 4) return nullptr;
    if (gid >= 8 && gid <= 12) return u" sPostGrade in(31,32,33)";
    return u" (sPostGrade in(31,32,33) or sJGrade in(51,52,53,54,55))";
}

bool I705Skipped(int gid, int column) { return column == 4 && gid >= 1 && gid <= 7; }

// ---------------------------------------------------------------- X505 (year-end talent resources)

std::vector<GidLine> X505Lines() {
    return Lines(
        {
            QString(),
            QStringLiteral("(sPost in(21,22,23,41) or (sPost in(42) and sPostGrade in(31,32,33,34)))"),
            QStringLiteral("sPost in(21)"),
            QStringLiteral("sPost in(22,23)"),
            QStringLiteral("(sPost in(41) or (sPost in(42) and sPostGrade in(31,32,33,34)))"),
            QStringLiteral("(sPost in(31,32,33,34,35) or (sPost in(21,22,23,41,42) and (sPostGrade in(31,32,33,34))))"),
            QStringLiteral("sPost in(21,22,23,41,42) and sPostGrade in(31,32,33,34)"),
            QStringLiteral("(sPost in(31) or (sPost in(21,22,23,41,42) and (sPostGrade in(31))))"),
            QStringLiteral("(sPost in(32) or (sPost in(21,22,23,41,42) and (sPostGrade in(32))))"),
            QStringLiteral("(sPost in(33) or (sPost in(21,22,23,41,42) and (sPostGrade in(33))))"),
            QStringLiteral("(sPost in(34,35) or (sPost in(21,22,23,41,42) and (sPostGrade in(34))))"),
            QStringLiteral("(sPost in(51,52,53,54,55) or (sPost in(56,61,62,63,64) and (sJGrade in(51,52,53,54,55))))"),
            QStringLiteral("(sPost in(51) or (sPost in(56,61,62,63,64) and (sJGrade in(51))))"),
            QStringLiteral("(sPost in(52) or (sPost in(56,61,62,63,64) and (sJGrade in(52))))"),
            QStringLiteral("(sPost in(53) or (sPost in(56,61,62,63,64) and (sJGrade in(53))))"),
            QStringLiteral("(sPost in(54) or (sPost in(56,61,62,63,64) and (sJGrade in(54))))"),
            QStringLiteral("(sPost in(55) or (sPost in(56,61,62,63,64) and (sJGrade in(55))))"),
        },
        false);
}

// The age bands meet without gap or overlap: a boundary month falls into the older band.
const std::vector<GidColumn> kX505Columns = {
    {"G11", u" 1=1"},
    {"G12", u" Ssex=2"},
    {"G13", u" sNation = 1"},
    {"G14", u" sParty = 1"},
    {"G15", u" sEducation in(1,2)"},
    {"G16", u" sEducation in(3)"},
    {"G17", u" sEducation in(4)"},
    {"G18", u" sEducation in(5,6,7,8,9)"},
    {"G19", u" sBirth >= '1977-01'"},
    {"G110", u" (sBirth < '1977-01' and sBirth > '1972-01')"},
    {"G111", u" (sBirth <= '1972-01' and sBirth > '1967-01')"},
    {"G112", u" (sBirth <= '1967-01' and sBirth > '1962-01')"},
    {"G113", u" (sBirth <= '1962-01' and sBirth > '1957-01')"},
    {"G114", u" sBirth <= '1957-01'"},
    {"G115", u" sPostGrade in(31,32,33,34,35)"},
    {"G116", u" sJGrade in(51,52,53,54,55)"},
};

// Titles only for the professional rows, qualifications only for the skilled rows.
bool X505Skipped(int gid, int column) {
    if (column == 15) return !(gid >= 6 && gid <= 11);
    if (column == 16) return !(gid >= 12 && gid <= 17);
    return false;
}

// ---------------------------------------------------------------- Ⅰ303-1 (start-of-period talent survey)

// This survey reads the codes on its own three-level scale: the 其中 lines take the title
// grades 31, 32, 33 one each, and lines 16..19 the posts 31..34 one each.
std::vector<GidLine> I303Lines() {
    return Lines(EnterpriseLines({QStringLiteral("31"), QStringLiteral("32"), QStringLiteral("33")}, Posts(31, 34)),
                 false);
}

std::vector<GidColumn> I303Columns() { return StaffColumns(u" 1=1", u" sBirth >= '1972-01'", u""); }

// The title column of the workers' lines reads the title grade alone, any grade but 10 (none):
// a skilled worker without a title is not counted there, whatever his skill grade.
const char16_t* I303Condition(int gid, int column) {
    if (column != 4) return nullptr;
    if (gid >= 15 && gid <= 19) return u" sPostGrade in(31,32,33)";
    return u" sPostGrade<>10";
}

bool I303Skipped(int gid, int column) { return I704Skipped(gid, column); }

}  // namespace

const GidMatrixLayout& LayoutOf(GidSummary s) {
    static const GidMatrixLayout i704{GidSummary::I704, "Total_Info", "VmonWage", I704Lines(),
                                      I704Columns(),    nullptr,      I704Skipped};
    static const GidMatrixLayout i705{GidSummary::I705, "Total_Info",  "VmonWage", I705Lines(),
                                      I705Columns(),    I705Condition, I705Skipped};
    static const GidMatrixLayout x505{GidSummary::X505, "Total_baseInfo", "Staff_moninfo", X505Lines(),
                                      kX505Columns,     nullptr,          X505Skipped};
    static const GidMatrixLayout i303{GidSummary::I303_1, "Total_Info",  "Staff_moninfo", I303Lines(),
                                      I303Columns(),      I303Condition, I303Skipped};
    switch (s) {
    case GidSummary::I704: return i704;
    case GidSummary::I705: return i705;
    case GidSummary::X505: return x505;
    case GidSummary::I303_1: return i303;
    }
    throw std::invalid_argument("unknown summary");
}

}  // namespace qm::report
