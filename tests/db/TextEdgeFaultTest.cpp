// Text at the edges of statements and connection strings. A code holding a
// line break was stored but never found again: the query's statement was
// split into lines and joined with CR LF, changing the literal. A database
// path holding ";" lost everything after it, and one ending in blanks lost
// them.
#include "AdoFixture.h"
#include "support/TestNames.h"

namespace {

struct BreakRow {
    const char* name;
    const char* code;
};

class CodeWithALineBreak : public AdoTest, public ::testing::WithParamInterface<BreakRow> {};

TEST_P(CodeWithALineBreak, matchesItselfThroughAQuery) {
    const std::string code = GetParam().code;
    conn.Execute("insert into Bookpub(Code) values(" + QuotedStr(code) + ")");
    TADOQuery q;
    q.SetConnection(&conn);
    q.SQL()->SetText("select Code from Bookpub where Code=" + QuotedStr(code));
    q.Open();
    ASSERT_EQ(q.RecordCount(), 1);
    EXPECT_EQ(q.Fields()[0]->AsString(), code);
}

INSTANTIATE_TEST_SUITE_P(Codes, CodeWithALineBreak,
                         ::testing::Values(BreakRow{"lineFeed", "B\n1"}, BreakRow{"carriageReturn", "B\r1"},
                                           BreakRow{"both", "B\r\n1"}, BreakRow{"trailing", "B1\n"},
                                           BreakRow{"twoInARow", "B\n\n1"}),
                         RowName());

TEST_F(AdoTest, statementBuiltLineByLineStillRuns) {
    conn.Execute("insert into Bookpub(Code) values('P1')");
    TADOQuery q;
    q.SetConnection(&conn);
    q.SQL()->SetText("select Code\nfrom Bookpub");
    q.SQL()->Add("where Code='P1'");
    q.Open();
    EXPECT_EQ(q.RecordCount(), 1);
}

struct PathRow {
    const char* name;
    const char* value;
};

class QuotedConnectionValue : public ::testing::TestWithParam<PathRow> {};

TEST_P(QuotedConnectionValue, comesBackExactly) {
    const std::string value = GetParam().value;
    const std::string cs = "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + ConnectionStringQuoted(value) +
                           ";Jet OLEDB:Database Password=" + kPassword;
    EXPECT_EQ(ConnectionStringValue(cs, "Data Source"), value);
    EXPECT_EQ(ConnectionStringValue(cs, "Jet OLEDB:Database Password"), kPassword);
}

INSTANTIATE_TEST_SUITE_P(
    Values, QuotedConnectionValue,
    ::testing::Values(PathRow{"plain", "/srv/lib/ombry.dat"}, PathRow{"semicolon", "/srv/lib;x/ombry.dat"},
                      PathRow{"trailingBlanks", "/srv/lib/ombry.dat  "}, PathRow{"leadingBlank", " /srv/ombry.dat"},
                      PathRow{"equals", "/srv/a=b/ombry.dat"}, PathRow{"doubleQuote", "/srv/\"x\"/ombry.dat"},
                      PathRow{"bothQuotes", "/srv/'a\"b;/ombry.dat"}),
    RowName());

TEST(QuotedConnectionValue, aDatabaseInAFolderWithASemicolonOpens) {
    const std::string dir = std::string(BUILD_DIR) + "/adotest;" + std::to_string(getpid()) + " ";
    ForceDirectories(dir);
    const std::string file = dir + "/ombry.dat";
    DeleteFile(file);
    CreateDatabaseFile(file, schemaScript());
    TADOConnection c;
    c.SetConnectionString("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + ConnectionStringQuoted(file) +
                          ";Jet OLEDB:Database Password=" + kPassword);
    c.Open();
    EXPECT_EQ(c.DatabasePath(), file);
    c.Close();
    DeleteFile(file);
    RemoveDir(dir);
}

} // namespace
