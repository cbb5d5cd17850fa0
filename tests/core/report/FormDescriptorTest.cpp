// The four report forms' descriptions against what they describe: the sheet templates the
// figures stand in and the result tables the rows go into; and the workbook's placeholders.

#include "core/report/ReportForms.h"
#include "core/sheet/SheetTemplate.h"
#include "tests/support/TempBase.h"

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

// The code column beside a figure's column, as the form's labels say.
int CodeColumn(const FormDescriptor& f, int valueCol) {
    for (const LabelColumns& l : f.labels)
        if (l.valueCol == valueCol) return l.codeCol;
    return 3;
}

// The result column an indicator code names: "I" before a code of digits.
QString ColumnOfCode(const QString& code) {
    return !code.isEmpty() && code[0].isDigit() ? QStringLiteral("I") + code : code;
}

// Every row a code stands in (not a "-" head), by code column.
std::map<std::pair<int, int>, QString> CodedRows(const SheetTemplate& t, const FormDescriptor& f) {
    std::map<std::pair<int, int>, QString> coded;
    for (const SheetTemplate::CellText& c : t.cells) {
        const bool codeColumn = c.col == 3 || std::any_of(f.labels.begin(), f.labels.end(),
                                                          [&](const LabelColumns& l) { return l.codeCol == c.col; });
        if (codeColumn && c.row > 2 && c.text != QStringLiteral("-")) coded[{c.row, c.col}] = c.text.trimmed();
    }
    return coded;
}

// Read while this file's statics are made, before any test runs.
const QString kEarlyUnit = QuarterWageForm().supplements.front().unit;

}  // namespace

// The descriptions are whole also when asked for while other files' statics are made.
TEST(FormDescriptors, WholeWhenAskedForEarly) {
    EXPECT_EQ(kEarlyUnit, QStringLiteral("人(限规模以上工业和有资质的建筑业法人单位填报)"));
}

// A stored column that reads the wrong cell, a code row left out, a rule written beside
// another indicator's label: each puts a figure under another code in the table and the upload.
TEST(FormDescriptors, EveryColumnAndRuleStandsBesideItsCodeAndEveryCodedRowIsStoredOnce) {
    for (const Described& d : kForms) {
        SCOPED_TRACE(d.name);
        const SheetTemplate t = LoadSheetTemplate(d.form().sheetTemplate);
        std::map<std::pair<int, int>, QString> unstored = CodedRows(t, d.form());
        ASSERT_FALSE(unstored.empty());
        for (const StoredColumn& s : d.form().columns) {
            const int codeCol = CodeColumn(d.form(), s.cell.col);
            EXPECT_EQ(ColumnOfCode(t.Cell(s.cell.row, codeCol).trimmed()), s.column)
                << s.column.toStdString() << " at " << s.cell.row << "," << s.cell.col;
            EXPECT_EQ(unstored.erase({s.cell.row, codeCol}), 1u) << s.column.toStdString() << " stored twice";
        }
        for (const auto& [cell, code] : unstored)
            ADD_FAILURE() << "code " << code.toStdString() << " of row " << cell.first << " is not stored";
        for (const CellRule& r : d.form().rules)
            EXPECT_EQ(t.Cell(r.row, CodeColumn(d.form(), r.col)).trimmed(), r.code) << r.row << "," << r.col;
        for (const SupplementLine& l : d.form().supplements)
            EXPECT_TRUE(l.label.contains(QLatin1Char('(') + l.rule.code + QLatin1Char(')')))
                << l.rule.code.toStdString();
    }
}

// The row a form stores must be the table's own row: the same columns in the same order.
TEST(FormDescriptors, TheColumnsAreTheResultTablesInItsOrder) {
    test::TempBase base;
    for (const Described& d : kForms) {
        SCOPED_TRACE(d.name);
        db::Query q(base.db());
        q.Open(QStringLiteral("select * from ") + d.form().table);
        QStringList table;
        for (int i = 0; i < q.FieldCount(); ++i) table << q.Fields(i).FieldName();
        EXPECT_EQ(ColumnsOf(d.form()), table);
    }
}

// The label and the unit's name and code go into the workbook as typed: a value holding a
// placeholder's text or a stray brace is not filled again.
TEST(FormDescriptors, TheWorkbookTakesTheLabelAndTheUnitAsTyped) {
    struct Case {
        const char *label, *name, *number;
    } const cases[] = {
        {"2012年1季度", "河畔'测试单位", "12345678X"},
        {"(一季度)", "名{label}{DepNo}", "X{DepName}"},
        {"{DepNo}", "{unknown} {DepName", "}{"},
    };
    for (const Described& d : kForms)
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(d.name) + " " + c.name);
            const QString label = QString::fromUtf8(c.label), name = QString::fromUtf8(c.name),
                          number = QString::fromUtf8(c.number);
            const ExportLayout l = WorkbookOf(d.form(), label, name, number);
            QStringList texts;
            for (const FixedBlock& b : l.blocks)
                if (b.text) texts << *b.text;
            EXPECT_TRUE(texts.contains(QStringLiteral("单位名称：") + name)) << texts.join('|').toStdString();
            EXPECT_TRUE(texts.contains(QStringLiteral("法人单位代码：") + number));
            EXPECT_TRUE(l.stem.endsWith(l.stem.contains(QStringLiteral("I102-1")) ? number : label))
                << l.stem.toStdString();
            // Only the values given hold braces: the form's own texts have none left.
            const QString rest = texts.join(QString()).remove(name).remove(number).remove(label);
            EXPECT_FALSE(rest.contains(QLatin1Char('{')) || rest.contains(QLatin1Char('}'))) << rest.toStdString();
        }
}
