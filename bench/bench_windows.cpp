// The windows themselves: the real forms, offscreen, over the main window and its real
// progress bar, on the report forms' year unit (--persons N for another size). Each step of
// a window is timed beside the core step it stands on, measured in the same run with a bar
// that only remembers, on a copy of the same database: what only a window costs (its
// widgets, filling and painting its sheet, the bar) is the difference. After each save the
// month's rows are counted against what the month held before the window opened. With
// --keep DIR the unit stays in DIR as the windows left it.
#include "bench/Bench.h"
#include "bench/ReportUnit.h"
#include "core/app/FormFactory.h"
#include "core/app/MainCommands.h"
#include "core/base/AppContext.h"
#include "core/base/Progress.h"
#include "core/base/ScriptedUiService.h"
#include "core/db/DataModule.h"
#include "core/db/Db.h"
#include "core/db/Errors.h"
#include "core/sheet/SheetBook.h"
#include "core/sheet/SheetTemplate.h"
#include "core/staff/AllputSheet.h"
#include "core/staff/CodeLists.h"
#include "core/staff/MonputSheet.h"
#include "core/staff/MonputStore.h"
#include "core/staff/StaffRowRules.h"
#include "core/wage/WageSheet.h"
#include "entry/EntryRegistration.h"
#include "entry/staff/AllputForm.h"
#include "entry/staff/MonputForm.h"
#include "entry/wage/WageSheetForm.h"
#include "reports/JGLaborForm.h"
#include "reports/LabourRegistration.h"
#include "reports/LabourReportForm.h"
#include "reports/NGLaborForm.h"
#include "reports/PaymentListForm.h"
#include "reports/RangeSummaryRegistration.h"
#include "reports/ReportRegistration.h"
#include "reports/TalentForm.h"
#include "reports/WageSummaryForm.h"
#include "reports/WindowFit.h"
#include "shell/MainForm.h"
#include "shell/ShellRegistration.h"

#include <QApplication>
#include <QFile>
#include <QPointer>

#include <cstdio>
#include <functional>
#include <memory>

namespace qm::bench {
namespace {

// Opening a window of the whole unit takes long: the best of three.
constexpr int kWindowRuns = 3;

// What a shown window asks of the window system (layout, paint) done before the clock stops.
void Settle() {
    QApplication::processEvents();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QApplication::processEvents();
}

// A window closed as a person closes it, then gone.
void Dispose(QWidget* window) {
    QPointer<QWidget> w(window);
    if (w) w->close();
    Settle();
    delete w.data();
}

long long Count(db::Connection& c, const char* sql, Month m) {
    db::Query q(c);
    q.Open(QString::fromLatin1(sql), {m.Number()});
    return q.Fields(0).AsInteger();
}
long long StaffRows(db::Connection& c, Month m) {
    return Count(c, "select count(*) from Staff_moninfo where sMon=?", m);
}
long long WageRows(db::Connection& c, Month m) { return Count(c, "select count(*) from Wage_Info where Smon=?", m); }

// One line per step: the window, the core beside it, and whether it keeps within its target
// (1.5 times the core plus 150 ms).
void PrintStep(const QString& step, double windowMs, double coreMs, const QString& more = {}) {
    const double target = 1.5 * coreMs + 150;
    std::printf("window %s: %.1f ms, core %.1f ms, ratio %.2f%s; %s\n", step.toUtf8().constData(), windowMs, coreMs,
                coreMs > 0 ? windowMs / coreMs : 0.0, more.toUtf8().constData(),
                windowMs <= target
                    ? "within its target"
                    : QStringLiteral("over its target of %1 ms").arg(target, 0, 'f', 0).toUtf8().constData());
    std::fflush(stdout);
}

QString Kept(long long now, long long before) { return QStringLiteral(", kept %1 of %2").arg(now).arg(before); }

// The boxes a step showed, when it did not do what it should: why it did not.
void PrintBoxes(ScriptedUiService& ui) {
    for (const QString& t : ui.Texts())
        Note(QStringLiteral("  box: ") + QString(t).replace(QLatin1Char('\n'), QLatin1Char(' ')).left(160));
}

// The program as a person starts it on the unit: the data module, the main window with its bar,
// every form registered. The core steps run on their own copy of the database, with a main
// window of commands only and a bar that only remembers.
struct Program {
    explicit Program(const Context& ctx, const QString& live, const QString& copy)
        : dm(live, ui), main(dm, ui, ctx.paths) {
        ui.defaultAnswer = DlgAnswer::Yes;
        coreUi.defaultAnswer = DlgAnswer::Yes;
        RegisterEntryForms(main.forms());
        RegisterShellForms(main.forms());
        RegisterLabourForms(main.forms());
        RegisterReportForms(main.forms());
        RegisterRangeSummaryForms(main.forms());
        dm.DataModuleCreate();
        main.show();
        Settle();
        coreDb.Open(copy);
        coreCommands.FormShow();
        ui.Clear();
        coreUi.Clear();
    }
    ~Program() {
        main.close();
        coreDb.Close();
    }
    AppContext& app() { return main.context(); }
    QString CodeFilter() const {
        return core.state.DepClass.IsEnterprise() ? QStringLiteral("1") : QStringLiteral("0");
    }

    ScriptedUiService ui;
    TDataModule1 dm;
    TFrm_main main;

    db::Connection coreDb;
    ScriptedUiService coreUi;
    MainState coreState;
    MemoryProgress corePb;
    AppContext core{coreDb, coreUi, AppPaths(main.context().paths), coreState, corePb, nullptr, nullptr, nullptr};
    MainCommands coreCommands{core};
    bool mainSet = [this] {
        core.main = &coreCommands;
        return true;
    }();
};

// ---- report windows, each beside its form as qm-report runs it

struct ReportWindow {
    const char* step;
    const char* form;
    QStringList args;
    std::function<QWidget*(AppContext&, QWidget*)> open;  // made, computed and shown
};

template <class Form>
QWidget* Owned(Form* f) {
    f->ShowModeless(std::unique_ptr<IForm>(f));
    return f;
}

std::vector<ReportWindow> ReportWindows() {
    const QStringList year = {QStringLiteral("1"), QStringLiteral("12")};
    return {
        {"payment list 1-12", "payment", year,
         [](AppContext& app, QWidget* parent) -> QWidget* {
             auto* w = new TFrm_permonWage(app, 1, 12, parent);
             w->FormShow();
             FitWindowToSheet(w, w->View());
             w->show();
             return w;
         }},
        {"report 102-1", "102-1", {}, [](AppContext& app, QWidget* p) { return Owned(new TFrm_NGLabor(app, p)); }},
        {"report 202-1 (third quarter)",
         "202-1",
         {QStringLiteral("3")},
         [](AppContext& app, QWidget* p) { return Owned(new TFrm_JGLabor(app, p, Quarter(3))); }},
        {"report I202-2 (third quarter)",
         "I202-2",
         {QStringLiteral("3")},
         [](AppContext& app, QWidget* p) { return Owned(new TFrm_JLabor(app, p, MonthRun(Quarter(3)))); }},
        {"report I102-2", "I102-2", {}, [](AppContext& app, QWidget* p) { return Owned(new TFrm_NLabor(app, p)); }},
        {"report I704 1-12", "I704", year,
         [](AppContext& app, QWidget* p) {
             return Owned(new TFrm_wagehz(app, p, MonthRun(Month(1), Month(12)), true));
         }},
        {"report I705 1-12", "I705", year,
         [](AppContext& app, QWidget* p) {
             return Owned(new TFrm_wagejghz(app, p, MonthRun(Month(1), Month(12)), true));
         }},
        {"report X505", "X505", {}, [](AppContext& app, QWidget* p) { return Owned(new TFrm_hzinfo(app, p)); }},
        {"report I303-1", "I303-1", {}, [](AppContext& app, QWidget* p) { return Owned(new TFrm_hz(app, p)); }},
    };
}

void RunReportWindows(Context& ctx, Program& p) {
    for (const ReportWindow& r : ReportWindows()) {
        const auto entry = reporttool::AllForms().find(QString::fromLatin1(r.form));
        if (entry == reporttool::AllForms().end()) continue;
        QString refused;
        const double coreMs = BestOfMs(
            [&] {
                if (!RunReportForm(p.coreDb, ctx.paths, entry->second.run, r.args, refused) && refused.isEmpty())
                    refused = QStringLiteral("refused");
            },
            {}, kWindowRuns);
        if (!refused.isEmpty()) Note(QStringLiteral("report %1: %2").arg(QString::fromLatin1(r.form), refused));
        QWidget* w = nullptr;
        p.ui.Clear();
        const double windowMs = BestOfMs(
            [&] {
                w = r.open(p.app(), &p.main);
                Settle();
            },
            [&] { Dispose(w); }, kWindowRuns);
        Dispose(w);
        QString more;
        if (QString::fromLatin1(r.form) == QStringLiteral("payment"))
            more = windowMs < 500 ? QStringLiteral(", under 0.5 s") : QStringLiteral(", NOT under 0.5 s");
        PrintStep(QString::fromLatin1(r.step), windowMs, coreMs, more);
        if (!p.ui.shown.empty()) PrintBoxes(p.ui);
    }
}

// ---- the batch sheet: opened as its command opens it, audited and saved

void RunBatchSheet(Program& p) {
    const Month m = Month::Start();
    const long long before = StaffRows(p.dm.ADOConn, m);
    std::unique_ptr<TFrm_allput> form;
    p.ui.Clear();
    const double openMs = BestOfMs(
        [&] {
            form = std::make_unique<TFrm_allput>(p.app(), m, &p.main);
            form->show();
            Settle();
        },
        [&] { form.reset(); }, kWindowRuns);
    const double saveMs = BestOfMs(
        [&] {
            Guarded(p.app().ui, [&] { form->BitBtn7Click(); });
            Settle();
        },
        {}, kWindowRuns);
    const long long kept = StaffRows(p.dm.ADOConn, m);
    form.reset();

    std::unique_ptr<TSheetBook> book;
    std::unique_ptr<AllputSheet> sheet;
    CodeLists codes;
    const double coreOpenMs = BestOfMs(
        [&] {
            book = std::make_unique<TSheetBook>();
            ApplySheetTemplate(*book, QStringLiteral("staff"));
            sheet = std::make_unique<AllputSheet>(*book, p.core, codes);
            LoadCodeTables(p.coreDb, p.CodeFilter(), codes);
            book->SetRowHeight(2, book->MaxRow(), TSheetBook::kDefaultRowHeight);
            sheet->ApplyLayout();
            sheet->FillSheet();
            sheet->Recheck();
            sheet->FillEditorLists();
        },
        [&] {
            sheet.reset();
            book.reset();
        },
        kWindowRuns);
    const double coreSaveMs = BestOfMs([&] { sheet->Save(); }, {}, kWindowRuns);
    PrintStep(QStringLiteral("batch sheet, open"), openMs, coreOpenMs);
    PrintStep(QStringLiteral("batch sheet, audit and save"), saveMs, coreSaveMs, Kept(kept, before));
    if (kept != before) PrintBoxes(p.ui);
}

// ---- the month's list: opened, then 编辑 and 保存

void RunMonthList(Program& p) {
    const Month m(1);
    const long long before = StaffRows(p.dm.ADOConn, m);
    p.ui.Clear();
    auto close = [] { delete TFrm_monput::Instance(); };
    const double openMs = BestOfMs(
        [&] {
            TFrm_monput::ShowList(p.app(), m, &p.main);
            Settle();
        },
        close, kWindowRuns);
    const double saveMs = BestOfMs(
        [&] {
            Guarded(p.app().ui, [&] {
                TFrm_monput::Instance()->BitBtn2Click();
                TFrm_monput::Instance()->B3Click();
            });
            Settle();
        },
        {}, kWindowRuns);
    const long long kept = StaffRows(p.dm.ADOConn, m);
    close();

    // The same work without widgets: the list's own core class, as the window calls it.
    std::unique_ptr<TSheetBook> book;
    std::unique_ptr<MonputSheet> sheet;
    CodeLists codes;
    const double coreOpenMs = BestOfMs(
        [&] {
            book = std::make_unique<TSheetBook>();
            ApplySheetTemplate(*book, QStringLiteral("staff"));
            LoadCodeTables(p.coreDb, p.CodeFilter(), codes);
            sheet = std::make_unique<MonputSheet>(*book, p.core, codes);
            sheet->SetMonth(m);
            sheet->Prepare();
            sheet->Load();
        },
        [&] {
            sheet.reset();
            book.reset();
        },
        kWindowRuns);
    const double coreSaveMs = BestOfMs([&] { sheet->Save(); }, {}, kWindowRuns);
    PrintStep(QStringLiteral("month's list (month 1), open"), openMs, coreOpenMs);
    PrintStep(QStringLiteral("month's list (month 1), save"), saveMs, coreSaveMs, Kept(kept, before));
    if (kept != before) PrintBoxes(p.ui);
}

// ---- the wage sheet: opened, then 编辑 and 检查/合计/存储

void RunWageSheet(Program& p) {
    const Month m(1);
    const long long before = WageRows(p.dm.ADOConn, m);
    p.ui.Clear();
    std::unique_ptr<TFrm_mon> form;
    const double openMs = BestOfMs(
        [&] {
            form = std::make_unique<TFrm_mon>(p.app(), m, &p.main);
            form->FormShow();
            form->show();
            Settle();
        },
        [&] { form.reset(); }, kWindowRuns);
    const double saveMs = BestOfMs(
        [&] {
            Guarded(p.app().ui, [&] {
                form->BitBtn2Click();
                form->BitBtn3Click();
            });
            Settle();
        },
        {}, kWindowRuns);
    const long long kept = WageRows(p.dm.ADOConn, m);
    form.reset();

    std::unique_ptr<TSheetBook> book;
    std::unique_ptr<WageSheet> sheet;
    const double coreOpenMs = BestOfMs(
        [&] {
            book = std::make_unique<TSheetBook>();
            ApplySheetTemplate(*book, QStringLiteral("wage"));
            sheet = std::make_unique<WageSheet>(p.core, *book, m);
            sheet->Load();
        },
        [&] {
            sheet.reset();
            book.reset();
        },
        kWindowRuns);
    const double coreSaveMs = BestOfMs([&] { sheet->Save(); }, {}, kWindowRuns);
    PrintStep(QStringLiteral("wage sheet (month 1), open"), openMs, coreOpenMs);
    PrintStep(QStringLiteral("wage sheet (month 1), check, total and store"), saveMs, coreSaveMs, Kept(kept, before));
    if (kept != before) PrintBoxes(p.ui);
}

// The offscreen platform says, for every window, which window-manager hints it cannot carry:
// not a word of that is about the program.
QtMessageHandler previousHandler = nullptr;
void QuietPlatform(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (text.startsWith(QStringLiteral("This plugin does not support"))) return;
    if (previousHandler) previousHandler(type, context, text);
}

void Run(Context& ctx) {
    previousHandler = qInstallMessageHandler(QuietPlatform);
    const QString live = BuildReportUnit(ctx);
    const QString copy = ctx.paths.DatabaseDir() + QStringLiteral("/windows-core.mdb");
    QFile::remove(copy);
    QFile::copy(live, copy);
    {
        Program p(ctx, live, copy);
        Note(QStringLiteral("%1 persons; month 0: %2 staff rows, month 1: %3 staff rows, %4 wage rows")
                 .arg(ctx.persons)
                 .arg(StaffRows(p.dm.ADOConn, Month::Start()))
                 .arg(StaffRows(p.dm.ADOConn, Month(1)))
                 .arg(WageRows(p.dm.ADOConn, Month(1))));
        // The reports first: the entry windows' saves flag the rows that fail their checks,
        // and the reports refuse a unit with such rows.
        RunReportWindows(ctx, p);
        RunBatchSheet(p);
        RunMonthList(p);
        RunWageSheet(p);
    }
    QFile::remove(copy);
    qInstallMessageHandler(previousHandler);
}

}  // namespace

QM_BENCH(70, "windows", Run);

}  // namespace qm::bench
