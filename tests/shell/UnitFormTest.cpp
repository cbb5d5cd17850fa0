#include "shell/UnitForm.h"
#include "tests/shell/MainFixture.h"

#include <gtest/gtest.h>
#include <QComboBox>
#include <QLineEdit>

namespace {

using qm::DlgButtons;
using qm::DlgKind;
using Fixture = qm::test::MainFixture;

void TypeCode(qm::TFrm_dep& form, const QString& code) {
    for (int i = 0; i < 9; ++i) form.Code[i]->setText(code.mid(i, 1));
}

// 某单位, "12345678x", 企业, 资质建筑业 with 有劳务分包资质, founded in March.
void FillFirstUnit(qm::TFrm_dep& form) {
    form.Edit1->setText(QStringLiteral("某单位"));
    TypeCode(form, QStringLiteral("12345678x"));
    form.SetRG(1);
    form.SetRG2(1);
    form.Cb1->setCurrentIndex(1);
    form.SetRg3(1);
    form.DateCb->setCurrentIndex(2);
}

int Rows(Fixture& f) { return f.base.Scalar(QStringLiteral("select count(*) from Dep_Info")).toInt(); }

TEST(UnitForm, AFirstRegistrationWritesOneRowAndTheMainWindowFollows) {
    Fixture f;
    f.base.db().Exec(QStringLiteral("insert into Dep_Info values('旧','000000000','企业事业单位','否','0','99')"));
    f.cmd.FormShow();  // no Flag='1' row: caption marked
    f.rec.uses.clear();
    qm::TFrm_dep form(f.ctx, f.cmd);
    form.FormShow();
    FillFirstUnit(form);
    EXPECT_EQ(form.Code[8]->text(), QStringLiteral("X"));  // upper-cased as typed
    f.ui.Clear();
    form.DClick();

    EXPECT_EQ(f.ui.Texts(), QStringList{QStringLiteral("保存成功！")});
    ASSERT_EQ(Rows(f), 1);
    qm::db::Query q(f.base.db());
    q.Open(QStringLiteral("select DepName,DepNo,DepType,DepInfo,Flag,CreateMon from Dep_Info"));
    QStringList row;
    for (int i = 0; i < 6; ++i) row << q.Fields(i).AsString();
    EXPECT_EQ(row, (QStringList{QStringLiteral("某单位"), QStringLiteral("12345678X"), QStringLiteral("企业事业单位"),
                                QStringLiteral("是2"), QStringLiteral("1"), QStringLiteral("2")}));
    EXPECT_EQ(f.cmd.panel[0], QStringLiteral("当前单位： 某单位"));
    EXPECT_EQ(f.cmd.panel[1], QStringLiteral("有劳务分包资质的建筑业单位"));
    EXPECT_TRUE(f.cmd.menus.N72);
    EXPECT_FALSE(f.cmd.menus.N73);
    EXPECT_EQ(f.cmd.caption, QStringLiteral("Quillmarsh.2012版"));
    EXPECT_EQ(f.state.DepNo, QStringLiteral("12345678X"));
    EXPECT_EQ(f.state.DepClass, qm::UnitClass(false, qm::UnitClass::Kind::LabourSubcontract));
    // Founded in March: the month items follow at once.
    EXPECT_EQ(f.EnabledMonths(), QList<int>{3});
    EXPECT_EQ(form.result(), QDialog::Accepted);

    qm::TFrm_dep again(f.ctx, f.cmd);
    again.FormShow();
    EXPECT_EQ(again.Rg3(), 1);
    EXPECT_TRUE(again.DateCb->isEnabled());
    EXPECT_EQ(again.DateCb->currentText(), QStringLiteral("3月创办"));
    EXPECT_EQ(again.RG2(), 1);
    EXPECT_EQ(again.Cb1->currentText(), QStringLiteral("有劳务分包资质"));
    EXPECT_EQ(again.Edit1->text(), QStringLiteral("某单位"));
    EXPECT_EQ(again.Code[8]->text(), QStringLiteral("X"));
}

TEST(UnitForm, ADeclinedChangeLeavesTheRowAndTheUnitTypeAsTheyWere) {
    Fixture f;
    f.Unit();
    f.state.DepClass = qm::UnitClass(false, qm::UnitClass::Kind::Other);
    qm::TFrm_dep form(f.ctx, f.cmd);
    form.FormShow();
    form.SetRG(0);  // becomes an organ
    form.Edit1->setText(QStringLiteral("新名称"));
    f.ui.answers.push_back(qm::DlgAnswer::No);
    EXPECT_FALSE(qm::Guarded(f.ui, [&] { form.DClick(); }));
    ASSERT_EQ(f.ui.shown.size(), 1u);
    EXPECT_EQ(f.ui.shown[0].text, QStringLiteral("是否要进行修改?"));
    EXPECT_EQ(f.ui.shown[0].kind, DlgKind::Confirmation);
    EXPECT_EQ(f.ui.shown[0].buttons, DlgButtons::YesNo);
    EXPECT_TRUE(f.state.DepClass.IsEnterprise());
    EXPECT_EQ(f.base.Scalar(QStringLiteral("select DepName||'|'||DepType from Dep_Info")),
              QStringLiteral("某单位|企业事业单位"));

    f.ui.answers.push_back(qm::DlgAnswer::Yes);
    form.DClick();
    EXPECT_TRUE(f.state.DepClass.IsOrgan());
    EXPECT_EQ(f.base.Scalar(QStringLiteral("select DepName||'|'||DepType from Dep_Info")),
              QStringLiteral("新名称|机关单位"));
    EXPECT_FALSE(f.cmd.menus.N72);
    EXPECT_TRUE(f.cmd.menus.N73);
    EXPECT_EQ(f.cmd.panel[1], QStringLiteral("机关单位"));
}

TEST(UnitForm, ANameWithAnApostropheIsStoredIntact) {
    Fixture f;
    qm::TFrm_dep form(f.ctx, f.cmd);
    form.Edit1->setText(QStringLiteral("O'Brien's 公司'); drop table Dep_Info; --"));
    TypeCode(form, QStringLiteral("ABCDEFGH9"));
    form.DClick();
    EXPECT_EQ(f.base.Scalar(QStringLiteral("select DepName from Dep_Info")),
              QStringLiteral("O'Brien's 公司'); drop table Dep_Info; --"));
}

// The name goes into every upload (frmc: 100 bytes of GBK): one the uploads cannot carry whole
// is refused with its reason, and nothing is saved.
TEST(UnitForm, ANameTheUploadsCannotCarryIsRefusedAndNotSaved) {
    Fixture f;
    qm::TFrm_dep form(f.ctx, f.cmd);
    TypeCode(form, QStringLiteral("ABCDEFGH9"));
    const QString fifty = QString(50, QChar(0x5355));  // 单, two bytes each
    const struct {
        QString name;
        QString said;
    } cases[] = {
        {QStringLiteral("某\t单位"), QStringLiteral("控制字符")},
        {QStringLiteral("某") + QChar(0xD800) + QStringLiteral("单位"), QStringLiteral("控制字符")},
        {QStringLiteral("某单位😀"), QStringLiteral("“😀”")},
        {fifty + QStringLiteral("a"), QStringLiteral("101个字节")},
    };
    for (const auto& c : cases) {
        form.Edit1->setText(c.name);
        f.ui.Clear();
        form.DClick();
        ASSERT_EQ(f.ui.Texts().size(), 1) << c.name.toStdString();
        EXPECT_TRUE(f.ui.Texts()[0].contains(c.said)) << f.ui.Texts()[0].toStdString();
        EXPECT_EQ(Rows(f), 0);
    }
    // A hundred bytes fit.
    form.Edit1->setText(fifty);
    f.ui.Clear();
    form.DClick();
    EXPECT_EQ(f.ui.Texts(), QStringList{QStringLiteral("保存成功！")});
    EXPECT_EQ(f.base.Scalar(QStringLiteral("select DepName from Dep_Info")), fifty);
}

TEST(UnitForm, AnIllegalCodeCharacterIsReportedWhileTypingAndRefusedOnSave) {
    Fixture f;
    f.cmd.FormShow();
    f.ui.Clear();
    qm::TFrm_dep form(f.ctx, f.cmd);
    form.Edit1->setText(QStringLiteral("某单位"));
    TypeCode(form, QStringLiteral("1234-678X"));
    EXPECT_EQ(f.ui.Texts(), QStringList{QStringLiteral("非法字符")});
    EXPECT_EQ(form.Code[4]->text(), QStringLiteral("-"));  // it stays in the box
    f.ui.Clear();
    form.DClick();
    EXPECT_EQ(f.ui.Texts(), QStringList{QStringLiteral("请确认单位名称或法人代码是否填写正确！")});
    EXPECT_EQ(Rows(f), 0);
    EXPECT_EQ(form.result(), QDialog::Rejected);  // the form stays open
    EXPECT_EQ(f.cmd.caption, QStringLiteral("Quillmarsh.2012版[未登记]"));

    // A Chinese character or an empty box is refused the same way.
    f.ui.Clear();
    TypeCode(form, QStringLiteral("12345678X"));
    form.Code[3]->setText(QStringLiteral("中"));
    f.ui.Clear();
    form.DClick();
    EXPECT_EQ(f.ui.Texts(), QStringList{QStringLiteral("请确认单位名称或法人代码是否填写正确！")});
    form.Code[3]->clear();
    form.DClick();
    EXPECT_EQ(Rows(f), 0);
}

TEST(UnitForm, AnOrganCannotBeAConstructionOrIndustrialUnit) {
    Fixture f;
    qm::TFrm_dep form(f.ctx, f.cmd);
    form.SetRG2(2);
    form.SetRg3(1);
    form.SetRG(0);
    EXPECT_EQ(form.RG2(), 0);
    EXPECT_EQ(form.Rg3(), 0);
    EXPECT_FALSE(form.DateCb->isEnabled());
    EXPECT_FALSE(form.Cb1->isEnabled());

    form.SetRG2(1);
    EXPECT_EQ(form.RG2(), 0);
    form.SetRG2(2);
    EXPECT_EQ(form.RG2(), 0);
    ASSERT_EQ(f.ui.shown.size(), 2u);
    EXPECT_EQ(f.ui.shown[0].text, QStringLiteral("机关单位，不可能是资质建筑业单位！"));
    EXPECT_EQ(f.ui.shown[0].title, QStringLiteral("Quillmarsh.2012版"));
    EXPECT_EQ(f.ui.shown[1].text, QStringLiteral("机关单位，不可能是规模以上工业单位！"));

    form.SetRG(1);
    form.SetRG2(1);
    EXPECT_TRUE(form.Cb1->isEnabled());
    EXPECT_EQ(form.Cb1->currentText(), QStringLiteral("有总承包和专业承包资质"));
}

TEST(UnitForm, FoundedThisYearWithoutAMonthAsksForItAndWritesNothing) {
    Fixture f;
    qm::TFrm_dep form(f.ctx, f.cmd);
    form.Edit1->setText(QStringLiteral("某单位"));
    TypeCode(form, QStringLiteral("12345678X"));
    form.SetRg3(1);
    EXPECT_FALSE(qm::Guarded(f.ui, [&] { form.DClick(); }));
    ASSERT_EQ(f.ui.shown.size(), 1u);
    EXPECT_EQ(f.ui.shown[0].text, QStringLiteral("请输入创办月份。"));
    EXPECT_EQ(f.ui.shown[0].buttons, DlgButtons::YesOnly);
    EXPECT_EQ(Rows(f), 0);
}

TEST(UnitRules, MappingOfTheChoicesToTheStoredTexts) {
    namespace u = qm::unit;
    EXPECT_EQ(u::ClassOf(1, 0, u::kGeneralContract).DepInfoText(), QStringLiteral("否"));
    EXPECT_EQ(u::ClassOf(1, 1, u::kGeneralContract).DepInfoText(), QStringLiteral("是1"));
    EXPECT_EQ(u::ClassOf(1, 1, QString()).DepInfoText(), QStringLiteral("是2"));
    EXPECT_EQ(u::ClassOf(1, 2, u::kGeneralContract).DepInfoText(), QStringLiteral("规上"));
    EXPECT_EQ(u::ClassOf(0, 0, QString()).DepTypeText(), QStringLiteral("机关单位"));
    EXPECT_EQ(u::ClassOf(1, 0, QString()).DepTypeText(), QStringLiteral("企业事业单位"));
    EXPECT_EQ(u::CreateMonOf(0, 5).Text(), QStringLiteral("99"));
    EXPECT_EQ(u::CreateMonOf(1, 11).Text(), QStringLiteral("11"));
    EXPECT_EQ(u::CreateMonOf(1, 0).Text(), QStringLiteral("0"));
    EXPECT_EQ(u::ClassTextOf(0, 0, QString()), QStringLiteral("机关单位"));
    EXPECT_EQ(u::ClassTextOf(1, 0, QString()), QStringLiteral("其他企业事业单位"));
    EXPECT_TRUE(u::IsValidCode(QStringLiteral("0123ABCZ9")));
    EXPECT_FALSE(u::IsValidCode(QStringLiteral("0123abcz9")));
    EXPECT_FALSE(u::IsValidCode(QStringLiteral("0123ABCZ")));
    EXPECT_FALSE(u::IsValidCode(QStringLiteral("0123/BCZ9")));
}

}  // namespace

namespace {

using Fixture2 = qm::test::MainFixture;

TEST(UnitForm, LoadingTheStoredUnitPutsItsClassBackInTheStatusBar) {
    Fixture2 f;
    f.Unit(QStringLiteral("99"), QStringLiteral("企业事业单位"), QStringLiteral("规上"));
    f.cmd.FormShow();
    ASSERT_EQ(f.cmd.panel[1], QStringLiteral("规模以上工业单位"));
    {
        // A refused save shows the unsaved class...
        qm::TFrm_dep form(f.ctx, f.cmd);
        form.FormShow();
        form.SetRG2(1);
        form.Edit1->clear();
        form.DClick();
        ASSERT_EQ(f.cmd.panel[1], QStringLiteral("有总承包和专业承包资质的建筑业单位"));
    }
    // ...until the form loads the stored unit again.
    qm::TFrm_dep again(f.ctx, f.cmd);
    again.FormShow();
    EXPECT_EQ(f.cmd.panel[1], QStringLiteral("规模以上工业单位"));

    const char* const cases[][3] = {
        {"机关单位", "否", "机关单位"},
        {"企业事业单位", "是1", "有总承包和专业承包资质的建筑业单位"},
        {"企业事业单位", "是2", "有劳务分包资质的建筑业单位"},
        {"企业事业单位", "否", "(unchanged)"},  // the class "否" leaves the panel as it was
    };
    for (const auto& c : cases) {
        Fixture2 g;
        g.Unit(QStringLiteral("99"), QString::fromUtf8(c[0]), QString::fromUtf8(c[1]));
        g.cmd.panel[1] = QStringLiteral("(unchanged)");
        qm::TFrm_dep form(g.ctx, g.cmd);
        form.FormShow();
        EXPECT_EQ(g.cmd.panel[1], QString::fromUtf8(c[2])) << c[0] << c[1];
    }
}

}  // namespace
