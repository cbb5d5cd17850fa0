#include "core/report/QuarterLabourReport.h"

#include "core/base/Progress.h"
#include "core/report/AvgPay.h"
#include "core/report/Fmt.h"
#include "core/report/Refusal.h"
#include "core/report/ResultTableWriter.h"
#include "core/report/Upload.h"
#include "core/sheet/SheetBook.h"
#include "core/sheet/SheetTemplate.h"

#include <stdexcept>

namespace qm::report {

namespace {

// Rows whose figure stands in column 4 (the end month); the other coded rows use column 5.
bool EndMonthRow(int r) { return (r >= 3 && r <= 7) || r == 22 || r == 23 || r == 26; }

}  // namespace

const QString QuarterLabourReport::kTemplate = QStringLiteral("jlabor");
const QString QuarterLabourReport::kTable = QStringLiteral("JLabor_info");

const QStringList& QuarterLabourReport::Columns() {
    static const QStringList cols =
        QStringLiteral("frdm,I01,I04,I05,I06,I07,I08,I09,I10,I11,I12,I13,I18,I19,I20,I21,I22,I23,B1,B2,B5,B7,frmc")
            .split(QLatin1Char(','));
    return cols;
}

const std::vector<CellRule>& QuarterLabourReport::Rules() {
    using S = Source;
    // The month conditions: the run ({from}..{e}), or the year to its end ({ytd}..{e}, from
    // the start-of-period list when the run starts in January).
    const QString period = QStringLiteral(" (sMon>={from} and sMon<={e})");
    const QString ytd = QStringLiteral(" (sMon>={ytd} and sMon<={e})");
    static const std::vector<CellRule> rules{
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
    return rules;
}

QuarterLabourReport::QuarterLabourReport(int start, int end, std::optional<qm::Quarter> quarter)
    : start_(start), end_(end), quarter_(quarter), label_(quarter ? quarter->Label() : QString()) {
    if (start < 1 || end > 12 || start > end) throw std::invalid_argument("month run must lie within 1..12");
}

int QuarterLabourReport::Divisor() const {
    // A run that does not start at month 1 has no start-of-period list in it: months 4..6
    // are three months, not seven.
    return start_ == 1 ? end_ + 1 : end_ - start_ + 1;
}

void QuarterLabourReport::Prepare(TSheetBook& sheet) {
    ApplySheetTemplate(sheet, kTemplate);
    sheet.SetSelection(1, 1, 60, 11);
    sheet.SetFont(QStringLiteral("fnt"), 8);
    sheet.SetSelection(1, 1, 1, 1);
}

void QuarterLabourReport::Compute(db::Connection& c, const MainState& unit, TSheetBook& sheet, Progress& mainPb) {
    row_.clear();
    RunReport(QStringLiteral("企事业单位劳动统计报表（季度）"), kTable, mainPb, [&] { Fill(c, unit, sheet, mainPb); });
}

void QuarterLabourReport::Fill(db::Connection& c, const MainState& unit, TSheetBook& sheet, Progress& mainPb) {
    const SheetUpdate hold(sheet);
    const int divisor = Divisor();
    const int ytdFrom = start_ == 1 ? 0 : start_;
    int step = 0;
    auto done = [&] { mainPb.SetPosition(++step * 100 / 21 - 20); };
    // Every figure read in one pass per table; the wage sums are checked before a figure is
    // written.
    const QueryResults figures = ReadRules(
        c, Rules(),
        {{QStringLiteral("e"), {end_}}, {QStringLiteral("from"), {start_}}, {QStringLiteral("ytd"), {ytdFrom}}});
    const std::vector<QString> texts =
        ShownTexts(Rules(), figures, divisor, [&](const CellRule& r) { return IndicatorName(sheet, r.row, 1, 3); });
    for (size_t i = 0; i < Rules().size(); ++i) {
        sheet.SetCellText(Rules()[i].row, Rules()[i].col, texts[i]);
        done();
    }

    // The total average headcount is the sum of the three averages as they are written.
    sheet.SetCellText(8, 5,
                      QString::number(CellInt(sheet.GetCellText(9, 5)) + CellInt(sheet.GetCellText(10, 5)) +
                                      CellInt(sheet.GetCellText(11, 5))));
    for (int k = 0; k < 4; ++k)
        sheet.SetCellText(16 + k, 5,
                          AveragePay(PayRule::Quotient, sheet.GetCellText(12 + k, 5), sheet.GetCellText(8 + k, 5)));

    const QString dashes = QStringLiteral("--");
    for (int r = 3; r <= 7; ++r) sheet.SetCellText(r, 5, dashes);
    for (int r = 8; r <= 11; ++r) sheet.SetCellText(r, 4, dashes);
    sheet.SetCellText(22, 5, dashes);
    sheet.SetCellText(23, 5, dashes);
    sheet.SetCellText(24, 4, dashes);
    sheet.SetCellText(25, 4, QString());
    sheet.SetCellText(25, 5, QString());

    // Supplements that do not concern the unit's kind are "0".
    const UnitClass::Kind kind = unit.DepClass.kind();
    const QString zero = QStringLiteral("0");
    auto zeroB1B2B5 = [&] {
        sheet.SetCellText(22, 4, zero);
        sheet.SetCellText(23, 4, zero);
        sheet.SetCellText(24, 5, zero);
    };
    if (kind == UnitClass::Kind::Other || unit.DepClass.IsOrgan()) {
        zeroB1B2B5();
        sheet.SetCellText(26, 4, zero);
    }
    if (kind == UnitClass::Kind::GeneralContract) sheet.SetCellText(26, 4, zero);
    if (kind == UnitClass::Kind::LabourSubcontract) zeroB1B2B5();
    mainPb.SetPosition(80);

    const db::Params row = RowFromSheet(sheet, unit.DepNo, unit.DepName);
    CheckUploadable(Columns(), row);
    ReplaceSingleRow(c, kTable, Columns(), row);
    row_ = row;
    mainPb.SetPosition(100);
    mainPb.SetPosition(0);
}

db::Params QuarterLabourReport::RowFromSheet(const TSheetBook& sheet, const QString& depNo, const QString& depName) {
    db::Params v;
    v.emplace_back(depNo);
    for (int r = 3; r <= 26; ++r) {
        if (sheet.GetCellText(r, 3).isEmpty()) continue;
        v.push_back(FigureValue(sheet.GetCellText(r, EndMonthRow(r) ? 4 : 5)));
    }
    v.emplace_back(depName);
    return v;
}

bool QuarterLabourReport::Upload(db::Connection& c, UiService& ui, const AppPaths& paths, const QString& depNo) const {
    if (row_.empty()) throw Refused(QStringLiteral("本表没有生成，不能上报。"));
    // Another window may have stored other figures since: the file holds this form's own.
    ReplaceSingleRow(c, kTable, Columns(), row_);
    return upload::Run(c, ui, paths, upload::Kind::QuarterLabour, depNo, quarter_ ? quarter_->Number() : 0);
}

QString QuarterLabourReport::WorkbookStem() const { return QStringLiteral("基础定期报表I202-2_") + label_; }

ExportLayout QuarterLabourReport::Layout(const MainState& unit) const {
    ExportLayout l;
    l.stem = WorkbookStem();
    l.sheetName = QStringLiteral("基础定期报表");
    l.firstRow = 1;
    l.lastRow = 26;
    l.firstCol = 1;
    l.lastCol = 5;
    l.rowOffset = 8;
    l.progressDivisor = 20;  // r x 5 after row r
    l.copiedFontSize = 10;
    l.centredColumns = {2, 3, 4, 5};
    l.centredCells = {QStringLiteral("A9"), QStringLiteral("A10")};
    l.columnWidths = {55, 16, 15, 19, 19};
    l.titleRange = QStringLiteral("A2:E2");
    l.titleText = QStringLiteral("劳   动   情   况");
    l.titleSize = 18;
    l.titleRowHeight = 40;
    AddUnitLines(l, 7, unit.DepName, unit.DepNo, 9);
    l.blocks.push_back(TextBlock(QStringLiteral("B8"), label_, 9, false));
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

}  // namespace qm::report
