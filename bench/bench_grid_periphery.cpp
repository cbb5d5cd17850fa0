// The grid's footers and exports over 16,338 rows x 20 columns: the sum list's full recount
// beside adding the same values in a plain loop, the text, CSV, RTF and GRIDBIF exports
// beside writing the same cell texts plainly into a buffer, and the GRIDBIF import beside
// storing the same values field by field. Each figure is the best of five runs, its runs taken
// in turn with its baseline's.
//
// Every export writes into a buffer of its own kept from run to run, as the baseline does: the
// figure is the export's work, not the system's first touch of fresh memory (about 4 ms a
// megabyte on a virtual machine, and the RTF of these rows is 60 MB). The exports are kept in
// the base folder (grid-export.txt, .csv, .rtf, .bif), to compare between builds.
#include "bench/Bench.h"
#include "grid/DBGridX.h"
#include "grid/Export.h"
#include "grid/Import.h"

#include <QApplication>
#include <QBuffer>
#include <QFile>

#include <functional>

namespace qm::bench {
namespace {

constexpr int kRows = 16338, kCols = 20;

// Best of kRuns runs of each of `fns`, the runs of all of them taken in turn; `setups` (when not
// empty) run untimed before each run of the function of the same place.
std::vector<double> BestInTurn(const std::vector<std::function<void()>>& fns,
                               const std::vector<std::function<void()>>& setups = {}) {
    std::vector<double> best(fns.size(), 0);
    for (int run = 0; run < kRuns; ++run)
        for (size_t i = 0; i < fns.size(); ++i) {
            if (i < setups.size() && setups[i]) setups[i]();
            const double ms = TimeMs(fns[i]);
            if (run == 0 || ms < best[i]) best[i] = ms;
        }
    return best;
}

template <class E>
std::function<void()> Export(grid::TDBGridX& g, QByteArray& out) {
    return [&g, &out] {
        QBuffer b(&out);
        b.open(QIODevice::WriteOnly);  // truncates; the buffer keeps its room
        grid::ExportGridToStream<E>(g, b, true);
    };
}

void Keep(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (f.open(QIODevice::WriteOnly)) f.write(bytes);
}

void Run(Context& ctx) {
    std::vector<grid::TMemDataSet::FieldDef> defs;
    for (int c = 0; c < kCols; ++c) {
        const grid::TFieldType t = c % 4 == 0 ? grid::ftInteger : c % 4 == 1 ? grid::ftFloat : grid::ftString;
        defs.push_back({QStringLiteral("f%1").arg(c), t, 12});
    }
    std::vector<std::vector<db::Value>> rows;
    rows.reserve(kRows);
    for (int r = 0; r < kRows; ++r) {
        std::vector<db::Value> v;
        for (int c = 0; c < kCols; ++c) {
            if (c % 4 == 0)
                v.emplace_back(qint64(r * 7 + c));
            else if (c % 4 == 1)
                v.emplace_back(r * 1.25 + c);
            else
                v.emplace_back(QStringLiteral("人员%1-%2").arg(r).arg(c));
        }
        rows.push_back(std::move(v));
    }
    grid::TMemDataSet ds;
    ds.Open(defs, rows);
    QWidget window;
    window.resize(800, 400);
    auto* g = new grid::TDBGridX(&window);
    g->setGeometry(0, 0, 800, 400);
    grid::TDataSource src;
    src.SetDataSet(&ds);
    g->SetDataSource(&src);
    g->SetFooterRowCount(1);
    for (int c = 0; c < kCols; ++c)
        g->Columns()[c]->Footer()->SetValueType(c % 4 == 1 ? grid::fvtSum : c == 0 ? grid::fvtCount : grid::fvtNon);
    window.show();
    QApplication::processEvents();

    // Footer recount: five sums and a count, walked through the data set.
    double plainSum = 0;
    const std::vector<double> recount = BestInTurn({[&] { g->SumList().SetActive(true); },
                                                    [&] {
                                                        long long s[kCols] = {};
                                                        long long n = 0;
                                                        for (const auto& r : rows) {
                                                            ++n;
                                                            for (int c = 1; c < kCols; c += 4)
                                                                s[c] += std::llround(r[size_t(c)].AsFloat() * 10000);
                                                        }
                                                        plainSum = double(s[1] + n);
                                                    }},
                                                   {[&] { g->SumList().SetActive(false); }});
    (void)plainSum;
    PrintRatio(QStringLiteral("footer recount over %1 rows (5 sums, 1 count)").arg(kRows), recount[0],
               QStringLiteral("plain loop"), recount[1]);

    // The same texts written plainly: the baseline of every export.
    QByteArray plainBytes, text, csv, rtf, bif;
    const std::vector<double> exports =
        BestInTurn({[&] {
                        QBuffer b(&plainBytes);
                        b.open(QIODevice::WriteOnly);
                        ds.First();
                        while (!ds.Eof()) {
                            for (int c = 0; c < kCols; ++c) {
                                if (c) b.write("\t", 1);
                                b.write(g->Columns()[c]->DisplayText().toUtf8());
                            }
                            b.write("\r\n", 2);
                            ds.Next();
                        }
                    },
                    Export<grid::TDBGridXExportAsText>(*g, text), Export<grid::TDBGridXExportAsCSV>(*g, csv),
                    Export<grid::TDBGridXExportAsRTF>(*g, rtf), Export<grid::TDBGridXExportAsGRIDBIF>(*g, bif)});
    const QString base = QStringLiteral("same texts written plainly");
    PrintRatio(QStringLiteral("text export %1 rows x %2 columns").arg(kRows).arg(kCols), exports[1], base, exports[0]);
    PrintRatio(QStringLiteral("CSV export"), exports[2], base, exports[0]);
    PrintRatio(QStringLiteral("RTF export (%1 MB)").arg(double(rtf.size()) / (1 << 20), 0, 'f', 1), exports[3], base,
               exports[0]);
    PrintRatio(QStringLiteral("GRIDBIF export"), exports[4], base, exports[0]);
    Keep(ctx.paths.Base() + QStringLiteral("/grid-export.txt"), text);
    Keep(ctx.paths.Base() + QStringLiteral("/grid-export.csv"), csv);
    Keep(ctx.paths.Base() + QStringLiteral("/grid-export.rtf"), rtf);
    Keep(ctx.paths.Base() + QStringLiteral("/grid-export.bif"), bif);

    // The GRIDBIF of every row read back over every row (the same values, so every run finds
    // what the first found).
    const std::vector<double> import =
        BestInTurn({[&] {
                        QBuffer b(&bif);
                        b.open(QIODevice::ReadOnly);
                        grid::ImportGridFromStream<grid::TDBGridXImportAsGRIDBIF>(*g, b, true);
                    },
                    [&] {
                        ds.DisableControls();
                        ds.First();
                        for (size_t r = 0; !ds.Eof(); ++r, ds.Next()) {
                            ds.Edit();
                            for (int c = 0; c < kCols; ++c) ds.Fields(c)->SetValue(rows[r][size_t(c)]);
                            ds.Post();
                        }
                        ds.EnableControls();
                    }});
    PrintRatio(QStringLiteral("GRIDBIF import %1 rows x %2 columns").arg(kRows).arg(kCols), import[0],
               QStringLiteral("same values stored field by field"), import[1]);
    g->SetDataSource(nullptr);
}

}  // namespace
QM_BENCH(45, "grid footers and exports", Run);
}  // namespace qm::bench
