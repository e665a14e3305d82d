// Writes that fail: a duplicate key in a batch or a post, a row removed by
// another statement before it is updated. Nothing half-done may stay in
// the file, and the data set keeps the user's changes.
#include "AdoFixture.h"

namespace {

TEST_F(AdoTest, failedUpdateBatchWritesNothingAndKeepsChangesPending) {
    conn.Execute("insert into Bookpub(Code) values('P1')");
    TADOQuery q;
    q.SetConnection(&conn);
    q.SetLockType(ltBatchOptimistic);
    q.SQL()->SetText("select * from Bookpub");
    q.Open();
    q.Append();
    q.FieldByName("Code")->SetAsString("P2");
    q.Post();
    q.Append();
    q.FieldByName("Code")->SetAsString("p1");
    q.Post();
    std::string err = errorOf([&] { q.UpdateBatch(); });
    EXPECT_EQ(err.substr(0, err.find('\n')), "UNIQUE constraint failed: Bookpub.Code");
    EXPECT_EQ(scalar("select group_concat(Code) from Bookpub"), "P1");
    EXPECT_TRUE(q.HasPendingChanges());
    EXPECT_EQ(q.RecordCount(), 3);
    q.Last();
    q.Delete();
    q.UpdateBatch();
    EXPECT_EQ(scalar("select group_concat(Code) from Bookpub"), "P1,P2");
}

TEST_F(AdoTest, failedPostStaysInInsertStateAndChangesNothing) {
    conn.Execute("insert into Bookpub(Code) values('P1')");
    TADOQuery q;
    q.SetConnection(&conn);
    q.SQL()->SetText("select * from Bookpub");
    q.Open();
    q.Append();
    q.FieldByName("Code")->SetAsString("P1");
    EXPECT_NE(errorOf([&] { q.Post(); }), "");
    EXPECT_EQ(q.State(), dsInsert);
    q.Cancel();
    EXPECT_EQ(q.RecordCount(), 1);
    EXPECT_EQ(scalar("select count(*) from Bookpub"), "1");
}

TEST_F(AdoTest, updateOfRowDeletedElsewhereIsRefused) {
    conn.Execute("insert into Bookpub(Code) values('P1')");
    TADOQuery q;
    q.SetConnection(&conn);
    q.SQL()->SetText("select * from Bookpub");
    q.Open();
    conn.Execute("delete from Bookpub");
    q.Edit();
    q.FieldByName("Isbn")->SetAsString("7-1");
    EXPECT_EQ(errorOf([&] { q.Post(); }),
              "Row cannot be located for updating. Some values may have been changed since it was last read.");
    EXPECT_EQ(q.State(), dsEdit);
    EXPECT_EQ(scalar("select count(*) from Bookpub"), "0");
}

} // namespace
