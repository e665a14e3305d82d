// Statements the connection keeps prepared: a statement run again must
// behave as if prepared afresh, whatever happened in between (other
// values, a failure, a schema change here or on another connection, a
// rollback, a reopened connection).
#include "ADOPrivate.h"
#include "AdoFixture.h"

namespace {

size_t kept(const TADOConnection& c) { return TADOConnectionPrivate::get(&c)->statements.Size(); }

const char* const kInsert = "insert into Bookpub(Code,PY) values(?,?)";

TEST_F(AdoTest, statementRunAgainTakesItsNewValuesAndIsKeptOnce) {
    for (int i = 0; i < 5; ++i) conn.Execute(kInsert, {"P" + std::to_string(i), i % 2 ? Null() : Variant("名")});
    EXPECT_EQ(scalar("select group_concat(Code||'='||ifnull(PY,'-'),' ') from Bookpub"),
              "P0=名 P1=- P2=名 P3=- P4=名");
    const size_t after = kept(conn);
    conn.Execute(kInsert, {"P5", "x"});
    EXPECT_EQ(kept(conn), after);
}

// A command's parameter left without a value is refused on the second run
// too: the value of the first run must not linger in the kept statement.
TEST_F(AdoTest, keptStatementForgetsTheValuesOfItsLastRun) {
    TADOCommand cmd;
    cmd.SetConnection(&conn);
    cmd.SetCommandText("insert into Bookpub(Code,PY) values(:c,:n)");
    cmd.Parameters()->ParamByName("c")->SetValue("A");
    cmd.Parameters()->ParamByName("n")->SetValue("甲");
    EXPECT_EQ(cmd.Execute(), 1);
    cmd.SetCommandText("insert into Bookpub(Code,PY) values(:c,:n)");
    cmd.Parameters()->ParamByName("c")->SetValue("B");
    cmd.Parameters()->ParamByName("n")->SetValue(Variant());
    EXPECT_NE(errorOf([&] { cmd.Execute(); }).find("No value given"), std::string::npos);
    EXPECT_EQ(scalar("select group_concat(Code) from Bookpub"), "A");
}

// A statement that failed (a duplicate key, a value missing) is not kept
// half-run: the same text runs cleanly afterwards, in and out of a
// transaction that was rolled back.
TEST_F(AdoTest, failedStatementLeavesTheSameTextRunnable) {
    conn.Execute(kInsert, {"P1", "a"});
    EXPECT_NE(errorOf([&] { conn.Execute(kInsert, {"p1", "dup"}); }).find("UNIQUE constraint failed"),
              std::string::npos);
    {
        TTransaction tx(&conn);
        conn.Execute(kInsert, {"P2", "b"});
        EXPECT_FALSE(errorOf([&] { conn.Execute(kInsert, {"P1", "dup"}); }).empty());
    }
    EXPECT_EQ(conn.Execute(kInsert, {"P3", "c"}), 1);
    EXPECT_EQ(scalar("select group_concat(Code) from Bookpub"), "P1,P3");
    // And a text that never prepared leaves nothing behind either.
    const size_t before = kept(conn);
    EXPECT_FALSE(errorOf([&] { conn.Execute("insert into NoSuchTable(a) values(?)", {1}); }).empty());
    EXPECT_EQ(kept(conn), before);
}

// The same query text before and after its table changes shape: the rows
// and columns are the table's as it is now.
TEST_F(AdoTest, queryOpenedAgainAfterTheSchemaChangesSeesTheNewTable) {
    conn.Execute("create table T(a text)");
    conn.Execute("insert into T(a) values(?)", {"one"});
    TADOQuery q;
    q.SetConnection(&conn);
    q.SQL()->SetText("select * from T");
    q.Open();
    EXPECT_EQ(q.FieldCount(), 1);
    q.Close();
    conn.Execute("drop table T");
    conn.Execute("create table T(b integer, c text)");
    conn.Execute("insert into T(b,c) values(?,?)", {7, "seven"});
    q.Open();
    ASSERT_EQ(q.FieldCount(), 2);
    EXPECT_EQ(q.Fields()[1]->FieldName(), "c");
    EXPECT_EQ(q.FieldByName("c")->AsString(), "seven");
    // And an insert kept from before writes into the new table.
    q.Close();
    conn.Execute("drop table T");
    conn.Execute("create table T(a text, z text default 'new')");
    conn.Execute("insert into T(a) values(?)", {"two"});
    EXPECT_EQ(scalar("select a||z from T"), "twonew");
}

// Another connection (another desk) changes the schema: the kept
// statements here are prepared again, with the new columns.
TEST_F(AdoTest, schemaChangedByAnotherConnectionIsSeenByKeptQueries) {
    conn.Execute("insert into Bookpub(Code) values(?)", {"P1"});
    TADOQuery q;
    q.SetConnection(&conn);
    q.SQL()->SetText("select * from Bookpub");
    q.Open();
    const int before = q.FieldCount();
    q.Close();
    {
        TADOConnection other;
        other.SetConnectionString(connectionString(path));
        other.Open();
        other.Execute("alter table Bookpub add column Extra text default 'x'");
    }
    q.Open();
    EXPECT_EQ(q.FieldCount(), before + 1);
    EXPECT_EQ(q.FieldByName("Extra")->AsString(), "x");
    // The query is still written back to its table.
    q.Edit();
    q.FieldByName("Extra")->SetAsString("y");
    q.Post();
    EXPECT_EQ(scalar("select Extra from Bookpub"), "y");
}

TEST_F(AdoTest, keptStatementsDoNotOutliveTheConnection) {
    conn.Execute(kInsert, {"P1", "a"});
    scalar("select count(*) from Bookpub");
    EXPECT_GT(kept(conn), 0u);
    conn.Close();
    EXPECT_EQ(kept(conn), 0u);
    conn.Open();
    EXPECT_EQ(conn.Execute(kInsert, {"P2", "b"}), 1);
    EXPECT_EQ(scalar("select count(*) from Bookpub"), "2");
}

TEST_F(AdoTest, cacheKeepsAtMostItsCapacityAndTheRecentOnes) {
    for (size_t i = 0; i < StatementCache::Capacity + 20; ++i)
        scalar("select " + std::to_string(i) + " from Bookpub");
    EXPECT_EQ(kept(conn), StatementCache::Capacity);
    // A statement of many texts is run but not kept under the text.
    const size_t full = kept(conn);
    conn.Execute("insert into Bookpub(Code) values('A'); insert into Bookpub(Code) values('B')");
    EXPECT_EQ(scalar("select group_concat(Code) from Bookpub"), "A,B");
    EXPECT_EQ(kept(conn), full);
}

// A statement that returns no rows handed to a query is refused before it
// runs, as before statements were kept.
TEST_F(AdoTest, queryOfAStatementWithoutRowsWritesNothing) {
    TADOQuery q;
    q.SetConnection(&conn);
    q.SQL()->SetText("insert into Bookpub(Code) values('X')");
    EXPECT_FALSE(errorOf([&] { q.Open(); }).empty());
    EXPECT_EQ(scalar("select count(*) from Bookpub"), "0");
}

} // namespace
