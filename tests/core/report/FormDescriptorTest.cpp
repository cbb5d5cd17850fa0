// The four report forms' descriptions against the sheet templates their figures stand in, and
// the workbook's placeholders.

#include "core/report/ReportForms.h"
#include "core/sheet/SheetTemplate.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
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

// The code column beside a figure's column, as the form's labels say.
int CodeColumn(const FormDescriptor& f, int valueCol) {
    for (const LabelColumns& l : f.labels)
        if (l.valueCol == valueCol) return l.codeCol;
    return 3;
}

// Read while this file's statics are made, before any test runs.
const QString kEarlyUnit = QuarterWageForm().supplements.front().unit;

}  // namespace

TEST(FormDescriptors, WholeWhenAskedForWhileStaticsAreMade) {
    EXPECT_EQ(kEarlyUnit, QStringLiteral("人(限规模以上工业和有资质的建筑业法人单位填报)"));
}

// A stored column that reads the wrong cell, a code row left out, a rule written beside
// another indicator's label: each puts a figure under another code in the table and the upload.
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

// A value holding a placeholder's text or a stray brace goes into the workbook as typed, not
// filled again.
TEST(FormDescriptors, TheWorkbookTakesTheLabelAndTheUnitAsTyped) {
    const std::array<QString, 3> cases[] = {{"(一季度)", "名{label}{DepNo}", "X{DepName}"},
                                            {"{DepNo}", "{unknown} {DepName", "}{"}};
    for (const Described& d : kForms)
        for (const auto& [label, name, number] : cases) {
            SCOPED_TRACE(std::string(d.name) + " " + name.toStdString());
            const ExportLayout l = WorkbookOf(d.form(), label, name, number);
            QStringList texts;
            for (const FixedBlock& b : l.blocks)
                if (b.text) texts << *b.text;
            EXPECT_TRUE(texts.contains("单位名称：" + name)) << texts.join('|').toStdString();
            EXPECT_TRUE(texts.contains("法人单位代码：" + number));
            EXPECT_TRUE(l.stem.endsWith(l.stem.contains("I102-1") ? number : label)) << l.stem.toStdString();
            // Only the values given hold braces: the form's own texts have none left.
            const QString rest = texts.join(QString()).remove(name).remove(number).remove(label);
            EXPECT_FALSE(rest.contains('{') || rest.contains('}')) << rest.toStdString();
        }
}
