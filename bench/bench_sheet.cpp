// The sheet: filling a staff sheet of 16,338 rows, running the staff-row rules over every
// row, painting the first screen, and the heap the filled rows take.
#include "bench/Bench.h"
#include "bench/SyntheticUnit.h"
#include "core/db/Db.h"
#include "core/db/Schema.h"
#include "core/sheet/SheetTemplate.h"
#include "core/staff/CodeLists.h"
#include "core/staff/StaffRowRules.h"
#include "sheet/SheetView.h"

#include <malloc.h>
#include <QApplication>
#include <QDir>
#include <QImage>
#include <array>

namespace qm::bench {
namespace {

std::array<QString, 20> RowTexts(const synth::Person& p) {
    return {p.sName,
            p.sNumber,
            p.sTsex,
            p.sTnation,
            p.sTparty,
            p.sBirth,
            QString::number(p.sWorks),
            QString::number(p.sWork),
            p.sTEdu,
            p.sTPost,
            p.sTGrade,
            p.sTJGrade,
            p.sTsf,
            p.sTqrz,
            QStringLiteral("否"),
            QStringLiteral("否"),
            QStringLiteral("否"),
            QStringLiteral("是"),
            QStringLiteral("备注"),
            QStringLiteral("x")};
}

double HeapMb() { return double(mallinfo2().uordblks) / (1024.0 * 1024.0); }

void SheetSection(Context& ctx) {
    const auto persons = synth::MakePersons(ctx.persons);
    AppPaths::Ensure(ctx.paths.Base() + "/Database");
    const QString dbPath = ctx.paths.Base() + "/Database/bench_sheet.mdb";
    QFile::remove(dbPath);
    CreateEmptyDatabase(dbPath);
    db::Connection conn;
    conn.Open(dbPath);
    CodeLists codes;
    LoadCodeTables(conn, "1", codes);

    const double heapEmpty = HeapMb();
    auto book = std::make_unique<TSheetBook>();
    ApplySheetTemplate(*book, "staff");
    const double heapTemplate = HeapMb();

    const double fillMs = TimeMs([&] {
        book->BeginUpdate();
        int r = 3;
        for (const auto& p : persons) {
            const auto cells = RowTexts(p);
            for (int c = 1; c <= 20; ++c) book->SetCellText(r, c, cells[size_t(c - 1)]);
            ++r;
        }
        book->EndUpdate();
    });
    const double heapFilled = HeapMb();

    // The same texts into a plain vector of strings: what the data alone costs.
    std::vector<QString> plain;
    const double plainMs = TimeMs([&] {
        plain.reserve(size_t(persons.size()) * 20);
        for (const auto& p : persons)
            for (QString& t : RowTexts(p)) plain.push_back(std::move(t));
    });

    StaffRowRules rules(*book, codes, StaffForm::BatchSheet, UnitClass(false, UnitClass::Kind::GeneralContract));
    int rows = 0;
    const double rulesMs = TimeMs([&] { rows = rules.CheckRows(StaffPass::Save); });
    const double heapChecked = HeapMb();
    const double recheckMs = TimeMs([&] { rules.CheckRows(StaffPass::LoadRecheck); });

    SheetView view(*book);
    view.resize(1300, 700);
    view.show();
    QImage shot;
    const double paintMs = TimeMs([&] { shot = view.grab().toImage(); });
    const double repaintMs = TimeMs([&] { shot = view.grab().toImage(); });
    const double clearMs = TimeMs([&] {
        book->SetSelection(3, 1, 16340, 20);
        book->SetFont("fnt", 10);
        book->ClearRange(3, 1, 16340, 20, TSheetBook::ClearFormats);
    });

    PrintRatio(QString("sheet: fill %1 rows x 20 columns").arg(persons.size()), fillMs,
               "same texts into a plain vector", plainMs);
    Print(QString("sheet: staff-row rules, save pass over %1 rows").arg(rows), rulesMs);
    Print("sheet: staff-row rules, load re-check over every row", recheckMs);
    Print("sheet: paint the first screen (1300x700)", paintMs);
    Print("sheet: paint it again", repaintMs);
    Print("sheet: font and formats clear over rows 3..16340", clearMs);
    std::printf(
        "  sheet heap: empty sheet with template %.1f MB over nothing; filled +%.1f MB; "
        "with the 13 code columns +%.1f MB (limit 60 MB)\n",
        heapTemplate - heapEmpty, heapFilled - heapTemplate, heapChecked - heapTemplate);
    std::fflush(stdout);
}

QM_BENCH(50, "sheet", SheetSection);

}  // namespace
}  // namespace qm::bench
