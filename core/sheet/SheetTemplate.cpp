#include "core/sheet/SheetTemplate.h"

#include <QDir>
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

void ParseInto(SheetTemplate& t, const QString& text, const QString& name, int depth) {
    static const QRegularExpression ws(QStringLiteral("[ \\t]+"));
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int ln = 0; ln < lines.size(); ++ln) {
        QString line = lines[ln];
        if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(QLatin1Char('#'))) continue;
        const QStringList f = trimmed.split(ws);
        const QString& kw = f[0];
        const int lineNo = ln + 1;
        auto num = [&](int i) {
            if (i >= f.size()) Fail(name, lineNo, QStringLiteral("'%1' needs more numbers").arg(kw));
            bool ok = false;
            const int v = f[i].toInt(&ok);
            if (!ok || v < 0) Fail(name, lineNo, QStringLiteral("'%1' is not a number").arg(f[i]));
            return v;
        };
        auto checkCol = [&](int c) {
            if (c < 1 || c > TSheetBook::kMaxColumns)
                Fail(name, lineNo, QStringLiteral("column %1 out of range").arg(c));
            return c;
        };
        auto checkRow = [&](int r) {
            if (r < 1 || r > TSheetBook::kMinRows) Fail(name, lineNo, QStringLiteral("row %1 out of range").arg(r));
            return r;
        };
        if (kw == QLatin1String("include")) {
            if (f.size() != 2) Fail(name, lineNo, QStringLiteral("include takes one name"));
            if (depth > 4) Fail(name, lineNo, QStringLiteral("includes nest too deep"));
            ParseInto(t, ReadResource(f[1]), f[1], depth + 1);
        } else if (kw == QLatin1String("maxcol")) {
            t.maxCol = checkCol(num(1));
        } else if (kw == QLatin1String("frozen")) {
            t.frozenRows = num(1);
            t.frozenCols = num(2);
        } else if (kw == QLatin1String("rowheight")) {
            if (f.size() == 2)
                t.defaultRowHeight = num(1);
            else
                t.rowHeights.push_back({checkRow(num(1)), checkRow(num(2)), num(3)});
        } else if (kw == QLatin1String("wrap")) {
            t.wrapRows.push_back({checkRow(num(1)), checkRow(num(2)), 0});
        } else if (kw == QLatin1String("font")) {
            SheetTemplate::Span s{checkRow(num(1)), checkRow(num(2)), num(3)};
            s.bold = f.size() > 4 && f[4] == QLatin1String("bold");
            t.fonts.push_back(s);
        } else if (kw == QLatin1String("width")) {
            t.widths.push_back({checkCol(num(1)), checkCol(num(2)), num(3)});
        } else if (kw == QLatin1String("hidden")) {
            t.hidden.emplace_back(checkCol(num(1)), checkCol(num(2)));
        } else if (kw == QLatin1String("cell")) {
            const int r = checkRow(num(1)), c = checkCol(num(2));
            // The text is the rest of the line after the two numbers, blanks inside kept.
            static const QRegularExpression head(QStringLiteral("^\\s*cell[ \\t]+\\d+[ \\t]+\\d+[ \\t]?"));
            QString cellText = line;
            cellText.remove(head);
            cellText.replace(QLatin1String("\\n"), QLatin1String("\n"));
            std::erase_if(t.cells, [&](const SheetTemplate::CellText& x) { return x.row == r && x.col == c; });
            t.cells.push_back({r, c, cellText});
        } else if (kw == QLatin1String("merge")) {
            t.merges.push_back({checkRow(num(1)), checkCol(num(2)), checkRow(num(3)), checkCol(num(4))});
        } else if (kw == QLatin1String("list")) {
            if (f.size() < 2 || f.size() > 3) Fail(name, lineNo, QStringLiteral("list takes a name and items"));
            t.lists.push_back({f[1], f.size() == 3 ? f[2] : QString()});
        } else {
            Fail(name, lineNo, QStringLiteral("unknown statement '%1'").arg(kw));
        }
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

QStringList SheetTemplateNames() {
    QStringList names;
    for (const QString& f : QDir(kPrefix).entryList({QStringLiteral("*") + kSuffix}, QDir::Files, QDir::Name))
        names << f.chopped(kSuffix.size());
    return names;
}

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
