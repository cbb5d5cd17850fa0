#include "core/report/FormDescriptor.h"

#include "core/base/Progress.h"
#include "core/report/Fmt.h"
#include "core/report/Reconcile.h"
#include "core/report/Refusal.h"
#include "core/report/ResultTableWriter.h"
#include "core/sheet/SheetBook.h"
#include "core/sheet/SheetTemplate.h"

#include <map>

namespace qm::report {

namespace units {
bool Organ(UnitClass cls) { return cls.IsOrgan(); }
bool OtherOrOrgan(UnitClass cls) { return cls.IsOrgan() || cls.kind() == UnitClass::Kind::Other; }
bool FillsWorkers(UnitClass cls) { return cls.HasProductionColumn(); }
bool Contracts(UnitClass cls) { return cls.kind() == UnitClass::Kind::GeneralContract; }
bool Subcontracts(UnitClass cls) { return cls.kind() == UnitClass::Kind::LabourSubcontract; }
}  // namespace units

namespace {

QString Text(const TSheetBook& sheet, SheetCell c) { return sheet.GetCellText(c.row, c.col); }
void Put(TSheetBook& sheet, SheetCell c, const QString& text) { sheet.SetCellText(c.row, c.col, text); }

QString NameOf(const FormDescriptor& form, const TSheetBook& sheet, const CellRule& r) {
    for (const LabelColumns& l : form.labels)
        if (l.valueCol == r.col) return IndicatorName(sheet, r.row, l.labelCol, l.codeCol);
    return IndicatorName(sheet, r.row, 1, 3);
}

void Apply(const DerivedStep& step, TSheetBook& sheet, UnitClass cls) {
    if (const auto* s = std::get_if<ReconcileStep>(&step)) {
        std::vector<long long> subs;
        for (int r : s->rows) subs.push_back(CellInt(sheet.GetCellText(r, s->col)));
        if (!Reconcile(subs, CellInt(sheet.GetCellText(s->totalRow, s->col)))) return;
        for (size_t i = 0; i < subs.size(); ++i) sheet.SetCellText(s->rows[i], s->col, QString::number(subs[i]));
    } else if (const auto* s = std::get_if<SumStep>(&step)) {
        long long sum = 0;
        for (SheetCell c : s->addends) sum += CellInt(Text(sheet, c));
        Put(sheet, s->at, QString::number(sum));
    } else if (const auto* s = std::get_if<PayStep>(&step)) {
        Put(sheet, s->at, AveragePay(s->rule, Text(sheet, s->wage), Text(sheet, s->headcount)));
    } else if (const auto* s = std::get_if<CopyStep>(&step)) {
        Put(sheet, s->at, Text(sheet, s->from));
    } else if (const auto* s = std::get_if<TextStep>(&step)) {
        if (s->when && !s->when(cls)) return;
        for (SheetCell c : s->cells) Put(sheet, c, s->text);
    }
}

// `text` with each "{name}" of `values` replaced in one pass, so that a value holding braces
// stays as it is; an unknown name is kept.
QString Filled(const QString& text, const std::map<QString, QString>& values) {
    QString out;
    qsizetype from = 0;
    for (;;) {
        const qsizetype open = text.indexOf(QLatin1Char('{'), from);
        const qsizetype close = open < 0 ? -1 : text.indexOf(QLatin1Char('}'), open);
        if (close < 0) break;
        const auto it = values.find(text.mid(open + 1, close - open - 1));
        out += text.mid(from, open - from);
        out += it == values.end() ? text.mid(open, close - open + 1) : it->second;
        from = close + 1;
    }
    return out + text.mid(from);
}

}  // namespace

void PrepareSheet(const FormDescriptor& form, TSheetBook& sheet) {
    ApplySheetTemplate(sheet, form.sheetTemplate);
    if (!form.formFont) return;
    sheet.SetSelection(1, 1, 60, 11);
    sheet.SetFont(QStringLiteral("fnt"), 8);
    sheet.SetSelection(1, 1, 1, 1);
}

QStringList ColumnsOf(const FormDescriptor& form) {
    QStringList cols{QStringLiteral("frdm")};
    for (const StoredColumn& s : form.columns) cols << s.column;
    for (const SupplementLine& l : form.supplements) cols << QStringLiteral("I") + l.rule.code;
    cols << QStringLiteral("frmc");
    return cols;
}

db::Params RowFromSheet(const FormDescriptor& form, const TSheetBook& sheet, const db::Params& supplements,
                        const QString& depNo, const QString& depName) {
    db::Params v;
    v.reserve(form.columns.size() + supplements.size() + 2);
    v.emplace_back(depNo);
    for (const StoredColumn& s : form.columns) {
        const QString t = Text(sheet, s.cell);
        v.push_back(t == QLatin1String("--") ? db::Value(0) : FigureValue(t));
    }
    v.insert(v.end(), supplements.begin(), supplements.end());
    v.emplace_back(depName);
    return v;
}

db::Params FillForm(const FormDescriptor& form, const FormValues& values, db::Connection& c, const MainState& unit,
                    TSheetBook& sheet, Progress& mainPb, int& leaderPost) {
    const SheetUpdate hold(sheet);
    PrepareSheet(form, sheet);
    for (const auto& [cell, text] : values.head) Put(sheet, cell, text);
    mainPb.SetPosition(0);

    // The figures and the supplements the unit's class fills, read together; every wage sum is
    // checked before a cell is written.
    std::vector<CellRule> rules = form.rules;
    std::vector<bool> fills;
    for (const SupplementLine& l : form.supplements) {
        fills.push_back(l.applies(unit.DepClass));
        if (fills.back()) rules.push_back(l.rule);
    }
    const QueryResults figures = ReadRules(c, rules, values.conditions, unit.DepClass, leaderPost);
    const std::vector<QString> texts =
        ShownTexts(rules, figures, values.divisor, [&](const CellRule& r) { return NameOf(form, sheet, r); });
    size_t k = 0;
    for (; k < form.rules.size(); ++k) sheet.SetCellText(rules[k].row, rules[k].col, texts[k]);
    db::Params supplements;
    for (size_t i = 0; i < form.supplements.size(); ++i) {
        const SupplementLine& l = form.supplements[i];
        if (fills[i]) {
            sheet.SetCellText(l.rule.row, 1, l.Text(texts[k]));
            supplements.push_back(FigureValue(texts[k++]));
        } else {
            sheet.SetCellText(l.rule.row, 1, l.TextWithout());
            supplements.emplace_back();
        }
    }
    for (const FixedLine& l : form.lines) sheet.SetCellText(l.row, 1, l.text);
    mainPb.SetPosition(form.barFigures);

    for (const DerivedStep& s : form.steps) Apply(s, sheet, unit.DepClass);

    const db::Params row = RowFromSheet(form, sheet, supplements, unit.DepNo, unit.DepName);
    const QStringList columns = ColumnsOf(form);
    CheckUploadable(columns, row);
    ReplaceSingleRow(c, form.table, columns, row);
    mainPb.SetPosition(100);
    if (!form.barStaysFull) mainPb.SetPosition(0);
    return row;
}

ExportLayout WorkbookOf(const FormDescriptor& form, const QString& label, const QString& depName,
                        const QString& depNo) {
    const std::map<QString, QString> values{
        {QStringLiteral("label"), label}, {QStringLiteral("DepName"), depName}, {QStringLiteral("DepNo"), depNo}};
    ExportLayout l = form.workbook;
    l.stem = Filled(l.stem, values);
    for (FixedBlock& b : l.blocks)
        if (b.text) b.text = Filled(*b.text, values);
    return l;
}

void FormReport::Compute(db::Connection& c, const MainState& unit, TSheetBook& sheet, Progress& mainPb) {
    row_.clear();
    RunReport(form_->title, form_->table, mainPb,
              [&] { row_ = FillForm(*form_, values_, c, unit, sheet, mainPb, leaderPost_); });
}

void FormReport::Store(db::Connection& c) const { ReplaceSingleRow(c, form_->table, ColumnsOf(*form_), row_); }

bool FormReport::Upload(db::Connection& c, UiService& ui, const AppPaths& paths, const QString& depNo) const {
    if (row_.empty()) throw Refused(QStringLiteral("本表没有生成，不能上报。"));
    Store(c);
    return upload::Run(c, ui, paths, form_->upload, depNo, values_.quarter);
}

ExportLayout FormReport::Layout(const MainState& unit) const {
    return WorkbookOf(*form_, values_.label, unit.DepName, unit.DepNo);
}

QString FormReport::WorkbookStem() const { return WorkbookOf(*form_, values_.label, {}, {}).stem; }

}  // namespace qm::report
