// Queries, commands and the connection on a real database file made from
// the shipped schema: round trips through single-table queries (with and
// without a key), batch mode, transactions, passwords and engine errors.
#include <gtest/gtest.h>

#include "support/TestNames.h"

#include <chrono>
#include <thread>

#include "ADODB.h"
#include "SysUtils.h"

#include "AdoFixture.h"

namespace {

TEST_F(AdoTest, opensWithThePasswordOfTheFile) {
    EXPECT_TRUE(conn.Connected());
    EXPECT_EQ(conn.DatabasePath(), path);
    EXPECT_EQ(conn.Password(), kPassword);
}

TEST_F(AdoTest, wrongPasswordFailsAndLeavesClosed) {
    TADOConnection other;
    other.SetConnectionString(connectionString(path, "guess"));
    EXPECT_EQ(errorOf([&] { other.Open(); }), "Not a valid password.");
    EXPECT_FALSE(other.Connected());
}

TEST_F(AdoTest, missingFileFailsWithoutMakingOne) {
    std::string missing = path + ".missing";
    TADOConnection other;
    other.SetConnectionString(connectionString(missing));
    EXPECT_EQ(errorOf([&] { other.Open(); }), "Could not find file '" + missing + "'.");
    EXPECT_FALSE(FileExists(missing));
}

TEST_F(AdoTest, malformedStatementGivesEngineMessageAndStatement) {
    EXPECT_EQ(errorOf([&] { conn.Execute("selec * from Bookinfo"); }),
              "near \"selec\": syntax error\nselec * from Bookinfo");
    TADOQuery q;
    q.SetConnection(&conn);
    q.SQL()->SetText("select * from NoSuchTable");
    EXPECT_EQ(errorOf([&] { q.Open(); }), "no such table: NoSuchTable\nselect * from NoSuchTable");
    EXPECT_FALSE(q.Active());
}

TEST_F(AdoTest, closedConnectionRefusesStatements) {
    conn.Close();
    EXPECT_EQ(errorOf([&] { conn.Execute("delete from Bookpub"); }),
              "Operation is not allowed when the object is closed");
}

TEST_F(AdoTest, tableNamesLeaveOutSystemTables) {
    TStringList names;
    conn.GetTableNames(&names);
    EXPECT_EQ(names.IndexOf("MSysPassword"), -1);
    EXPECT_EQ(names.IndexOf("sqlite_sequence"), -1);
    EXPECT_GE(names.IndexOf("Borrowinfo"), 0);
    EXPECT_GE(names.IndexOf("QryBorrow"), 0);
    conn.GetTableNames(&names, true);
    EXPECT_GE(names.IndexOf("MSysPassword"), 0);
}

TEST_F(AdoTest, fieldClassesFollowDeclaredTypes) {
    conn.Execute("insert into AcctInfo(CorpName) values('L')");
    conn.Execute("insert into Borrowinfo(Code,Rcode,State,BorrowDate) values('B1','R1','未还','2024-03-05')");
    TADOQuery q;
    q.SetConnection(&conn);
    q.SQL()->SetText("select * from AcctInfo");
    q.Open();
    EXPECT_EQ(q.FieldByName("Id")->ClassName(), "TAutoIncField");
    EXPECT_EQ(q.FieldByName("CorpName")->ClassName(), "TStringField");
    EXPECT_EQ(q.FieldByName("CorpName")->Size(), 100);
    EXPECT_EQ(q.FieldByName("IfFine")->ClassName(), "TBooleanField");
    EXPECT_EQ(q.FieldByName("PerFine")->ClassName(), "TCurrencyField");
    EXPECT_EQ(q.FieldByName("PerFine1")->ClassName(), "TFloatField");
    EXPECT_EQ(q.FieldByName("InDay")->ClassName(), "TIntegerField");
    EXPECT_EQ(q.FieldByName("InDay")->AsInteger(), 30);
    EXPECT_EQ(q.FieldByName("Rcardmemo")->ClassName(), "TMemoField");
    q.Close();
    q.SQL()->SetText("select * from QryBorrow");
    q.Open();
    EXPECT_EQ(q.FieldByName("BorrowDate")->ClassName(), "TDateField");
    EXPECT_EQ(q.FieldByName("BorrowDate")->AsDateTime(), EncodeDate(2024, 3, 5));
    q.Close();
    q.SQL()->SetText("select count(*) as N, sum(RenewTimes) as S from Borrowinfo");
    q.Open();
    EXPECT_EQ(q.FieldByName("N")->ClassName(), "TIntegerField");
    EXPECT_EQ(q.FieldByName("N")->AsInteger(), 1);
}

TEST_F(AdoTest, appendOnSingleTableQueryInsertsAndReadsAutoNumberBack) {
    TADOQuery q;
    q.SetConnection(&conn);
    q.SQL()->SetText("select * from Borrowinfo where State='预约'");
    q.Open();
    EXPECT_EQ(q.UpdateTable(), "Borrowinfo");
    q.Append();
    q.FieldByName("Code")->SetAsString("B0001");
    q.FieldByName("Rcode")->SetAsString("R01");
    q.FieldByName("State")->SetAsString("预约");
    q.FieldByName("BorrowDate")->SetAsString("2024-3-5");
    q.Post();
    int64_t id = q.FieldByName("Id")->AsLargeInt();
    EXPECT_GT(id, 0);
    EXPECT_EQ(q.LastSavedId(), id);
    EXPECT_EQ(q.FieldByName("RenewTimes")->AsInteger(), 0);
    EXPECT_FALSE(q.FieldByName("IsPay")->AsBoolean());
    EXPECT_EQ(
        scalar("select BorrowDate || '|' || typeof(BorrowDate) as T from Borrowinfo where Id=" + std::to_string(id)),
        "2024-03-05|text");
    EXPECT_EQ(scalar("select IsPay || '' as T from Borrowinfo"), "0");
}

TEST_F(AdoTest, editAndDeleteWriteThroughTheKey) {
    conn.Execute("insert into Borrowinfo(Code,State) values('B1','未还')");
    conn.Execute("insert into Borrowinfo(Code,State) values('B2','未还')");
    TADOQuery q;
    q.SetConnection(&conn);
    q.SQL()->SetText("select Id, Code, IsPay, ExceedFund, ReturnDate from Borrowinfo order by Code");
    q.Open();
    q.Edit();
    q.FieldByName("IsPay")->SetAsBoolean(true);
    q.FieldByName("ExceedFund")->SetAsCurrency(Currency::FromRaw(1));
    q.FieldByName("ReturnDate")->SetAsDateTime(EncodeDate(2024, 12, 1) + EncodeTime(9, 5, 0, 0));
    q.Next();
    EXPECT_EQ(scalar("select IsPay || ',' || ExceedFund || ',' || ReturnDate as T from Borrowinfo where Code='B1'"),
              "1,0.0001,2024-12-01");
    q.Delete();
    EXPECT_EQ(scalar("select count(*) from Borrowinfo"), "1");
    q.Close();
    q.Open();
    EXPECT_EQ(q.FieldByName("ExceedFund")->AsCurrency(), Currency::FromRaw(1));
}

// The date pad hands out "2006-3-5"; stored unpadded it would sort and
// compare wrongly against the desks' '2006-03-05' text.
TEST_F(AdoTest, unpaddedDateTextIsStoredZeroPadded) {
    TADOQuery q;
    q.SetConnection(&conn);
    q.SQL()->SetText("select * from BookReject");
    q.Open();
    q.Append();
    q.FieldByName("Code")->SetAsString("B1");
    q.FieldByName("RejectDate")->SetAsString("2006-3-5");
    q.Post();
    EXPECT_EQ(scalar("select RejectDate || '' as T from BookReject"), "2006-03-05");
    EXPECT_EQ(scalar("select count(*) from BookReject where RejectDate>=#2006-03-05# and RejectDate<#2006-3-6#"), "1");
}

TEST_F(AdoTest, keylessTableRowsAreWrittenByRowid) {
    conn.Execute("insert into BookReject(Code,Remarks) values('B1','first')");
    conn.Execute("insert into BookReject(Code,Remarks) values('B1','second')");
    TADOQuery q;
    q.SetConnection(&conn);
    q.SQL()->SetText("select * from bookreject where Code='B1'");
    q.Open();
    ASSERT_EQ(q.RecordCount(), 2);
    q.Last();
    q.Edit();
    q.FieldByName("Remarks")->SetAsString("changed");
    q.Post();
    q.First();
    q.Delete();
    EXPECT_EQ(scalar("select group_concat(Remarks) from BookReject"), "changed");
    q.Append();
    q.FieldByName("Code")->SetAsString("B2");
    q.Post();
    EXPECT_EQ(scalar("select count(*) from BookReject"), "2");
}

TEST_F(AdoTest, joinedQueryRowsChangeOnlyInMemory) {
    conn.Execute("insert into Bookinfo(Code,Name) values('B1','Book')");
    TADOQuery q;
    q.SetConnection(&conn);
    q.SQL()->SetText(
        "select a.Code, b.Name, a.Rcode from (Borrowinfo a left join Bookinfo b on a.Code=b.Code) where 1=0");
    q.Open();
    EXPECT_EQ(q.UpdateTable(), "");
    q.Append();
    q.FieldByName("Code")->SetAsString("B1");
    q.FieldByName("Name")->SetAsString("Book");
    q.Post();
    EXPECT_EQ(q.RecordCount(), 1);
    EXPECT_EQ(scalar("select count(*) from Borrowinfo"), "0");
}

TEST_F(AdoTest, batchOptimisticRowsNeverReachTheFileUntilUpdateBatch) {
    conn.Execute("insert into Borrowinfo(Code,State) values('B1','未还')");
    TADOQuery q;
    q.SetConnection(&conn);
    q.SetLockType(ltBatchOptimistic);
    q.SQL()->SetText("select * from Borrowinfo");
    q.Open();
    q.Edit();
    q.FieldByName("State")->SetAsString("已还");
    q.Append();
    q.FieldByName("Code")->SetAsString("B2");
    q.Post();
    EXPECT_EQ(q.RecordCount(), 2);
    EXPECT_TRUE(q.HasPendingChanges());
    EXPECT_EQ(scalar("select group_concat(Code || State) from Borrowinfo"), "B1未还");
    q.SetSort("Code DESC");
    EXPECT_EQ(q.FieldByName("Code")->AsString(), "B2");
    q.UpdateBatch();
    EXPECT_FALSE(q.HasPendingChanges());
    EXPECT_EQ(scalar("select group_concat(Code || ifnull(State,'-')) from Borrowinfo"), "B1已还,B2-");
    q.Delete();
    q.CancelBatch();
    EXPECT_EQ(q.RecordCount(), 2);
    EXPECT_EQ(scalar("select count(*) from Borrowinfo"), "2");
}

TEST_F(AdoTest, rollbackAfterFailingStatementLeavesDataAsBefore) {
    conn.Execute("insert into Bookpub(Code) values('P1')");
    conn.BeginTrans();
    EXPECT_TRUE(conn.InTransaction());
    conn.Execute("update Bookpub set Isbn='7-1' where Code='P1'");
    conn.Execute("insert into Bookpub(Code) values('P2')");
    EXPECT_NE(errorOf([&] { conn.Execute("insert into Bookpub(Code) values('P1')"); }), "");
    conn.RollbackTrans();
    EXPECT_FALSE(conn.InTransaction());
    EXPECT_EQ(scalar("select group_concat(Code || '/' || ifnull(Isbn,'')) from Bookpub"), "P1/");
}

TEST_F(AdoTest, transactionsNeverNest) {
    conn.BeginTrans();
    EXPECT_EQ(errorOf([&] { conn.BeginTrans(); }), "A transaction is already open on this connection");
    conn.CommitTrans();
    EXPECT_EQ(errorOf([&] { conn.CommitTrans(); }), "No transaction is open on this connection");
    EXPECT_EQ(errorOf([&] { conn.RollbackTrans(); }), "No transaction is open on this connection");
}

TEST_F(AdoTest, quoteInsideValueIsStoredAsTyped) {
    conn.Execute("insert into Bookpub(Code) values(" + QuotedStr("O'Brien #1 top") + ")");
    TADOQuery q;
    q.SetConnection(&conn);
    q.SQL()->SetText("select * from Bookpub where Code=" + QuotedStr("o'brien #1 top"));
    q.Open();
    ASSERT_EQ(q.RecordCount(), 1);
    q.Edit();
    q.FieldByName("Isbn")->SetAsString("it's");
    q.Post();
    EXPECT_EQ(scalar("select Isbn from Bookpub"), "it's");
}

TEST_F(AdoTest, clientSortOrdersTextWithoutCaseAndNullsFirst) {
    for (const char* c : {"'b'", "'A'", "NULL", "'C'"})
        conn.Execute(std::string("insert into Borrowinfo(Code,State) values(") + c + ",'x')");
    TADOQuery q;
    q.SetConnection(&conn);
    q.SQL()->SetText("select * from Borrowinfo");
    q.Open();
    q.SetSort("Code ASC");
    std::string s;
    for (q.First(); !q.Eof(); q.Next()) s += q.FieldByName("Code")->IsNull() ? "-" : q.FieldByName("Code")->AsString();
    EXPECT_EQ(s, "-AbC");
    q.SetSort("State, Code DESC");
    EXPECT_EQ(q.FieldByName("Code")->AsString(), "C");
    EXPECT_EQ(errorOf([&] { q.SetSort("Nope"); }), "Field 'Nope' not found");
}

TEST_F(AdoTest, booleanReadsNonzeroAsTrue) {
    conn.Execute("insert into UserModule(Usecode,ModuleId,Ifcheck) values('X',1,-1)");
    EXPECT_EQ(scalar("select Ifcheck from UserModule where Usecode='X'"), "True");
}

TEST_F(AdoTest, execSqlCountsRowsAndChangingSqlCloses) {
    conn.Execute("insert into Bookpub(Code) values('P1')");
    conn.Execute("insert into Bookpub(Code) values('P2')");
    TADOQuery q;
    q.SetConnection(&conn);
    q.SQL()->SetText("update Bookpub set Isbn='1'");
    EXPECT_EQ(q.ExecSQL(), 2);
    EXPECT_EQ(q.RowsAffected(), 2);
    TADOCommand cmd;
    cmd.SetConnection(&conn);
    cmd.SetCommandText("delete from Bookpub where Code='P1'");
    EXPECT_EQ(cmd.Execute(), 1);
    q.SQL()->SetText("select * from Bookpub");
    q.Open();
    q.SQL()->SetText("select * from Bookinfo");
    EXPECT_FALSE(q.Active());
}

TEST_F(AdoTest, secondWriterWaitsForTheFirst) {
    TADOConnection other;
    other.SetConnectionString(connectionString(path));
    other.Open();
    conn.BeginTrans();
    conn.Execute("insert into Bookpub(Code) values('A')");
    std::thread committer([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        conn.CommitTrans();
    });
    EXPECT_EQ(errorOf([&] { other.Execute("insert into Bookpub(Code) values('B')"); }), "");
    committer.join();
    EXPECT_EQ(scalar("select group_concat(Code) from Bookpub"), "A,B");
}

TEST_F(AdoTest, compactionCopiesRowsAndPasswordIntoANewFile) {
    conn.Execute("insert into Bookpub(Code) values('P1')");
    conn.Close();
    std::string target = path + ".compact";
    DeleteFile(target);
    std::string quoted = "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + target +
                         ";User ID=Admin;jet oledb:database password=\"mopu284617\"";
    CompactDatabase(connectionString(path), quoted);
    EXPECT_EQ(errorOf([&] { CompactDatabase(connectionString(path), quoted); }),
              "Database '" + target + "' already exists.");
    TADOConnection copy;
    copy.SetConnectionString(quoted);
    copy.Open();
    TADOQuery q;
    q.SetConnection(&copy);
    q.SQL()->SetText("select Code from Bookpub");
    q.Open();
    EXPECT_EQ(q.Fields()[0]->AsString(), "P1");
    copy.Close();
    DeleteFile(target);
    conn.Open();
}

TEST_F(AdoTest, exclusiveModeKeepsOthersOut) {
    conn.Close();
    conn.SetMode(cmShareExclusive);
    conn.Open();
    TADOConnection other;
    other.SetConnectionString(connectionString(path));
    EXPECT_EQ(errorOf([&] { other.Open(); }), "Could not use '" + path + "'; file already in use.");
    conn.Close();
    conn.SetMode(cmShareDenyNone);
    other.Open();
    EXPECT_TRUE(other.Connected());
}

} // namespace

namespace {

struct WritableRow {
    const char* name;
    const char* sql;
    const char* updateTable;
};

class WritableStatementTest : public AdoTest, public ::testing::WithParamInterface<WritableRow> {};

TEST_P(WritableStatementTest, writesOnlyThroughASingleTable) {
    TADOQuery q;
    q.SetConnection(&conn);
    q.SQL()->SetText(GetParam().sql);
    q.Open();
    EXPECT_EQ(q.UpdateTable(), GetParam().updateTable);
}

INSTANTIATE_TEST_SUITE_P(
    Statements, WritableStatementTest,
    ::testing::Values(
        WritableRow{"topN", "select top 10 * from Bookinfo", "Bookinfo"},
        WritableRow{"orderedTop", "Select top 100000 * FROM Bookinfo order by Code", "Bookinfo"},
        WritableRow{"lowerCaseName", "select * from bookreject", "bookreject"},
        WritableRow{"whereText", "Select * from BookInfo where Code='B''1'", "BookInfo"},
        WritableRow{"aliased", "select a.Code, a.Name from Bookinfo a where a.Code like 'B%'", "Bookinfo"},
        WritableRow{"view", "select * from QryBorrow", ""},
        WritableRow{"join", "select a.Id, b.Name from Borrowinfo a left join Bookinfo b on a.Code=b.Code", ""},
        WritableRow{"grouped", "select Rcode, count(*) as N from Borrowinfo group by Rcode", ""},
        WritableRow{"distinct", "select distinct Code from Borrowinfo", ""},
        WritableRow{"derived", "select * from (select * from Bookinfo) a", ""},
        WritableRow{"commaJoin", "select * from Bookinfo, Readerinfo", ""}),
    RowName());

TEST_F(AdoTest, calculatedFieldOnQueryNumbersRows) {
    conn.Execute("insert into Bookpub(Code) values('P1')");
    conn.Execute("insert into Bookpub(Code) values('P2')");
    TADOQuery q;
    q.SetConnection(&conn);
    auto* code = new TStringField(&q);
    code->SetFieldName("Code");
    code->SetDataSet(&q);
    auto* order = new TIntegerField(&q);
    order->SetFieldName("OrderId");
    order->SetFieldKind(fkCalculated);
    order->SetDataSet(&q);
    q.OnCalcFields = [](TDataSet* d) { d->FieldByName("OrderId")->SetAsInteger(d->RecNo()); };
    q.SQL()->SetText("select * from Bookpub order by Code");
    q.Open();
    q.Last();
    EXPECT_EQ(order->AsInteger(), 2);
    EXPECT_EQ(q.FieldCount(), 2);
}

} // namespace
