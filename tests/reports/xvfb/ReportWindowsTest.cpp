// Every report window, on a real screen of 1920 x 1080, opens showing its whole report: every
// column, every row it uses (as far as the screen has room), no text cut to "…" with this
// platform's fonts, never smaller than the size it was given. Pictures of each as it opens and
// scrolled to its last row go to $QM_SCREENSHOT_DIR.

#include "core/app/FormInterfaces.h"
#include "reports/LabourRegistration.h"
#include "reports/PaymentListForm.h"
#include "reports/RangeSummaryRegistration.h"
#include "reports/ReportRegistration.h"
#include "sheet/SheetView.h"
#include "tests/core/report/ReportTestSupport.h"
#include "tests/shell/MainFixture.h"
#include "tests/support/RealDisplay.h"

#include <QApplication>
#include <QComboBox>
#include <QScreen>
#include <QStyle>
#include <QTableView>
#include <QTimer>
#include <QWindow>

#include <vector>

#include <gtest/gtest.h>

using namespace qm;
namespace real = qm::test::real;

namespace {

// The cells whose text does not fit: wider, or (wrapped) taller, than the cell.
QStringList CutCells(const SheetView* view) {
    const TSheetBook& book = view->Book();
    const QTableView* t = view->Table();
    const int margin = t->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, t) + 1;
    QStringList cut;
    for (int r = 1; r <= book.LastUsedRow(); ++r)
        for (int c = 1; c <= book.MaxCol(); ++c) {
            const QString text = book.GetCellText(r, c);
            if (text.isEmpty() || t->isColumnHidden(c - 1) || t->columnSpan(r - 1, c - 1) < 1) continue;
            int width = -2 * margin - (t->showGrid() ? 1 : 0);  // the grid line takes a cell's last pixel
            for (int k = 0; k < t->columnSpan(r - 1, c - 1); ++k) width += t->columnWidth(c - 1 + k);
            const QVariant f = t->model()->index(r - 1, c - 1).data(Qt::FontRole);
            const QRect need = QFontMetrics(f.isValid() ? f.value<QFont>() : t->font())
                                   .boundingRect(QRect(0, 0, width, 10000), Qt::TextWordWrap, text);
            if (need.width() > width || need.height() > t->rowHeight(r - 1))
                cut << QStringLiteral("R%1C%2 “%3”").arg(r).arg(c).arg(text);
        }
    return cut;
}

void Check(QWidget* w, QSize given, const QString& name) {
    SCOPED_TRACE(name.toStdString());
    ASSERT_TRUE(real::WaitFor([&] { return w->isVisible() && w->windowHandle()->isExposed(); }));
    real::Settle(200);
    auto* view = w->findChild<SheetView*>();
    QTableView* t = view->Table();
    const TSheetBook& book = view->Book();
    const QRect screen = w->screen()->availableGeometry();
    EXPECT_GE(w->width(), given.width());
    EXPECT_GE(w->height(), given.height());
    EXPECT_TRUE(screen.contains(w->frameGeometry()));
    int last = book.MaxCol();
    while (last > 1 && t->isColumnHidden(last - 1)) --last;
    EXPECT_LE(t->columnViewportPosition(last - 1) + t->columnWidth(last - 1), t->viewport()->width());
    const int rows = book.LastUsedRow();
    // A report longer than the screen scrolls; its window then takes the screen's height.
    if (w->frameGeometry().height() < screen.height() - 64) {
        EXPECT_LE(t->rowViewportPosition(rows - 1) + t->rowHeight(rows - 1), t->viewport()->height());
    }
    EXPECT_EQ(CutCells(view).join(QLatin1Char('\n')), QString());
    real::SaveScreenshot(w->frameGeometry(), name + QStringLiteral(".png"));
    view->GoToCell(rows, 1);
    real::Settle(200);
    real::SaveScreenshot(w->frameGeometry(), name + QStringLiteral("-bottom.png"));
    w->close();
}

// Every report window: its name, form, fixture and what its opener gives it.
struct ReportWindow {
    const char *name, *form, *fixture;
    FormArgs args = {};
};

std::vector<ReportWindow> ReportWindowCases() {
    const FormArgs range{.run = MonthRun(Month(1), Month(3)), .recompute = true};
    return {
        {"202-1", "TFrm_JGLabor", "report_quarter.sql", {.quarter = Quarter(1)}},
        {"102-1", "TFrm_NGLabor", "report_annual.sql"},
        {"I202-2", "TFrm_JLabor", "labour_quarter.sql", {.quarter = Quarter(1)}},
        {"I102-2", "TFrm_NLabor", "labour_annual.sql"},
        {"I704", "TFrm_wagehz", "wage_summaries.sql", range},
        {"I705", "TFrm_wagejghz", "wage_summaries.sql", range},
        {"X505", "TFrm_hzinfo", "talent_year_end.sql"},
        {"I303-1", "TFrm_hz", "talent_start.sql"},
    };
}

// A report window made over its fixture as the main window's command makes it, `main` its owner.
struct OpenedReport {
    test::MainFixture f;
    std::unique_ptr<IForm> form;
    QWidget* window = nullptr;
    OpenedReport(const ReportWindow& win, QWidget& main) {
        RegisterReportForms(f.forms);
        RegisterLabourForms(f.forms);
        RegisterRangeSummaryForms(f.forms);
        f.base.RunFixture(QString::fromLatin1(win.fixture));
        f.state = test::UnitOf(f.base);
        f.ctx.mainWidget = &main;
        form = f.forms.Create(QString::fromLatin1(win.form), win.args);
        window = dynamic_cast<QWidget*>(form.get());
    }
    void Show() { form->ShowModeless(std::move(form)); }
};

TEST(ReportWindows, EveryReportWindowOpensShowingItsWholeReport) {
    for (const auto& win : ReportWindowCases()) {
        QWidget main;  // the windows' owner, shown as the main window is
        main.setGeometry(0, 0, 200, 100);
        main.show();
        OpenedReport r(win, main);
        const QSize given = r.window->size();
        r.Show();
        Check(r.window, given, QString::fromLatin1(win.name));
        EXPECT_TRUE(r.f.ui.shown.empty()) << win.name;
    }
}

// Every report window opens centred on the main window that opened it, whole on the screen
// (a window as high as the screen at its top); I705 at its form's 905 x 680, its table whole.
TEST(ReportWindows, EveryReportWindowOpensCentredOnTheMainWindow) {
    for (const auto& win : ReportWindowCases()) {
        QWidget main;
        main.setGeometry(100, 100, 1100, 700);  // off the screen's centre
        ASSERT_TRUE(real::ShowActive(&main));
        OpenedReport r(win, main);
        r.Show();
        ASSERT_TRUE(real::WaitFor([&] { return r.window->windowHandle()->isExposed(); }));
        real::Settle(200);
        const QRect frame = r.window->frameGeometry(), screen = r.window->screen()->availableGeometry();
        const QPoint off = frame.center() - main.frameGeometry().center();
        EXPECT_TRUE(screen.contains(frame) && std::abs(off.x()) <= 2) << win.name;
        EXPECT_TRUE(std::abs(off.y()) <= 2 || frame.height() > screen.height() - 64) << win.name;
        EXPECT_TRUE(win.name != std::string("I705") || r.window->size() == QSize(905, 680));
        r.window->close();
    }
}

// The payment list opens showing every month column, each figure and name whole: also a large
// unit's, whose totals run to ten digits and more.
void CheckPaymentList(const QStringList& changes) {
    test::MainFixture f;
    f.base.RunFixture(QStringLiteral("payment_list.sql"));
    f.base.db().Exec(QStringLiteral("insert into Staff_moninfo (sMon, sNumber) values (3, '2'), (5, '2')"));
    for (const QString& sql : changes) f.base.db().Exec(sql);
    TFrm_chooseMon chooser(f.ctx);
    ASSERT_TRUE(chooser.LoadMonths());
    chooser.ToMon()->setCurrentText(QStringLiteral("5"));
    bool checked = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* list = qobject_cast<TFrm_permonWage*>(QApplication::activeModalWidget());
        if (list && !checked) {
            checked = true;
            Check(list, QSize(1000, 560), QStringLiteral("payment"));
        }
    });
    poll.start(50);
    chooser.BitBtn1Click();
    EXPECT_TRUE(checked);
}

TEST(ReportWindows, ThePaymentListOpensShowingEveryMonthColumn) {
    CheckPaymentList({});
    CheckPaymentList({"update Wage_Info set sTotal = sTotal * 100000 + 0.25",
                      "update Wage_Info set sName = '欧阳司马诸葛上官' where sNumber = '1'"});
}

}  // namespace
