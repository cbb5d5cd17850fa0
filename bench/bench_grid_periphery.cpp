// The grid's footers and exports over 16,338 rows x 20 columns: the sum list's full recount
// beside adding the same values in a plain loop, the text, CSV, RTF and GRIDBIF exports
// beside writing the same cell texts plainly into a buffer, and the GRIDBIF import beside
// storing the same values field by field.
#include "bench/Bench.h"
#include "grid/DBGridX.h"
#include "grid/Export.h"
#include "grid/Import.h"

#include <QApplication>
#include <QBuffer>

namespace qm::bench {
namespace {

constexpr int kRows = 16338, kCols = 20;

template <class E>
double ExportMs(grid::TDBGridX& g) {
    QByteArray out;
    return TimeMs([&] {
        QBuffer b(&out);
        b.open(QIODevice::WriteOnly);
        grid::ExportGridToStream<E>(g, b, true);
    });
}

void Run(Context&) {
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
    const double recount = TimeMs([&] { g->SumList().SetActive(true); });
    double plainSum = 0;
    const double plain = TimeMs([&] {
        long long s[kCols] = {};
        long long n = 0;
        for (const auto& r : rows) {
            ++n;
            for (int c = 1; c < kCols; c += 4) s[c] += std::llround(r[size_t(c)].AsFloat() * 10000);
        }
        plainSum = double(s[1] + n);
    });
    (void)plainSum;
    PrintRatio(QStringLiteral("footer recount over %1 rows (5 sums, 1 count)").arg(kRows), recount,
               QStringLiteral("plain loop"), plain);

    // The same texts written plainly: the baseline of every export.
    QByteArray plainBytes;
    const double plainText = TimeMs([&] {
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
    });
    const QString base = QStringLiteral("same texts written plainly");
    PrintRatio(QStringLiteral("text export %1 rows x %2 columns").arg(kRows).arg(kCols),
               ExportMs<grid::TDBGridXExportAsText>(*g), base, plainText);
    PrintRatio(QStringLiteral("CSV export"), ExportMs<grid::TDBGridXExportAsCSV>(*g), base, plainText);
    PrintRatio(QStringLiteral("RTF export"), ExportMs<grid::TDBGridXExportAsRTF>(*g), base, plainText);
    PrintRatio(QStringLiteral("GRIDBIF export"), ExportMs<grid::TDBGridXExportAsGRIDBIF>(*g), base, plainText);

    // The GRIDBIF of every row read back over every row.
    QByteArray bif;
    {
        QBuffer b(&bif);
        b.open(QIODevice::WriteOnly);
        grid::ExportGridToStream<grid::TDBGridXExportAsGRIDBIF>(*g, b, true);
    }
    const double stored = TimeMs([&] {
        ds.DisableControls();
        ds.First();
        for (size_t r = 0; !ds.Eof(); ++r, ds.Next()) {
            ds.Edit();
            for (int c = 0; c < kCols; ++c) ds.Fields(c)->SetValue(rows[r][size_t(c)]);
            ds.Post();
        }
        ds.EnableControls();
    });
    const double imported = TimeMs([&] {
        QBuffer b(&bif);
        b.open(QIODevice::ReadOnly);
        grid::ImportGridFromStream<grid::TDBGridXImportAsGRIDBIF>(*g, b, true);
    });
    PrintRatio(QStringLiteral("GRIDBIF import %1 rows x %2 columns").arg(kRows).arg(kCols), imported,
               QStringLiteral("same values stored field by field"), stored);
    g->SetDataSource(nullptr);
}

}  // namespace
QM_BENCH(45, "grid footers and exports", Run);
}  // namespace qm::bench
