#include "tools/report/ReportTool.h"

#include "core/db/Errors.h"
#include "core/db/SchemaVersion.h"
#include "core/report/Refusal.h"

#include <QCoreApplication>

#include <cstdio>
#include <map>

namespace qm::reporttool {

namespace {

void Err(const QString& text) { std::fprintf(stderr, "%s\n", text.toUtf8().constData()); }

int Usage(const QString& why = {}) {
    if (!why.isEmpty()) Err(why);
    Err(QStringLiteral("usage: qm-report DIR FORM [ARGS] [--upload] [--xlsx]"));
    for (const auto& [name, f] : AllForms()) Err(QStringLiteral("  FORM: ") + name + QLatin1Char(' ') + f.usage);
    return 1;
}

// A CSV field: quoted when it holds a comma, a quote or a line break.
QString Csv(const QString& text) {
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) && !text.contains(QLatin1Char('\n')))
        return text;
    QString q = text;
    q.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + q + QLatin1Char('"');
}

void PrintMessages(const ScriptedUiService& ui) {
    for (const ShownBox& b : ui.shown)
        if (b.sort != ShownBox::Sort::OpenFolder && b.sort != ShownBox::Sort::OpenDocument) Err(b.text);
}

}  // namespace

}  // namespace qm::reporttool

int main(int argc, char** argv) {
    using namespace qm;
    using namespace qm::reporttool;
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments();
    const bool upload = args.removeAll(QStringLiteral("--upload")) > 0;
    const bool xlsx = args.removeAll(QStringLiteral("--xlsx")) > 0;
    if (args.size() < 3) return Usage();
    auto form = AllForms().find(args[2]);
    if (form == AllForms().end()) return Usage(QStringLiteral("unknown form: ") + args[2]);

    const AppPaths paths(args[1]);
    db::Connection db;
    try {
        db.Open(paths.Database());
        UpgradeSchema(db);  // as the program does when it opens the database
    } catch (const NewerDatabaseError& e) {
        Err(e.Text());  // refused, as the program refuses it at start-up
        return 2;
    } catch (const db::Error& e) {
        Err(e.Text());
        // A database held by another program refuses the run like a report's own refusal.
        return db::Error::ReasonOf(e.Code()).isEmpty() ? 1 : 2;
    }
    ScriptedUiService ui;
    MainState state;
    Gates gates(db, state, ui);
    MemoryProgress pb;
    Run run{db, ui, paths, state, gates, pb, args.mid(3), upload, xlsx};
    try {
        if (!gates.LoadUnitInfo()) {
            Err(QStringLiteral("请先填写单位基本信息！"));
            return 2;
        }
        if (!form->second.run(run)) {
            PrintMessages(ui);
            return 2;
        }
    } catch (const SilentAbort&) {
        PrintMessages(ui);
        return 2;
    } catch (const report::Refused& e) {
        // A figure beyond what the report holds, or a database that would not give or take the rows.
        PrintMessages(ui);
        Err(e.Text());
        return 2;
    } catch (const db::Error& e) {
        PrintMessages(ui);
        Err(e.Text());
        return db::Error::ReasonOf(e.Code()).isEmpty() ? 1 : 2;
    } catch (const UsageError& e) {
        Err(QString::fromUtf8(e.what()));
        Err(QStringLiteral("usage: qm-report DIR ") + form->first + QLatin1Char(' ') + form->second.usage +
            QStringLiteral(" [--upload] [--xlsx]"));
        return 1;
    } catch (const std::exception& e) {
        PrintMessages(ui);
        Err(QString::fromUtf8(e.what()));
        return 1;
    }
    PrintMessages(ui);  // where the upload file or the workbook went
    const int rows = run.sheet.LastUsedRow();
    for (int r = 1; r <= rows; ++r)
        for (int c = 1; c <= TSheetBook::kMaxColumns; ++c) {
            const QString text = run.sheet.GetCellText(r, c);
            if (!text.isEmpty()) std::printf("%d,%d,%s\n", r, c, Csv(text).toUtf8().constData());
        }
    return 0;
}
