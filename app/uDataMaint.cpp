// Backup, restore, repair and the exit compaction; see uDataMaint.h.
#include "uDataMaint.h"

#include "ADODB.h"
#include "ComCtrls.h"
#include "DatabaseFile.h"
#include "Dialogs.h"
#include "Forms.h"
#include "ScopeExit.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "SchemaUpgrade.h"
#include "uBackupExit.h"
#include "uDMData.h"
#include "uGlobal.h"
#include "uShowProcMess.h"

#include <memory>
#include <vector>

namespace {

// Tables every database of this system has: a file without them is not
// one of its backups, whatever else it holds.
const std::vector<std::string> SystemTables = {"SystemUser",  "UserModule", "AcctInfo",   "TableStructure",
                                               "ModuleTable", "Bookinfo",   "Magzinfo",   "Readerinfo",
                                               "ReaderType",  "Borrowinfo", "Borrowinfo1"};

TADOConnection* connection() { return DMData->ADOConnection1; }

void reopen(TConnectMode mode) {
    connection()->Close();
    connection()->SetMode(mode);
    connection()->Open();
}

// Reopens the shared connection as the database's only user; false, with
// the connection closed, while any other connection has the file open.
bool openExclusive() {
    connection()->Close();
    connection()->SetMode(cmShareExclusive);
    try {
        connection()->Open();
        return true;
    } catch (const Exception&) {
        return false;
    }
}

bool tryOpen() {
    try {
        connection()->Open();
        return true;
    } catch (const Exception&) {
        return false;
    }
}

void removeFile(const std::string& f) {
    if (FileExists(f)) DeleteFile(f);
}

void removeTemp() {
    removeFile(CompactTempPath());
    removeFile(CompactTempPath() + "-journal");
}

// Compacts the database in place when no other program has it open.
bool compactExclusively() {
    if (!openExclusive()) return false;
    RemoveLeftoverCopies();
    bool done = true;
    try {
        CompactDatabaseInPlace(connection());
    } catch (const Exception&) {
        done = false;
    }
    connection()->Close();
    return done;
}

// Puts the content of backup in place of the database; leaves the shared
// connection closed, in read-write mode. See RestoreCommand.
bool restoreFrom(const std::string& backup) {
    try {
        CheckDatabaseFile(backup, DatabasePassword, SystemTables);
    } catch (const Exception&) {
        return false;
    }
    if (!openExclusive()) return false;
    RemoveLeftoverCopies();
    bool restored = false;
    try {
        BackupDatabase(connection(), CompactTempPath());
        RestoreDatabase(connection(), backup);
        restored = true;
    } catch (const Exception&) {}
    connection()->Close();
    connection()->SetMode(cmReadWrite);
    if (restored && !tryOpen()) {
        restored = false;
        if (openExclusive()) {
            try {
                RestoreDatabase(connection(), CompactTempPath());
            } catch (const Exception&) {}
        }
        connection()->Close();
        connection()->SetMode(cmReadWrite);
    }
    connection()->Close();
    removeTemp();
    return restored;
}

bool refuseUnlessLocal() {
    if (DatabaseIsLocal() && !DatabasePath.empty()) return false;
    ShowInfoBox(NotLocalDatabaseMessage);
    return true;
}

bool askOkCancel(const std::string& text) {
    return Application->MessageBox(text, "提示！", MB_OKCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2) == IDOK;
}

} // namespace

bool CompactDatabase(const std::string& source, const std::string& target, const std::string&) {
    if (FileExists(target) && !DeleteFile(target)) return false;
    try {
        ::CompactDatabase(ConnectionStringFor(source), ConnectionStringFor(target));
        return FileExists(target);
    } catch (const Exception&) {
        if (FileExists(target)) DeleteFile(target);
        return false;
    }
}

std::string CompactTempPath() { return ExtractFilePath(DatabasePath) + "DBtmp.mdb"; }

std::string BackupFolder() { return ExeDir() + "Backup/"; }

std::string DefaultBackupName(TDateTime day) { return "Bck" + FormatDateTime("yyyymmdd", day) + ".RKB"; }

void RemoveLeftoverCopies() {
    if (!DatabaseIsLocal() || DatabasePath.empty()) return;
    RemoveLeftoverTempFiles(ExtractFileDir(DatabasePath));
    if (DirectoryExists(BackupFolder())) RemoveLeftoverTempFiles(ExcludeTrailingPathDelimiter(BackupFolder()));
    removeTemp();
}

TBackupOutcome RunBackupDialog(TSaveDialog* dialog) {
    if (!DirectoryExists(BackupFolder())) ForceDirectories(BackupFolder());
    dialog->SetTitle("备份数据");
    dialog->SetInitialDir(BackupFolder());
    dialog->SetFilter("Bck file (*.RKB)|*.RKB");
    dialog->SetFileName(DefaultBackupName(Date()));
    if (!dialog->Execute()) return TBackupOutcome::Cancelled;
    std::string file = dialog->FileName();
    if (ExtractFilePath(file).empty()) file = BackupFolder() + file;
    try {
        TADOConnection source;
        source.SetConnectionString(ConnectionStringFor(DatabasePath));
        source.Open();
        RemoveLeftoverCopies();
        BackupDatabase(&source, file);
        return TBackupOutcome::Copied;
    } catch (const Exception&) {
        return TBackupOutcome::Failed;
    }
}

void BackupCommand(TSaveDialog* dialog) {
    if (refuseUnlessLocal()) return;
    if (!askOkCancel("是否确定备份数据？")) return;
    if (connection()->Connected()) connection()->Close();
    ScopeExit reopenAfter([] { reopen(connection()->Mode()); });
    const TBackupOutcome outcome = RunBackupDialog(dialog);
    if (outcome == TBackupOutcome::Copied) ShowInfoBox("备份成功！");
    if (outcome == TBackupOutcome::Failed) ShowInfoBox("备份不成功！");
}

void RestoreCommand(TOpenDialog* dialog) {
    if (refuseUnlessLocal()) return;
    if (!askOkCancel("恢复前,用户不能进行任何操作,\n\n是否现在恢复数据？")) return;
    dialog->SetTitle("选择备份文件");
    dialog->SetInitialDir(BackupFolder());
    dialog->SetFilter("RKBck file (*.RKB)|*.RKB");
    if (!dialog->Execute()) return;
    std::string backup = dialog->FileName();
    if (ExtractFilePath(backup).empty()) backup = BackupFolder() + backup;

    // The verdict comes after the reconnect, which is part of what it says.
    const bool restored = restoreFrom(backup);
    reopen(cmReadWrite);
    ShowInfoBox(restored ? "恢复成功！" : "恢复不成功！");
    // A backup made by an earlier release is brought up to date as if it
    // had just been opened.
    if (restored) UpgradeOpenedDatabase(connection());
}

void RepairCommand() {
    if (refuseUnlessLocal()) return;
    std::unique_ptr<TFrmShowProcMess> progress(new TFrmShowProcMess(Application));
    progress->Lb->SetCaption("正在整理数据，请稍候... ...");
    progress->Show();
    progress->Repaint();
    progress->PB->SetPosition(20);

    if (!compactExclusively()) {
        progress.reset();
        ShowInfoBox("数据整理出错！");
    } else {
        progress->PB->SetPosition(100);
        ShowInfoBox("数据整理成功！");
        progress.reset();
    }
    reopen(cmReadWrite);
}

void ExitBackupAndCompact(TComponent* owner) {
    if (!DatabaseIsLocal() || DatabasePath.empty()) return;
    if (connection()->Connected()) connection()->Close();
    {
        std::unique_ptr<TFrmBackupExit> offer(new TFrmBackupExit(owner));
        offer->ShowModal();
    }
    compactExclusively();
    connection()->SetMode(cmShareDenyNone);
}
