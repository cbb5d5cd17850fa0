#include "core/report/AnnualLabourReport.h"

#include "core/base/Progress.h"
#include "core/report/AvgPay.h"
#include "core/report/Fmt.h"
#include "core/report/QuarterLabourReport.h"
#include "core/report/Refusal.h"
#include "core/report/ResultTableWriter.h"
#include "core/report/Upload.h"
#include "core/sheet/SheetBook.h"
#include "core/sheet/SheetTemplate.h"

namespace qm::report {

namespace {

const char* const kManagers =
    " where sMon=12 and ((sPost in(21,22,23,41) or (sPost in(42) and sPostGrade in(31,32,33,34))) or sPost "
    "in(11,12,13,14,15))";

const QString kDashes = QStringLiteral("--");

long long Sum(const TSheetBook& sheet, int col, std::initializer_list<int> rows) {
    long long s = 0;
    for (int r : rows) s += CellInt(sheet.GetCellText(r, col));
    return s;
}

}  // namespace

const QString AnnualLabourReport::kTemplate = QStringLiteral("nlabor");
const QString AnnualLabourReport::kTable = QStringLiteral("NLabor_info");
const QString AnnualLabourReport::kYearLabel = QStringLiteral("2011年");

const QStringList& AnnualLabourReport::Columns() {
    static const QStringList cols = QStringLiteral(
                                        "frdm,I01,I02,I03,I04,I05,I06,I07,I08,I09,I10,I11,I12,I13,I14,I15,I16,I17,I18,"
                                        "I19,I20,I21,I22,I23,I24,A1,A2,A3,A4,A5,A6,A7,A8,A9,A10,A11,A12,A13,A14,A15,"
                                        "A16,A17,A18,B1,B2,B3,B4,B5,B6,B7,frmc")
                                        .split(QLatin1Char(','));
    return cols;
}

const std::vector<CellRule>& AnnualLabourReport::Rules() {
    using S = Source;
    const QString kWageYear = QStringLiteral("  where sMon>0 and sMon<=12 ");
    static const std::vector<CellRule> rules{
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
    return rules;
}

void AnnualLabourReport::Prepare(TSheetBook& sheet) {
    ApplySheetTemplate(sheet, kTemplate);
    sheet.SetSelection(1, 1, 60, 11);
    sheet.SetFont(QStringLiteral("fnt"), 8);
    sheet.SetSelection(1, 1, 1, 1);
}

void AnnualLabourReport::Compute(db::Connection& c, const MainState& unit, TSheetBook& sheet, Progress& mainPb) {
    row_.clear();
    RunReport(QStringLiteral("企事业单位劳动统计报表（年度）"), kTable, mainPb, [&] { Fill(c, unit, sheet, mainPb); });
}

void AnnualLabourReport::Fill(db::Connection& c, const MainState& unit, TSheetBook& sheet, Progress& mainPb) {
    const SheetUpdate hold(sheet);
    // Every figure read in one pass per table; the wage sums are checked before a figure is
    // written.
    const QueryResults figures = ReadRules(c, Rules(), {});
    const std::vector<QString> texts =
        ShownTexts(Rules(), figures, 13, [&](const CellRule& r) { return IndicatorName(sheet, r.row, 1, 3); });
    int k = 2;
    for (size_t i = 0; i < Rules().size(); ++i) {
        sheet.SetCellText(Rules()[i].row, Rules()[i].col, texts[i]);
        mainPb.SetPosition(++k * 100 / 56 - 20);
    }

    // Sums of the figures as written; A5 takes the new A7 and A12.
    sheet.SetCellText(10, 4, QString::number(Sum(sheet, 4, {11, 12, 13})));
    sheet.SetCellText(11, 9, QString::number(Sum(sheet, 9, {12, 13, 14, 15})));
    sheet.SetCellText(16, 9, QString::number(Sum(sheet, 9, {17, 18, 19, 20, 21, 22})));
    sheet.SetCellText(9, 9, QString::number(Sum(sheet, 9, {10, 11, 16})));
    const int pay[4][3] = {{22, 14, 10}, {23, 15, 11}, {24, 20, 12}, {25, 21, 13}};
    for (const auto& p : pay)
        sheet.SetCellText(p[0], 4,
                          AveragePay(PayRule::Quotient00, sheet.GetCellText(p[1], 4), sheet.GetCellText(p[2], 4)));
    mainPb.SetPosition(90);

    for (int r : {3, 4, 23, 24, 25, 31, 32}) sheet.SetCellText(r, 9, QString());
    // Supplements that do not concern the unit's kind are "--".
    const UnitClass::Kind kind = unit.DepClass.kind();
    auto dash = [&](std::initializer_list<int> rows) {
        for (int r : rows) sheet.SetCellText(r, 9, kDashes);
    };
    if (unit.DepClass.IsOrgan() || kind == UnitClass::Kind::Other) dash({26, 27, 28, 29, 30, 33, 34});
    if (kind == UnitClass::Kind::GeneralContract) dash({33, 34});
    if (kind == UnitClass::Kind::LabourSubcontract) dash({26, 27, 28, 29, 30});
    sheet.SetCellText(26, 4, QStringLiteral("1"));
    // An organ reports no managers; A5 keeps them, as computed above.
    if (unit.DepClass.IsOrgan()) sheet.SetCellText(10, 9, kDashes);

    const db::Params row = RowFromSheet(sheet, unit.DepNo, unit.DepName);
    CheckUploadable(Columns(), row);
    ReplaceSingleRow(c, kTable, Columns(), row);
    row_ = row;
    mainPb.SetPosition(100);
}

db::Params AnnualLabourReport::RowFromSheet(const TSheetBook& sheet, const QString& depNo, const QString& depName) {
    db::Params v;
    v.emplace_back(depNo);
    auto half = [&](int first, int last, int codeCol, int valueCol) {
        for (int r = first; r <= last; ++r) {
            if (sheet.GetCellText(r, codeCol).isEmpty()) continue;
            const QString t = sheet.GetCellText(r, valueCol);
            v.push_back(t == kDashes ? db::Value(0) : FigureValue(t));
        }
    };
    half(3, 26, 3, 4);
    half(4, 37, 8, 9);
    v.emplace_back(depName);
    return v;
}

bool AnnualLabourReport::Upload(db::Connection& c, UiService& ui, const AppPaths& paths, const QString& depNo) const {
    if (row_.empty()) throw Refused(QStringLiteral("本表没有生成，不能上报。"));
    // Another window may have stored other figures since: the file holds this form's own.
    ReplaceSingleRow(c, kTable, Columns(), row_);
    return upload::Run(c, ui, paths, upload::Kind::AnnualLabour, depNo);
}

QString AnnualLabourReport::WorkbookStem() { return QStringLiteral("基础定期报表I102-2_") + kYearLabel; }

ExportLayout AnnualLabourReport::Layout(const MainState& unit) const {
    ExportLayout l;
    l.stem = WorkbookStem();
    l.sheetName = QStringLiteral("基础定期报表");
    l.firstRow = 1;
    l.lastRow = 34;
    l.firstCol = 1;
    l.lastCol = 9;
    l.rowOffset = 8;
    l.progressDivisor = 20;  // r x 5 after row r
    l.copiedFontSize = 10;
    l.centredColumns = {2, 3, 4, 5, 7, 8, 9};
    l.centredCells = {QStringLiteral("A9"), QStringLiteral("A10"), QStringLiteral("F9"), QStringLiteral("F10")};
    l.columnWidths = {40, 4, 4, 10, 1, 40, 4, 4, 10};
    l.titleRange = QStringLiteral("A2:I2");
    l.titleText = QStringLiteral("基础定期报表");
    l.titleSize = 18;
    l.titleRowHeight = 20;
    l.blocks.push_back(TextBlock(QStringLiteral("A3:I3"), QStringLiteral("劳 动 情 况"), 9, true, HAlign::Center));
    l.blocks.push_back(TextBlock(QStringLiteral("A5:I5"), kYearLabel, 9, true, HAlign::Center));
    AddUnitLines(l, 7, unit.DepName, unit.DepNo, 9);
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

}  // namespace qm::report
