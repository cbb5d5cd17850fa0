#include "core/sheet/SheetTemplate.h"

#include <QFile>
#include <QRegularExpression>

namespace qm {

namespace {

const QString kPrefix = QStringLiteral(":/sheet/templates/");
const QString kSuffix = QStringLiteral(".sheet");

[[noreturn]] void Fail(const QString& name, int line, const QString& what) {
    throw SheetTemplateError(
        QStringLiteral("sheet template %1, line %2: %3").arg(name).arg(line).arg(what).toStdString());
}

QString ReadResource(const QString& name) {
    QFile f(kPrefix + name + kSuffix);
    if (!f.open(QIODevice::ReadOnly))
        throw SheetTemplateError(QStringLiteral("no sheet template named %1").arg(name).toStdString());
    return QString::fromUtf8(f.readAll());
}

// One statement of a template: its line as written and its fields, with the checks of the
// numbers in them; a failed check names the template and the line.
struct Statement {
    const QString& name;
    int lineNo;
    QString line;
    QStringList f;

    [[noreturn]] void Fail(const QString& what) const { qm::Fail(name, lineNo, what); }
    int Num(int i) const {
        if (i >= f.size()) Fail(QStringLiteral("'%1' needs more numbers").arg(f[0]));
        bool ok = false;
        const int v = f[i].toInt(&ok);
        if (!ok || v < 0) Fail(QStringLiteral("'%1' is not a number").arg(f[i]));
        return v;
    }
    int Col(int i) const { return Within(i, TSheetBook::kMaxColumns, "column"); }
    int Row(int i) const { return Within(i, TSheetBook::kMinRows, "row"); }
    // Field `i` as a number 1..last; `what` names it when it is not.
    int Within(int i, int last, const char* what) const {
        const int v = Num(i);
        if (v < 1 || v > last) Fail(QStringLiteral("%1 %2 out of range").arg(QLatin1String(what)).arg(v));
        return v;
    }
};

void ParseInto(SheetTemplate& t, const QString& text, const QString& name, int depth);

// A cell's text is the rest of its line after the two numbers, blanks inside kept; a later
// statement for the same cell replaces an earlier one.
void PutCell(SheetTemplate& t, const Statement& s) {
    const int r = s.Row(1), c = s.Col(2);
    static const QRegularExpression head(QStringLiteral("^\\s*cell[ \\t]+\\d+[ \\t]+\\d+[ \\t]?"));
    QString cellText = s.line;
    cellText.remove(head);
    cellText.replace(QLatin1String("\\n"), QLatin1String("\n"));
    std::erase_if(t.cells, [&](const SheetTemplate::CellText& x) { return x.row == r && x.col == c; });
    t.cells.push_back({r, c, cellText});
}

void Apply(SheetTemplate& t, const Statement& s, int depth) {
    const QString& kw = s.f[0];
    if (kw == QLatin1String("include")) {
        if (s.f.size() != 2) s.Fail(QStringLiteral("include takes one name"));
        if (depth > 4) s.Fail(QStringLiteral("includes nest too deep"));
        ParseInto(t, ReadResource(s.f[1]), s.f[1], depth + 1);
    } else if (kw == QLatin1String("maxcol")) {
        t.maxCol = s.Col(1);
    } else if (kw == QLatin1String("frozen")) {
        t.frozenRows = s.Num(1);
        t.frozenCols = s.Num(2);
    } else if (kw == QLatin1String("rowheight")) {
        if (s.f.size() == 2)
            t.defaultRowHeight = s.Num(1);
        else
            t.rowHeights.push_back({s.Row(1), s.Row(2), s.Num(3)});
    } else if (kw == QLatin1String("wrap")) {
        t.wrapRows.push_back({s.Row(1), s.Row(2), 0});
    } else if (kw == QLatin1String("font")) {
        SheetTemplate::Span span{s.Row(1), s.Row(2), s.Num(3)};
        span.bold = s.f.size() > 4 && s.f[4] == QLatin1String("bold");
        t.fonts.push_back(span);
    } else if (kw == QLatin1String("width")) {
        t.widths.push_back({s.Col(1), s.Col(2), s.Num(3)});
    } else if (kw == QLatin1String("hidden")) {
        t.hidden.emplace_back(s.Col(1), s.Col(2));
    } else if (kw == QLatin1String("cell")) {
        PutCell(t, s);
    } else if (kw == QLatin1String("merge")) {
        t.merges.push_back({s.Row(1), s.Col(2), s.Row(3), s.Col(4)});
    } else if (kw == QLatin1String("list")) {
        if (s.f.size() < 2 || s.f.size() > 3) s.Fail(QStringLiteral("list takes a name and items"));
        t.lists.push_back({s.f[1], s.f.size() == 3 ? s.f[2] : QString()});
    } else {
        s.Fail(QStringLiteral("unknown statement '%1'").arg(kw));
    }
}

void ParseInto(SheetTemplate& t, const QString& text, const QString& name, int depth) {
    static const QRegularExpression ws(QStringLiteral("[ \\t]+"));
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int ln = 0; ln < lines.size(); ++ln) {
        QString line = lines[ln];
        if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(QLatin1Char('#'))) continue;
        Apply(t, Statement{name, ln + 1, line, trimmed.split(ws)}, depth);
    }
}

}  // namespace

QString SheetTemplate::Cell(int row, int col) const {
    for (const CellText& c : cells)
        if (c.row == row && c.col == col) return c.text;
    return {};
}

SheetTemplate ParseSheetTemplate(const QString& text, const QString& name) {
    SheetTemplate t;
    t.name = name;
    ParseInto(t, text, name, 0);
    return t;
}

SheetTemplate LoadSheetTemplate(const QString& name) { return ParseSheetTemplate(ReadResource(name), name); }

void ApplySheetTemplate(TSheetBook& book, const SheetTemplate& t) {
    book.BeginUpdate();
    book.Reset();
    book.SetMaxCol(t.maxCol);
    book.SetFrozen(t.frozenRows, t.frozenCols);
    book.SetRowHeight(1, book.MaxRow(), t.defaultRowHeight);
    for (const auto& s : t.rowHeights) book.SetRowHeight(s.first, s.last, s.value);
    for (const auto& s : t.wrapRows) book.SetWrapRows(s.first, s.last);
    for (const auto& s : t.widths) book.SetColWidth(s.first, s.last, s.value);
    for (const auto& h : t.hidden) book.SetColHidden(h.first, h.second, true);
    for (const auto& s : t.fonts) {
        book.SetSelection(s.first, 1, s.last, t.maxCol);
        book.SetFont(QStringLiteral("fnt"), s.value, s.bold);
    }
    for (const auto& c : t.cells) book.SetCellText(c.row, c.col, c.text);
    for (const auto& m : t.merges) book.AddMerge(m.r1, m.c1, m.r2, m.c2);
    for (const auto& l : t.lists) {
        const int id = book.AddObject(l.name);
        if (!l.items.isEmpty()) book.SetObjectText(id, l.items);
    }
    book.SetSelection(t.frozenRows + 1, 1, t.frozenRows + 1, 1);
    book.EndUpdate();
}

}  // namespace qm
