// The data-set layer: cursor and buffer window as the links see them, notifications,
// bookmarks, editing, and the read-only query adapter.
#include "core/db/DataSet.h"
#include "tests/core/db/NumberedDataSet.h"
#include "tests/support/TempBase.h"

#include <gtest/gtest.h>

using namespace qm;
using namespace qm::grid;

namespace {

struct RecordingLink : TDataLink {
    std::vector<int> scrolls;
    int changed = 0, activeChanges = 0;
    void DataSetScrolled(int d) override { scrolls.push_back(d); }
    void DataSetChanged() override { ++changed; }
    void ActiveChanged() override { ++activeChanges; }
};

TEST(DataSetWindow, FirstMoveByLastMoveByGiveTheWindowArithmetic) {
    TMemDataSet ds;
    test::OpenNumbered(ds, 50);
    TDataSource src;
    src.SetDataSet(&ds);
    RecordingLink link;
    link.SetDataSource(&src);
    link.SetBufferCount(10);

    ds.First();
    EXPECT_EQ(link.ActiveRecord(), 0);
    EXPECT_EQ(link.RecordCount(), 10);
    ds.MoveBy(15);  // cursor 15, window 6..15
    EXPECT_EQ(ds.RecNo(), 16);
    EXPECT_EQ(link.ActiveRecord(), 9);
    EXPECT_EQ(link.RecordCount(), 10);
    ds.Last();  // window 40..49
    EXPECT_EQ(link.ActiveRecord(), 9);
    EXPECT_EQ(link.RecordCount(), 10);
    ds.MoveBy(-3);  // inside the window: no shift
    EXPECT_EQ(ds.RecNo(), 47);
    EXPECT_EQ(link.ActiveRecord(), 6);
    EXPECT_EQ(link.RecordCount(), 10);
    EXPECT_EQ(link.scrolls, (std::vector<int>{0, 6, 34, 0}));
}

TEST(DataSetWindow, ShortDataAndGrowingBufferKeepTheCursorInside) {
    TMemDataSet ds;
    test::OpenNumbered(ds, 5);
    TDataSource src;
    src.SetDataSet(&ds);
    RecordingLink link;
    link.SetDataSource(&src);
    link.SetBufferCount(3);
    ds.Last();
    EXPECT_EQ(link.ActiveRecord(), 2);
    link.SetBufferCount(10);  // fills upward at the end of the data
    EXPECT_EQ(ds.WindowStart(), 0);
    EXPECT_EQ(link.RecordCount(), 5);
    EXPECT_EQ(link.ActiveRecord(), 4);
    EXPECT_EQ(ds.MoveBy(10), 0);
    EXPECT_TRUE(ds.Eof());
    EXPECT_EQ(ds.MoveBy(-10), -4);
    EXPECT_TRUE(ds.Bof());
}

TEST(DataSetWindow, ActiveRecordGuardReadsAnotherRowAndAlwaysRestores) {
    TMemDataSet ds;
    test::OpenNumbered(ds, 20);
    TDataSource src;
    src.SetDataSet(&ds);
    RecordingLink link;
    link.SetDataSource(&src);
    link.SetBufferCount(5);
    ds.MoveBy(2);
    try {
        TActiveRecordGuard g(link);
        link.SetActiveRecord(4);
        EXPECT_EQ(ds.FieldByName(QStringLiteral("id"))->AsInteger(), 5);
        throw std::runtime_error("hook failed");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(link.ActiveRecord(), 2);
    EXPECT_EQ(ds.FieldByName(QStringLiteral("ID"))->AsInteger(), 3);  // names are case-blind
    EXPECT_EQ(ds.RecNo(), 3);
}

TEST(DataSetWindow, DisableControlsHoldsNotificationsUntilTheOutermostEnable) {
    TMemDataSet ds;
    test::OpenNumbered(ds, 20);
    TDataSource src;
    src.SetDataSet(&ds);
    RecordingLink link;
    link.SetDataSource(&src);
    ds.DisableControls();
    ds.DisableControls();
    ds.MoveBy(3);
    ds.EnableControls();
    EXPECT_TRUE(link.scrolls.empty());
    EXPECT_EQ(link.changed, 0);
    ds.EnableControls();
    EXPECT_EQ(link.changed, 1);
}

TEST(DataSetSource, ReplacingTheDataSetTakesLinksThroughInactive) {
    TMemDataSet a, b;
    test::OpenNumbered(a, 3);
    test::OpenNumbered(b, 4);
    TDataSource src;
    RecordingLink link;
    link.SetDataSource(&src);
    src.SetDataSet(&a);
    EXPECT_TRUE(link.Active());
    src.SetDataSet(&b);
    EXPECT_EQ(link.activeChanges, 3);  // active, inactive, active again
    EXPECT_TRUE(link.Active());
}

TEST(DataSetFields, DefaultsAndMissingFields) {
    TMemDataSet ds;
    test::OpenNumbered(ds, 2);
    TField* name = ds.FieldByName(QStringLiteral("name"));
    EXPECT_EQ(name->Alignment(), taLeftJustify);
    EXPECT_EQ(name->DisplayWidth(), 10);
    EXPECT_EQ(name->DisplayName(), QStringLiteral("name"));
    name->SetDisplayLabel(QStringLiteral("姓名"));
    EXPECT_EQ(name->DisplayName(), QStringLiteral("姓名"));
    EXPECT_EQ(ds.FieldByName(QStringLiteral("amount"))->Alignment(), taRightJustify);
    EXPECT_EQ(ds.FieldByName(QStringLiteral("amount"))->DisplayText(), QStringLiteral("1.5"));
    EXPECT_EQ(ds.FindField(QStringLiteral("nope")), nullptr);
    EXPECT_THROW(ds.FieldByName(QStringLiteral("nope")), EDatabaseError);
}

TEST(DataSetEditing, BookmarksFollowRecordsThroughDeletesAndInserts) {
    TMemDataSet ds;
    test::OpenNumbered(ds, 5);
    ds.SetRecNo(2);
    const TBookmark b2 = ds.Bookmark();
    ds.SetRecNo(4);
    const TBookmark b4 = ds.Bookmark();
    EXPECT_LT(ds.CompareBookmarks(b2, b4), 0);
    ds.SetRecNo(3);
    ds.Delete();
    EXPECT_EQ(ds.RecordCount(), 4);
    ds.GotoBookmark(b4);
    EXPECT_EQ(ds.FieldByName(QStringLiteral("id"))->AsInteger(), 4);
    ds.SetRecNo(1);
    ds.Insert();
    EXPECT_EQ(ds.State(), dsInsert);
    ds.Cancel();  // a record never stored goes again
    EXPECT_EQ(ds.RecordCount(), 4);
    EXPECT_LT(ds.CompareBookmarks(b2, b4), 0);
}

TEST(DataSetEditing, EditPostAndCancel) {
    TMemDataSet ds;
    test::OpenNumbered(ds, 3);
    TField* name = ds.FieldByName(QStringLiteral("name"));
    name->SetAsString(QStringLiteral("x"));
    EXPECT_EQ(ds.State(), dsEdit);
    ds.Cancel();
    EXPECT_EQ(name->AsString(), QStringLiteral("R1"));
    name->SetAsString(QStringLiteral("y"));
    ds.Post();
    EXPECT_EQ(name->AsString(), QStringLiteral("y"));
    EXPECT_THROW(ds.FieldByName(QStringLiteral("id"))->SetAsString(QStringLiteral("abc")), EDatabaseError);
}

TEST(QueryDataSet, SelectIsReadOnlyAndTypedFromTheSchema) {
    test::TempBase base;
    base.db().Exec(QStringLiteral("insert into Staff_moninfo (sMon, sName, sNumber, sWorks) values (0, ?, ?, ?)"),
                   {db::Value(QStringLiteral("王伟")), db::Value(QStringLiteral("000001")), db::Value(12)});
    TQueryDataSet q(base.db());
    q.Open(QStringLiteral("select id, sName, sWorks from Staff_moninfo where sMon=?"), {db::Value(0)});
    ASSERT_EQ(q.RecordCount(), 1);
    EXPECT_FALSE(q.CanModify());
    EXPECT_EQ(q.FieldByName(QStringLiteral("id"))->DataType(), ftInteger);
    EXPECT_EQ(q.FieldByName(QStringLiteral("sWorks"))->DataType(), ftFloat);
    EXPECT_EQ(q.FieldByName(QStringLiteral("sName"))->AsString(), QStringLiteral("王伟"));
    EXPECT_THROW(q.Delete(), EDatabaseError);
    EXPECT_THROW(q.FieldByName(QStringLiteral("sName"))->SetAsString(QStringLiteral("x")), EDatabaseError);
    EXPECT_EQ(base.Scalar(QStringLiteral("select count(*) from Staff_moninfo")), QStringLiteral("1"));
}

}  // namespace
