#include "core/report/QuarterWageReport.h"

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

namespace qm::report {

namespace {

const QString kCountHead = QStringLiteral("select count(*) as num from Staff_moninfo ");
const QString kWageHead = QStringLiteral("select sum(sTotal) as num from VmonWage ");

QString Blanks(int n) { return QString(n, QLatin1Char(' ')); }

bool FillsWorkers(UnitClass cls) { return cls.HasProductionColumn(); }

}  // namespace

const QString QuarterWageReport::kTemplate = QStringLiteral("jglabor");
const QString QuarterWageReport::kTable = QStringLiteral("JGLabor_info");

const QStringList& QuarterWageReport::Columns() {
    static const QStringList cols = QStringLiteral(
                                        "frdm,I01,I71,I05,I06,I07,I08,I09,I10,I11,I12,I13,I18,I19,I20,I21,I22,I23,"
                                        "I51,I48,I41,I42,I47,frmc")
                                        .split(QLatin1Char(','));
    return cols;
}

QuarterWageReport::QuarterWageReport(int quarter) : quarter_(quarter) {
    if (quarter < 1 || quarter > 4) throw std::invalid_argument("quarter must be 1..4");
}

QString QuarterWageReport::QuarterLabel() const {
    static const char16_t* const names[] = {u"(一季度)", u"(二季度)", u"(三季度)", u"(四季度)"};
    return QString::fromUtf16(names[quarter_ - 1]);
}

bool QuarterWageReport::PassGates(Gates& gates, UiService& ui, int quarter) {
    const Month e(quarter * 3);
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

    leaderPost_ = LookLeader(c, leaderPost_);
    supplements_.clear();
    const int e = EndMonth();
    const LeaderRule leaders(unit.DepClass, leaderPost_);

    auto average = [&](long long n) { return Fmt0(double(n) / double(e + 1)); };
    auto thousands = [&](long long n) { return Fmt0(double(n) / 1000.0); };
    // Every selection begins with the end month as its one bound mark.
    const db::Params atEnd{db::Value(e)};
    const QString endMonth = QStringLiteral(" where  sMon=?");
    const QString upToEnd = QStringLiteral(" where  (sMon>=0 and sMon<=?)");
    const QString wageMonths = QStringLiteral(" where  (sMon>=1 and sMon<=?)");
    const bool contracting = unit.DepClass.kind() == UnitClass::Kind::GeneralContract;

    // The cell queries, read together; -1 marks a cell without a query.
    AggregateBatch batch;
    auto addCount = [&](const QString& where, const db::Params& params = {}) {
        return batch.Add(kCountHead, where, params.empty() ? atEnd : params);
    };
    const int qEnd = addCount(endMonth);
    int qLeaders = -1;
    switch (leaders.kind()) {
    case LeaderRule::Kind::General: qLeaders = addCount(QStringLiteral(" where sMon=? and sPost like '2%' ")); break;
    case LeaderRule::Kind::OrganPair:
    case LeaderRule::Kind::OrganFifteen: {
        db::Params params = atEnd;
        qLeaders = addCount(QStringLiteral(" where sMon=?") + PostsIn(leaders.LeaderPosts(), params), params);
    } break;
    case LeaderRule::Kind::OrganNone: break;  // no leader post is held: nobody is counted
    }
    int qType[3], qAverage[3], qWage[3];
    for (int k = 0; k < 3; ++k) {
        static const char* const kSsf[] = {" and ssf=1", " and ssf=2", " and ssf=3"};
        const QString ssf = QString::fromLatin1(kSsf[k]);
        qType[k] = addCount(endMonth + ssf);
        qAverage[k] = addCount(upToEnd + ssf + QLatin1Char(' '));
        qWage[k] = batch.Add(kWageHead, wageMonths + ssf + QLatin1Char(' '), atEnd);
    }
    const int qAverageAll = addCount(upToEnd + QLatin1Char(' '));
    const int qWageAll = batch.Add(kWageHead, wageMonths + QLatin1Char(' '), atEnd);
    const int q48 =
        FillsWorkers(unit.DepClass) ? addCount(QStringLiteral("  where (sMon>=0 and sMon<=?) and syg=1")) : -1;
    const int q41 = contracting ? addCount(endMonth + QStringLiteral(" and sgc=1")) : -1;
    const int q42 = contracting ? addCount(endMonth + QStringLiteral(" and sjzs=1")) : -1;
    const int q47 = unit.DepClass.kind() == UnitClass::Kind::LabourSubcontract
                        ? addCount(endMonth + QStringLiteral(" and ssg=1"))
                        : -1;
    mainPb.SetPosition(0);
    batch.Run(c);
    auto count = [&](int i) { return i < 0 ? 0LL : batch.Count(i); };
    // Every wage sum is read, and checked, before a figure is written.
    const long long wageAll = batch.SumRounded(qWageAll, IndicatorName(sheet, 14, 1, 3));
    long long wageOf[3];
    for (int k = 0; k < 3; ++k) wageOf[k] = batch.SumRounded(qWage[k], IndicatorName(sheet, 15 + k, 1, 3));

    for (int r = 4; r <= 31; ++r) {
        mainPb.SetPosition(r * 100 / 33);
        switch (r) {
        case 4: sheet.SetCellText(r, 4, Fmt0(double(count(qEnd)))); break;
        case 5: sheet.SetCellText(r, 4, Fmt0(double(count(qLeaders)))); break;
        case 6:
        case 7:
        case 8: sheet.SetCellText(r, 4, Fmt0(double(count(qType[r - 6])))); break;
        case 9: sheet.SetCellText(r, 5, average(count(qAverageAll))); break;
        case 10:
        case 11:
        case 12: sheet.SetCellText(r, 5, average(count(qAverage[r - 10]))); break;
        case 14: sheet.SetCellText(r, 5, thousands(wageAll)); break;
        case 15:
        case 16:
        case 17: sheet.SetCellText(r, 5, thousands(wageOf[r - 15])); break;
        case 24: {
            const QString head = QStringLiteral("   一、直接从事生产经营活动的平均人数(48)");
            const QString tail = QStringLiteral("人(限规模以上工业和有资质的建筑业法人单位填报)");
            if (q48 >= 0) {
                const QString a = average(count(q48));
                sheet.SetCellText(r, 1, head + Blanks(3) + a + Blanks(2) + tail);
                supplements_.push_back(FigureValue(a));
            } else {
                sheet.SetCellText(r, 1, head + Blanks(7) + tail);
                supplements_.emplace_back();
            }
            break;
        }
        case 25:
            sheet.SetCellText(
                r, 1, QStringLiteral("   二、有资质的建筑业法人单位用工情况(限有资质的建筑业法人单位填报)    "));
            break;
        case 26:
        case 27:
        case 28: {
            const int q = r == 26 ? q41 : r == 27 ? q42 : q47;
            QString label;
            if (r == 26)
                label = Blanks(7) + QStringLiteral("总承包和专业承包法人单位从业人员期末人数：其中：工程技术人员(41)");
            else if (r == 27)
                label = Blanks(69) + QStringLiteral("其中：一级建造师(42)");
            else
                label = Blanks(7) + QStringLiteral("劳务分包法人单位从业人员期末人数：其中：现场施工人员(47)");
            if (q >= 0) {
                const QString n = Fmt0(double(count(q)));
                sheet.SetCellText(r, 1, label + Blanks(3) + n + Blanks(2) + QStringLiteral("人"));
                supplements_.push_back(FigureValue(n));
            } else {
                sheet.SetCellText(r, 1, label + Blanks(r == 26 ? 8 : 6) + QStringLiteral("人"));
                supplements_.emplace_back();
            }
            break;
        }
        case 29:
            sheet.SetCellText(
                r, 1,
                Blanks(3) + QStringLiteral("三、不能填报\"从业人员\"和\"工资总额\"数据的法人单位填报") + Blanks(7));
            break;
        case 30:
            sheet.SetCellText(r, 1, Blanks(7) + QStringLiteral("发放工资的法人单位：组织机构代码(49)  :") + Blanks(23));
            break;
        case 31: sheet.SetCellText(r, 1, Blanks(31) + QStringLiteral("单位详细名称(50)      :") + Blanks(14)); break;
        default: break;
        }
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
    return upload::Run(c, ui, paths, upload::Kind::QuarterReport, depNo, quarter_);
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
