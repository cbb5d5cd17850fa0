// Smaller points of the grid: text colours that the cell and footer looks give, GRIDBIF
// dates as day counts, the ledger lines and symbol, repaint on TarnStyle and the scroll-bar
// objects.
#include "core/base/ScriptedUiService.h"
#include "grid/Export.h"
#include "grid/Import.h"
#include "grid/MoneyStyle.h"
#include "tests/grid/GridTestSupport.h"

#include <QBuffer>
#include <QImage>
#include <QScrollBar>

#include <cstring>

#include <gtest/gtest.h>

using namespace qm;
using namespace qm::grid;

namespace {

// Two records (code, name, day) and a footer row with a fixed text.
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
        for (const char* n : {"code", "name", "day"}) {
            TColumnX* c = g.Columns().Add();
            c->SetFieldName(QString::fromLatin1(n));
            c->SetWidth(90);
        }
        host.Bind(ds);
        g.SetFooterRowCount(1);
        g.Columns()[1]->Footer()->SetValueType(fvtStaticText);
        g.Columns()[1]->Footer()->SetValue(QStringLiteral("TOTAL"));
        // The second record's cells are written in red.
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

// The colour index of an RTF colour-table entry.
int RtfColour(const QByteArray& rtf, const QByteArray& entry) {
    const int at = int(rtf.indexOf(entry));
    return at < 0 ? -1 : int(rtf.left(at).count(';'));
}

TEST(GridTextColours, CellAndFooterLooksColourThePaintedAndTheExportedText) {
    LookGrid t;
    TFont footerFont = t.g.Columns()[1]->Footer()->Font();
    footerFont.Color = QColor(0, 0, 255);
    t.g.Columns()[1]->Footer()->SetFont(footerFont);
    const QImage img = t.g.RenderImage();
    EXPECT_TRUE(HasInk(img, t.g.CellRect(2, 2), 0xFF0000));   // the second record's name
    EXPECT_FALSE(HasInk(img, t.g.CellRect(2, 1), 0xFF0000));  // the first one's in black
    EXPECT_TRUE(HasInk(img, t.g.CellRect(2, 1), 0x000000));
    EXPECT_TRUE(HasInk(img, t.g.CellRect(2, t.g.RowCount() - 1), 0x0000FF));  // the footer's font colour

    const QByteArray rtf = t.Export<TDBGridXExportAsRTF>();
    const int red = RtfColour(rtf, "\\red255\\green0\\blue0;"), blue = RtfColour(rtf, "\\red0\\green0\\blue255;");
    ASSERT_GT(red, 0);
    ASSERT_GT(blue, 0);
    const QList<QByteArray> lines = rtf.split('\n');
    auto runOf = [&](const QByteArray& text) {
        for (const QByteArray& l : lines)
            if (l.contains(" " + text + "\\cell}")) return l;
        return QByteArray();
    };
    EXPECT_TRUE(runOf("MMMM").contains("\\cf" + QByteArray::number(red) + "\\cb"));
    EXPECT_TRUE(runOf("WWWW").contains("\\cf0\\cb"));
    EXPECT_TRUE(runOf("TOTAL").contains("\\cf" + QByteArray::number(blue) + "\\cb"));
}

QByteArray Double(double d) {
    quint64 bits;
    std::memcpy(&bits, &d, sizeof d);
    QByteArray b;
    for (int i = 0; i < 8; ++i) b.append(char((bits >> (8 * i)) & 0xFF));
    return b;
}

TEST(GridbifDates, ADateTravelsAsItsDayCountAndComesBack) {
    LookGrid t;
    const QByteArray bif = t.Export<TDBGridXExportAsGRIDBIF>();
    // 2012-03-15 is day 40983 counted from 1899-12-30; 1899-12-29 is day -1.
    EXPECT_TRUE(bif.contains(QByteArray("\x05\x04\x00\x00\x00WWWW", 9) + '\x04' + Double(40983.0)));
    EXPECT_TRUE(bif.contains(QByteArray("\x05\x04\x00\x00\x00MMMM", 9) + '\x04' + Double(-1.0)));
    // A date field holding text that is no date keeps it, as text.
    t.ds.First();
    t.ds.Edit();
    t.ds.FieldByName(QStringLiteral("day"))->SetText(QStringLiteral("unknown"));
    t.ds.Post();
    const QByteArray withText = t.Export<TDBGridXExportAsGRIDBIF>();
    EXPECT_TRUE(withText.contains(QByteArray("\x05\x07\x00\x00\x00unknown", 12)));
    // Imported back over other dates, the day counts become the dates again.
    t.ds.Last();
    t.ds.Edit();
    t.ds.FieldByName(QStringLiteral("day"))->SetText(QStringLiteral("2000-01-01"));
    t.ds.Post();
    ScriptedUiService ui;
    t.g.SetUiService(&ui);
    QByteArray b = bif;
    QBuffer buf(&b);
    buf.open(QIODevice::ReadOnly);
    ImportGridFromStream<TDBGridXImportAsGRIDBIF>(t.g, buf, true);
    t.ds.First();
    EXPECT_EQ(t.ds.FieldByName(QStringLiteral("day"))->AsString(), QStringLiteral("2012-03-15"));
    t.ds.Last();
    EXPECT_EQ(t.ds.FieldByName(QStringLiteral("day"))->AsString(), QStringLiteral("1899-12-29"));
    EXPECT_TRUE(ui.shown.empty());
}

TEST(MoneyStyle, TheCurrencySymbolIsAsHighAsTheDigits) {
    TMoneyStyle st;
    QFont digits(QStringLiteral("DejaVu Sans"));
    digits.setPixelSize(20);
    st.SetCurrencyFont(digits);
    ASSERT_GT(st.ENGHeight(), 12);
    const TMoneyCellLayout l = LayoutMoneyCell(st, QStringLiteral("12.5"), QRect(0, 0, 300, 30), Qt::black);
    ASSERT_TRUE(l.symbol);
    EXPECT_EQ(l.symbolFont.pixelSize(), st.ENGHeight());
}

// Counts the paints a widget receives.
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
    EXPECT_GT(counter.paints, 0);  // the lines are drawn again in their new colour
    EXPECT_EQ(t.g.FixedLineColor(), QColor(0, 0, 0));

    // Many records and wide columns: both bars show; hidden, they go at once.
    TMemDataSet many;
    test::OpenNumbered(many, 60);
    TDataSource src;
    src.SetDataSet(&many);
    t.g.SetDataSource(&src);
    for (int i = 0; i < t.g.Columns().Count(); ++i) t.g.Columns()[i]->SetWidth(300);
    QApplication::processEvents();
    ASSERT_TRUE(t.g.VertScrollBar.IsScrollBarShowing());
    ASSERT_TRUE(t.g.HorzScrollBar.IsScrollBarShowing());
    t.g.VertScrollBar.SetVisible(false);
    EXPECT_FALSE(t.g.VertScrollBar.IsScrollBarShowing());
    EXPECT_EQ(t.g.verticalScrollBar()->maximum(), t.g.verticalScrollBar()->minimum());
    t.g.HorzScrollBar.SetVisible(false);
    EXPECT_FALSE(t.g.HorzScrollBar.IsScrollBarShowing());
    EXPECT_EQ(t.g.ScrollBars(), ssNone);
    t.g.VertScrollBar.SetVisible(true);
    t.g.HorzScrollBar.SetVisible(true);
    EXPECT_TRUE(t.g.VertScrollBar.IsScrollBarShowing());
    EXPECT_TRUE(t.g.HorzScrollBar.IsScrollBarShowing());
    t.g.SetDataSource(nullptr);
}

}  // namespace
