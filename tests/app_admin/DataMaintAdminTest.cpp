// Backup, restore, repair and the exit compaction on a real database file:
// rows come back after a restore, a repair leaves exactly one compacted
// database, a stale temporary file never blocks, and a database that is not
// the local file is refused.
#include "AdminFixture.h"

#include "ADODB.h"
#include "Dialogs.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "app/uBackupExit.h"
#include "app/uDMData.h"
#include "app/uDataMaint.h"

#include <functional>

namespace {

const char* const UsersSql = "select UseCode, UseName, Duty, Passwords from SystemUser order by UseCode";

class DataMaintAdminTest : public AdminFixture {
protected:
    void SetUp() override {
        AdminFixture::SetUp();
        saveDialog = new TSaveDialog(dm.get());
        openDialog = new TOpenDialog(dm.get());
    }
    void addUsers(int from, int count) {
        std::string rows;
        for (int i = from; i < from + count; ++i)
            rows += std::string(i > from ? "," : "") + "('U" + std::to_string(i) + "', '" + std::string(20, 'x') +
                    "', '操作员', '')";
        Exec("insert into SystemUser (UseCode, UseName, Duty, Passwords) values " + rows);
    }
    TSaveDialog* saveDialog = nullptr;
    TOpenDialog* openDialog = nullptr;
};

TEST_F(DataMaintAdminTest, backupThenRestoreGivesBackTheSameRows) {
    addUsers(1, 3);
    const auto before = Rows(UsersSql);
    const std::string backup = dir_ + "Backup/saved.RKB";

    script.ExpectMessage("是否确定备份数据？", IDOK, "提示！");
    script.ExpectFile(TSeamKind::SaveDialog, backup);
    script.ExpectMessage("备份成功！", IDOK, "信息");
    BackupCommand(saveDialog);
    EXPECT_EQ(saveDialog->FileName(), backup);
    EXPECT_TRUE(FileExists(backup));
    EXPECT_TRUE(dm->ADOConnection1->Connected());

    Exec("delete from SystemUser where UseCode='U2'");
    addUsers(7, 2);
    ASSERT_NE(Rows(UsersSql), before);

    script.ExpectMessage("恢复前,用户不能进行任何操作,\n\n是否现在恢复数据？", IDOK, "提示！");
    script.ExpectFile(TSeamKind::OpenDialog, backup);
    script.ExpectMessage("恢复成功！", IDOK, "信息");
    RestoreCommand(openDialog);

    EXPECT_EQ(Rows(UsersSql), before);
    EXPECT_FALSE(FileExists(CompactTempPath()));
    EXPECT_TRUE(dm->ADOConnection1->Connected());
    EXPECT_TRUE(script.Unused().empty());
}

TEST_F(DataMaintAdminTest, backupDefaultNameIsTheDayInTheBackupFolder) {
    EXPECT_EQ(DefaultBackupName(EncodeDate(2011, 5, 1)), "Bck20110501.RKB");
    script.ExpectMessage("是否确定备份数据？", IDOK);
    script.ExpectFile(TSeamKind::SaveDialog, "", false);
    BackupCommand(saveDialog);
    EXPECT_EQ(saveDialog->Title(), "备份数据");
    EXPECT_EQ(saveDialog->Filter(), "Bck file (*.RKB)|*.RKB");
    EXPECT_EQ(saveDialog->InitialDir(), dir_ + "Backup/");
    EXPECT_TRUE(DirectoryExists(dir_ + "Backup"));
    EXPECT_TRUE(dm->ADOConnection1->Connected());
}

TEST_F(DataMaintAdminTest, repairLeavesOneCompactedDatabaseAndNoTemporaryFile) {
    addUsers(1, 400);
    Exec("delete from SystemUser where UseCode like 'U%'");
    addUsers(1000, 2);
    const auto before = Rows(UsersSql);
    const int64_t sizeBefore = FileSize(dbFile_);

    script.ExpectMessage("数据整理成功！", IDOK, "信息");
    RepairCommand();

    EXPECT_EQ(Rows(UsersSql), before);
    EXPECT_LT(FileSize(dbFile_), sizeBefore);
    // The lock file is there while the program has the database open.
    EXPECT_EQ(ListFiles(dir_ + "Data"), (std::vector<std::string>{"ombry.dat", "ombry.ldb"}));
    EXPECT_TRUE(dm->ADOConnection1->Connected());
    EXPECT_EQ(dm->ADOConnection1->Mode(), cmReadWrite);
}

// A copy left by an interrupted run used to make every later compaction
// fail; each command must still succeed and leave no temporary file.
struct StaleCase {
    const char* name;
    std::function<void(DataMaintAdminTest*, TSeamScript&, TOpenDialog*, const std::string& dir)> run;
};

class StaleTempFile : public DataMaintAdminTest, public ::testing::WithParamInterface<StaleCase> {};

TEST_P(StaleTempFile, staleCompactionFileDoesNotBlock) {
    AtomicWriteFile(dir_ + "Data/DBtmp.mdb", "left over from an interrupted run");
    GetParam().run(this, script, openDialog, dir_);
    const auto files = dm->ADOConnection1->Connected() ? std::vector<std::string>{"ombry.dat", "ombry.ldb"}
                                                       : std::vector<std::string>{"ombry.dat"};
    EXPECT_EQ(ListFiles(dir_ + "Data"), files);
    EXPECT_TRUE(script.Unused().empty());
    EXPECT_TRUE(script.Failures().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Commands, StaleTempFile,
    ::testing::Values(StaleCase{"repair",
                                [](DataMaintAdminTest*, TSeamScript& s, TOpenDialog*, const std::string&) {
                                    s.ExpectMessage("数据整理成功！", IDOK);
                                    RepairCommand();
                                }},
                      StaleCase{"restore",
                                [](DataMaintAdminTest*, TSeamScript& s, TOpenDialog* d, const std::string& dir) {
                                    ForceDirectories(dir + "Backup");
                                    ASSERT_TRUE(CopyFile(dir + "Data/ombry.dat", dir + "Backup/b.RKB", false));
                                    s.ExpectMessage("是否现在恢复数据？", IDOK);
                                    s.ExpectFile(TSeamKind::OpenDialog, dir + "Backup/b.RKB");
                                    s.ExpectMessage("恢复成功！", IDOK);
                                    RestoreCommand(d);
                                }},
                      StaleCase{"exitCompaction",
                                [](DataMaintAdminTest*, TSeamScript& s, TOpenDialog*, const std::string&) {
                                    s.ExpectForm("TFrmBackupExit", mrNone, {}, [](TCustomForm* f) {
                                        static_cast<TFrmBackupExit*>(f)->BtExit->Click();
                                    });
                                    DMData->ADOConnection1->Close();
                                    ExitBackupAndCompact(nullptr);
                                }}),
    RowName());

TEST_F(DataMaintAdminTest, restoreOfAMissingBackupFileReportsFailureAndKeepsTheDatabase) {
    addUsers(1, 2);
    const auto before = Rows(UsersSql);
    script.ExpectMessage("是否现在恢复数据？", IDOK);
    script.ExpectFile(TSeamKind::OpenDialog, dir_ + "Backup/none.RKB");
    script.ExpectMessage("恢复不成功！", IDOK);
    RestoreCommand(openDialog);
    EXPECT_EQ(Rows(UsersSql), before);
    EXPECT_FALSE(FileExists(CompactTempPath()));
}

TEST_F(DataMaintAdminTest, restoreWhileAnotherDeskIsWritingFailsAndKeepsTheDatabase) {
    ForceDirectories(dir_ + "Backup");
    ASSERT_TRUE(CopyFile(dbFile_, dir_ + "Backup/b.RKB", false));
    addUsers(1, 2);
    const auto before = Rows(UsersSql);
    TADOConnection other;
    other.SetConnectionString(ConnectionStringFor(dbFile_));
    other.Open();
    other.BeginTrans();
    other.Execute("insert into SystemUser (UseCode, UseName) values ('busy', 'busy')");

    script.ExpectMessage("是否现在恢复数据？", IDOK);
    script.ExpectFile(TSeamKind::OpenDialog, dir_ + "Backup/b.RKB");
    script.ExpectMessage("恢复不成功！", IDOK);
    RestoreCommand(openDialog);
    other.RollbackTrans();
    other.Close();

    EXPECT_EQ(Rows(UsersSql), before);
    EXPECT_FALSE(FileExists(CompactTempPath()));
    EXPECT_TRUE(dm->ADOConnection1->Connected());
}

TEST_F(DataMaintAdminTest, exitBackupCopiesTheDatabaseSilently) {
    const std::string backup = dir_ + "Backup/exit.RKB";
    script.ExpectForm("TFrmBackupExit", mrNone, {},
                      [](TCustomForm* f) { static_cast<TFrmBackupExit*>(f)->BtBackup->Click(); });
    script.ExpectFile(TSeamKind::SaveDialog, backup);
    dm->ADOConnection1->Close();
    ExitBackupAndCompact(nullptr);
    EXPECT_EQ(Rows("select count(*) from SystemUser"), std::vector<std::string>{"1"});
    EXPECT_TRUE(FileExists(backup));
    EXPECT_EQ(dm->ADOConnection1->Mode(), cmShareDenyNone);
    EXPECT_TRUE(script.Unused().empty());
}

// A database named by "ConSQL.ini" (a share) is not the file beside the
// program; the commands used to copy or compact that stale local file and
// report success.
class NotLocal : public DataMaintAdminTest, public ::testing::WithParamInterface<const char*> {
protected:
    void SetUp() override {
        DataMaintAdminTest::SetUp();
        dm.reset();
        AtomicWriteFile(dir_ + "ConSQL.ini", "[Server]\r\nPath=" + dbFile_ + "\r\n");
        dm.reset(new TDMData(nullptr));
        ASSERT_TRUE(dm->Opened());
        ASSERT_FALSE(DatabaseIsLocal());
        saveDialog = new TSaveDialog(dm.get());
        openDialog = new TOpenDialog(dm.get());
    }
};

TEST_P(NotLocal, commandRefusesWithAMessage) {
    const std::string which = GetParam();
    const int64_t size = FileSize(dbFile_);
    script.ExpectMessage(NotLocalDatabaseMessage, IDOK, "信息");
    if (which == "backup") BackupCommand(saveDialog);
    if (which == "restore") RestoreCommand(openDialog);
    if (which == "repair") RepairCommand();
    EXPECT_EQ(script.Texts(), std::vector<std::string>{NotLocalDatabaseMessage});
    EXPECT_EQ(FileSize(dbFile_), size);
    EXPECT_FALSE(DirectoryExists(dir_ + "Backup"));
    EXPECT_TRUE(dm->ADOConnection1->Connected());
}

INSTANTIATE_TEST_SUITE_P(Commands, NotLocal, ::testing::Values("backup", "restore", "repair"),
                         [](const auto& info) { return std::string(info.param); });

} // namespace
