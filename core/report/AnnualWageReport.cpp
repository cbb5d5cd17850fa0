#include "core/report/AnnualWageReport.h"

#include "core/base/Progress.h"
#include "core/base/UiService.h"
#include "core/report/AvgPay.h"
#include "core/report/Fmt.h"
#include "core/report/Reconcile.h"
#include "core/report/Refusal.h"
#include "core/report/ResultTableWriter.h"
#include "core/report/Upload.h"
#include "core/sheet/SheetBook.h"
#include "core/sheet/SheetTemplate.h"
#include "core/unit/Gates.h"

#include <algorithm>
#include <array>

namespace qm::report {

namespace {

bool FillsWorkers(UnitClass cls) { return cls.HasProductionColumn(); }
bool Contracts(UnitClass cls) { return cls.kind() == UnitClass::Kind::GeneralContract; }
bool Subcontracts(UnitClass cls) { return cls.kind() == UnitClass::Kind::LabourSubcontract; }

}  // namespace

const std::vector<CellRule>& AnnualWageReport::Rules() {
    using S = Source;
    // Left block rows 4..39 (column 4), right block rows 3..40 (column 9); the averages over
    // months 0..12 divide by 13, the wages are in thousand yuan. Organs count their own posts
    // where their text differs ({leaders} and {clerks} as LeaderPost.h names them).
    static const std::vector<CellRule> rules{
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
    return rules;
}

const std::vector<SupplementLine>& AnnualWageReport::Supplements() {
    using S = Source;
    static const std::vector<SupplementLine> lines{
        {{42, 1, "48", S::Staff, "  where sMon>=0 and sMon<=12 and syg=1", Take::Count, Shown::Average},
         FillsWorkers,
         0,
         QStringLiteral("   一、直接从事生产经营活动的平均人数(48)   "),
         0,
         7,
         QStringLiteral("人(限规模以上工业和有资质的建筑业法人单位填报)")},
        {{44, 1, "41", S::Staff, "  where sMon=12 and sgc=1 "},
         Contracts,
         11,
         QStringLiteral("总承包和专业承包法人单位从业人员期末人数：其中：工程技术人员(41)"),
         3,
         7,
         QStringLiteral("人")},
        {{45, 1, "42", S::Staff, "  where sMon=12 and sjzs=1 "},
         Contracts,
         95,
         QStringLiteral("其中：一级建造师(42)"),
         3,
         6,
         QStringLiteral("人")},
        {{46, 1, "43", S::Staff, "  where sMon=12 and ssg in(2,3)"},
         Contracts,
         95,
         QStringLiteral("其中：现场施工人员(43)"),
         3,
         7,
         QStringLiteral("人")},
        {{47, 1, "44", S::Staff, "  where sMon=12 and ssg=3"},
         Contracts,
         103,
         QStringLiteral("其中：持证上岗人员(44)"),
         3,
         6,
         QStringLiteral("人")},
        {{48, 1, "46", S::Staff, "  where sMon=12 and sgc=1"},
         Subcontracts,
         12,
         QStringLiteral("劳务分包法人单位从业人员期末人数：其中：工程技术人员(46)"),
         3,
         7,
         QStringLiteral("人")},
        {{49, 1, "47", S::Staff, "  where sMon=12 and ssg in(2,3)"},
         Subcontracts,
         87,
         QStringLiteral("其中：现场施工人员(47)"),
         2,
         6,
         QStringLiteral("人")},
    };
    return lines;
}

namespace {

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
    supplements_.clear();
    const bool organ = unit.DepClass.IsOrgan();
    auto progress = [&](int i) { mainPb.SetPosition(i * 100 / 88 - 10); };

    // The figures and the supplements the unit's class fills, read together.
    std::vector<CellRule> rules = Rules();
    std::vector<const SupplementLine*> lines;
    for (const SupplementLine& l : Supplements())
        if (l.applies(unit.DepClass)) {
            rules.push_back(l.rule);
            lines.push_back(&l);
        }
    progress(0);
    leaderPost_ = 0;
    const QueryResults figures = ReadRules(c, rules, {}, unit.DepClass, leaderPost_);
    // Every wage sum is checked before a cell is written.
    const std::vector<QString> texts = ShownTexts(rules, figures, 13, [&](const CellRule& r) {
        return IndicatorName(sheet, r.row, r.col == 4 ? 1 : 6, r.col == 4 ? 3 : 8);
    });

    // The walk: left rows 4..39, right rows 3..40, then the supplementary lines.
    size_t next = 0;
    for (int i = 4; i <= 77; ++i) {
        progress(i);
        const int row = i <= 39 ? i : i - 37;
        const int col = i <= 39 ? 4 : 9;
        if (next >= Rules().size() || Rules()[next].row != row || Rules()[next].col != col) continue;
        sheet.SetCellText(row, col, texts[next++]);
    }

    // Supplementary lines, rows 42..52.
    auto supplement = [&](const SupplementLine& l) {
        const auto it = std::find(lines.begin(), lines.end(), &l);
        if (it == lines.end()) {
            sheet.SetCellText(l.rule.row, 1, l.TextWithout());
            supplements_.emplace_back();
        } else {
            const QString v = texts[Rules().size() + size_t(it - lines.begin())];
            sheet.SetCellText(l.rule.row, 1, l.Text(v));
            supplements_.push_back(FigureValue(v));
        }
    };
    progress(78);
    supplement(Supplements()[0]);
    progress(79);
    sheet.SetCellText(
        43, 1, QStringLiteral("   二、有资质的建筑业法人单位用工情况(限有资质的建筑业法人单位填报)") + Blanks(15));
    for (size_t k = 1; k < Supplements().size(); ++k) {
        progress(Supplements()[k].rule.row + 36);
        supplement(Supplements()[k]);
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
