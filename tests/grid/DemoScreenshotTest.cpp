// One demo grid with footers, a ledger money column, two-level titles and an open pick
// list, rendered offscreen to a picture (QM_SHOT_DIR, else the temporary folder).
#include "grid/InplaceEdit.h"
#include "grid/MoneyStyle.h"
#include "tests/grid/GridTestSupport.h"

#include <QDir>
#include <QPainter>

#include <gtest/gtest.h>

using namespace qm;
using namespace qm::grid;

TEST(GridDemo, FootersMoneyTwoLevelTitlesAndAnOpenPickList) {
    test::GridHost host(640, 260);
    TMemDataSet ds;
    ds.Open({{QStringLiteral("no"), ftInteger, 0},
             {QStringLiteral("name"), ftString, 12},
             {QStringLiteral("post"), ftString, 12},
             {QStringLiteral("wage"), ftFloat, 0}},
            {{db::Value(1), db::Value(QStringLiteral("张三")), db::Value(QStringLiteral("工程师")), db::Value(4321.5)},
             {db::Value(2), db::Value(QStringLiteral("李四")), db::Value(QStringLiteral("技术员")), db::Value(-80.25)},
             {db::Value(3), db::Value(QStringLiteral("王五")), db::Value(QStringLiteral("工人")), db::Value(12050.0)}});
    ds.FieldByName(QStringLiteral("wage"))->SetCurrency(true);
    TDBGridX& g = *host.grid;
    const char* names[] = {"no", "name", "post", "wage"};
    const char* caps[] = {"人员|编号", "人员|姓名", "岗位", "工资（元）"};
    const int widths[] = {50, 80, 90, 200};
    for (int i = 0; i < 4; ++i) {
        TColumnX* c = g.Columns().Add();
        c->SetFieldName(QString::fromLatin1(names[i]));
        c->SetWidth(widths[i]);
        c->Title()->SetCaption(QString::fromUtf8(caps[i]));
    }
    g.Columns()[2]->SetPickList(
        {QStringLiteral("工程师"), QStringLiteral("技术员"), QStringLiteral("工人"), QStringLiteral("管理人员")});
    host.Bind(ds);
    g.SetUseMultiTitle(true);
    g.SetDrawCurrency(true);
    g.SetFooterRowCount(1);
    g.SumList().SetActive(true);
    g.Columns()[0]->Footer()->SetValueType(fvtCount);
    g.Columns()[1]->Footer()->SetValueType(fvtStaticText);
    g.Columns()[1]->Footer()->SetValue(QStringLiteral("合计"));
    g.Columns()[3]->Footer()->SetValueType(fvtSum);
    g.Columns()[3]->Footer()->SetAlignment(taRightJustify);
    EXPECT_EQ(g.GetFooterValue(0, g.Columns()[3]), QStringLiteral("￥16,291.25"));
    ASSERT_TRUE(g.HasMoneyColumns());

    g.setFocus();
    g.SetSelectedIndex(2);
    g.ShowEditor();
    ASSERT_TRUE(g.EditorMode());
    g.InplaceEditor()->DropDown();
    ASSERT_TRUE(g.InplaceEditor()->ListVisible());
    QApplication::processEvents();

    // The grid and the pop-up list (a window of its own) into one picture.
    QImage img(host.window.size() + QSize(0, 90), QImage::Format_RGB32);
    img.fill(Qt::white);
    {
        QPainter p(&img);
        p.drawImage(0, 0, host.window.grab().toImage());
        QWidget* list = g.InplaceEditor()->PickList();
        const QPoint at = host.window.mapFromGlobal(list->mapToGlobal(QPoint(0, 0)));
        p.drawImage(at, list->grab().toImage());
    }
    const QString dir = qEnvironmentVariable("QM_SHOT_DIR", QDir::tempPath());
    EXPECT_TRUE(img.save(dir + QStringLiteral("/grid-periphery-demo.png")));
    g.InplaceEditor()->CloseUp(false);
}
