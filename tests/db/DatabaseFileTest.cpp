// Whole-file operations through the engine: a backup replaces its target
// only once complete, a restore puts one database's content in place of
// another's on an exclusive connection, compaction in place shrinks the
// file and keeps the rows, and the check tells a database of ours from
// other files.
#include "AdoFixture.h"

#include "DatabaseFile.h"

namespace {

class DatabaseFile : public AdoTest {
protected:
    void TearDown() override {
        AdoTest::TearDown();
        for (const std::string& f : made) DeleteFile(f);
    }
    std::string file(const std::string& suffix) {
        made.push_back(path + suffix);
        DeleteFile(made.back());
        return made.back();
    }
    std::vector<std::string> made;
};

TEST_F(DatabaseFile, backupReplacesTheTargetWithTheRowsAndThePassword) {
    conn.Execute("insert into Bookpub(Code) values('P1')");
    const std::string target = file(".bak");
    AtomicWriteFile(target, "an older file");
    BackupDatabase(&conn, target);
    CheckDatabaseFile(target, kPassword, {"Bookpub", "Borrowinfo"});
    TADOConnection copy;
    copy.SetConnectionString(connectionString(target));
    copy.Open();
    EXPECT_EQ(copy.Execute("update Bookpub set Code='P2' where Code='P1'"), 1);
    EXPECT_EQ(ListFiles(ExtractFileDir(target), ExtractFileName(target) + ".tmp*"), std::vector<std::string>{});
}

TEST_F(DatabaseFile, failedBackupLeavesTheTargetAsItWas) {
    const std::string target = file(".bak");
    AtomicWriteFile(target, "the previous backup");
    conn.Close();
    EXPECT_EQ(errorOf([&] { BackupDatabase(&conn, target); }), "Operation is not allowed when the object is closed");
    EXPECT_EQ(ReadFileBytes(target), "the previous backup");
}

TEST_F(DatabaseFile, restoreNeedsTheDatabaseExclusively) {
    const std::string source = file(".src");
    BackupDatabase(&conn, source);
    EXPECT_EQ(errorOf([&] { RestoreDatabase(&conn, source); }),
              "The database must be open exclusively for this operation");
}

TEST_F(DatabaseFile, restorePutsTheOtherContentInPlace) {
    conn.Execute("insert into Bookpub(Code) values('SAVED')");
    const std::string source = file(".src");
    BackupDatabase(&conn, source);
    conn.Execute("delete from Bookpub");
    conn.Execute("insert into Bookpub(Code) values('LATER')");
    conn.Close();
    conn.SetMode(cmShareExclusive);
    conn.Open();
    RestoreDatabase(&conn, source);
    EXPECT_EQ(scalar("select group_concat(Code) from Bookpub"), "SAVED");
    conn.Close();
    conn.SetMode(cmShareDenyNone);
    conn.Open();
    EXPECT_EQ(scalar("select group_concat(Code) from Bookpub"), "SAVED");
}

TEST_F(DatabaseFile, compactionInPlaceShrinksTheFileAndKeepsTheRows) {
    conn.Execute("with recursive n(i) as (select 1 union all select i + 1 from n where i < 3000) "
                 "insert into Bookpub(Code, Isbn) select 'P' || i, hex(randomblob(20)) from n");
    conn.Execute("delete from Bookpub where Code <> 'P7'");
    const int64_t before = FileSize(path);
    conn.Close();
    conn.SetMode(cmShareExclusive);
    conn.Open();
    CompactDatabaseInPlace(&conn);
    conn.Close();
    EXPECT_LT(FileSize(path), before);
    conn.SetMode(cmShareDenyNone);
    conn.Open();
    EXPECT_EQ(scalar("select group_concat(Code) from Bookpub"), "P7");
}

TEST_F(DatabaseFile, checkNamesWhatIsWrong) {
    const std::string text = file(".txt");
    AtomicWriteFile(text, "no database");
    EXPECT_EQ(errorOf([&] { CheckDatabaseFile(text, kPassword, {}); }), "file is not a database");
    EXPECT_EQ(errorOf([&] { CheckDatabaseFile(path, "guess", {}); }), "Not a valid password.");
    EXPECT_EQ(errorOf([&] {
                  CheckDatabaseFile(path, kPassword, {"Bookpub", "NoSuchTable"});
              }),
              "The database has no table NoSuchTable");
    EXPECT_EQ(errorOf([&] { CheckDatabaseFile(path, kPassword, {"Bookpub"}); }), "");
}

} // namespace
