// Bound values: ":name" parameters of queries and commands, "?" values of
// Execute, how each type is stored, the transaction scope and the row
// look-up, on a database made from the shipped schema.
#include <gtest/gtest.h>

#include "ADODB.h"
#include "SysUtils.h"

#include "AdoFixture.h"
#include "support/TestNames.h"

namespace {

// How one bound value lands in a Borrowinfo column: the engine's storage
// class and the value as text.
struct StoredRow {
    const char* name;
    const char* column;
    Variant value;
    const char* stored; // "typeof:value"
};

class BoundValueStorage : public AdoTest, public ::testing::WithParamInterface<StoredRow> {};

TEST_P(BoundValueStorage, landsAsTheColumnStoresIt) {
    const StoredRow& r = GetParam();
    ASSERT_EQ(conn.Execute(std::string("insert into Borrowinfo(Code,") + r.column + ") values(?,?)", {"K1", r.value}),
              1);
    EXPECT_EQ(scalar(std::string("select typeof(") + r.column + ")||':'||ifnull(" + r.column +
                     ",'') from Borrowinfo where Code='K1'"),
              r.stored);
}

INSTANTIATE_TEST_SUITE_P(
    Types, BoundValueStorage,
    ::testing::Values(StoredRow{"textWithQuotePercentUnderscoreAndLineBreak", "Operator", Variant("O'K 5%_\r\n张"),
                                "text:O'K 5%_\r\n张"},
                      StoredRow{"wholeMoneyAsInteger", "ExceedFund", Variant(Currency(12)), "integer:12"},
                      StoredRow{"moneyWithCentsAsNumber", "ExceedFund", Variant(Currency::FromRaw(125000)),
                                "real:12.5"},
                      StoredRow{"negativeMoney", "ExceedFund", Variant(Currency::FromRaw(-37000)), "real:-3.7"},
                      StoredRow{"dateAsStoredText", "BorrowDate", Variant(EncodeDate(2025, 3, 10)), "text:2025-03-10"},
                      StoredRow{"dateWithTime", "BorrowDate",
                                Variant(TDateTime(EncodeDate(2025, 3, 10).Val + EncodeTime(8, 30, 0, 0).Val)),
                                "text:2025-03-10 08:30:00"},
                      StoredRow{"booleanAsOne", "IsPay", Variant(true), "integer:1"},
                      StoredRow{"integer", "RenewTimes", Variant(3), "integer:3"},
                      StoredRow{"null", "ReturnDate", Null(), "null:"}),
    RowName());

// Money goes in as Currency and comes back as the same Currency, stored
// exactly as the decimal written out in the statement would be.
class MoneyRoundTrip : public AdoTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(MoneyRoundTrip, readsBackTheSameAmountStoredAsTheDecimalLiteral) {
    const std::string decimal = GetParam();
    const Currency amount = StrToCurr(decimal);
    conn.Execute("insert into Borrowinfo(Code,ExceedFund) values('bound',?)", {amount});
    conn.Execute("insert into Borrowinfo(Code,ExceedFund) values('literal'," + decimal + ")");
    TRowLookup back(&conn, "select ExceedFund from Borrowinfo where Code=?", {"bound"});
    EXPECT_EQ(back["ExceedFund"]->AsCurrency(), amount);
    EXPECT_EQ(scalar("select count(*) from Borrowinfo a, Borrowinfo b where a.Code='bound' and b.Code='literal' and "
                     "quote(a.ExceedFund)=quote(b.ExceedFund)"),
              "1");
}

INSTANTIATE_TEST_SUITE_P(Amounts, MoneyRoundTrip,
                         ::testing::Values("0.0001", "0.1", "0.3", "12.35", "-3.7", "1000", "12345678.9999",
                                           "9999999999.9999"),
                         [](const auto& i) {
                             std::string n = i.param;
                             for (char& c : n)
                                 if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                             return "amount_" + n;
                         });

TEST_F(AdoTest, moneyIsBoundTheSameUnderADecimalComma) {
    const TFormatSettings saved = FormatSettings;
    FormatSettings.DecimalSeparator = ',';
    FormatSettings.ThousandSeparator = '.';
    conn.Execute("insert into Borrowinfo(Code,ExceedFund) values(?,?)", {"K1", Currency::FromRaw(15000)});
    FormatSettings = saved;
    EXPECT_EQ(scalar("select quote(ExceedFund) from Borrowinfo where Code='K1'"), "1.5");
}

TEST_F(AdoTest, queryParametersAreMadeFromTheNamesInItsText) {
    conn.Execute("insert into Bookinfo(Code,Name) values('B1','一'),('B2','二'),('B''3','三')");
    TADOQuery q;
    q.SetConnection(&conn);
    q.SQL()->SetText("select Name from Bookinfo where Code=:code or (Name=:name and Code<>:CODE) order by Code");
    ASSERT_EQ(q.Parameters()->Count(), 2);
    EXPECT_EQ(q.Parameters()->Items(0)->Name(), "code");
    q.Parameters()->ParamByName("code")->SetValue("B'3");
    q.Parameters()->ParamByName("name")->SetValue("一");
    q.Open();
    ASSERT_EQ(q.RecordCount(), 2);
    EXPECT_EQ(q.FieldByName("Name")->AsString(), "三"); // "B'3" sorts before "B1"
    // A new text keeps the value of a name it still uses.
    q.SQL()->SetText("select Name from Bookinfo where Code=:Code");
    ASSERT_EQ(q.Parameters()->Count(), 1);
    q.Open();
    EXPECT_EQ(q.FieldByName("Name")->AsString(), "三");
    EXPECT_EQ(errorOf([&] { q.Parameters()->ParamByName("nope"); }), "Parameter 'nope' not found");
}

TEST_F(AdoTest, parameterWithoutValueIsRefusedNotBoundAsNull) {
    TADOQuery q;
    q.SetConnection(&conn);
    q.SQL()->SetText("select * from Bookinfo where Code=:Code");
    EXPECT_EQ(errorOf([&] { q.Open(); }),
              "No value given for one or more required parameters.\nselect * from Bookinfo where Code=:Code");
    EXPECT_FALSE(q.Active());
    TADOCommand cmd;
    cmd.SetConnection(&conn);
    cmd.SetCommandText("delete from Bookinfo where Code=?");
    EXPECT_EQ(errorOf([&] { cmd.Execute(); }),
              "No value given for one or more required parameters.\ndelete from Bookinfo where Code=?");
}

TEST_F(AdoTest, commandAndExecSqlBindTheirParameters) {
    TADOCommand cmd;
    cmd.SetConnection(&conn);
    cmd.SetCommandText("insert into Bookinfo(Code,Name,RegDate) values(:Code,:Name,:Day)");
    cmd.Parameters()->ParamByName("Code")->SetValue("B1");
    cmd.Parameters()->ParamByName("Name")->SetValue("x'); delete from Bookinfo; --");
    cmd.Parameters()->ParamByName("Day")->SetValue(EncodeDate(2025, 1, 2));
    EXPECT_EQ(cmd.Execute(), 1);
    TADOQuery q;
    q.SetConnection(&conn);
    q.SQL()->SetText("update Bookinfo set Times=:n where Code=:Code");
    q.Parameters()->ParamByName("n")->SetValue(7);
    q.Parameters()->ParamByName("Code")->SetValue("b1");
    EXPECT_EQ(q.ExecSQL(), 1);
    EXPECT_EQ(scalar("select Name||'|'||RegDate||'|'||Times from Bookinfo"),
              "x'); delete from Bookinfo; --|2025-01-02|7");
}

TEST_F(AdoTest, executeWithTheWrongNumberOfValuesRunsNothing) {
    const std::string two = "insert into Bookpub(Code) values(?); insert into Bookpub(Code) values(?)";
    EXPECT_EQ(errorOf([&] { conn.Execute(two, {"P1"}); }),
              "The statement has 2 placeholders but 1 values were given\n" + two);
    EXPECT_EQ(scalar("select count(*) from Bookpub"), "0");
    EXPECT_EQ(conn.Execute(two, {"P1", "P2"}), 1);
    EXPECT_EQ(scalar("select group_concat(Code) from Bookpub"), "P1,P2");
    EXPECT_NE(errorOf([&] { conn.Execute("delete from Bookpub where Code=:c", {"P1"}); }), "");
}

TEST_F(AdoTest, statementSetFromTextAndValuesOpensWithThem) {
    conn.Execute("insert into Bookinfo(Code,Name) values('B1','一'),('B2','二')");
    TADOQuery q;
    q.SetConnection(&conn);
    q.SetStatement({"select Name from Bookinfo where Code=?", {"B2"}});
    q.Open();
    EXPECT_EQ(q.FieldByName("Name")->AsString(), "二");
    // The same text with another value is another statement.
    q.SetStatement({"select Name from Bookinfo where Code=?", {"B1"}});
    q.Open();
    EXPECT_EQ(q.FieldByName("Name")->AsString(), "一");
    EXPECT_EQ(errorOf([&] {
                  q.SetStatement({"select Name from Bookinfo where Code=?", {}});
              }),
              "The statement has 1 placeholders but 0 values were given");
}

TEST_F(AdoTest, likeEscapedMatchesPercentAndUnderscoreAsText) {
    conn.Execute("insert into Bookinfo(Code) values('5%_a'),('5xya'),('5\\b'),('5\\\\b')");
    auto count = [&](const std::string& typed) {
        TRowLookup n(&conn, "select count(*) as n from Bookinfo where Code like ? escape '\\'",
                     {LikeEscaped(typed) + "%"});
        return n["n"]->AsInteger();
    };
    EXPECT_EQ(count("5%_"), 1);
    EXPECT_EQ(count("5%"), 1);
    EXPECT_EQ(count("5_"), 0);
    EXPECT_EQ(count("5\\b"), 1);
    EXPECT_EQ(count("5"), 4);
}

TEST_F(AdoTest, transactionRollsBackWhenLeftUncommitted) {
    try {
        TTransaction t(&conn);
        conn.Execute("insert into Bookpub(Code) values(?)", {"P1"});
        throw Exception("the save failed");
    } catch (const Exception&) {}
    EXPECT_FALSE(conn.InTransaction());
    EXPECT_EQ(scalar("select count(*) from Bookpub"), "0");
    {
        TTransaction t(&conn);
        conn.Execute("insert into Bookpub(Code) values(?)", {"P2"});
        t.Commit();
        EXPECT_TRUE(t.Committed());
    }
    EXPECT_EQ(scalar("select group_concat(Code) from Bookpub"), "P2");
}

TEST_F(AdoTest, transactionSurvivesTheEngineRollingBackOrTheConnectionClosing) {
    {
        TTransaction t(&conn);
        conn.Execute("insert into Bookpub(Code) values('P1')");
        conn.Close();
    }
    conn.Open();
    EXPECT_EQ(scalar("select count(*) from Bookpub"), "0");
    TTransaction t(&conn);
    EXPECT_EQ(errorOf([&] { TTransaction nested(&conn); }), "A transaction is already open on this connection");
}

TEST_F(AdoTest, rowLookupReadsTheRowOfItsValues) {
    conn.Execute("insert into Bookinfo(Code,Name,BookPrice) values('B1','一',12.5)");
    TRowLookup found(&conn, "select * from Bookinfo where Code=? and Name=?", {"b1", "一"});
    ASSERT_FALSE(found.Empty());
    EXPECT_EQ(found.Text("Name"), "一");
    EXPECT_TRUE(TRowLookup(&conn, "select * from Bookinfo where Code=?", {"B1'"}).Empty());
}

} // namespace
