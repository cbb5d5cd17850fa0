// Every report window, on a real screen of 1920 x 1080, opens showing its whole report: every
// column of the sheet, every row it uses (as far as the screen has room), no text cut to "…"
// with this platform's fonts, and never smaller than the size it was given. Pictures of each
// window as it opens and scrolled to the bottom go to $QM_SCREENSHOT_DIR.

#include "reports/JGLaborForm.h"
#include "reports/LabourReportForm.h"
#include "reports/NGLaborForm.h"
#include "reports/PaymentListForm.h"
#include "reports/TalentForm.h"
#include "reports/WageSummaryForm.h"
#include "sheet/SheetView.h"
#include "tests/core/report/ReportTestSupport.h"
#include "tests/shell/MainFixture.h"
#include "tests/support/RealDisplay.h"

#include <QApplication>
#include <QWindow>
#include <QScreen>
#include <QStyle>
#include <QTableView>
#include <QComboBox>
#include <QPointer>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <tuple>
#include <type_traits>

using namespace qm;
namespace real = qm::test::real;

namespace {

// The cells whose text the view cuts: the single line (or the wrapped lines, where the row has
// room for more than one) wider or taller than the cell, as the view lays them out.
QStringList CutCells(const SheetView* view) {
    const TSheetBook& book = view->Book();
    const QTableView* t = view->Table();
    const int margin = t->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, t) + 1;
    QStringList cut;
    for (int r = 1; r <= book.LastUsedRow(); ++r)
        for (int c = 1; c <= book.MaxCol(); ++c) {
            const QString text = book.GetCellText(r, c);
            if (text.isEmpty() || t->isColumnHidden(c - 1) || t->rowHeight(r - 1) == 0) continue;
            const QModelIndex i = t->model()->index(r - 1, c - 1);
            if (t->rowSpan(r - 1, c - 1) < 1 || t->columnSpan(r - 1, c - 1) < 1) continue;
            int width = 0;
            for (int k = 0; k < t->columnSpan(r - 1, c - 1); ++k) width += t->columnWidth(c - 1 + k);
            const QVariant f = i.data(Qt::FontRole);
            const QFontMetrics fm(f.isValid() ? f.value<QFont>() : t->font());
            const QRect need = fm.boundingRect(QRect(0, 0, width - 2 * margin, 10000), Qt::TextWordWrap, text);
            if (need.width() > width - 2 * margin || need.height() > t->rowHeight(r - 1))
                cut << QStringLiteral("R%1C%2 “%3” needs %4 x %5, has %6 x %7")
                           .arg(r)
                           .arg(c)
                           .arg(text)
                           .arg(fm.horizontalAdvance(text) + 2 * margin)
                           .arg(need.height())
                           .arg(width)
                           .arg(t->rowHeight(r - 1));
        }
    return cut;
}

// Checks a report window as it opened, takes its pictures and closes it.
void Check(QWidget* w, const SheetView* view, QSize given, const QString& name) {
    SCOPED_TRACE(name.toStdString());
    ASSERT_TRUE(real::WaitFor([&] { return w->isVisible() && w->windowHandle() && w->windowHandle()->isExposed(); }));
    real::Settle(200);
    EXPECT_GE(w->width(), given.width());
    EXPECT_GE(w->height(), given.height());
    const QRect screen = w->screen()->availableGeometry();
    EXPECT_TRUE(screen.contains(w->frameGeometry()));

    const TSheetBook& book = view->Book();
    QTableView* t = view->Table();
    int last = book.MaxCol();
    while (last > 1 && t->isColumnHidden(last - 1)) --last;
    EXPECT_LE(t->columnViewportPosition(last - 1) + t->columnWidth(last - 1), t->viewport()->width())
        << "the last column lies beyond the right edge";
    const int rows = book.LastUsedRow();
    // A report longer than the screen is scrolled: the window then takes the screen's height.
    if (w->frameGeometry().height() < screen.height() - 64) {
        EXPECT_LE(t->rowViewportPosition(rows - 1) + t->rowHeight(rows - 1), t->viewport()->height())
            << "row " << rows << " lies below the bottom edge";
    }
    const QStringList cut = CutCells(view);
    EXPECT_TRUE(cut.isEmpty()) << cut.join(QLatin1Char('\n')).toStdString();

    real::SaveScreenshot(w->frameGeometry(), name + QStringLiteral(".png"));
    const_cast<SheetView*>(view)->GoToCell(rows, 1);  // down to the report's last row
    real::Settle(200);
    real::SaveScreenshot(w->frameGeometry(), name + QStringLiteral("-bottom.png"));
    w->close();
    real::Settle(50);
}

struct Window {
    const char* name;
    const char* fixture;
    // Opens the window as its command does; answers it with its sheet and the size it was given.
    std::function<std::tuple<QWidget*, const SheetView*, QSize>(AppContext&)> open;
};

template <class F>
std::tuple<QWidget*, const SheetView*, QSize> Summary(AppContext& ctx, int from = 0, int to = 0) {
    auto* f = new F(ctx);
    if constexpr (std::is_base_of_v<WageSummaryForm, F>) {
        f->FromMonth = Month(from);
        f->ToMonth = Month(to);
        f->MonthCount = to - from + 1;
        f->Recompute = true;
    }
    const QSize given = f->size();
    f->ShowModeless(std::unique_ptr<IForm>(f));
    return {f, f->SheetBook1, given};
}

const std::vector<Window>& Windows() {
    static const std::vector<Window> all{
        {"202-1", "report_quarter.sql",
         [](AppContext& ctx) -> std::tuple<QWidget*, const SheetView*, QSize> {
             auto* f = new TFrm_JGLabor(ctx, ctx.mainWidget);
             f->Quarter = 1;
             const QSize given = f->size();
             f->ShowModeless(std::unique_ptr<IForm>(f));
             return {f, f->findChild<SheetView*>(), given};
         }},
        {"102-1", "report_annual.sql",
         [](AppContext& ctx) -> std::tuple<QWidget*, const SheetView*, QSize> {
             auto* f = new TFrm_NGLabor(ctx);
             const QSize given = f->size();
             f->ShowModeless(std::unique_ptr<IForm>(f));
             return {f, f->findChild<SheetView*>(), given};
         }},
        {"I202-2", "labour_quarter.sql",
         [](AppContext& ctx) -> std::tuple<QWidget*, const SheetView*, QSize> {
             auto* f = new TFrm_JLabor(ctx);
             f->StartMonth = Month(1);
             f->EndMonth = Month(3);
             f->SetPeriodLabel(QStringLiteral("2012年1季度"));
             const QSize given = f->size();
             f->ShowModeless(std::unique_ptr<IForm>(f));
             return {f, f->View(), given};
         }},
        {"I102-2", "labour_annual.sql",
         [](AppContext& ctx) -> std::tuple<QWidget*, const SheetView*, QSize> {
             auto* f = new TFrm_NLabor(ctx);
             const QSize given = f->size();
             f->ShowModeless(std::unique_ptr<IForm>(f));
             return {f, f->View(), given};
         }},
        {"I704", "wage_summaries.sql", [](AppContext& ctx) { return Summary<TFrm_wagehz>(ctx, 1, 3); }},
        {"I705", "wage_summaries.sql", [](AppContext& ctx) { return Summary<TFrm_wagejghz>(ctx, 1, 3); }},
        {"X505", "talent_year_end.sql", [](AppContext& ctx) { return Summary<TFrm_hzinfo>(ctx); }},
        {"I303-1", "talent_start.sql", [](AppContext& ctx) { return Summary<TFrm_hz>(ctx); }},
    };
    return all;
}

TEST(ReportWindows, EveryReportWindowOpensShowingItsWholeReport) {
    for (const Window& win : Windows()) {
        test::MainFixture f;
        f.base.RunFixture(QString::fromLatin1(win.fixture));
        f.state = test::UnitOf(f.base);
        if (f.state.DepNo.isEmpty()) f.state.DepNo = QStringLiteral("87654321Y");
        QWidget main;  // the report windows' owner, shown as the main window is
        main.setGeometry(0, 0, 200, 100);
        main.show();
        f.ctx.mainWidget = &main;
        const auto [w, view, given] = win.open(f.ctx);
        Check(w, view, given, QString::fromLatin1(win.name));
        EXPECT_TRUE(f.ui.shown.empty()) << win.name << ": " << f.ui.Texts().join(' ').toStdString();
    }
}

TEST(ReportWindows, ThePaymentListOpensShowingEveryMonthColumn) {
    test::MainFixture f;
    f.base.RunFixture(QStringLiteral("payment_list.sql"));
    f.base.db().Exec(QStringLiteral("insert into Staff_moninfo (sMon, sNumber, sName) values (3,'2','王二'),(5,'2','王二')"));
    f.state = test::UnitOf(f.base);
    TFrm_chooseMon chooser(f.ctx);
    ASSERT_TRUE(chooser.LoadMonths());
    chooser.FromMon()->setCurrentText(QStringLiteral("3"));
    chooser.ToMon()->setCurrentText(QStringLiteral("5"));
    bool checked = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* list = qobject_cast<TFrm_permonWage*>(QApplication::activeModalWidget());
        if (!list || checked) return;
        checked = true;
        Check(list, list->View(), QSize(1000, 560), QStringLiteral("payment"));
    });
    poll.start(50);
    chooser.BitBtn1Click();
    EXPECT_TRUE(checked);
}

}  // namespace
