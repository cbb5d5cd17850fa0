#include "core/report/ReportForms.h"

namespace qm::report {

namespace {

QString Blanks(int n) { return QString(n, QLatin1Char(' ')); }

// The workbook's head that every report form shares: sheet rows 1..lastRow, columns
// 1..lastCol copied `rowOffset` rows down into the worksheet "基础定期报表".
ExportLayout FormWorkbook(const QString& stem, int lastRow, int lastCol, int rowOffset, int progressDivisor) {
    ExportLayout l;
    l.stem = stem;
    l.sheetName = QStringLiteral("基础定期报表");
    l.firstRow = 1;
    l.lastRow = lastRow;
    l.firstCol = 1;
    l.lastCol = lastCol;
    l.rowOffset = rowOffset;
    l.progressDivisor = progressDivisor;
    return l;
}

// The unit of the line 48, which says who fills it. A function: the descriptions may be asked
// for while other files' statics are made.
QString WorkersUnit() { return QStringLiteral("人(限规模以上工业和有资质的建筑业法人单位填报)"); }

// A supplementary line of column 1 (a count of staff rows unless `shown` says otherwise): its
// label `leading` blanks in, a figure `closing` blanks after it, or `noValue` blanks and the unit
// when the unit's class has none.
SupplementLine Line(int row, const char* code, const char* where, bool (*applies)(UnitClass), int leading,
                    const QString& label, int closing, int noValue, const QString& unit = QStringLiteral("人"),
                    Shown shown = Shown::Whole) {
    return {{row, 1, code, Source::Staff, where, Take::Count, shown}, applies, leading, label, closing, noValue, unit};
}

// ---------------------------------------------------------------- 202-1

namespace quarter_wage {

std::vector<CellRule> Rules() {
    using S = Source;
    return {
        // Period-end headcounts at the end month e.
        {4, 4, "01", S::Staff, " where  sMon={e}"},
        {5, 4, "71", S::Staff, " where sMon={e} and sPost like '2%' ", Take::Count, Shown::Whole,
         " where sMon={e}  and sPost in({leaders})"},
        {6, 4, "05", S::Staff, " where  sMon={e} and ssf=1"},
        {7, 4, "06", S::Staff, " where  sMon={e} and ssf=2"},
        {8, 4, "07", S::Staff, " where  sMon={e} and ssf=3"},
        // Average headcounts over months 0..e.
        {9, 5, "08", S::Staff, " where  (sMon>=0 and sMon<={e}) ", Take::Count, Shown::Average},
        {10, 5, "09", S::Staff, " where  (sMon>=0 and sMon<={e}) and ssf=1 ", Take::Count, Shown::Average},
        {11, 5, "10", S::Staff, " where  (sMon>=0 and sMon<={e}) and ssf=2 ", Take::Count, Shown::Average},
        {12, 5, "11", S::Staff, " where  (sMon>=0 and sMon<={e}) and ssf=3 ", Take::Count, Shown::Average},
        // Wages of months 1..e in thousand yuan.
        {14, 5, "12", S::Wages, " where  (sMon>=1 and sMon<={e}) ", Take::Total, Shown::Thousands},
        {15, 5, "13", S::Wages, " where  (sMon>=1 and sMon<={e}) and ssf=1 ", Take::Total, Shown::Thousands},
        {16, 5, "18", S::Wages, " where  (sMon>=1 and sMon<={e}) and ssf=2 ", Take::Total, Shown::Thousands},
        {17, 5, "19", S::Wages, " where  (sMon>=1 and sMon<={e}) and ssf=3 ", Take::Total, Shown::Thousands},
    };
}

std::vector<SupplementLine> Supplements() {
    return {
        Line(24, "48", "  where (sMon>=0 and sMon<={e}) and syg=1", units::FillsWorkers, 0,
             QStringLiteral("   一、直接从事生产经营活动的平均人数(48)"), 3, 7, WorkersUnit(), Shown::Average),
        Line(26, "41", " where  sMon={e} and sgc=1", units::Contracts, 7,
             QStringLiteral("总承包和专业承包法人单位从业人员期末人数：其中：工程技术人员(41)"), 3, 8),
        Line(27, "42", " where  sMon={e} and sjzs=1", units::Contracts, 69, QStringLiteral("其中：一级建造师(42)"), 3,
             6),
        Line(28, "47", " where  sMon={e} and ssg=1", units::Subcontracts, 7,
             QStringLiteral("劳务分包法人单位从业人员期末人数：其中：现场施工人员(47)"), 3, 6),
    };
}

ExportLayout Workbook() {
    ExportLayout l = FormWorkbook(QStringLiteral("基础定期报表I202-1_{label}"), 31, 5, 6, 30);
    l.rowHeights = {{7, 37, 13}};
    l.columnWidths = {55, 16, 15, 22, 22};
    l.centredColumns = {2, 3, 4, 5};
    l.centredCells = {QStringLiteral("A7"), QStringLiteral("A8")};
    l.titleRange = QStringLiteral("A1:E1");
    l.titleText = QStringLiteral("(二)基层定报表式");
    l.titleRowHeight = 40;
    l.blocks.push_back(TextBlock(QStringLiteral("B2"), QStringLiteral("{label}"), 10, false, HAlign::Center));
    AddUnitLines(l, 5, QStringLiteral("{DepName}"), QStringLiteral("{DepNo}"), 9);
    AddTextLines(l, QStringLiteral("E%1"), 3,
                 {QStringLiteral("表   号：202-1表"), QStringLiteral("制定机关：国家统计局"),
                  QStringLiteral("文号：国统字(2012)号"), QStringLiteral("有效期至:2014年1月 ")},
                 9, false, HAlign::General);
    for (int r = 30; r <= 38; ++r) {
        FixedBlock m;
        m.range = QStringLiteral("A%1:E%1").arg(r);
        m.merge = true;
        l.blocks.push_back(m);
    }
    FixedBlock sign;
    sign.range = QStringLiteral("A38");
    sign.text = QStringLiteral(
        "单位负责人：          统计负责人：         填表人：         联系电话：         分机号：        "
        "报出日期：20  年   月   日");
    l.blocks.push_back(sign);
    l.allLines = {QStringLiteral("A7:E28")};
    l.bottomEdges = {
        {QStringLiteral("A6:E6"), kThick}, {QStringLiteral("A28:E28"), kThick}, {QStringLiteral("A37:E37"), kThin}};
    l.margins.top = 25;
    l.margins.bottom = 10;
    l.landscape = true;
    return l;
}

FormDescriptor Make() {
    // The rounded sub-items of the wage total made to add up to it; the average pay from them;
    // one unit.
    std::vector<DerivedStep> steps{ReconcileStep{5, {15, 16, 17}, 14}};
    for (int k = 0; k < 4; ++k)
        steps.push_back(PayStep{{18 + k, 5}, {14 + k, 5}, {9 + k, 5}, PayRule::QuarterlyThousands});
    steps.push_back(TextStep{{{22, 5}}, QStringLiteral("1")});
    return {
        .title = QStringLiteral("从业人员及工资总额（季报）"),
        .sheetTemplate = QStringLiteral("jglabor"),
        .formFont = true,
        .rules = Rules(),
        .supplements = Supplements(),
        .lines = {{25, QStringLiteral("   二、有资质的建筑业法人单位用工情况(限有资质的建筑业法人单位填报)    ")},
                  {29,
                   Blanks(3) + QStringLiteral("三、不能填报\"从业人员\"和\"工资总额\"数据的法人单位填报") + Blanks(7)},
                  {30, Blanks(7) + QStringLiteral("发放工资的法人单位：组织机构代码(49)  :") + Blanks(23)},
                  {31, Blanks(31) + QStringLiteral("单位详细名称(50)      :") + Blanks(14)}},
        .steps = steps,
        .barFigures = 97,
        .table = QStringLiteral("JGLabor_info"),
        // Rows 4..8 at the end month (column 4), the others over the period (column 5).
        .columns = {{"I01", {4, 4}},
                    {"I71", {5, 4}},
                    {"I05", {6, 4}},
                    {"I06", {7, 4}},
                    {"I07", {8, 4}},
                    {"I08", {9, 5}},
                    {"I09", {10, 5}},
                    {"I10", {11, 5}},
                    {"I11", {12, 5}},
                    {"I12", {14, 5}},
                    {"I13", {15, 5}},
                    {"I18", {16, 5}},
                    {"I19", {17, 5}},
                    {"I20", {18, 5}},
                    {"I21", {19, 5}},
                    {"I22", {20, 5}},
                    {"I23", {21, 5}},
                    {"I51", {22, 5}}},
        .upload = upload::Kind::QuarterReport,
        .workbook = Workbook(),
    };
}

}  // namespace quarter_wage

// ---------------------------------------------------------------- 102-1

namespace annual_wage {

std::vector<CellRule> Rules() {
    using S = Source;
    // Left block rows 4..39 (column 4), right block rows 3..40 (column 9); the averages over
    // months 0..12 divide by 13, the wages are in thousand yuan. Organs count their own posts
    // where their text differs ({leaders} and {clerks} as LeaderPost.h names them).
    return {
        {4, 4, "01", S::Staff, " where sMon=12 ", Take::Count, Shown::Whole},
        {5, 4, "02", S::Staff, " where sMon=12 and sSex=2 ", Take::Count, Shown::Whole},
        {6, 4, "03", S::Staff, " where sMon=12 and sqrz=2 ", Take::Count, Shown::Whole},
        {8, 4, "05", S::Staff, " where sMon=12 and ssf=1 ", Take::Count, Shown::Whole},
        {9, 4, "06", S::Staff, " where sMon=12 and ssf=2 ", Take::Count, Shown::Whole},
        {10, 4, "07", S::Staff, " where sMon=12 and ssf=3 ", Take::Count, Shown::Whole},
        {12, 4, "A01", S::Staff, " where sMon=12 and sEducation in(1,2,3) ", Take::Count, Shown::Whole},
        {13, 4, "A02", S::Staff, " where sMon=12 and sEducation in(4) ", Take::Count, Shown::Whole},
        {14, 4, "A03", S::Staff, " where sMon=12 and sEducation in(5,6,7) ", Take::Count, Shown::Whole},
        {15, 4, "A04", S::Staff, " where sMon=12 and sEducation in(8,9) ", Take::Count, Shown::Whole},
        {17, 4, "71", S::Staff, " where sMon=12 and sPost like '2%' ", Take::Count, Shown::Whole,
         " where sMon=12 and sPost in({leaders})"},
        {18, 4, "72", S::Staff, " where sMon=12 and sPost like '3%' ", Take::Count, Shown::Whole},
        {19, 4, "A05", S::Staff, " where sMon=12 and sPost in(31,32) ", Take::Count, Shown::Whole},
        {20, 4, "A06", S::Staff, " where sMon=12 and sPost in(33) ", Take::Count, Shown::Whole},
        {21, 4, "A07", S::Staff, " where sMon=12 and sPost in(34) ", Take::Count, Shown::Whole},
        {22, 4, "A08", S::Staff, " where sMon=12 and sPost in(35) ", Take::Count, Shown::Whole},
        {23, 4, "73", S::Staff, " where sMon=12 and sPost in(41,42) ", Take::Count, Shown::Whole,
         " where sMon=12 and sPost in({clerks})"},
        {24, 4, "A09", S::Staff, " where sMon=12 and sPost in(41) ", Take::Count, Shown::Whole},
        {25, 4, "74", S::Staff, " where sMon=12 and sPost in(62,63) ", Take::Count, Shown::Whole,
         " where sMon=12 and sPost in(100)"},
        {26, 4, "A10", S::Staff, " where sMon=12 and ((sPost like'5%') or (sPost in(61,64))) ", Take::Count,
         Shown::Whole, " where sMon=12 and ((sPost like'5%') or (sPost in(19))) "},
        {27, 4, "75", S::Staff, " where sMon=12 and ((sPost like'5%') or (sPost in(61,64))) ", Take::Count,
         Shown::Whole, " where sMon=12 and sPost in(100)"},
        {28, 4, "A11", S::Staff, " where sMon=12 and sPost in(51) ", Take::Count, Shown::Whole},
        {29, 4, "A12", S::Staff, " where sMon=12 and sPost in(52) ", Take::Count, Shown::Whole},
        {30, 4, "A13", S::Staff, " where sMon=12 and sPost in(53) ", Take::Count, Shown::Whole},
        {31, 4, "A14", S::Staff, " where sMon=12 and sPost in(54) ", Take::Count, Shown::Whole},
        {32, 4, "A15", S::Staff, " where sMon=12 and sPost in(55) ", Take::Count, Shown::Whole},
        {33, 4, "A16", S::Staff, " where sMon=12 and sPost in(56) ", Take::Count, Shown::Whole},
        {34, 4, "A17", S::Staff, " where sMon=12 and sPost in(61) ", Take::Count, Shown::Whole,
         " where sMon=12 and sPost in(100) "},
        {35, 4, "A18", S::Staff, " where sMon=12 and sPost in(64) ", Take::Count, Shown::Whole,
         " where sMon=12 and sPost in(19) "},
        {36, 4, "08", S::Staff, " where sMon>=0 and sMon<=12 ", Take::Count, Shown::Average},
        {38, 4, "09", S::Staff, " where sMon>=0 and sMon<=12 and ssf=1 ", Take::Count, Shown::Average},
        {39, 4, "10", S::Staff, " where sMon>=0 and sMon<=12 and ssf=2 ", Take::Count, Shown::Average},
        {3, 9, "11", S::Staff, " where sMon>=0 and sMon<=12 and ssf=3 ", Take::Count, Shown::Average},
        {5, 9, "76", S::Staff, " where sMon>=0 and sMon<=12 and sPost like '2%' ", Take::Count, Shown::Average,
         " where sMon>=0 and sMon<=12 and sPost in({leaders})"},
        {6, 9, "77", S::Staff, " where sMon>=0 and sMon<=12 and sPost like '3%' ", Take::Count, Shown::Average},
        {7, 9, "78", S::Staff, " where sMon>=0 and sMon<=12 and sPost in(41,42) ", Take::Count, Shown::Average,
         " where sMon>=0 and sMon<=12 and sPost in({clerks})"},
        {8, 9, "79", S::Staff, " where sMon>=0 and sMon<=12 and sPost in(62,63) ", Take::Count, Shown::Average,
         " where sMon>=0 and sMon<=12 and sPost in(100) "},
        {9, 9, "A19", S::Staff, " where sMon>=0 and sMon<=12 and ((sPost like'5%') or (sPost in(61,64))) ", Take::Count,
         Shown::Average, " where sMon>=0 and sMon<=12 and ((sPost like'5%') or (sPost in(19))) "},
        {10, 9, "80", S::Staff, " where sMon>=0 and sMon<=12 and ((sPost like'5%') or (sPost in(61,64))) ", Take::Count,
         Shown::Average, " where sMon>=0 and sMon<=12 and  sPost in(100)"},
        {12, 9, "12", S::Wages, "  where sMon>0 and sMon<=12 ", Take::Total, Shown::Thousands},
        {14, 9, "13", S::Wages, "  where sMon>0 and sMon<=12 and ssf=1 ", Take::Total, Shown::Thousands},
        {15, 9, "14", S::Wages, "  where sMon>0 and sMon<=12 and ssf=1 ", Take::N1, Shown::Thousands},
        {16, 9, "15", S::Wages, "  where sMon>0 and sMon<=12 and ssf=1 ", Take::N2, Shown::Thousands},
        {17, 9, "16", S::Wages, "  where sMon>0 and sMon<=12 and ssf=1 ", Take::N3, Shown::Thousands},
        {18, 9, "17", S::Wages, "  where sMon>0 and sMon<=12 and ssf=1 ", Take::N4, Shown::Thousands},
        {19, 9, "18", S::Wages, "  where sMon>0 and sMon<=12 and ssf=2 ", Take::Total, Shown::Thousands},
        {20, 9, "19", S::Wages, "  where sMon>0 and sMon<=12 and ssf=3 ", Take::Total, Shown::Thousands},
        {22, 9, "81", S::Wages, " where sMon>=0 and sMon<=12 and sPost like '2%' ", Take::Total, Shown::Thousands,
         " where sMon>=0 and sMon<=12 and sPost in({leaders})"},
        {23, 9, "82", S::Wages, "  where sMon>0 and sMon<=12 and sPost like '3%' ", Take::Total, Shown::Thousands},
        {24, 9, "83", S::Wages, " where sMon>0 and sMon<=12 and sPost in(41,42) ", Take::Total, Shown::Thousands,
         " where sMon>0 and sMon<=12 and sPost in({clerks})"},
        {25, 9, "84", S::Wages, "  where sMon>0 and sMon<=12 and sPost in(62,63) ", Take::Total, Shown::Thousands,
         " where sMon>0 and sMon<=12 and sPost in(100) "},
        {26, 9, "A20", S::Wages, "  where sMon>0 and sMon<=12 and ((sPost like'5%') or (sPost in(61,64))) ",
         Take::Total, Shown::Thousands, "  where sMon>0 and sMon<=12 and ((sPost like'5%') or (sPost in(19))) "},
    };
}

std::vector<SupplementLine> Supplements() {
    return {
        Line(42, "48", "  where sMon>=0 and sMon<=12 and syg=1", units::FillsWorkers, 0,
             QStringLiteral("   一、直接从事生产经营活动的平均人数(48)   "), 0, 7, WorkersUnit(), Shown::Average),
        Line(44, "41", "  where sMon=12 and sgc=1 ", units::Contracts, 11,
             QStringLiteral("总承包和专业承包法人单位从业人员期末人数：其中：工程技术人员(41)"), 3, 7),
        Line(45, "42", "  where sMon=12 and sjzs=1 ", units::Contracts, 95, QStringLiteral("其中：一级建造师(42)"), 3,
             6),
        Line(46, "43", "  where sMon=12 and ssg in(2,3)", units::Contracts, 95,
             QStringLiteral("其中：现场施工人员(43)"), 3, 7),
        Line(47, "44", "  where sMon=12 and ssg=3", units::Contracts, 103, QStringLiteral("其中：持证上岗人员(44)"), 3,
             6),
        Line(48, "46", "  where sMon=12 and sgc=1", units::Subcontracts, 12,
             QStringLiteral("劳务分包法人单位从业人员期末人数：其中：工程技术人员(46)"), 3, 7),
        Line(49, "47", "  where sMon=12 and ssg in(2,3)", units::Subcontracts, 87,
             QStringLiteral("其中：现场施工人员(47)"), 2, 6),
    };
}

std::vector<DerivedStep> Steps() {
    std::vector<DerivedStep> steps{
        // The rounded wage sub-items made to add up: by staff type, the in-post components, by
        // occupation; 85 repeats A20, except for an organ.
        ReconcileStep{9, {14, 19, 20}, 12},
        ReconcileStep{9, {15, 16, 17, 18}, 14},
        ReconcileStep{9, {22, 23, 24, 25, 26}, 12},
        CopyStep{{27, 9}, {26, 9}},
        TextStep{{{27, 9}}, QStringLiteral("0"), units::Organ},
    };
    // Average pay (column 9): pay row, wage row (column 9), headcount cell.
    const int pay[][4] = {{28, 12, 36, 4}, {30, 14, 38, 4}, {31, 19, 39, 4}, {32, 20, 3, 9}, {34, 22, 5, 9},
                          {35, 23, 6, 9},  {36, 24, 7, 9},  {37, 25, 8, 9},  {38, 26, 9, 9}, {39, 27, 10, 9}};
    for (const auto& p : pay) steps.push_back(PayStep{{p[0], 9}, {p[1], 9}, {p[2], p[3]}, PayRule::AnnualThousands});
    // The group heads of both blocks hold no figure; one unit.
    steps.push_back(
        TextStep{{{7, 4}, {11, 4}, {16, 4}, {37, 4}, {4, 9}, {11, 9}, {13, 9}, {21, 9}, {29, 9}, {33, 9}}, QString()});
    steps.push_back(TextStep{{{40, 9}}, QStringLiteral("1")});
    return steps;
}

// The 64 figures in the table's order: the left block top to bottom, then the right one.
std::vector<StoredColumn> Columns() {
    return {
        {"I01", {4, 4}},  {"I02", {5, 4}},  {"I03", {6, 4}},  {"I05", {8, 4}},  {"I06", {9, 4}},  {"I07", {10, 4}},
        {"A01", {12, 4}}, {"A02", {13, 4}}, {"A03", {14, 4}}, {"A04", {15, 4}}, {"I71", {17, 4}}, {"I72", {18, 4}},
        {"A05", {19, 4}}, {"A06", {20, 4}}, {"A07", {21, 4}}, {"A08", {22, 4}}, {"I73", {23, 4}}, {"A09", {24, 4}},
        {"I74", {25, 4}}, {"A10", {26, 4}}, {"I75", {27, 4}}, {"A11", {28, 4}}, {"A12", {29, 4}}, {"A13", {30, 4}},
        {"A14", {31, 4}}, {"A15", {32, 4}}, {"A16", {33, 4}}, {"A17", {34, 4}}, {"A18", {35, 4}}, {"I08", {36, 4}},
        {"I09", {38, 4}}, {"I10", {39, 4}}, {"I11", {3, 9}},  {"I76", {5, 9}},  {"I77", {6, 9}},  {"I78", {7, 9}},
        {"I79", {8, 9}},  {"A19", {9, 9}},  {"I80", {10, 9}}, {"I12", {12, 9}}, {"I13", {14, 9}}, {"I14", {15, 9}},
        {"I15", {16, 9}}, {"I16", {17, 9}}, {"I17", {18, 9}}, {"I18", {19, 9}}, {"I19", {20, 9}}, {"I81", {22, 9}},
        {"I82", {23, 9}}, {"I83", {24, 9}}, {"I84", {25, 9}}, {"A20", {26, 9}}, {"I85", {27, 9}}, {"I20", {28, 9}},
        {"I21", {30, 9}}, {"I22", {31, 9}}, {"I23", {32, 9}}, {"I86", {34, 9}}, {"I87", {35, 9}}, {"I88", {36, 9}},
        {"I89", {37, 9}}, {"A21", {38, 9}}, {"I90", {39, 9}}, {"I51", {40, 9}},
    };
}

ExportLayout Workbook() {
    ExportLayout l = FormWorkbook(QStringLiteral("基础定期报表I102-1_{DepNo}"), 52, 9, 6, 54);
    // The supplementary lines get a fixed indent of their own in the workbook.
    l.cellText = [](int row, int col, const QString& text) {
        if (row < 42 || col != 1) return text;
        int indent = 0;
        switch (row) {
        case 42:
        case 43:
        case 50: indent = 1; break;
        case 44:
        case 48:
        case 51: indent = 4; break;
        case 45:
        case 46: indent = 46; break;
        case 47: indent = 49; break;
        case 49: indent = 41; break;
        case 52: indent = 24; break;
        default: return text;
        }
        return Blanks(indent) + text.trimmed();
    };
    l.copiedFontSize = 9;
    l.centredColumns = {2, 3, 4, 5, 7, 8, 9};
    l.centredCells = {QStringLiteral("A7"), QStringLiteral("A8"), QStringLiteral("F7"), QStringLiteral("F8")};
    l.columnWidths = {30, 3, 3, 9, 1, 30, 3, 3, 10};
    l.rowHeights = {{48, 58, 12}, {46, 46, 12}};
    l.titleRange = QStringLiteral("A1:I1");
    l.titleText = QStringLiteral("基础定期报表");
    l.titleRowHeight = 20;
    l.blocks.push_back(
        TextBlock(QStringLiteral("A2:I2"), QStringLiteral("从业人员及工资总额"), 9, true, HAlign::Center));
    l.blocks.push_back(
        TextBlock(QStringLiteral("D3"), Blanks(6) + QStringLiteral("{label}年"), 9, false, HAlign::General));
    AddUnitLines(l, 5, QStringLiteral("{DepName}"), QStringLiteral("{DepNo}"), 9);
    AddTextLines(l, QStringLiteral("G%1:I%1"), 3,
                 {QStringLiteral("表   号：102-1表"), QStringLiteral("制定机关：国家统计局"),
                  QStringLiteral("文号：国统字(2012)号"), QStringLiteral("有效期至:2014年1月 ")},
                 9, true, HAlign::General);
    FixedBlock separator;
    separator.range = QStringLiteral("E7:E45");
    separator.merge = true;
    l.blocks.push_back(separator);
    for (int r = 48; r <= 58; ++r) {
        FixedBlock m;
        m.range = QStringLiteral("A%1:I%1").arg(r);
        m.merge = true;
        l.blocks.push_back(m);
    }
    l.blocks.push_back(
        TextBlock(QStringLiteral("A59:I59"),
                  QStringLiteral("单位负责人：             统计负责人：            填表人：             联系电话：  "
                                 "      分机号：     报出日期：20  年   月   日"),
                  8, true));
    l.allLines = {QStringLiteral("A7:I46")};
    l.bottomEdges = {
        {QStringLiteral("A6:I6"), kThick}, {QStringLiteral("A46:I46"), kThick}, {QStringLiteral("A58:I58"), kThin}};
    l.margins.left = 30;
    l.margins.right = 10;
    l.margins.top = 10;
    l.margins.bottom = 10;
    return l;
}

FormDescriptor Make() {
    return {
        .title = QStringLiteral("从业人员及工资总额（年报）"),
        .sheetTemplate = QStringLiteral("nglabor"),
        .labels = {{9, 6, 8}},
        .rules = Rules(),
        .supplements = Supplements(),
        .lines = {{43,
                   QStringLiteral("   二、有资质的建筑业法人单位用工情况(限有资质的建筑业法人单位填报)") + Blanks(15)},
                  {51,
                   Blanks(11) + QStringLiteral("发放工资的法人单位：组织机构代码(49)") + Blanks(2) + QLatin1Char(':')},
                  {52, Blanks(50) + QStringLiteral("单位详细名称(50)") + Blanks(2) + QStringLiteral(": ")}},
        .steps = Steps(),
        .barFigures = 90,
        .table = QStringLiteral("NGLabor_info"),
        .columns = Columns(),
        .upload = upload::Kind::AnnualReport,
        .workbook = Workbook(),
    };
}

}  // namespace annual_wage

// ---------------------------------------------------------------- I202-2

namespace quarter_labour {

std::vector<CellRule> Rules() {
    using S = Source;
    // The month conditions: the run ({from}..{e}), or the year to its end ({ytd}..{e}, from
    // the start-of-period list when the run starts in January).
    const QString period = QStringLiteral(" (sMon>={from} and sMon<={e})");
    const QString ytd = QStringLiteral(" (sMon>={ytd} and sMon<={e})");
    return {
        {3, 4, "I01", S::Staff, " where  sMon={e} and " + period},
        {4, 4, "I04", S::Staff,
         " where  sMon={e} and (sPost in(21,22,23,41) or (sPost in(42) and sPostGrade in(31,32,33,34))) and " + period},
        {5, 4, "I05", S::Staff, " where  sMon={e} and ssf=1 and " + period},
        {6, 4, "I06", S::Staff, " where  sMon={e} and ssf=2 and " + period},
        {7, 4, "I07", S::Staff, " where  sMon={e} and ssf=3 and " + period},
        {9, 5, "I09", S::Staff, " where   ssf=1 and " + ytd, Take::Count, Shown::Average},
        {10, 5, "I10", S::Staff, " where   ssf=2 and " + ytd, Take::Count, Shown::Average},
        {11, 5, "I11", S::Staff, " where   ssf=3 and " + ytd, Take::Count, Shown::Average},
        // Wages as whole numbers.
        {12, 5, "I12", S::Wages, " where" + ytd, Take::Total},
        {13, 5, "I13", S::Wages, " where ssf=1 and" + ytd, Take::Total},
        {14, 5, "I18", S::Wages, " where ssf=2 and" + ytd, Take::Total},
        {15, 5, "I19", S::Wages, " where ssf=3 and" + ytd, Take::Total},
        {22, 4, "B1", S::Staff, " where   sMon={e} and sgc=1  and " + period},
        {23, 4, "B2", S::Staff, " where   sMon={e} and sjzs=1 and " + period},
        {24, 5, "B5", S::Staff, " where   syg=1 and" + ytd, Take::Count, Shown::AverageFloor},
        {26, 4, "B7", S::Staff, " where   sMon={e} and ssg in(2,3) and " + period},
    };
}

std::vector<DerivedStep> Steps() {
    // The total average headcount is the sum of the three averages as they are written; the
    // average pay in whole yuan.
    std::vector<DerivedStep> steps{SumStep{{8, 5}, {{9, 5}, {10, 5}, {11, 5}}}};
    for (int k = 0; k < 4; ++k) steps.push_back(PayStep{{16 + k, 5}, {12 + k, 5}, {8 + k, 5}, PayRule::Quotient});
    const QString dashes = QStringLiteral("--");
    const QString zero = QStringLiteral("0");
    const std::vector<DerivedStep> rest{
        TextStep{{{3, 5}, {4, 5}, {5, 5}, {6, 5}, {7, 5}, {8, 4}, {9, 4}, {10, 4}, {11, 4}, {22, 5}, {23, 5}, {24, 4}},
                 dashes},
        TextStep{{{25, 4}, {25, 5}}, QString()},
        // Supplements that do not concern the unit's kind are "0".
        TextStep{{{22, 4}, {23, 4}, {24, 5}, {26, 4}}, zero, units::OtherOrOrgan},
        TextStep{{{26, 4}}, zero, units::Contracts},
        TextStep{{{22, 4}, {23, 4}, {24, 5}}, zero, units::Subcontracts},
    };
    steps.insert(steps.end(), rest.begin(), rest.end());
    return steps;
}

ExportLayout Workbook() {
    ExportLayout l = FormWorkbook(QStringLiteral("基础定期报表I202-2_{label}"), 26, 5, 8, 20);
    l.copiedFontSize = 10;
    l.centredColumns = {2, 3, 4, 5};
    l.centredCells = {QStringLiteral("A9"), QStringLiteral("A10")};
    l.columnWidths = {55, 16, 15, 19, 19};
    l.titleRange = QStringLiteral("A2:E2");
    l.titleText = QStringLiteral("劳   动   情   况");
    l.titleRowHeight = 40;
    AddUnitLines(l, 7, QStringLiteral("{DepName}"), QStringLiteral("{DepNo}"), 9);
    l.blocks.push_back(TextBlock(QStringLiteral("B8"), QStringLiteral("{label}"), 9, false));
    AddTextLines(l, QStringLiteral("D%1:E%1"), 5,
                 {QStringLiteral("表  号:I202-2表"), QStringLiteral("制定机关：国家统计局"),
                  QStringLiteral("文  号:国统字（2011）82号"), QStringLiteral("有效期至:2013年1月 ")},
                 10, true);
    l.allLines = {QStringLiteral("A9:E34")};
    l.bottomEdges = {{QStringLiteral("A8:E8"), kThick}, {QStringLiteral("A34:E34"), kThick}};
    FixedBlock sign;
    sign.range = QStringLiteral("A35:E35");
    sign.merge = true;
    sign.text = QStringLiteral(
        "    单位负责人：          统计负责人：          填表人：            联系电话：            "
        "报出日期：2012年   月    日");
    l.blocks.push_back(sign);
    l.rowHeights = {{35, 35, 35}};
    l.margins.top = 10;
    l.margins.left = 70;
    l.margins.right = 30;
    l.margins.bottom = 10;
    l.landscape = true;
    return l;
}

FormDescriptor Make() {
    return {
        .title = QStringLiteral("企事业单位劳动统计报表（季度）"),
        .sheetTemplate = QStringLiteral("jlabor"),
        .formFont = true,
        .rules = Rules(),
        .steps = Steps(),
        .barFigures = 80,
        .table = QStringLiteral("JLabor_info"),
        // The end-month rows stand in column 4, the others in column 5.
        .columns = {{"I01", {3, 4}},  {"I04", {4, 4}},  {"I05", {5, 4}},  {"I06", {6, 4}},  {"I07", {7, 4}},
                    {"I08", {8, 5}},  {"I09", {9, 5}},  {"I10", {10, 5}}, {"I11", {11, 5}}, {"I12", {12, 5}},
                    {"I13", {13, 5}}, {"I18", {14, 5}}, {"I19", {15, 5}}, {"I20", {16, 5}}, {"I21", {17, 5}},
                    {"I22", {18, 5}}, {"I23", {19, 5}}, {"B1", {22, 4}},  {"B2", {23, 4}},  {"B5", {24, 5}},
                    {"B7", {26, 4}}},
        .upload = upload::Kind::QuarterLabour,
        .workbook = Workbook(),
    };
}

}  // namespace quarter_labour

// ---------------------------------------------------------------- I102-2

namespace annual_labour {

const char* const kManagers =
    " where sMon=12 and ((sPost in(21,22,23,41) or (sPost in(42) and sPostGrade in(31,32,33,34))) or sPost "
    "in(11,12,13,14,15))";

std::vector<CellRule> Rules() {
    using S = Source;
    const QString kWageYear = QStringLiteral("  where sMon>0 and sMon<=12 ");
    return {
        // Left half, column 4; the averages over months 0..12 divide by 13.
        {3, 4, "I01", S::Staff, " where sMon=12 ", Take::Count, Shown::Whole},
        {4, 4, "I02", S::Staff, " where sMon=12 and sSex=2 ", Take::Count, Shown::Whole},
        {5, 4, "I03", S::Staff, " where sMon=12 and sqrz=2 ", Take::Count, Shown::Whole},
        {6, 4, "I04", S::Staff, kManagers, Take::Count, Shown::Whole},
        {7, 4, "I05", S::Staff, " where sMon=12 and ssf=1 ", Take::Count, Shown::Whole},
        {8, 4, "I06", S::Staff, " where sMon=12 and ssf=2 ", Take::Count, Shown::Whole},
        {9, 4, "I07", S::Staff, " where sMon=12 and ssf=3 ", Take::Count, Shown::Whole},
        {11, 4, "I09", S::Staff, " where sMon>=0 and sMon<=12 and ssf=1 ", Take::Count, Shown::Average},
        {12, 4, "I10", S::Staff, " where sMon>=0 and sMon<=12 and ssf=2 ", Take::Count, Shown::Average},
        {13, 4, "I11", S::Staff, " where sMon>=0 and sMon<=12 and ssf=3 ", Take::Count, Shown::Average},
        // Right half, column 9: year-end counts.
        {5, 9, "A1", S::Staff, " where sMon=12 and sEducation in(1,2,3) ", Take::Count, Shown::Whole},
        {6, 9, "A2", S::Staff, " where sMon=12 and sEducation =4 ", Take::Count, Shown::Whole},
        {7, 9, "A3", S::Staff, " where sMon=12 and sEducation in(5,6,7) ", Take::Count, Shown::Whole},
        {8, 9, "A4", S::Staff, " where sMon=12 and  sEducation in(8,9) ", Take::Count, Shown::Whole},
        {10, 9, "A6", S::Staff, kManagers, Take::Count, Shown::Whole},
        {12, 9, "A8", S::Staff, " where sMon=12 and sPost in (31,32)", Take::Count, Shown::Whole},
        {13, 9, "A9", S::Staff, " where sMon=12 and sPost=33", Take::Count, Shown::Whole},
        {14, 9, "A10", S::Staff, " where sMon=12 and sPost=34", Take::Count, Shown::Whole},
        {15, 9, "A11", S::Staff, " where sMon=12 and sPost=35", Take::Count, Shown::Whole},
        {17, 9, "A13", S::Staff, " where sMon=12 and (sPost =51 or (sPost in(61,62,63,64) and (sJGrade in(51))))",
         Take::Count, Shown::Whole},
        {18, 9, "A14", S::Staff, " where sMon=12 and (sPost =52 or (sPost in(61,62,63,64) and (sJGrade in(52))))",
         Take::Count, Shown::Whole},
        {19, 9, "A15", S::Staff, " where sMon=12 and (sPost =53 or (sPost in(61,62,63,64) and (sJGrade in(53))))",
         Take::Count, Shown::Whole},
        {20, 9, "A16", S::Staff, " where sMon=12 and (sPost =54 or (sPost in(61,62,63,64) and (sJGrade in(54))))",
         Take::Count, Shown::Whole},
        {21, 9, "A17", S::Staff, " where sMon=12 and (sPost =55 or (sPost in(61,62,63,64) and (sJGrade in(55))))",
         Take::Count, Shown::Whole},
        {22, 9, "A18", S::Staff, " where sMon=12 and (sPost =56 or (sPost in(61,62,63,64) and (sJGrade in(56))))",
         Take::Count, Shown::Whole},
        {26, 9, "B1", S::Staff, " where sMon=12 and sgc=1 ", Take::Count, Shown::Whole},
        {27, 9, "B2", S::Staff, " where sMon=12 and sjzs=1 ", Take::Count, Shown::Whole},
        {28, 9, "B3", S::Staff, " where sMon=12 and ssg in(2,3) ", Take::Count, Shown::Whole},
        {29, 9, "B4", S::Staff, " where sMon=12 and ssg=3 ", Take::Count, Shown::Whole},
        {30, 9, "B5", S::Staff, " where sMon=12 and syg=1", Take::Count, Shown::Whole},
        {33, 9, "B6", S::Staff, " where sMon=12 and sgc=1 ", Take::Count, Shown::Whole},
        {34, 9, "B7", S::Staff, " where sMon=12 and ssg in(2,3) ", Take::Count, Shown::Whole},
        // Wages of months 1..12, read as whole numbers.
        {14, 4, "I12", S::Wages, kWageYear, Take::Total},
        {15, 4, "I13", S::Wages, kWageYear + " and ssf=1", Take::Total},
        {16, 4, "I14", S::Wages, kWageYear + " and ssf=1", Take::N1},
        {17, 4, "I15", S::Wages, kWageYear + " and ssf=1", Take::N2},
        {18, 4, "I16", S::Wages, kWageYear + " and ssf=1", Take::N3},
        {19, 4, "I17", S::Wages, kWageYear + " and ssf=1", Take::N4},
        {20, 4, "I18", S::Wages, kWageYear + " and ssf=2", Take::Total},
        {21, 4, "I19", S::Wages, kWageYear + " and ssf=3", Take::Total},
    };
}

std::vector<SheetCell> Column9(std::initializer_list<int> rows) {
    std::vector<SheetCell> cells;
    for (int r : rows) cells.push_back({r, 9});
    return cells;
}

std::vector<DerivedStep> Steps() {
    const QString dashes = QStringLiteral("--");
    // Sums of the figures as written (A5 takes the new A7 and A12), the average pay with two
    // decimals; the heads of the right half hold no figure.
    std::vector<DerivedStep> steps{
        SumStep{{10, 4}, {{11, 4}, {12, 4}, {13, 4}}},
        SumStep{{11, 9}, Column9({12, 13, 14, 15})},
        SumStep{{16, 9}, Column9({17, 18, 19, 20, 21, 22})},
        SumStep{{9, 9}, Column9({10, 11, 16})},
    };
    const int pay[][3] = {{22, 14, 10}, {23, 15, 11}, {24, 20, 12}, {25, 21, 13}};
    for (const auto& p : pay) steps.push_back(PayStep{{p[0], 4}, {p[1], 4}, {p[2], 4}, PayRule::Quotient00});
    const std::vector<DerivedStep> rest{
        TextStep{Column9({3, 4, 23, 24, 25, 31, 32}), QString()},
        // Supplements that do not concern the unit's kind are "--".
        TextStep{Column9({26, 27, 28, 29, 30, 33, 34}), dashes, units::OtherOrOrgan},
        TextStep{Column9({33, 34}), dashes, units::Contracts},
        TextStep{Column9({26, 27, 28, 29, 30}), dashes, units::Subcontracts},
        TextStep{{{26, 4}}, QStringLiteral("1")},
        // An organ reports no managers; A5 keeps them, as computed above.
        TextStep{{{10, 9}}, dashes, units::Organ},
    };
    steps.insert(steps.end(), rest.begin(), rest.end());
    return steps;
}

// The left half's I01..I24 (rows 3..26), then the right half's coded rows; "--" is stored 0.
std::vector<StoredColumn> Columns() {
    std::vector<StoredColumn> cols;
    for (int r = 3; r <= 26; ++r) cols.push_back({QStringLiteral("I%1").arg(r - 2, 2, 10, QLatin1Char('0')), {r, 4}});
    for (int r = 5; r <= 22; ++r) cols.push_back({QStringLiteral("A%1").arg(r - 4), {r, 9}});
    for (int r = 26; r <= 30; ++r) cols.push_back({QStringLiteral("B%1").arg(r - 25), {r, 9}});
    cols.push_back({QStringLiteral("B6"), {33, 9}});
    cols.push_back({QStringLiteral("B7"), {34, 9}});
    return cols;
}

ExportLayout Workbook() {
    ExportLayout l = FormWorkbook(QStringLiteral("基础定期报表I102-2_{label}"), 34, 9, 8, 20);
    l.copiedFontSize = 10;
    l.centredColumns = {2, 3, 4, 5, 7, 8, 9};
    l.centredCells = {QStringLiteral("A9"), QStringLiteral("A10"), QStringLiteral("F9"), QStringLiteral("F10")};
    l.columnWidths = {40, 4, 4, 10, 1, 40, 4, 4, 10};
    l.titleRange = QStringLiteral("A2:I2");
    l.titleText = QStringLiteral("基础定期报表");
    l.titleRowHeight = 20;
    l.blocks.push_back(TextBlock(QStringLiteral("A3:I3"), QStringLiteral("劳 动 情 况"), 9, true, HAlign::Center));
    l.blocks.push_back(TextBlock(QStringLiteral("A5:I5"), QStringLiteral("{label}"), 9, true, HAlign::Center));
    AddUnitLines(l, 7, QStringLiteral("{DepName}"), QStringLiteral("{DepNo}"), 9);
    AddTextLines(l, QStringLiteral("G%1:I%1"), 7,
                 {QStringLiteral("表  号:I102-2表"), QStringLiteral("有效期至:2012年6月 ")}, 10, true, HAlign::Center);
    l.allLines = {QStringLiteral("A9:I42")};
    l.bottomEdges = {{QStringLiteral("A8:I8"), kThick}, {QStringLiteral("A42:I42"), kThick}};
    l.rowHeights = {{1, 1, 0}, {4, 4, 0}, {6, 6, 0}};
    l.margins.top = 10;
    l.margins.left = 70;
    l.margins.right = 30;
    l.margins.bottom = 10;
    l.landscape = true;
    return l;
}

FormDescriptor Make() {
    return {
        .title = QStringLiteral("企事业单位劳动统计报表（年度）"),
        .sheetTemplate = QStringLiteral("nlabor"),
        .formFont = true,
        .labels = {{9, 6, 8}},
        .rules = Rules(),
        .steps = Steps(),
        .barFigures = 90,
        .barStaysFull = true,
        .table = QStringLiteral("NLabor_info"),
        .columns = Columns(),
        .upload = upload::Kind::AnnualLabour,
        .workbook = Workbook(),
    };
}

}  // namespace annual_labour

}  // namespace

const FormDescriptor& QuarterWageForm() {
    static const FormDescriptor form = quarter_wage::Make();
    return form;
}

const FormDescriptor& AnnualWageForm() {
    static const FormDescriptor form = annual_wage::Make();
    return form;
}

const FormDescriptor& QuarterLabourForm() {
    static const FormDescriptor form = quarter_labour::Make();
    return form;
}

const FormDescriptor& AnnualLabourForm() {
    static const FormDescriptor form = annual_labour::Make();
    return form;
}

}  // namespace qm::report
