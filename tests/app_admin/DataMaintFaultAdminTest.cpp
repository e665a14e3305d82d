// Backup, restore, repair and the exit compaction when things go wrong:
// another program has the database open, the chosen backup is not a
// database of this system, another desk saves during a backup, and an
// earlier run was killed half-way and left its temporary copies behind.
#include "AdminFixture.h"

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

#include "ADODB.h"
#include "Dialogs.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "app/uBackupExit.h"
#include "app/uDMData.h"
#include "app/uDataMaint.h"
#include "support/OtherProgram.h"
#include "support/TestNames.h"

namespace {

const char* const UsersSql = "select UseCode from SystemUser order by UseCode";

ino_t inodeOf(const std::string& file) {
    struct stat st {};
    stat(file.c_str(), &st);
    return st.st_ino;
}

class DataMaintFault : public AdminFixture {
public:
    // For the rows of the tables below.
    using AdminFixture::dbFile_;
    using AdminFixture::dir_;
    using AdminFixture::dm;
    using AdminFixture::script;

protected:
    void SetUp() override {
        AdminFixture::SetUp();
        saveDialog = new TSaveDialog(dm.get());
        openDialog = new TOpenDialog(dm.get());
        ForceDirectories(dir_ + "Backup");
    }

public:
    // A backup of the database as it is now, by the backup command.
    std::string backUp(const std::string& name) {
        const std::string file = dir_ + "Backup/" + name;
        script.ExpectMessage("是否确定备份数据？", IDOK);
        script.ExpectFile(TSeamKind::SaveDialog, file);
        script.ExpectMessage("备份成功！", IDOK);
        BackupCommand(saveDialog);
        return file;
    }
    void restore(const std::string& file, const char* verdict) {
        script.ExpectMessage("是否现在恢复数据？", IDOK);
        script.ExpectFile(TSeamKind::OpenDialog, file);
        script.ExpectMessage(verdict, IDOK);
        RestoreCommand(openDialog);
    }

protected:
    TSaveDialog* saveDialog = nullptr;
    TOpenDialog* openDialog = nullptr;
};

// ------------------------------------------------ another program is open

struct ExclusiveCase {
    const char* name;
    std::function<void(DataMaintFault*)> run;
};

class WhileAnotherProgramIsOpen : public DataMaintFault, public ::testing::WithParamInterface<ExclusiveCase> {};

// The command used to report success and replace the file; the other
// program then kept the old one and every save of its failed.
TEST_P(WhileAnotherProgramIsOpen, commandIsRefusedAndTheOtherProgramKeepsSaving) {
    Exec("insert into SystemUser (UseCode, UseName) values ('U1', 'one')");
    const std::string backup = backUp("b.RKB");
    Exec("insert into SystemUser (UseCode, UseName) values ('U2', 'two')");
    const auto before = Rows(UsersSql);
    const ino_t inode = inodeOf(dbFile_);
    TOtherProgram other(ConnectionStringFor(dbFile_));
    ASSERT_TRUE(other.Opened()) << other.Status();

    GetParam().run(this);

    EXPECT_TRUE(script.Unused().empty());
    EXPECT_EQ(Rows(UsersSql), before);
    EXPECT_EQ(inodeOf(dbFile_), inode);
    EXPECT_FALSE(FileExists(CompactTempPath()));
    EXPECT_EQ(other.Run("insert into SystemUser (UseCode, UseName) values ('U3', 'three')"), "ok");
    EXPECT_EQ(Scalar("select UseName from SystemUser where UseCode='U3'"), "three");
}

INSTANTIATE_TEST_SUITE_P(Commands, WhileAnotherProgramIsOpen,
                         ::testing::Values(ExclusiveCase{"repair",
                                                         [](DataMaintFault* t) {
                                                             t->script.ExpectMessage("数据整理出错！", IDOK, "信息");
                                                             RepairCommand();
                                                             EXPECT_TRUE(t->dm->ADOConnection1->Connected());
                                                         }},
                                           ExclusiveCase{"restore",
                                                         [](DataMaintFault* t) {
                                                             t->restore(t->dir_ + "Backup/b.RKB", "恢复不成功！");
                                                             EXPECT_TRUE(t->dm->ADOConnection1->Connected());
                                                         }},
                                           ExclusiveCase{"exitCompaction",
                                                         [](DataMaintFault* t) {
                                                             t->script.ExpectForm(
                                                                 "TFrmBackupExit", mrNone, {}, [](TCustomForm* f) {
                                                                     static_cast<TFrmBackupExit*>(f)->BtExit->Click();
                                                                 });
                                                             t->dm->ADOConnection1->Close();
                                                             ExitBackupAndCompact(nullptr);
                                                             EXPECT_EQ(t->dm->ADOConnection1->Mode(), cmShareDenyNone);
                                                         }}),
                         RowName());

TEST_F(DataMaintFault, theDatabaseInUseCannotBeOpenedByAnotherProgramExclusively) {
    TOtherProgram other(ConnectionStringFor(dbFile_), true);
    EXPECT_EQ(other.Status(), "error Could not use '" + dbFile_ + "'; file already in use.");
}

// ------------------------------------------------ a file that is no backup

struct BadBackup {
    const char* name;
    // Turns a good backup into the bad file.
    std::function<void(const std::string& good, const std::string& bad)> make;
};

std::string bytesOf(const std::string& f) { return ReadFileBytes(f); }

void sqlOn(const std::string& file, const std::string& sql) {
    TADOConnection c;
    c.SetConnectionString(ConnectionStringFor(file));
    c.Open();
    c.Execute(sql);
}

class RestoreOfABadFile : public DataMaintFault, public ::testing::WithParamInterface<BadBackup> {};

// Every one of these reported "恢复成功！" and left a database that would
// not open, or one with a damaged page, in place of the live one.
TEST_P(RestoreOfABadFile, isRefusedAndTheDatabaseStaysAsItWas) {
    const std::string good = backUp("good.RKB");
    const std::string bad = dir_ + "Backup/bad.RKB";
    GetParam().make(good, bad);
    Exec("insert into SystemUser (UseCode, UseName) values ('live', 'live')");
    const auto before = Rows(UsersSql);
    const std::string liveBytes = bytesOf(dbFile_);

    restore(bad, "恢复不成功！");

    EXPECT_TRUE(script.Unused().empty());
    EXPECT_EQ(Rows(UsersSql), before);
    EXPECT_TRUE(bytesOf(dbFile_) == liveBytes) << "the live file changed";
    EXPECT_FALSE(FileExists(CompactTempPath()));
    EXPECT_TRUE(dm->ADOConnection1->Connected());
}

INSTANTIATE_TEST_SUITE_P(Files, RestoreOfABadFile,
                         ::testing::Values(BadBackup{"zeroBytes",
                                                     [](const std::string&, const std::string& bad) {
                                                         AtomicWriteFile(bad, "");
                                                     }},
                                           BadBackup{"textFile",
                                                     [](const std::string&, const std::string& bad) {
                                                         AtomicWriteFile(bad, "this is not a database");
                                                     }},
                                           BadBackup{"firstHalf",
                                                     [](const std::string& good, const std::string& bad) {
                                                         std::string b = bytesOf(good);
                                                         AtomicWriteFile(bad, b.substr(0, b.size() / 2));
                                                     }},
                                           BadBackup{"headerOverwritten",
                                                     [](const std::string& good, const std::string& bad) {
                                                         std::string b = bytesOf(good);
                                                         b.replace(0, 100, std::string(100, 'x'));
                                                         AtomicWriteFile(bad, b);
                                                     }},
                                           BadBackup{"onePageOverwritten",
                                                     [](const std::string& good, const std::string& bad) {
                                                         std::string b = bytesOf(good);
                                                         // A page in the middle, among the rows: the file still opens.
                                                         const size_t page = (b.size() / 4096 / 2) * 4096;
                                                         b.replace(page, 4096, std::string(4096, '\xff'));
                                                         AtomicWriteFile(bad, b);
                                                     }},
                                           BadBackup{"anotherPassword",
                                                     [](const std::string& good, const std::string& bad) {
                                                         CopyFile(good, bad, false);
                                                         sqlOn(bad, "update MSysPassword set Password='other'");
                                                     }},
                                           BadBackup{"noPasswordTable",
                                                     [](const std::string& good, const std::string& bad) {
                                                         CopyFile(good, bad, false);
                                                         sqlOn(bad, "drop table MSysPassword");
                                                     }},
                                           BadBackup{"withoutTheLoanTable",
                                                     [](const std::string& good, const std::string& bad) {
                                                         CopyFile(good, bad, false);
                                                         sqlOn(bad, "drop table Borrowinfo");
                                                     }}),
                         RowName());

TEST_F(DataMaintFault, restoreOfAGoodBackupStillWorksAndLeavesNoCopyBehind) {
    Exec("insert into SystemUser (UseCode, UseName) values ('U1', 'one')");
    const std::string backup = backUp("good.RKB");
    const auto saved = Rows(UsersSql);
    Exec("delete from SystemUser where UseCode='U1'");
    restore(backup, "恢复成功！");
    EXPECT_EQ(Rows(UsersSql), saved);
    EXPECT_FALSE(FileExists(CompactTempPath()));
    EXPECT_EQ(dm->ADOConnection1->Mode(), cmReadWrite);
    EXPECT_TRUE(dm->ADOConnection1->Connected());
}

// ------------------------------------------------ a desk saves meanwhile

// Each save rewrites every row of a table of its own, so a copy that mixes
// pages of two saves shows different numbers. A plain file copy taken
// during saves gave such torn backups.
TEST_F(DataMaintFault, backupWhileAnotherDeskSavesIsOneSavedState) {
    Exec("create table Ledger (Id integer primary key, Turn integer not null, Pad text)");
    Exec("with recursive n(i) as (select 1 union all select i + 1 from n where i < 40000) "
         "insert into Ledger (Id, Turn, Pad) select i, 0, hex(randomblob(60)) from n");
    std::atomic<bool> stop{false};
    std::atomic<int> saves{0};
    std::string writerError;
    std::thread desk([&] {
        try {
            TADOConnection c;
            c.SetConnectionString(ConnectionStringFor(dbFile_));
            c.Open();
            // A busy desk: its saves follow one another closely, without
            // waiting for the disk.
            c.Execute("PRAGMA synchronous=OFF");
            while (!stop) {
                c.BeginTrans();
                c.Execute("update Ledger set Turn = Turn + 1");
                c.CommitTrans();
                ++saves;
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
        } catch (const Exception& e) {
            writerError = e.Message;
        }
    });
    while (saves == 0 && writerError.empty()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    std::vector<std::string> backups;
    for (int i = 0; i < 12; ++i) backups.push_back(backUp("b" + std::to_string(i) + ".RKB"));
    stop = true;
    desk.join();
    ASSERT_EQ(writerError, "");
    EXPECT_TRUE(script.Unused().empty());
    for (const std::string& b : backups) {
        SCOPED_TRACE(b);
        TADOConnection c;
        c.SetConnectionString(ConnectionStringFor(b));
        c.Open();
        TADOQuery q;
        q.SetConnection(&c);
        q.SQL()->SetText("select (select integrity_check from pragma_integrity_check), min(Turn) = max(Turn), "
                         "count(*) from Ledger");
        q.Open();
        EXPECT_EQ(q.Fields()[0]->AsString(), "ok");
        EXPECT_EQ(q.Fields()[1]->AsInteger(), 1);
        EXPECT_EQ(q.Fields()[2]->AsInteger(), 40000);
    }
}

// ------------------------------------------------ left by a killed run

// The process id of a process that has ended.
pid_t endedProcess() {
    pid_t pid = fork();
    if (pid == 0) _exit(0);
    waitpid(pid, nullptr, 0);
    return pid;
}

struct LeftoverCase {
    const char* name;
    std::function<void(DataMaintFault*)> run;
};

class LeftoverCopies : public DataMaintFault, public ::testing::WithParamInterface<LeftoverCase> {};

// A run killed during its copy left full-size temporary files that nothing
// ever deleted. Those of a program still running (this one) must stay.
TEST_P(LeftoverCopies, areRemovedByTheNextRun) {
    const std::string dead = std::to_string(endedProcess());
    const std::string running = std::to_string(getpid());
    const std::vector<std::string> stale = {"Data/ombry.dat.tmp" + dead + "_0", "Data/DBtmp.mdb",
                                            "Data/DBtmp.mdb-journal", "Backup/b.RKB.tmp" + dead + "_3",
                                            "Backup/b.RKB.tmp" + dead + "_3-journal"};
    for (const std::string& f : stale) AtomicWriteFile(dir_ + f, std::string(4096, 'x'));
    const std::string inProgress = "Backup/c.RKB.tmp" + running + "_900";
    AtomicWriteFile(dir_ + inProgress, "another backup still being written");

    GetParam().run(this);

    for (const std::string& f : stale) EXPECT_FALSE(FileExists(dir_ + f)) << f;
    EXPECT_TRUE(FileExists(dir_ + inProgress));
    EXPECT_TRUE(script.Unused().empty());
    EXPECT_TRUE(script.Failures().empty());
}

INSTANTIATE_TEST_SUITE_P(Runs, LeftoverCopies,
                         ::testing::Values(LeftoverCase{"start",
                                                        [](DataMaintFault* t) {
                                                            t->dm.reset();
                                                            t->dm.reset(new TDMData(nullptr));
                                                            EXPECT_TRUE(t->dm->Opened());
                                                        }},
                                           LeftoverCase{"backup", [](DataMaintFault* t) { t->backUp("new.RKB"); }},
                                           LeftoverCase{"restore",
                                                        [](DataMaintFault* t) {
                                                            CopyFile(t->dbFile_, t->dir_ + "Backup/r.RKB", false);
                                                            t->restore(t->dir_ + "Backup/r.RKB", "恢复成功！");
                                                        }},
                                           LeftoverCase{"repair",
                                                        [](DataMaintFault* t) {
                                                            t->script.ExpectMessage("数据整理成功！", IDOK);
                                                            RepairCommand();
                                                        }},
                                           LeftoverCase{"exitCompaction",
                                                        [](DataMaintFault* t) {
                                                            t->script.ExpectForm(
                                                                "TFrmBackupExit", mrNone, {}, [](TCustomForm* f) {
                                                                    static_cast<TFrmBackupExit*>(f)->BtExit->Click();
                                                                });
                                                            t->dm->ADOConnection1->Close();
                                                            ExitBackupAndCompact(nullptr);
                                                        }}),
                         RowName());

} // namespace
