// One database file used by several programs at once. Exclusive use
// (compaction, restore) used to be granted while another program merely
// had the file open, and the file was then swapped under it: its later
// saves failed. Another program here is a process of its own
// (support/OtherProgram.h); it may also die without closing anything.
#include "AdoFixture.h"

#include "DatabaseFile.h"
#include "support/OtherProgram.h"

namespace {

class DatabaseSharing : public AdoTest {
protected:
    std::string inUse() const { return "Could not use '" + path + "'; file already in use."; }
};

TEST_F(DatabaseSharing, exclusiveOpenIsRefusedWhileAnotherProgramHasTheFileOpen) {
    conn.Close();
    TOtherProgram other(connectionString(path));
    ASSERT_TRUE(other.Opened()) << other.Status();
    conn.SetMode(cmShareExclusive);
    EXPECT_EQ(errorOf([&] { conn.Open(); }), inUse());
    EXPECT_FALSE(conn.Connected());
    EXPECT_EQ(other.Run("insert into Bookpub(Code) values('P1')"), "ok");
    other.End();
    conn.Open();
    EXPECT_EQ(scalar("select Code from Bookpub"), "P1");
}

TEST_F(DatabaseSharing, openIsRefusedWhileAnotherProgramHoldsTheFileExclusively) {
    conn.Close();
    TOtherProgram other(connectionString(path), true);
    ASSERT_TRUE(other.Opened()) << other.Status();
    EXPECT_EQ(errorOf([&] { conn.Open(); }), inUse());
    other.End();
    conn.Open();
    EXPECT_TRUE(conn.Connected());
}

TEST_F(DatabaseSharing, anotherConnectionOfTheSameProgramCountsAsAnotherUser) {
    TADOConnection exclusive;
    exclusive.SetConnectionString(connectionString(path));
    exclusive.SetMode(cmShareExclusive);
    EXPECT_EQ(errorOf([&] { exclusive.Open(); }), inUse());
    conn.Close();
    exclusive.Open();
    EXPECT_EQ(errorOf([&] { conn.Open(); }), inUse());
}

TEST_F(DatabaseSharing, aProgramThatDiesLetsGoOfTheFile) {
    conn.Close();
    TOtherProgram other(connectionString(path));
    ASSERT_TRUE(other.Opened()) << other.Status();
    other.Kill();
    conn.SetMode(cmShareExclusive);
    conn.Open();
    EXPECT_TRUE(conn.Connected());
}

TEST_F(DatabaseSharing, theLastUserRemovesTheLockFile) {
    TOtherProgram other(connectionString(path));
    ASSERT_TRUE(other.Opened()) << other.Status();
    EXPECT_TRUE(FileExists(LockFileFor(path)));
    conn.Close();
    EXPECT_TRUE(FileExists(LockFileFor(path)));
    other.End();
    EXPECT_FALSE(FileExists(LockFileFor(path)));
}

TEST_F(DatabaseSharing, compactionIsRefusedWhileAnotherProgramHasTheFileOpen) {
    conn.Close();
    TOtherProgram other(connectionString(path));
    ASSERT_TRUE(other.Opened()) << other.Status();
    const std::string target = path + ".compact";
    EXPECT_EQ(errorOf([&] { CompactDatabase(connectionString(path), connectionString(target)); }), inUse());
    EXPECT_FALSE(FileExists(target));
}

} // namespace
