// The data grid over a month of the synthetic unit: opening the data set and showing the
// grid, and paging from the first record to the last one page at a time. Also writes a
// screenshot of the staff browser's look (grid-demo.png in the base folder).
#include "bench/Bench.h"
#include "bench/SyntheticUnit.h"
#include "core/db/Db.h"
#include "core/db/Schema.h"
#include "grid/DBGridX.h"

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cstdio>

namespace qm::bench {
namespace {

struct Col {
    const char* title;
    int width;
    const char* field;
};
// The staff browser's columns: column 0 names no field and is hidden, as is column 10.
constexpr Col kCols[] = {{"编号", 64, ""},
                         {"姓名编号", 54, "sNumber"},
                         {"姓名", 49, "sName"},
                         {"出生年月", 61, "sBirth"},
                         {"性别", 26, "sTsex"},
                         {"是否少数民族", 32, "sTnation"},
                         {"是否中国党员", 34, "sTparty"},
                         {"参加工作年限", 35, "sWorks"},
                         {"现岗位年限", 38, "sWork"},
                         {"学  历", 59, "sTEdu"},
                         {"    现任职务     （岗位）", 78, "sgw"},
                         {"岗位名称", 86, "sTPost"},
                         {"具有国家评定专业技术职称", 110, "sTGrade"},
                         {"具有国家评定的专业技能等级", 100, "sTJGrade"},
                         {"用工身份", 60, "sTsf"},
                         {"是否全日制用工", 40, "sTqrz"},
                         {"是否工程技术人员", 50, "sTgc"},
                         {"是否一级建筑师", 50, "sTjzs"},
                         {"是否现场施工人员", 50, "sTsg"},
                         {"本职工作与建筑施工活动有关", 70, "sTyg"}};

void Run(Context& ctx) {
    AppPaths::Ensure(ctx.paths.DatabaseDir());
    const QString path = ctx.paths.Database();
    if (!QFile::exists(path)) CreateEmptyDatabase(path);
    db::Connection c;
    c.Open(path);
    db::Query count(c);
    count.Open(QStringLiteral("select count(*) from Staff_moninfo where sMon=0"));
    if (count.Fields(0).AsInteger() == 0) synth::WriteStaffMonth(c, synth::MakePersons(ctx.persons), 0);

    QWidget window;
    QFont f(QStringLiteral("Noto Sans CJK SC"));
    f.setPixelSize(12);
    window.setFont(f);
    window.resize(1000, 600);
    auto* grid = new grid::TDBGridX(&window);
    grid->setGeometry(0, 0, 1000, 600);
    grid->SetOptions(grid->Options().Without(grid::dgEditing).With(grid::dgRowSelect));
    grid->SetReadOnly(true);
    grid->SetTitleLines(3);
    grid->SetVTitleMargin(23);
    grid->BeginLayout();
    for (const Col& k : kCols) {
        grid::TColumnX* col = grid->Columns().Add();
        col->Title()->SetCaption(QString::fromUtf8(k.title));
        col->Title()->SetAlignment(grid::taCenter);
        col->SetWidth(k.width);
    }
    grid->Columns()[0]->SetVisible(false);
    grid->Columns()[10]->SetVisible(false);
    grid->EndLayout();
    window.show();
    QApplication::processEvents();

    grid::TDataSource src;
    grid::TQueryDataSet q(c);
    const double openMs = TimeMs([&] {
        q.Open(QStringLiteral("select * from Staff_moninfo where sMon=? order by id"), {db::Value(0)});
        src.SetDataSet(&q);
        grid->SetDataSource(&src);
        grid->BeginLayout();
        for (int i = 1; i < 20; ++i) grid->Columns()[i]->SetField(q.FieldByName(QString::fromUtf8(kCols[i].field)));
        grid->EndLayout();
        (void)grid->RenderImage();
    });
    db::Query raw(c);
    const double rawMs =
        TimeMs([&] { raw.Open(QStringLiteral("select * from Staff_moninfo where sMon=0 order by id")); });
    PrintRatio(QStringLiteral("open %1 rows x 20 columns and show the grid").arg(q.RecordCount()), openMs,
               QStringLiteral("query alone"), rawMs);

    const QString png = ctx.paths.Base() + QStringLiteral("/grid-demo.png");
    grid->setFocus();
    q.SetRecNo(5);
    grid->RenderImage().save(png);
    std::printf("grid screenshot: %s\n", png.toUtf8().constData());

    // Paging: one page per step, each step moved and painted.
    // Painted into one reused image, as the screen's backing store is reused.
    QImage canvas(grid->viewport()->size(), QImage::Format_RGB32);
    const int page = grid->VisibleDataRowCount();
    struct Pass {
        int pages = 0;
        double total = 0, worst = 0;
    };
    auto pageThrough = [&] {
        Pass r;
        q.First();
        r.total = TimeMs([&] {
            while (!q.Eof()) {
                const double ms = TimeMs([&] {
                    q.MoveBy(page);
                    QPainter p(&canvas);
                    grid->PaintGrid(p, canvas.rect());
                });
                r.worst = std::max(r.worst, ms);
                ++r.pages;
                if (q.RecNo() == q.RecordCount()) break;
            }
        });
        return r;
    };
    const qsizetype hitsBefore = grid->TextCache().Hits();
    const Pass cached = pageThrough();
    const qsizetype copied = grid->TextCache().Hits() - hitsBefore;
    // The baseline: the same pages with every text written directly (run second, so it finds
    // the glyphs already rasterised).
    grid->TextCache().SetEnabled(false);
    const Pass direct = pageThrough();
    grid->TextCache().SetEnabled(true);
    const QString base = QStringLiteral("without the text cache");
    Print(QStringLiteral("page first to last: %1 pages of %2 rows").arg(cached.pages).arg(page), cached.total);
    PrintRatio(QStringLiteral("  mean per page"), cached.pages ? cached.total / cached.pages : 0, base,
               direct.pages ? direct.total / direct.pages : 0);
    PrintRatio(QStringLiteral("  slowest page"), cached.worst, base, direct.worst);
    std::printf("  text cache: %lld cell texts kept as pixels; %.1f cells a page copied from it\n",
                static_cast<long long>(grid->TextCache().ImageCount()),
                cached.pages ? double(copied) / cached.pages : 0.0);
    grid->SetDataSource(nullptr);
}

QM_BENCH(40, "grid", Run);

}  // namespace
}  // namespace qm::bench
