#include "entry/month/HeadcountForm.h"
#include "tests/support/MaintFixture.h"

#include <gtest/gtest.h>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace qm;

namespace {

const QString kNotANumber = QStringLiteral("非法数字，请核实！");

class HeadcountDialogTest : public ::testing::Test, public qm::test::MaintFixture {
protected:
    void SetUp() override {
        state.DepNo = QStringLiteral(" 12345678X ");
        state.DepName = QStringLiteral("测试单位");
    }
    QString Stored() {
        return Scalar(QStringLiteral("select group_concat(DepNo||'|'||sInitial, ';') from Initial_Info"));
    }
};

TEST_F(HeadcountDialogTest, ShowsTheUnitAndStoresOneRowWithTheLastValue) {
    TFrm_set d(ctx);
    EXPECT_EQ(d.windowTitle(), QStringLiteral("期末从业人员总数设置"));
    EXPECT_EQ(d.Label4->text(), state.DepNo);
    EXPECT_EQ(d.Label5->text(), QStringLiteral("测试单位"));
    EXPECT_EQ(d.Label3->width(), 122);
    for (const char* typed : {"15", " 27 "}) {
        d.show();
        d.Edit1->setText(QString::fromLatin1(typed));
        d.BitBtn1->click();
        EXPECT_FALSE(d.isVisible());
    }
    EXPECT_EQ(ui.Texts(), (QStringList{QStringLiteral("设置成功！"), QStringLiteral("设置成功！")}));
    EXPECT_EQ(Stored(), QStringLiteral("12345678X|27"));
}

TEST_F(HeadcountDialogTest, AnEmptyTextStoresAnEmptyHeadcount) {
    TFrm_set d(ctx);
    d.BitBtn1Click();
    EXPECT_EQ(Stored(), QStringLiteral("12345678X|"));
    EXPECT_EQ(Count(QStringLiteral("select count(*) from Initial_Info where sInitial=''")), 1);
}

TEST_F(HeadcountDialogTest, ATextThatIsNoWholeNumberIsReportedWhileTypingAndRefused) {
    TFrm_set d(ctx);
    d.Edit1->setText(QStringLiteral("12"));
    d.BitBtn1Click();
    ui.Clear();
    d.show();
    d.Edit1->setText(QStringLiteral("12a"));
    EXPECT_EQ(ui.Texts(), QStringList{kNotANumber});
    EXPECT_EQ(d.Edit1->text(), QStringLiteral("12a"));  // left as typed
    d.BitBtn1->click();
    EXPECT_EQ(ui.Texts(), (QStringList{kNotANumber, kNotANumber}));
    EXPECT_TRUE(d.isVisible());
    for (const char* typed : {"1'2", "-3", "1.5", "１２"}) {
        d.Edit1->setText(QString::fromUtf8(typed));
        d.BitBtn1Click();
    }
    EXPECT_EQ(Stored(), QStringLiteral("12345678X|12"));
}

TEST_F(HeadcountDialogTest, ADatabaseErrorIsShownAndTheOldRowKept) {
    TFrm_set d(ctx);
    d.Edit1->setText(QStringLiteral("8"));
    d.BitBtn1Click();
    db().Exec(QStringLiteral(
        "create trigger refuse before insert on Initial_Info begin select raise(abort, 'injected'); end"));
    ui.Clear();
    d.show();
    d.Edit1->setText(QStringLiteral("9"));
    d.BitBtn1->click();
    ASSERT_EQ(ui.Texts().size(), 1);
    EXPECT_TRUE(ui.Texts()[0].contains(QStringLiteral("injected")));
    EXPECT_TRUE(d.isVisible());
    EXPECT_EQ(Stored(), QStringLiteral("12345678X|8"));
}

}  // namespace
