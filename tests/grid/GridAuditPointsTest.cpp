// Smaller points of the grid: text colours that the cell and footer looks give, GRIDBIF
// dates as day counts, the currency symbol's height, repaint on TarnStyle and the
// scroll-bar objects.
#include "core/base/ScriptedUiService.h"
#include "grid/Export.h"
#include "grid/Import.h"
#include "grid/MoneyStyle.h"
#include "tests/grid/GridTestSupport.h"

#include <QBuffer>
#include <QImage>
#include <QScrollBar>

#include <gtest/gtest.h>

#include <cstring>

using namespace qm;
using namespace qm::grid;

namespace {

// Two records (code, name, day) and a footer row with a fixed text; the second record's
// cells are written in red.
struct LookGrid {
    test::GridHost host{420, 200};
    TMemDataSet ds;
    TDBGridX& g;
    LookGrid() : g(*host.grid) {
        ds.Open({{QStringLiteral("code"), ftInteger, 0},
                 {QStringLiteral("name"), ftString, 10},
                 {QStringLiteral("day"), ftDate, 10}},
                {{db::Value(1), db::Value(QStringLiteral("WWWW")), db::Value(QStringLiteral("2012-03-15"))},
                 {db::Value(2), db::Value(QStringLiteral("MMMM")), db::Value(QStringLiteral("1899-12-29"))}});
        for (const char* n : {"code", "name", "day"}) g.Columns().Add()->SetFieldName(QString::fromLatin1(n));
        host.Bind(ds);
        g.SetFooterRowCount(1);
        g.Columns()[1]->Footer()->SetValueType(fvtStaticText);
        g.Columns()[1]->Footer()->SetValue(QStringLiteral("TOTAL"));
        g.OnGetCellParams = [this](TColumnX*, TFont& f, QColor&, TGridDrawState) {
            if (ds.FieldByName(QStringLiteral("code"))->AsInteger() == 2) f.Color = QColor(255, 0, 0);
        };
    }
    template <class E>
    QByteArray Export() {
        QByteArray b;
        QBuffer buf(&b);
        buf.open(QIODevice::WriteOnly);
        ExportGridToStream<E>(g, buf, true);
        return b;
    }
};

bool HasInk(const QImage& img, const QRect& r, QRgb colour) {
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if ((img.pixel(x, y) & 0xFFFFFF) == colour) return true;
    return false;
}

TEST(GridTextColours, CellAndFooterLooksColourThePaintedAndTheExportedText) {
    LookGrid t;
    TFont footerFont = t.g.Columns()[1]->Footer()->Font();
    footerFont.Color = QColor(0, 0, 255);
    t.g.Columns()[1]->Footer()->SetFont(footerFont);
    const QImage img = t.g.RenderImage();
    EXPECT_TRUE(HasInk(img, t.g.CellRect(2, 2), 0xFF0000));  // the second record's name
    EXPECT_FALSE(HasInk(img, t.g.CellRect(2, 1), 0xFF0000));
    EXPECT_TRUE(HasInk(img, t.g.CellRect(2, t.g.RowCount() - 1), 0x0000FF));  // the footer's font colour

    const QByteArray rtf = t.Export<TDBGridXExportAsRTF>();
    auto index = [&](const char* entry) { return QByteArray::number(rtf.left(rtf.indexOf(entry)).count(';')); };
    EXPECT_TRUE(rtf.contains("\\cf" + index("\\red255\\green0\\blue0;") + "\\cb1 MMMM\\cell}"));
    EXPECT_TRUE(rtf.contains("\\cf0\\cb1 WWWW\\cell}"));
    EXPECT_TRUE(rtf.contains("\\cf" + index("\\red0\\green0\\blue255;") + "\\cb1 TOTAL\\cell}"));
}

QByteArray Day(double d) {
    QByteArray b(1, '\x04');
    quint64 bits;
    std::memcpy(&bits, &d, sizeof d);
    for (int i = 0; i < 8; ++i) b.append(char((bits >> (8 * i)) & 0xFF));
    return b;
}

TEST(GridbifDates, ADateTravelsAsItsDayCountAndComesBack) {
    LookGrid t;
    const QByteArray bif = t.Export<TDBGridXExportAsGRIDBIF>();
    // 2012-03-15 is day 40983 counted from 1899-12-30; 1899-12-29 is day -1.
    EXPECT_TRUE(bif.contains("WWWW" + Day(40983.0)));
    EXPECT_TRUE(bif.contains("MMMM" + Day(-1.0)));
    t.ds.First();
    t.ds.FieldByName(QStringLiteral("day"))->SetText(QStringLiteral("unknown"));  // no date: kept as text
    t.ds.Post();
    EXPECT_TRUE(t.Export<TDBGridXExportAsGRIDBIF>().contains("WWWW" + QByteArray("\x05\x07\0\0\0unknown", 12)));
    // Imported back, the day counts become the dates again.
    ScriptedUiService ui;
    t.g.SetUiService(&ui);
    QByteArray b = bif;
    QBuffer buf(&b);
    buf.open(QIODevice::ReadOnly);
    ImportGridFromStream<TDBGridXImportAsGRIDBIF>(t.g, buf, true);
    t.ds.First();
    EXPECT_EQ(t.ds.FieldByName(QStringLiteral("day"))->AsString(), QStringLiteral("2012-03-15"));
    EXPECT_TRUE(ui.shown.empty());
}

TEST(MoneyStyle, TheCurrencySymbolIsAsHighAsTheDigits) {
    TMoneyStyle st;
    QFont digits(QStringLiteral("DejaVu Sans"));
    digits.setPixelSize(20);
    st.SetCurrencyFont(digits);
    const TMoneyCellLayout l = LayoutMoneyCell(st, QStringLiteral("12.5"), QRect(0, 0, 300, 30), Qt::black);
    ASSERT_TRUE(l.symbol);
    EXPECT_EQ(l.symbolFont.pixelSize(), st.ENGHeight());
}

struct PaintCounter : QObject {
    int paints = 0;
    bool eventFilter(QObject*, QEvent* e) override {
        paints += e->type() == QEvent::Paint;
        return false;
    }
};

TEST(GridOptionObjects, TarnStyleRepaintsAndTheScrollBarsFollowVisible) {
    LookGrid t;
    t.g.SetFlat(true);
    PaintCounter counter;
    t.g.viewport()->installEventFilter(&counter);
    QApplication::processEvents();
    counter.paints = 0;
    t.g.SetTarnStyle(true);
    QApplication::processEvents();
    EXPECT_GT(counter.paints, 0);  // the lines are drawn again, now black

    // Many records and wide columns: both bars show; hidden, they go at once.
    TMemDataSet many;
    test::OpenNumbered(many, 60);
    TDataSource src;
    src.SetDataSet(&many);
    t.g.SetDataSource(&src);
    for (int i = 0; i < t.g.Columns().Count(); ++i) t.g.Columns()[i]->SetWidth(300);
    for (TDBGridXScrollBar* bar : {&t.g.VertScrollBar, &t.g.HorzScrollBar}) {
        ASSERT_TRUE(bar->IsScrollBarShowing());
        bar->SetVisible(false);
        EXPECT_FALSE(bar->IsScrollBarShowing());
    }
    EXPECT_EQ(t.g.verticalScrollBar()->maximum(), t.g.verticalScrollBar()->minimum());
    EXPECT_EQ(t.g.ScrollBars(), ssNone);
    for (TDBGridXScrollBar* bar : {&t.g.VertScrollBar, &t.g.HorzScrollBar}) {
        bar->SetVisible(true);
        EXPECT_TRUE(bar->IsScrollBarShowing());
    }
    t.g.SetDataSource(nullptr);
}

}  // namespace
