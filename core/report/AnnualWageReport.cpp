#include "core/report/AnnualWageReport.h"

#include "core/base/Progress.h"
#include "core/base/UiService.h"
#include "core/report/AvgPay.h"
#include "core/report/Fmt.h"
#include "core/report/LeaderPost.h"
#include "core/report/Reconcile.h"
#include "core/report/Refusal.h"
#include "core/report/ReportQuery.h"
#include "core/report/ResultTableWriter.h"
#include "core/report/Upload.h"
#include "core/sheet/SheetBook.h"
#include "core/sheet/SheetTemplate.h"
#include "core/unit/Gates.h"

#include <array>

namespace qm::report {

namespace {

enum class Figure { Count, Average, Thousands };
enum class Select { Count, Total, N1, N2, N3, N4 };
// How an organ's selection differs from the general one.
enum class Organ { Same, Text, Leaders, Clerks };

// Month parts of the built organ selections.
const char* const kYearEnd = " where sMon=12";
const char* const kYear = " where sMon>=0 and sMon<=12";
const char* const kWageYear = " where sMon>0 and sMon<=12";

struct Indicator {
    int row, col;
    Figure figure;
    Select select;
    const char* where;  // the general selection
    Organ organ;
    const char* organWhere;  // Text: the organ's selection; Leaders/Clerks: its month part
};

// The indicator table of the form, in the order the computation walks it.
constexpr std::array kIndicators{
    // Left block: year-end counts.
    Indicator{4, 4, Figure::Count, Select::Count, " where sMon=12 ", Organ::Same, nullptr},             // 01
    Indicator{5, 4, Figure::Count, Select::Count, " where sMon=12 and sSex=2 ", Organ::Same, nullptr},  // 02
    Indicator{6, 4, Figure::Count, Select::Count, " where sMon=12 and sqrz=2 ", Organ::Same, nullptr},  // 03
    Indicator{8, 4, Figure::Count, Select::Count, " where sMon=12 and ssf=1 ", Organ::Same, nullptr},   // 05
    Indicator{9, 4, Figure::Count, Select::Count, " where sMon=12 and ssf=2 ", Organ::Same, nullptr},   // 06
    Indicator{10, 4, Figure::Count, Select::Count, " where sMon=12 and ssf=3 ", Organ::Same, nullptr},  // 07
    Indicator{12, 4, Figure::Count, Select::Count, " where sMon=12 and sEducation in(1,2,3) ", Organ::Same,
              nullptr},  // A01
    Indicator{13, 4, Figure::Count, Select::Count, " where sMon=12 and sEducation in(4) ", Organ::Same,
              nullptr},  // A02
    Indicator{14, 4, Figure::Count, Select::Count, " where sMon=12 and sEducation in(5,6,7) ", Organ::Same,
              nullptr},  // A03
    Indicator{15, 4, Figure::Count, Select::Count, " where sMon=12 and sEducation in(8,9) ", Organ::Same,
              nullptr},  // A04
    Indicator{17, 4, Figure::Count, Select::Count, " where sMon=12 and sPost like '2%' ", Organ::Leaders,
              kYearEnd},                                                                                          // 71
    Indicator{18, 4, Figure::Count, Select::Count, " where sMon=12 and sPost like '3%' ", Organ::Same, nullptr},  // 72
    Indicator{19, 4, Figure::Count, Select::Count, " where sMon=12 and sPost in(31,32) ", Organ::Same, nullptr},  // A05
    Indicator{20, 4, Figure::Count, Select::Count, " where sMon=12 and sPost in(33) ", Organ::Same, nullptr},     // A06
    Indicator{21, 4, Figure::Count, Select::Count, " where sMon=12 and sPost in(34) ", Organ::Same, nullptr},     // A07
    Indicator{22, 4, Figure::Count, Select::Count, " where sMon=12 and sPost in(35) ", Organ::Same, nullptr},     // A08
    Indicator{23, 4, Figure::Count, Select::Count, " where sMon=12 and sPost in(41,42) ", Organ::Clerks,
              kYearEnd},                                                                                       // 73
    Indicator{24, 4, Figure::Count, Select::Count, " where sMon=12 and sPost in(41) ", Organ::Same, nullptr},  // A09
    Indicator{25, 4, Figure::Count, Select::Count, " where sMon=12 and sPost in(62,63) ", Organ::Text,
              " where sMon=12 and sPost in(100)"},  // 74
    Indicator{26, 4, Figure::Count, Select::Count, " where sMon=12 and ((sPost like'5%') or (sPost in(61,64))) ",
              Organ::Text, " where sMon=12 and ((sPost like'5%') or (sPost in(19))) "},  // A10
    Indicator{27, 4, Figure::Count, Select::Count, " where sMon=12 and ((sPost like'5%') or (sPost in(61,64))) ",
              Organ::Text, " where sMon=12 and sPost in(100)"},                                                // 75
    Indicator{28, 4, Figure::Count, Select::Count, " where sMon=12 and sPost in(51) ", Organ::Same, nullptr},  // A11
    Indicator{29, 4, Figure::Count, Select::Count, " where sMon=12 and sPost in(52) ", Organ::Same, nullptr},  // A12
    Indicator{30, 4, Figure::Count, Select::Count, " where sMon=12 and sPost in(53) ", Organ::Same, nullptr},  // A13
    Indicator{31, 4, Figure::Count, Select::Count, " where sMon=12 and sPost in(54) ", Organ::Same, nullptr},  // A14
    Indicator{32, 4, Figure::Count, Select::Count, " where sMon=12 and sPost in(55) ", Organ::Same, nullptr},  // A15
    Indicator{33, 4, Figure::Count, Select::Count, " where sMon=12 and sPost in(56) ", Organ::Same, nullptr},  // A16
    Indicator{34, 4, Figure::Count, Select::Count, " where sMon=12 and sPost in(61) ", Organ::Text,
              " where sMon=12 and sPost in(100) "},  // A17
    Indicator{35, 4, Figure::Count, Select::Count, " where sMon=12 and sPost in(64) ", Organ::Text,
              " where sMon=12 and sPost in(19) "},  // A18
    // Left block: averages over months 0..12.
    Indicator{36, 4, Figure::Average, Select::Count, " where sMon>=0 and sMon<=12 ", Organ::Same, nullptr},  // 08
    Indicator{38, 4, Figure::Average, Select::Count, " where sMon>=0 and sMon<=12 and ssf=1 ", Organ::Same,
              nullptr},  // 09
    Indicator{39, 4, Figure::Average, Select::Count, " where sMon>=0 and sMon<=12 and ssf=2 ", Organ::Same,
              nullptr},  // 10
    // Right block: averages.
    Indicator{3, 9, Figure::Average, Select::Count, " where sMon>=0 and sMon<=12 and ssf=3 ", Organ::Same,
              nullptr},  // 11
    Indicator{5, 9, Figure::Average, Select::Count, " where sMon>=0 and sMon<=12 and sPost like '2%' ", Organ::Leaders,
              kYear},  // 76
    Indicator{6, 9, Figure::Average, Select::Count, " where sMon>=0 and sMon<=12 and sPost like '3%' ", Organ::Same,
              nullptr},  // 77
    Indicator{7, 9, Figure::Average, Select::Count, " where sMon>=0 and sMon<=12 and sPost in(41,42) ", Organ::Clerks,
              kYear},  // 78
    Indicator{8, 9, Figure::Average, Select::Count, " where sMon>=0 and sMon<=12 and sPost in(62,63) ", Organ::Text,
              " where sMon>=0 and sMon<=12 and sPost in(100) "},  // 79
    Indicator{9, 9, Figure::Average, Select::Count,
              " where sMon>=0 and sMon<=12 and ((sPost like'5%') or (sPost in(61,64))) ", Organ::Text,
              " where sMon>=0 and sMon<=12 and ((sPost like'5%') or (sPost in(19))) "},  // A19
    Indicator{10, 9, Figure::Average, Select::Count,
              " where sMon>=0 and sMon<=12 and ((sPost like'5%') or (sPost in(61,64))) ", Organ::Text,
              " where sMon>=0 and sMon<=12 and  sPost in(100)"},  // 80
    // Right block: wages of months 1..12 in thousand yuan.
    Indicator{12, 9, Figure::Thousands, Select::Total, "  where sMon>0 and sMon<=12 ", Organ::Same, nullptr},  // 12
    Indicator{14, 9, Figure::Thousands, Select::Total, "  where sMon>0 and sMon<=12 and ssf=1 ", Organ::Same,
              nullptr},  // 13
    Indicator{15, 9, Figure::Thousands, Select::N1, "  where sMon>0 and sMon<=12 and ssf=1 ", Organ::Same,
              nullptr},  // 14
    Indicator{16, 9, Figure::Thousands, Select::N2, "  where sMon>0 and sMon<=12 and ssf=1 ", Organ::Same,
              nullptr},  // 15
    Indicator{17, 9, Figure::Thousands, Select::N3, "  where sMon>0 and sMon<=12 and ssf=1 ", Organ::Same,
              nullptr},  // 16
    Indicator{18, 9, Figure::Thousands, Select::N4, "  where sMon>0 and sMon<=12 and ssf=1 ", Organ::Same,
              nullptr},  // 17
    Indicator{19, 9, Figure::Thousands, Select::Total, "  where sMon>0 and sMon<=12 and ssf=2 ", Organ::Same,
              nullptr},  // 18
    Indicator{20, 9, Figure::Thousands, Select::Total, "  where sMon>0 and sMon<=12 and ssf=3 ", Organ::Same,
              nullptr},  // 19
    Indicator{22, 9, Figure::Thousands, Select::Total, " where sMon>=0 and sMon<=12 and sPost like '2%' ",
              Organ::Leaders, kYear},  // 81
    Indicator{23, 9, Figure::Thousands, Select::Total, "  where sMon>0 and sMon<=12 and sPost like '3%' ", Organ::Same,
              nullptr},  // 82
    Indicator{24, 9, Figure::Thousands, Select::Total, " where sMon>0 and sMon<=12 and sPost in(41,42) ", Organ::Clerks,
              kWageYear},  // 83
    Indicator{25, 9, Figure::Thousands, Select::Total, "  where sMon>0 and sMon<=12 and sPost in(62,63) ", Organ::Text,
              " where sMon>0 and sMon<=12 and sPost in(100) "},  // 84
    Indicator{26, 9, Figure::Thousands, Select::Total,
              "  where sMon>0 and sMon<=12 and ((sPost like'5%') or (sPost in(61,64))) ", Organ::Text,
              "  where sMon>0 and sMon<=12 and ((sPost like'5%') or (sPost in(19))) "},  // A20
};

const char* SelectText(Select s) {
    switch (s) {
    case Select::Count: return " select count(*) as num from Staff_moninfo ";
    case Select::Total: return " select Sum(sTotal) as num from VmonWage ";
    case Select::N1: return " select Sum(sN1) as num from VmonWage ";
    case Select::N2: return " select Sum(sN2) as num from VmonWage ";
    case Select::N3: return " select Sum(sN3) as num from VmonWage ";
    case Select::N4: return " select Sum(sN4) as num from VmonWage ";
    }
    return "";
}

// A supplementary line of a period-end count: blanks, label and the blanks before the value.
struct SupplementLine {
    int row;
    const char* where;
    int leading;
    const char* label;
    int closing;    // blanks between the label and a value
    int noValue;    // blanks between the label and "人" when there is no value
    bool contract;  // applies to general contracting (else to labour subcontracting)
};

constexpr std::array kSupplementLines{
    SupplementLine{44, "  where sMon=12 and sgc=1 ", 11,
                   "总承包和专业承包法人单位从业人员期末人数：其中：工程技术人员(41)", 3, 7, true},
    SupplementLine{45, "  where sMon=12 and sjzs=1 ", 95, "其中：一级建造师(42)", 3, 6, true},
    SupplementLine{46, "  where sMon=12 and ssg in(2,3)", 95, "其中：现场施工人员(43)", 3, 7, true},
    SupplementLine{47, "  where sMon=12 and ssg=3", 103, "其中：持证上岗人员(44)", 3, 6, true},
    SupplementLine{48, "  where sMon=12 and sgc=1", 12, "劳务分包法人单位从业人员期末人数：其中：工程技术人员(46)", 3,
                   7, false},
    SupplementLine{49, "  where sMon=12 and ssg in(2,3)", 87, "其中：现场施工人员(47)", 2, 6, false},
};

// The group heads of both blocks: no figure of their own.
constexpr std::array<std::pair<int, int>, 10> kGroupHeads{
    {{7, 4}, {11, 4}, {16, 4}, {37, 4}, {4, 9}, {11, 9}, {13, 9}, {21, 9}, {29, 9}, {33, 9}}};

// Average pay (column 9): pay row, wage row (column 9), headcount cell.
struct PayCell {
    int payRow, wageRow, headRow, headCol;
};
constexpr std::array kPay{PayCell{28, 12, 36, 4}, PayCell{30, 14, 38, 4}, PayCell{31, 19, 39, 4}, PayCell{32, 20, 3, 9},
                          PayCell{34, 22, 5, 9},  PayCell{35, 23, 6, 9},  PayCell{36, 24, 7, 9},  PayCell{37, 25, 8, 9},
                          PayCell{38, 26, 9, 9},  PayCell{39, 27, 10, 9}};

QString Blanks(int n) { return QString(n, QLatin1Char(' ')); }

// Rows of column 9 made to add up to a total row of the same column.
void ReconcileRows(TSheetBook& sheet, std::initializer_list<int> rows, int totalRow) {
    std::vector<long long> subs;
    for (int r : rows) subs.push_back(CellInt(sheet.GetCellText(r, 9)));
    if (!Reconcile(subs, CellInt(sheet.GetCellText(totalRow, 9)))) return;
    size_t i = 0;
    for (int r : rows) sheet.SetCellText(r, 9, QString::number(subs[i++]));
}

}  // namespace

const QString AnnualWageReport::kTemplate = QStringLiteral("nglabor");
const QString AnnualWageReport::kTable = QStringLiteral("NGLabor_info");
const QString AnnualWageReport::kDefaultYear = QStringLiteral("2012");

const QStringList& AnnualWageReport::Columns() {
    static const QStringList cols =
        QStringLiteral(
            "frdm,I01,I02,I03,I05,I06,I07,A01,A02,A03,A04,I71,I72,A05,A06,A07,A08,I73,A09,I74,A10,I75,A11,A12,"
            "A13,A14,A15,A16,A17,A18,I08,I09,I10,I11,I76,I77,I78,I79,A19,I80,I12,I13,I14,I15,I16,I17,I18,I19,"
            "I81,I82,I83,I84,A20,I85,I20,I21,I22,I23,I86,I87,I88,I89,A21,I90,I51,I48,I41,I42,I43,I44,I46,I47,"
            "frmc")
            .split(QLatin1Char(','));
    return cols;
}

bool AnnualWageReport::PassGates(Gates& gates, UiService& ui) {
    if (!gates.HasMonthData(Month::YearEnd())) {
        ui.Info(QStringLiteral("无12月数据，无法统计。"));
        return false;
    }
    // A return computed from rows the audit marked wrong would be a wrong return.
    if (!gates.CheckMonthDataErrors(Month::YearEnd())) {
        ui.Info(QStringLiteral("无12月工资数据，无法统计。"));
        return false;
    }
    return true;
}

void AnnualWageReport::Compute(db::Connection& c, const MainState& unit, TSheetBook& sheet, Progress& mainPb) {
    row_.clear();
    RunReport(QStringLiteral("从业人员及工资总额（年报）"), kTable, mainPb, [&] { Fill(c, unit, sheet, mainPb); });
}

void AnnualWageReport::Fill(db::Connection& c, const MainState& unit, TSheetBook& sheet, Progress& mainPb) {
    const SheetUpdate hold(sheet);
    ApplySheetTemplate(sheet, kTemplate);
    leaderPost_ = LookLeader(c);
    supplements_.clear();
    const LeaderRule leaders(unit.DepClass, leaderPost_);
    const bool organ = leaders.IsOrgan();

    auto progress = [&](int i) { mainPb.SetPosition(i * 100 / 88 - 10); };
    const UnitClass info = unit.DepClass;
    const bool workers = info.HasProductionColumn();

    // The cell queries, read together; -1 marks a cell without a query.
    AggregateBatch batch;
    std::vector<int> query(kIndicators.size(), -1);
    for (size_t k = 0; k < kIndicators.size(); ++k) {
        const Indicator& ind = kIndicators[k];
        QString where = QString::fromUtf8(ind.where);
        db::Params params;
        if (organ) {
            switch (ind.organ) {
            case Organ::Same: break;
            case Organ::Text: where = QString::fromUtf8(ind.organWhere); break;
            case Organ::Leaders:
                if (leaders.kind() == LeaderRule::Kind::OrganNone) continue;  // no leader post held: nobody
                where = QString::fromUtf8(ind.organWhere) + PostsIn(leaders.LeaderPosts(), params);
                break;
            case Organ::Clerks:
                where = QString::fromUtf8(ind.organWhere) + PostsIn(leaders.ClerkPosts(), params);
                break;
            }
        }
        query[k] = batch.Add(QString::fromLatin1(SelectText(ind.select)), where, params);
    }
    const QString countHead = QString::fromLatin1(SelectText(Select::Count));
    const int q48 = workers ? batch.Add(countHead, QStringLiteral("  where sMon>=0 and sMon<=12 and syg=1")) : -1;
    std::vector<int> supplementQuery;
    for (const SupplementLine& l : kSupplementLines)
        supplementQuery.push_back(
            info.kind() == (l.contract ? UnitClass::Kind::GeneralContract : UnitClass::Kind::LabourSubcontract)
                ? batch.Add(countHead, QString::fromUtf8(l.where))
                : -1);
    progress(0);
    batch.Run(c);
    // Every figure is read, and every wage sum checked, before a cell is written.
    std::vector<long long> values(kIndicators.size(), 0);
    for (size_t k = 0; k < kIndicators.size(); ++k) {
        const Indicator& ind = kIndicators[k];
        if (query[k] < 0) continue;
        values[k] =
            ind.select == Select::Count
                ? batch.Count(query[k])
                : batch.SumRounded(query[k], IndicatorName(sheet, ind.row, ind.col == 4 ? 1 : 6, ind.col == 4 ? 3 : 8));
    }

    // The walk: left rows 4..39, right rows 3..40, then the supplementary lines.
    size_t next = 0;
    for (int i = 4; i <= 77; ++i) {
        progress(i);
        const int row = i <= 39 ? i : i - 37;
        const int col = i <= 39 ? 4 : 9;
        if (next >= kIndicators.size() || kIndicators[next].row != row || kIndicators[next].col != col) continue;
        const Indicator& ind = kIndicators[next];
        const long long n = values[next++];
        switch (ind.figure) {
        case Figure::Count: sheet.SetCellText(row, col, Fmt0(double(n))); break;
        case Figure::Average: sheet.SetCellText(row, col, Fmt0(double(n) / 13.0)); break;
        case Figure::Thousands: sheet.SetCellText(row, col, Fmt0(double(n) / 1000.0)); break;
        }
    }

    // Supplementary lines, rows 42..52.
    progress(78);
    {
        const QString head = QStringLiteral("   一、直接从事生产经营活动的平均人数(48)   ");
        const QString tail = QStringLiteral("  人(限规模以上工业和有资质的建筑业法人单位填报)");
        if (q48 >= 0) {
            const QString v = Fmt0(double(batch.Count(q48)) / 13.0);
            sheet.SetCellText(42, 1, head + v + tail);
            supplements_.push_back(FigureValue(v));
        } else {
            sheet.SetCellText(42, 1, head + Blanks(5) + tail);
            supplements_.emplace_back();
        }
    }
    progress(79);
    sheet.SetCellText(
        43, 1, QStringLiteral("   二、有资质的建筑业法人单位用工情况(限有资质的建筑业法人单位填报)") + Blanks(15));
    for (size_t k = 0; k < kSupplementLines.size(); ++k) {
        const SupplementLine& l = kSupplementLines[k];
        progress(l.row + 36);
        const QString label = Blanks(l.leading) + QString::fromUtf8(l.label);
        if (supplementQuery[k] >= 0) {
            const QString v = Fmt0(double(batch.Count(supplementQuery[k])));
            sheet.SetCellText(l.row, 1, label + Blanks(l.closing) + v + Blanks(2) + QStringLiteral("人"));
            supplements_.push_back(FigureValue(v));
        } else {
            sheet.SetCellText(l.row, 1, label + Blanks(l.noValue) + QStringLiteral("人"));
            supplements_.emplace_back();
        }
    }
    progress(87);
    sheet.SetCellText(
        51, 1, Blanks(11) + QStringLiteral("发放工资的法人单位：组织机构代码(49)") + Blanks(2) + QLatin1Char(':'));
    progress(88);
    sheet.SetCellText(52, 1, Blanks(50) + QStringLiteral("单位详细名称(50)") + Blanks(2) + QStringLiteral(": "));

    // The rounded wage sub-items made to add up: by staff type, the in-post components, by occupation.
    ReconcileRows(sheet, {14, 19, 20}, 12);
    ReconcileRows(sheet, {15, 16, 17, 18}, 14);
    ReconcileRows(sheet, {22, 23, 24, 25, 26}, 12);
    sheet.SetCellText(27, 9, organ ? QStringLiteral("0") : sheet.GetCellText(26, 9));

    for (const PayCell& p : kPay)
        sheet.SetCellText(p.payRow, 9,
                          AveragePay(PayRule::AnnualThousands, sheet.GetCellText(p.wageRow, 9),
                                     sheet.GetCellText(p.headRow, p.headCol)));

    for (const auto& [r, col] : kGroupHeads) sheet.SetCellText(r, col, QString());
    sheet.SetCellText(40, 9, QStringLiteral("1"));

    const db::Params row = RowFromSheet(sheet, supplements_, unit.DepNo, unit.DepName);
    CheckUploadable(Columns(), row);
    ReplaceSingleRow(c, kTable, Columns(), row);
    row_ = row;
    mainPb.SetPosition(100);
    mainPb.SetPosition(0);
}

db::Params AnnualWageReport::RowFromSheet(const TSheetBook& sheet, const db::Params& supplements, const QString& depNo,
                                          const QString& depName) {
    db::Params v;
    v.emplace_back(depNo);
    for (int k = 1; k <= 74; ++k) {
        const QString text = k <= 36 ? sheet.GetCellText(k + 3, 4) : sheet.GetCellText(k - 34, 9);
        if (!text.isEmpty()) v.push_back(FigureValue(text));
    }
    v.insert(v.end(), supplements.begin(), supplements.end());
    v.emplace_back(depName);
    return v;
}

void AnnualWageReport::Store(db::Connection& c) const { ReplaceSingleRow(c, kTable, Columns(), row_); }

bool AnnualWageReport::Upload(db::Connection& c, UiService& ui, const AppPaths& paths, const QString& depNo) const {
    if (row_.empty()) throw Refused(QStringLiteral("本表没有生成，不能上报。"));
    Store(c);
    return upload::Run(c, ui, paths, upload::Kind::AnnualReport, depNo);
}

bool AnnualWageReport::ValidYear(const QString& yearText) {
    const QString y = yearText.trimmed();
    return y == QStringLiteral("2012") || y == QStringLiteral("2013");
}

QString AnnualWageReport::WorkbookStem(const QString& depNo) { return QStringLiteral("基础定期报表I102-1_") + depNo; }

ExportLayout AnnualWageReport::Layout(const MainState& unit, const QString& yearText) {
    ExportLayout l;
    l.stem = WorkbookStem(unit.DepNo);
    l.sheetName = QStringLiteral("基础定期报表");
    l.firstRow = 1;
    l.lastRow = 52;
    l.firstCol = 1;
    l.lastCol = 9;
    l.rowOffset = 6;
    l.progressDivisor = 54;
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
    l.titleSize = 18;
    l.titleRowHeight = 20;
    l.blocks.push_back(
        TextBlock(QStringLiteral("A2:I2"), QStringLiteral("从业人员及工资总额"), 9, true, HAlign::Center));
    l.blocks.push_back(TextBlock(QStringLiteral("D3"), Blanks(6) + yearText.trimmed() + QStringLiteral("年"), 9, false,
                                 HAlign::General));
    AddUnitLines(l, 5, unit.DepName, unit.DepNo, 9);
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

bool AnnualWageReport::Export(UiService& ui, Progress& pb, const AppPaths& paths, const MainState& unit,
                              const QString& yearText, const TSheetBook& sheet) {
    if (!ValidYear(yearText)) {
        ui.Info(QStringLiteral("年份只能为2012或2013。"));
        return false;
    }
    return ExportWorkbook(ui, pb, paths, Layout(unit, yearText), sheet);
}

}  // namespace qm::report
