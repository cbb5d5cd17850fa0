// The four Gid-matrix summaries as data: lines, columns, their condition texts and skip sets.

#include "core/report/GidMatrix.h"

#include <stdexcept>

namespace qm::report {

namespace {

// ---------------------------------------------------------------- I704 (enterprises and institutions)

// Title lines (其中) count the persons of their parent who hold a senior, middle or junior title.
const std::vector<GidLine> kI704Lines = {
    {1, u"where ", u""},
    {2, u"where sPost like '2%' and ", u" and sPost like '2%'"},
    {3, u"where sPost = 21 and ", u" and sPost = 21"},
    {4, u"where sPost = 21 and sPostGrade in(31,32) and ", u" and sPost = 21 and sPostGrade in(31,32)"},
    {5, u"where sPost = 21 and sPostGrade in(33) and ", u" and sPost = 21 and sPostGrade in(33)"},
    {6, u"where sPost = 21 and sPostGrade in(34) and ", u" and sPost = 21 and sPostGrade in(34)"},
    {7, u"where sPost = 22 and  ", u" and sPost = 22 "},
    {8, u"where sPost = 22 and sPostGrade in(31,32) and ", u" and sPost = 22 and sPostGrade in(31,32) "},
    {9, u"where sPost = 22 and sPostGrade in(33) and ", u" and sPost = 22 and sPostGrade in(33) "},
    {10, u"where sPost = 22 and sPostGrade in(34) and ", u" and sPost = 22 and sPostGrade in(34) "},
    {11, u"where sPost = 23 and ", u" and sPost = 23"},
    {12, u"where sPost = 23 and sPostGrade in(31,32) and ", u" and sPost = 23 and sPostGrade in(31,32) "},
    {13, u"where sPost = 23 and sPostGrade in(33) and ", u"  and sPost = 23 and sPostGrade in(33) "},
    {14, u"where sPost = 23 and sPostGrade in(34) and ", u" and sPost = 23 and sPostGrade in(34) "},
    {15, u"where sPost like '3%'  and ", u" and sPost like '3%'"},
    {16, u"where sPost in(31,32)  and ", u" and sPost in(31,32)"},
    {17, u"where sPost = 33  and ", u" and sPost = 33"},
    {18, u"where sPost = 34  and ", u" and sPost = 34"},
    {19, u"where sPost = 35  and ", u" and  sPost = 35"},
    {20, u"where sPost like '4%' and ", u" and sPost like '4%' "},
    {21, u"where sPost = 41 and  ", u"  and sPost = 41"},
    {22, u"where sPost = 41 and sPostGrade in(31,32) and ", u" and  sPost = 41 and sPostGrade in(31,32) "},
    {23, u"where sPost = 41 and sPostGrade in(33) and ", u" and  sPost = 41 and sPostGrade in(33) "},
    {24, u"where sPost = 41 and sPostGrade in(34) and ", u" and sPost = 41 and sPostGrade in(34) "},
    {25, u"where sPost = 42 and ", u" and sPost = 42"},
    {26, u"where sPost = 42 and sPostGrade in(31,32) and ", u" and sPost = 42 and sPostGrade in(31,32)"},
    {27, u"where sPost = 42 and sPostGrade in(33) and ", u" and sPost = 42 and sPostGrade in(33)"},
    {28, u"where sPost = 42 and sPostGrade in(34) and ", u" and sPost = 42 and sPostGrade in(34)"},
    {29, u"where sPost  like '5%' and ", u" and sPost  like '5%'"},
    {30, u"where sPost = 51  and ", u" and sPost = 51 "},
    {31, u"where sPost = 52  and ", u" and sPost = 52 "},
    {32, u"where sPost = 53  and ", u" and sPost = 53"},
    {33, u"where sPost = 54  and ", u" and sPost = 54 "},
    {34, u"where sPost = 55  and ", u" and sPost = 55 "},
    {35, u"where sPost = 56  and ", u" and sPost = 56 "},
    {36, u"where sPost like '6%' and ", u" and sPost like '6%'"},
    {37, u"where sPost = 61  and ", u" and sPost = 61 "},
    {38, u"where sPost = 62  and ", u" and sPost = 62 "},
    {39, u"where sPost = 63  and ", u" and sPost = 63"},
    {40, u"where sPost = 64  and ", u" and sPost = 64 "},
};

// Column 4 counts title holders (title grades live in sPostGrade) and skilled workers (skill
// grades 51..55 live in sJGrade only): a person counts when either matches.
const std::vector<GidColumn> kI704Columns = {
    {"G11", u""},
    {"G12", u" Ssex=2"},
    {"G13", u" sBirth >= '1976-06'"},
    {"G14", u" (sPostGrade in(31,32,33,34) or sJGrade in(51,52,53,54,55))"},
    {"G15", u" sEducation in(1,2)"},
    {"G16", u" sEducation in(3)"},
    {"G17", u" sEducation in(4)"},
    {"G18", u" sEducation in(5,6,7)"},
    {"G19", u" sEducation in(8,9)"},
};

// The title column is not computed for the leaders' and the managers' lines.
bool I704Skipped(int gid, int column) { return column == 4 && ((gid >= 1 && gid <= 14) || (gid >= 20 && gid <= 28)); }

// ---------------------------------------------------------------- I705 (government organs)

const std::vector<GidLine> kI705Lines = {
    {1, u"where ", u""},
    {2, u"where sPost in(11,12,13,14,15) and ", u" and sPost in(11,12,13,14,15) "},
    {3, u"where sPost = 11 and ", u" and sPost = 11"},
    {4, u"where sPost = 12 and ", u" and sPost = 12  "},
    {5, u"where sPost = 13  and ", u" and sPost = 13 "},
    {6, u"where sPost = 14 and ", u" and sPost = 14 "},
    {7, u"where sPost = 15 and  ", u" and sPost = 15 "},
    {8, u"where sPost like '3%'  and ", u" and sPost like '3%'"},
    {9, u"where sPost in (31,32)  and ", u" and sPost in (31,32) "},
    {10, u"where sPost = 33  and ", u" and sPost = 33 "},
    {11, u"where sPost = 34  and ", u" and sPost = 34 "},
    {12, u"where sPost = 35  and ", u" and sPost = 35 "},
    {13, u"where sPost  like '5%' and ", u" and sPost  like '5%'"},
    {14, u"where sPost = 51  and ", u" and sPost = 51 "},
    {15, u"where sPost = 52  and ", u" and sPost = 52 "},
    {16, u"where sPost = 53  and ", u" and sPost = 53 "},
    {17, u"where sPost = 54  and ", u" and sPost = 54 "},
    {18, u"where sPost = 55  and ", u" and sPost = 55 "},
    {19, u"where sPost = 56  and ", u" and sPost = 56 "},
    {20, u"where sPost = 18 and ", u" and sPost =18 "},
    {21, u"where sPost = 19  and ", u" and sPost = 19 "},
};

const std::vector<GidColumn> kI705Columns = {
    {"G11", u""},
    {"G12", u" Ssex=2"},
    {"G13", u" sBirth >= '1977-06'"},
    {"G14", u""},  // line-dependent, below
    {"G15", u" sEducation in(1,2)"},
    {"G16", u" sEducation in(3)"},
    {"G17", u" sEducation in(4)"},
    {"G18", u" sEducation in(5,6,7)"},
    {"G19", u" sEducation in(8,9)"},
};

// The title column: titles 31..33 for the professional lines; for the workers' lines also the
// skill grades 51..55, which live in sJGrade.
const char16_t* I705Condition(int gid, int column) {
    if (column != 4) return nullptr;
    if (gid >= 8 && gid <= 12) return u" sPostGrade in(31,32,33)";
    return u" (sPostGrade in(31,32,33) or sJGrade in(51,52,53,54,55))";
}

bool I705Skipped(int gid, int column) { return column == 4 && gid >= 1 && gid <= 7; }

// ---------------------------------------------------------------- X505 (year-end talent resources)

const std::vector<GidLine> kX505Lines = {
    {1, u"where ", u""},
    {2, u"where  (sPost in(21,22,23,41) or (sPost in(42) and sPostGrade in(31,32,33,34))) and ", u""},
    {3, u"where  sPost in(21) and ", u""},
    {4, u"where  sPost in(22,23) and ", u""},
    {5, u"where  (sPost in(41) or (sPost in(42) and sPostGrade in(31,32,33,34))) and ", u""},
    {6, u"where  (sPost in(31,32,33,34,35) or (sPost in(21,22,23,41,42) and (sPostGrade in(31,32,33,34)))) and ", u""},
    {7, u"where  sPost in(21,22,23,41,42) and sPostGrade in(31,32,33,34) and ", u""},
    {8, u"where  (sPost in(31) or (sPost in(21,22,23,41,42) and (sPostGrade in(31)))) and ", u""},
    {9, u"where  (sPost in(32) or (sPost in(21,22,23,41,42) and (sPostGrade in(32)))) and ", u""},
    {10, u"where  (sPost in(33) or (sPost in(21,22,23,41,42) and (sPostGrade in(33)))) and ", u""},
    {11, u"where  (sPost in(34,35) or (sPost in(21,22,23,41,42) and (sPostGrade in(34)))) and ", u""},
    {12, u"where  (sPost in(51,52,53,54,55)  or (sPost in(56,61,62,63,64) and (sJGrade in(51,52,53,54,55)))) and ",
     u""},
    {13, u"where  (sPost in(51)  or (sPost in(56,61,62,63,64) and (sJGrade in(51)))) and ", u""},
    {14, u"where  (sPost in(52)  or (sPost in(56,61,62,63,64) and (sJGrade in(52)))) and ", u""},
    {15, u"where  (sPost in(53)  or (sPost in(56,61,62,63,64) and (sJGrade in(53)))) and ", u""},
    {16, u"where  (sPost in(54)  or (sPost in(56,61,62,63,64) and (sJGrade in(54)))) and ", u""},
    {17, u"where  (sPost in(55)  or (sPost in(56,61,62,63,64) and (sJGrade in(55)))) and ", u""},
};

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
const std::vector<GidLine> kI303Lines = {
    {1, u"where ", u""},
    {2, u"where sPost like '2%' and ", u""},
    {3, u"where sPost = 21 and ", u""},
    {4, u"where sPost = 21 and sPostGrade in(31) and ", u""},
    {5, u"where sPost = 21 and sPostGrade in(32) and ", u""},
    {6, u"where sPost = 21 and sPostGrade in(33) and ", u""},
    {7, u"where sPost = 22 and  ", u""},
    {8, u"where sPost = 22 and sPostGrade in(31) and ", u""},
    {9, u"where sPost = 22 and sPostGrade in(32) and ", u""},
    {10, u"where sPost = 22 and sPostGrade in(33) and ", u""},
    {11, u"where sPost = 23 and ", u""},
    {12, u"where sPost = 23 and sPostGrade in(31) and ", u""},
    {13, u"where sPost = 23 and sPostGrade in(32) and ", u""},
    {14, u"where sPost = 23 and sPostGrade in(33) and ", u""},
    {15, u"where sPost like '3%'  and ", u""},
    {16, u"where sPost = 31  and ", u""},
    {17, u"where sPost = 32  and ", u""},
    {18, u"where sPost = 33  and ", u""},
    {19, u"where sPost = 34  and ", u""},
    {20, u"where sPost like '4%' and ", u""},
    {21, u"where sPost = 41 and  ", u""},
    {22, u"where sPost = 41 and sPostGrade in(31) and ", u""},
    {23, u"where sPost = 41 and sPostGrade in(32) and ", u""},
    {24, u"where sPost = 41 and sPostGrade in(33) and ", u""},
    {25, u"where sPost = 42 and ", u""},
    {26, u"where sPost = 42 and sPostGrade in(31) and ", u""},
    {27, u"where sPost = 42 and sPostGrade in(32) and ", u""},
    {28, u"where sPost = 42 and sPostGrade in(33) and ", u""},
    {29, u"where sPost  like '5%' and ", u""},
    {30, u"where sPost = 51  and ", u""},
    {31, u"where sPost = 52  and ", u""},
    {32, u"where sPost = 53  and ", u""},
    {33, u"where sPost = 54  and ", u""},
    {34, u"where sPost = 55  and ", u""},
    {35, u"where sPost = 56  and ", u""},
    {36, u"where sPost like '6%' and ", u""},
    {37, u"where sPost = 61  and ", u""},
    {38, u"where sPost = 62  and ", u""},
    {39, u"where sPost = 63  and ", u""},
    {40, u"where sPost = 64  and ", u""},
};

const std::vector<GidColumn> kI303Columns = {
    {"G11", u" 1=1"},
    {"G12", u" Ssex=2"},
    {"G13", u" sBirth >= '1972-01'"},
    {"G14", u""},  // line-dependent, below
    {"G15", u" sEducation in(1,2)"},
    {"G16", u" sEducation in(3)"},
    {"G17", u" sEducation in(4)"},
    {"G18", u" sEducation in(5,6,7)"},
    {"G19", u" sEducation in(8,9)"},
};

// The title column of the workers' lines: any title, or a skill grade 51..55 (kept in sJGrade).
const char16_t* I303Condition(int gid, int column) {
    if (column != 4) return nullptr;
    if (gid >= 15 && gid <= 19) return u" sPostGrade in(31,32,33)";
    return u" (sPostGrade<>10 or sJGrade in(51,52,53,54,55))";
}

bool I303Skipped(int gid, int column) { return I704Skipped(gid, column); }

}  // namespace

const GidMatrixLayout& LayoutOf(GidSummary s) {
    static const GidMatrixLayout i704{GidSummary::I704, "Total_Info", "VmonWage", kI704Lines,
                                      kI704Columns,     nullptr,      I704Skipped};
    static const GidMatrixLayout i705{GidSummary::I705, "Total_Info",  "VmonWage", kI705Lines,
                                      kI705Columns,     I705Condition, I705Skipped};
    static const GidMatrixLayout x505{GidSummary::X505, "Total_baseInfo", "Staff_moninfo", kX505Lines,
                                      kX505Columns,     nullptr,          X505Skipped};
    static const GidMatrixLayout i303{GidSummary::I303_1, "Total_Info",  "Staff_moninfo", kI303Lines,
                                      kI303Columns,       I303Condition, I303Skipped};
    switch (s) {
    case GidSummary::I704: return i704;
    case GidSummary::I705: return i705;
    case GidSummary::X505: return x505;
    case GidSummary::I303_1: return i303;
    }
    throw std::invalid_argument("unknown summary");
}

}  // namespace qm::report
