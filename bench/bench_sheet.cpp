// The sheet: filling a staff sheet of 16,338 rows, running the staff-row rules over every
// row, painting the first screen and again, and the heap the filled rows take. Every timing
// is the best of five; the heap is counted from the section's own start.
#include "bench/Bench.h"
#include "core/db/Db.h"
#include "core/db/Schema.h"
#include "core/sheet/SheetTemplate.h"
#include "core/staff/CodeLists.h"
#include "core/staff/StaffRowRules.h"
#include "sheet/SheetView.h"
#include "tools/SyntheticUnit.h"

#include <QApplication>
#include <QDir>
#include <QHeaderView>
#include <QImage>
#include <QStandardItemModel>
#include <QTableView>

#include <array>
#include <functional>

namespace qm::bench {
namespace {

// A row's texts, each a string of its own, as a load from the database gives them.
std::array<QString, 20> RowTexts(const synth::Person& p) {
    const auto own = [](const QString& s) { return QString(s.constData(), s.size()); };
    return {own(p.sName),
            own(p.sNumber),
            own(p.sTsex),
            own(p.sTnation),
            own(p.sTparty),
            own(p.sBirth),
            QString::number(p.sWorks),
            QString::number(p.sWork),
            own(p.sTEdu),
            own(p.sTPost),
            own(p.sTGrade),
            own(p.sTJGrade),
            own(p.sTsf),
            own(p.sTqrz),
            QString::fromUtf8("否"),
            QString::fromUtf8("否"),
            QString::fromUtf8("否"),
            QString::fromUtf8("是"),
            QString::fromUtf8("备注"),
            QStringLiteral("x")};
}

void Fill(TSheetBook& book, const std::vector<synth::Person>& persons) {
    book.BeginUpdate();
    int r = 3;
    for (const auto& p : persons) {
        const auto cells = RowTexts(p);
        for (int c = 1; c <= 20; ++c) book.SetCellText(r, c, cells[size_t(c - 1)]);
        ++r;
    }
    book.EndUpdate();
}

// The same first rows in a stock table view over a standard item model: what Qt's own
// painting of these cells costs on this machine.
std::unique_ptr<QTableView> StockView(const TSheetBook& book, QStandardItemModel& model) {
    auto view = std::make_unique<QTableView>();
    view->setModel(&model);
    view->horizontalHeader()->hide();
    view->verticalHeader()->hide();
    view->setWordWrap(true);
    for (int c = 1; c <= model.columnCount(); ++c) view->setColumnWidth(c - 1, book.ColWidth(c));
    for (int r = 1; r <= model.rowCount(); ++r) view->setRowHeight(r - 1, book.RowHeightPx(r));
    view->resize(1300, 700);
    view->show();
    return view;
}

void SheetSection(Context& ctx) {
    const double heapStart = HeapMb();
    const auto persons = synth::MakePersons(ctx.persons);
    AppPaths::Ensure(ctx.paths.Base() + "/Database");
    const QString dbPath = ctx.paths.Base() + "/Database/bench_sheet.mdb";
    QFile::remove(dbPath);
    CreateEmptyDatabase(dbPath);
    db::Connection conn;
    conn.Open(dbPath);
    CodeLists codes;
    LoadCodeTables(conn, "1", codes);
    const UnitClass unit(false, UnitClass::Kind::GeneralContract);

    std::unique_ptr<TSheetBook> book;
    const auto freshBook = [&] {
        book.reset();
        book = std::make_unique<TSheetBook>();
        ApplySheetTemplate(*book, "staff");
    };
    const auto filledBook = [&] {
        freshBook();
        Fill(*book, persons);
    };
    const double fillMs = BestOfMs([&] { Fill(*book, persons); }, freshBook);
    // The same texts into a plain vector of strings: what the data alone costs.
    std::vector<QString> plain;
    const double plainMs = BestOfMs(
        [&] {
            plain.reserve(size_t(persons.size()) * 20);
            for (const auto& p : persons)
                for (QString& t : RowTexts(p)) plain.push_back(std::move(t));
        },
        [&] { std::vector<QString>().swap(plain); });
    const double heapPlain = HeapMb();
    std::vector<QString>().swap(plain);
    const double heapNoPlain = HeapMb();

    int rows = 0;
    const double rulesMs = BestOfMs(
        [&] {
            StaffRowRules rules(*book, codes, StaffForm::BatchSheet, unit);
            rows = rules.CheckRows(StaffPass::Save);
        },
        filledBook);
    const double recheckMs = BestOfMs([&] {
        StaffRowRules rules(*book, codes, StaffForm::BatchSheet, unit);
        rules.CheckRows(StaffPass::LoadRecheck);
    });

    // The heap of one sheet, counted from before it was made.
    book.reset();
    const double heapBefore = HeapMb();
    freshBook();
    const double heapTemplate = HeapMb();
    Fill(*book, persons);
    const double heapFilled = HeapMb();
    StaffRowRules(*book, codes, StaffForm::BatchSheet, unit).CheckRows(StaffPass::Save);
    const double heapChecked = HeapMb();

    // Painting: the first paint of a new view over the checked sheet, the paint after it, and
    // any later one; the same beside a stock table view of the same cells.
    struct Paints {
        double first, again, later;
    };
    const auto paints = [](const std::function<QWidget*()>& fresh) {
        QWidget* w = nullptr;
        QImage shot;
        Paints p{};
        p.first = BestOfMs([&] { shot = w->grab().toImage(); }, [&] { w = fresh(); });
        p.again = BestOfMs([&] { shot = w->grab().toImage(); },
                           [&] {
                               w = fresh();
                               shot = w->grab().toImage();
                           });
        p.later = BestOfMs([&] { shot = w->grab().toImage(); });
        return p;
    };
    std::unique_ptr<SheetView> view;
    const Paints sheetPaints = paints([&]() -> QWidget* {
        view.reset();
        view = std::make_unique<SheetView>(*book);
        view->resize(1300, 700);
        view->show();
        return view.get();
    });
    view.reset();
    QStandardItemModel stockModel(40, 20);
    for (int r = 1; r <= 40; ++r)
        for (int c = 1; c <= 20; ++c) stockModel.setItem(r - 1, c - 1, new QStandardItem(book->GetCellText(r, c)));
    std::unique_ptr<QTableView> stock;
    const Paints stockPaints = paints([&]() -> QWidget* {
        stock.reset();
        stock = StockView(*book, stockModel);
        return stock.get();
    });
    stock.reset();

    const double clearMs = BestOfMs([&] {
        book->SetSelection(3, 1, book->MaxRow(), 20);
        book->SetFont("fnt", 10);
        book->ClearRange(3, 1, book->MaxRow(), 20, TSheetBook::ClearFormats);
    });

    PrintRatio(QString("sheet: fill %1 rows x 20 columns").arg(persons.size()), fillMs,
               "same texts into a plain vector", plainMs);
    Print(QString("sheet: staff-row rules, save pass over %1 rows").arg(rows), rulesMs);
    Print("sheet: staff-row rules, load re-check over every row", recheckMs);
    const QString stockName = QStringLiteral("stock table view");
    PrintRatio("sheet: paint the first screen of a new view (1300x700)", sheetPaints.first, stockName,
               stockPaints.first);
    PrintRatio("sheet: paint it again", sheetPaints.again, stockName, stockPaints.again);
    PrintRatio("sheet: paint it a third time and on", sheetPaints.later, stockName, stockPaints.later);
    Print(QString("sheet: font and formats clear over rows 3..%1").arg(book->MaxRow()), clearMs);
    std::printf(
        "  sheet heap from the section's start: persons, database and code lists %.1f MB; "
        "empty sheet with template +%.1f MB; filled +%.1f MB; with the 13 code columns +%.1f MB "
        "(target 24 MB; the 20 texts alone in a vector of strings %.1f MB)\n",
        heapBefore - heapStart, heapTemplate - heapBefore, heapFilled - heapBefore, heapChecked - heapBefore,
        heapPlain - heapNoPlain);
    std::fflush(stdout);
}

QM_BENCH(50, "sheet", SheetSection);

}  // namespace
}  // namespace qm::bench
