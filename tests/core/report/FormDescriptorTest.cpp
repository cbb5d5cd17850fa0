
#include "core/report/ReportForms.h"
#include "core/sheet/SheetTemplate.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

using namespace qm;
using namespace qm::report;

namespace {

struct Described {
    const char* name;
    const FormDescriptor& (*form)();
};
const Described kForms[] = {
    {"202-1", QuarterWageForm}, {"102-1", AnnualWageForm}, {"I202-2", QuarterLabourForm}, {"I102-2", AnnualLabourForm}};

int CodeColumn(const FormDescriptor& f, int valueCol) {
    for (const LabelColumns& l : f.labels)
        if (l.valueCol == valueCol) return l.codeCol;
    return 3;
}

const QString kEarlyUnit = QuarterWageForm().supplements.front().unit;

}  // namespace

TEST(FormDescriptors, WholeWhenAskedForWhileStaticsAreMade) {
    EXPECT_EQ(kEarlyUnit, QStringLiteral("人(限规模以上工业和有资质的建筑业法人单位填报)"));
}

TEST(FormDescriptors, EveryColumnAndRuleStandsBesideItsCodeAndEveryCodedRowIsStoredOnce) {
    for (const Described& d : kForms) {
        SCOPED_TRACE(d.name);
        const FormDescriptor& f = d.form();
        const SheetTemplate t = LoadSheetTemplate(f.sheetTemplate);
        std::map<std::pair<int, int>, QString> unstored;  // every row a code (not a "-") stands in
        for (const SheetTemplate::CellText& c : t.cells)
            if (c.row > 2 && c.text != QStringLiteral("-") &&
                (c.col == 3 || std::any_of(f.labels.begin(), f.labels.end(),
                                           [&](const LabelColumns& l) { return l.codeCol == c.col; })))
                unstored[{c.row, c.col}] = c.text.trimmed();
        ASSERT_FALSE(unstored.empty());
        for (const StoredColumn& s : f.columns) {
            const int codeCol = CodeColumn(f, s.cell.col);
            const QString code = t.Cell(s.cell.row, codeCol).trimmed();  // "I" before a code of digits
            EXPECT_EQ(!code.isEmpty() && code[0].isDigit() ? QStringLiteral("I") + code : code, s.column)
                << s.column.toStdString() << " at " << s.cell.row << "," << s.cell.col;
            EXPECT_EQ(unstored.erase({s.cell.row, codeCol}), 1u) << s.column.toStdString() << " stored twice";
        }
        for (const auto& [cell, code] : unstored)
            ADD_FAILURE() << "code " << code.toStdString() << " of row " << cell.first << " is not stored";
        for (const CellRule& r : f.rules)
            EXPECT_EQ(t.Cell(r.row, CodeColumn(f, r.col)).trimmed(), r.code) << r.row << "," << r.col;
        for (const SupplementLine& l : f.supplements)
            EXPECT_TRUE(l.label.contains(QLatin1Char('(') + l.rule.code + QLatin1Char(')')))
                << l.rule.code.toStdString();
    }
}

// Values holding placeholders or stray braces go into the workbook as typed, not filled again.
TEST(FormDescriptors, TheWorkbookTakesTheLabelAndTheUnitAsTyped) {
    const QString label = "{DepNo}", name = "名{label}{DepNo}{unknown} {DepName", number = "X{DepName}}{";
    for (const Described& d : kForms) {
        SCOPED_TRACE(d.name);
        const ExportLayout l = WorkbookOf(d.form(), label, name, number);
        QStringList texts;
        for (const FixedBlock& b : l.blocks)
            if (b.text) texts << *b.text;
        EXPECT_TRUE(texts.contains("单位名称：" + name)) << texts.join('|').toStdString();
        EXPECT_TRUE(texts.contains("法人单位代码：" + number));
        EXPECT_TRUE(l.stem.endsWith(l.stem.contains("I102-1") ? number : label)) << l.stem.toStdString();
        const QString rest = texts.join(QString()).remove(name).remove(number).remove(label);
        EXPECT_FALSE(rest.contains('{') || rest.contains('}')) << rest.toStdString();
    }
}
