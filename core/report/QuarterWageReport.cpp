#include "core/report/QuarterWageReport.h"

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

namespace qm::report {

namespace {

QString Blanks(int n) { return QString(n, QLatin1Char(' ')); }

bool FillsWorkers(UnitClass cls) { return cls.HasProductionColumn(); }
bool Contracts(UnitClass cls) { return cls.kind() == UnitClass::Kind::GeneralContract; }
bool Subcontracts(UnitClass cls) { return cls.kind() == UnitClass::Kind::LabourSubcontract; }

// Lines of column 1 that hold no figure.
const std::pair<int, QString> kTextLines[] = {
    {25, QStringLiteral("   二、有资质的建筑业法人单位用工情况(限有资质的建筑业法人单位填报)    ")},
    {29, Blanks(3) + QStringLiteral("三、不能填报\"从业人员\"和\"工资总额\"数据的法人单位填报") + Blanks(7)},
    {30, Blanks(7) + QStringLiteral("发放工资的法人单位：组织机构代码(49)  :") + Blanks(23)},
    {31, Blanks(31) + QStringLiteral("单位详细名称(50)      :") + Blanks(14)},
};

}  // namespace

const std::vector<CellRule>& QuarterWageReport::Rules() {
    using S = Source;
    static const std::vector<CellRule> rules{
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
    return rules;
}

const std::vector<SupplementLine>& QuarterWageReport::Supplements() {
    static const std::vector<SupplementLine> lines{
        {{24, 1, "48", Source::Staff, "  where (sMon>=0 and sMon<={e}) and syg=1", Take::Count, Shown::Average},
         FillsWorkers,
         0,
         QStringLiteral("   一、直接从事生产经营活动的平均人数(48)"),
         3,
         7,
         QStringLiteral("人(限规模以上工业和有资质的建筑业法人单位填报)")},
        {{26, 1, "41", Source::Staff, " where  sMon={e} and sgc=1"},
         Contracts,
         7,
         QStringLiteral("总承包和专业承包法人单位从业人员期末人数：其中：工程技术人员(41)"),
         3,
         8,
         QStringLiteral("人")},
        {{27, 1, "42", Source::Staff, " where  sMon={e} and sjzs=1"},
         Contracts,
         69,
         QStringLiteral("其中：一级建造师(42)"),
         3,
         6,
         QStringLiteral("人")},
        {{28, 1, "47", Source::Staff, " where  sMon={e} and ssg=1"},
         Subcontracts,
         7,
         QStringLiteral("劳务分包法人单位从业人员期末人数：其中：现场施工人员(47)"),
         3,
         6,
         QStringLiteral("人")},
    };
    return lines;
}

const QString QuarterWageReport::kTemplate = QStringLiteral("jglabor");
const QString QuarterWageReport::kTable = QStringLiteral("JGLabor_info");

const QStringList& QuarterWageReport::Columns() {
    static const QStringList cols = QStringLiteral(
                                        "frdm,I01,I71,I05,I06,I07,I08,I09,I10,I11,I12,I13,I18,I19,I20,I21,I22,I23,"
                                        "I51,I48,I41,I42,I47,frmc")
                                        .split(QLatin1Char(','));
    return cols;
}

QuarterWageReport::QuarterWageReport(qm::Quarter quarter) : end_(quarter.LastMonth()) {}

QuarterWageReport QuarterWageReport::ToYearEnd() { return QuarterWageReport(Month::YearEnd()); }

QString QuarterWageReport::QuarterLabel() const {
    static const char16_t* const names[] = {u"(一季度)", u"(二季度)", u"(三季度)", u"(四季度)"};
    return QString::fromUtf16(names[Quarters() - 1]);
}

bool QuarterWageReport::PassGates(Gates& gates, UiService& ui) const {
    const Month e = end_;
    const QString noData = QStringLiteral("无") + e.Text() + QStringLiteral("月工资数据，无法统计。");
    if (!gates.HasMonthData(e)) {
        ui.Info(noData);
        return false;
    }
    // Clean staff rows but no wage row of the month: say so rather than end without a word.
    if (!gates.CheckMonthDataErrors(e)) {
        ui.Info(noData);
        return false;
    }
    return true;
}

void QuarterWageReport::Compute(db::Connection& c, const MainState& unit, TSheetBook& sheet, Progress& mainPb) {
    row_.clear();
    RunReport(QStringLiteral("从业人员及工资总额（季报）"), kTable, mainPb, [&] { Fill(c, unit, sheet, mainPb); });
}

void QuarterWageReport::Fill(db::Connection& c, const MainState& unit, TSheetBook& sheet, Progress& mainPb) {
    const SheetUpdate hold(sheet);
    ApplySheetTemplate(sheet, kTemplate);
    sheet.SetSelection(1, 1, 60, 11);
    sheet.SetFont(QStringLiteral("fnt"), 8);
    sheet.SetSelection(1, 1, 1, 1);

    supplements_.clear();
    const int e = end_.Number();
    // The figures and the supplements the unit's class fills, read together.
    std::vector<CellRule> rules = Rules();
    std::vector<const SupplementLine*> lines;
    for (const SupplementLine& l : Supplements())
        if (l.applies(unit.DepClass)) {
            rules.push_back(l.rule);
            lines.push_back(&l);
        }
    mainPb.SetPosition(0);
    const QueryResults figures = ReadRules(c, rules, {{QStringLiteral("e"), {e}}}, unit.DepClass, leaderPost_);
    const std::vector<QString> texts =
        ShownTexts(rules, figures, e + 1, [&](const CellRule& r) { return IndicatorName(sheet, r.row, 1, 3); });

    for (int r = 4; r <= 31; ++r) {
        mainPb.SetPosition(r * 100 / 33);
        for (size_t k = 0; k < Rules().size(); ++k)
            if (rules[k].row == r) sheet.SetCellText(r, rules[k].col, texts[k]);
        for (const SupplementLine& l : Supplements()) {
            if (l.rule.row != r) continue;
            const auto it = std::find(lines.begin(), lines.end(), &l);
            if (it == lines.end()) {
                sheet.SetCellText(r, 1, l.TextWithout());
                supplements_.emplace_back();
            } else {
                const QString v = texts[Rules().size() + size_t(it - lines.begin())];
                sheet.SetCellText(r, 1, l.Text(v));
                supplements_.push_back(FigureValue(v));
            }
        }
        for (const auto& [row, text] : kTextLines)
            if (row == r) sheet.SetCellText(r, 1, text);
    }

    // The rounded sub-items of the wage total made to add up to it.
    std::vector<long long> subs{CellInt(sheet.GetCellText(15, 5)), CellInt(sheet.GetCellText(16, 5)),
                                CellInt(sheet.GetCellText(17, 5))};
    if (Reconcile(subs, CellInt(sheet.GetCellText(14, 5))))
        for (int i = 0; i < 3; ++i) sheet.SetCellText(15 + i, 5, QString::number(subs[size_t(i)]));

    // Average pay from the reconciled wages.
    for (int k = 0; k < 4; ++k)
        sheet.SetCellText(
            18 + k, 5,
            AveragePay(PayRule::QuarterlyThousands, sheet.GetCellText(14 + k, 5), sheet.GetCellText(9 + k, 5)));
    sheet.SetCellText(22, 5, QStringLiteral("1"));

    mainPb.SetPosition(97);
    const db::Params row = RowFromSheet(sheet, supplements_, unit.DepNo, unit.DepName);
    CheckUploadable(Columns(), row);
    ReplaceSingleRow(c, kTable, Columns(), row);
    row_ = row;
    mainPb.SetPosition(100);
    mainPb.SetPosition(0);
}

db::Params QuarterWageReport::RowFromSheet(const TSheetBook& sheet, const db::Params& supplements, const QString& depNo,
                                           const QString& depName) {
    db::Params v;
    v.emplace_back(depNo);
    for (int r = 4; r <= 23; ++r) {
        // A row without a column-4 cell gives no value; the template's "-" cells decide.
        if (sheet.GetCellText(r, 4).isEmpty() || r == 13) continue;
        v.push_back(FigureValue(sheet.GetCellText(r, r <= 8 ? 4 : 5)));
    }
    v.insert(v.end(), supplements.begin(), supplements.end());
    v.emplace_back(depName);
    return v;
}

void QuarterWageReport::Store(db::Connection& c) const { ReplaceSingleRow(c, kTable, Columns(), row_); }

bool QuarterWageReport::Upload(db::Connection& c, UiService& ui, const AppPaths& paths, const QString& depNo) const {
    if (row_.empty()) throw Refused(QStringLiteral("本表没有生成，不能上报。"));
    // Another window may have computed another quarter since: the file holds this one.
    Store(c);
    return upload::Run(c, ui, paths, upload::Kind::QuarterReport, depNo, Quarters());
}

QString QuarterWageReport::WorkbookStem() const { return QStringLiteral("基础定期报表I202-1_") + QuarterLabel(); }

ExportLayout QuarterWageReport::Layout(const MainState& unit) const {
    ExportLayout l;
    l.stem = WorkbookStem();
    l.sheetName = QStringLiteral("基础定期报表");
    l.firstRow = 1;
    l.lastRow = 31;
    l.firstCol = 1;
    l.lastCol = 5;
    l.rowOffset = 6;
    l.progressDivisor = 30;
    l.rowHeights = {{7, 37, 13}};
    l.columnWidths = {55, 16, 15, 22, 22};
    l.centredColumns = {2, 3, 4, 5};
    l.centredCells = {QStringLiteral("A7"), QStringLiteral("A8")};
    l.titleRange = QStringLiteral("A1:E1");
    l.titleText = QStringLiteral("(二)基层定报表式");
    l.titleSize = 18;
    l.titleRowHeight = 40;
    l.blocks.push_back(TextBlock(QStringLiteral("B2"), QuarterLabel(), 10, false, HAlign::Center));
    AddUnitLines(l, 5, unit.DepName, unit.DepNo, 9);
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

}  // namespace qm::report
