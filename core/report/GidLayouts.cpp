#include "core/report/GidLayouts.h"

namespace qm::report {

namespace {

FixedBlock Head(const QString& range, std::optional<QString> text, bool wrap = false) {
    // Each head block is emptied, merged, then given its caption.
    FixedBlock b = TextBlock(range, std::move(text), 10, true, HAlign::Center, wrap);
    b.clear = true;
    return b;
}

std::vector<int> Range(int first, int last) {
    std::vector<int> v;
    for (int i = first; i <= last; ++i) v.push_back(i);
    return v;
}

}  // namespace

QString WageSummaryStem(const MonthRange& r) { return QStringLiteral("工资") + r.From() + QLatin1Char('_') + r.To(); }

ExportLayout WageSummaryLayout(GidSummary id, const MonthRange& r, const SummaryUnit& unit) {
    const bool organ = id == GidSummary::I705;
    const int lastRow = organ ? 24 : 43;  // sheet rows; +8 in the workbook
    const int last = lastRow + 8;
    ExportLayout l;
    l.stem = WageSummaryStem(r);
    l.sheetName = QStringLiteral("人员基本信息");
    l.firstRow = 2;
    l.lastRow = lastRow;
    l.firstCol = 1;
    l.lastCol = 13;
    l.rowOffset = 8;
    l.progressDivisor = organ ? 31 : 44;
    l.copiedFontSize = 10;
    l.centredColumns = Range(2, 13);
    l.centredCells = {QStringLiteral("A11"), QStringLiteral("A12")};
    l.columnWidths = {30, 6.5, 6.5, 6.5, 6.5, 6.5, 6.5, 6.5, 6.5, 6.5, 6.5, 6.5, 6.5};
    l.rowHeights = {{2, 8, 13}};
    l.titleRange = QStringLiteral("A1:M1");
    l.titleText = organ ? QStringLiteral("机关单位汇总表") : QStringLiteral("企业事业单位工资情况汇总表");
    l.titleSize = 16;
    l.titleRowHeight = 40;
    AddUnitLines(l, 7, unit.depName, unit.depNo, 8);
    AddTextLines(l, QStringLiteral("I%1:M%1"), 4,
                 {organ ? QStringLiteral("表    号：TeskI705表") : QStringLiteral("表    号： TeskI704表"),
                  organ ? QStringLiteral("制定单位:Korvath省统计局") : QStringLiteral("制定机关：Korvath省统计局"),
                  QStringLiteral("批准文号：国统制[2011]170号"), QStringLiteral("有效期至：2012年6月底"),
                  QStringLiteral("计量单位：   人、元")},
                 8, true);
    for (const FixedBlock& b : {
             Head(QStringLiteral("A9:A10"), std::nullopt),
             Head(QStringLiteral("B9:B10"), QStringLiteral("代码")),
             Head(QStringLiteral("C9:C10"), QStringLiteral("期末从业人员总数"), true),
             Head(QStringLiteral("D9:F9"), std::nullopt),
             Head(QStringLiteral("G9:K9"), QStringLiteral("学历状况")),
             Head(QStringLiteral("L9:L10"), QStringLiteral("平均人数")),
             Head(QStringLiteral("M9:M10"), QStringLiteral("工资总额")),
         })
        l.blocks.push_back(b);
    l.allLines = {QStringLiteral("A9:M") + QString::number(last)};
    l.bottomEdges = {{QStringLiteral("A8:M8"), kThick}, {QStringLiteral("A%1:M%1").arg(last), kThick}};
    if (organ) {
        l.margins.top = 100;
        l.margins.left = 30;
        l.margins.right = 30;
    }
    l.exportedToMessage = true;
    return l;
}

QString TalentStem(GidSummary id) { return id == GidSummary::X505 ? QStringLiteral("汇总表") : QStringLiteral("汇总"); }

ExportLayout TalentLayout(GidSummary id, const SummaryUnit& unit) {
    ExportLayout l;
    l.stem = TalentStem(id);
    l.sheetName = QStringLiteral("人员基本信息");
    l.copiedFontSize = 10;
    l.titleSize = 16;
    l.titleRowHeight = 40;
    l.margins.left = 30;
    l.margins.right = 30;
    l.exportedToMessage = true;
    if (id == GidSummary::X505) {
        l.firstRow = 2;
        l.lastRow = 20;
        l.lastCol = 19;
        l.rowOffset = 8;
        l.progressDivisor = 20;
        l.centredColumns = Range(2, 19);
        l.centredCells = {QStringLiteral("A11"), QStringLiteral("A12")};
        l.columnWidths = {22, 3, 3};
        for (int c = 4; c <= 19; ++c) l.columnWidths.push_back(4.5);
        l.rowHeights = {{2, 8, 13}};
        l.titleRange = QStringLiteral("A1:S1");
        l.titleText = QStringLiteral("企业事业单位汇总表");
        AddUnitLines(l, 7, unit.depName, unit.depNo, 8);
        // Rows 2 and 3 keep the template's text.
        AddTextLines(l, QStringLiteral("O%1:S%1"), 2,
                     {QString(), QString(), QStringLiteral("表    号： X505表"), QStringLiteral("制定机关：国家统计局"),
                      QStringLiteral("文    号：国统制[2011]17号"), QStringLiteral("有效期至：2011年12月底"),
                      QStringLiteral("计量单位：   人")},
                     8, true);
        for (const FixedBlock& b :
             {Head(QStringLiteral("A9:A10"), std::nullopt), Head(QStringLiteral("B9:B10"), QStringLiteral("代码")),
              Head(QStringLiteral("C9:C10"), QStringLiteral("计量单位"), true),
              Head(QStringLiteral("D9:D10"), QStringLiteral("总数"), true),
              Head(QStringLiteral("E9:E10"), QStringLiteral("女性"), true),
              Head(QStringLiteral("F9:F10"), QStringLiteral("少数民族"), true),
              Head(QStringLiteral("G9:G10"), QStringLiteral("中共党员"), true),
              Head(QStringLiteral("H9:K9"), QStringLiteral("学历状况")),
              Head(QStringLiteral("L9:Q9"), QStringLiteral("年龄状况")),
              Head(QStringLiteral("R9:S9"), QStringLiteral("持证状况"))})
            l.blocks.push_back(b);
        l.allLines = {QStringLiteral("A9:S28")};
        l.bottomEdges = {{QStringLiteral("A28:S28"), kThick}, {QStringLiteral("A8:S8"), kThick}};
        l.margins.top = 50;
        return l;
    }
    l.firstRow = 2;
    l.lastRow = 43;
    l.lastCol = 11;
    l.rowOffset = 7;
    l.progressDivisor = 44;
    l.centredColumns = Range(2, 11);
    l.centredCells = {QStringLiteral("A10"), QStringLiteral("A11")};
    l.columnWidths = {40};
    for (int c = 2; c <= 11; ++c) l.columnWidths.push_back(7.5);
    l.rowHeights = {{2, 7, 13}};
    l.titleRange = QStringLiteral("A1:K1");
    l.titleText = QStringLiteral("非公有制企业（单位）人才资源状况调查表");
    AddUnitLines(l, 6, unit.depName, unit.depNo, 8);
    AddTextLines(l, QStringLiteral("G%1:K%1"), 2,
                 {QStringLiteral("表  号： Ⅰ303-1   表"), QStringLiteral("制表机关:Korvath省委组织部"),
                  QStringLiteral("批准机关:Korvath省统计局"), QStringLiteral("批准文号:Tesk统制表[2009]  号"),
                  QStringLiteral("有效期至：2010  年 6 月"), QStringLiteral("计量单位：   人")},
                 8, true);
    for (const FixedBlock& b :
         {Head(QStringLiteral("A8:A9"), std::nullopt), Head(QStringLiteral("B8:B9"), QStringLiteral("代码")),
          Head(QStringLiteral("C8:C9"), QStringLiteral("总数")), Head(QStringLiteral("D8:F8"), std::nullopt),
          Head(QStringLiteral("G8:K8"), QStringLiteral("学历状况"))})
        l.blocks.push_back(b);
    l.allLines = {QStringLiteral("A8:K50")};
    l.bottomEdges = {{QStringLiteral("A50:K50"), kThick}, {QStringLiteral("A7:K7"), kThick}};
    l.margins.top = 100;
    l.landscape = true;
    return l;
}

}  // namespace qm::report
