// Backup, restore, repair and the exit compaction; see uDataMaint.h.
#include "uDataMaint.h"

#include "ADODB.h"
#include "ComCtrls.h"
#include "Dialogs.h"
#include "Forms.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "uBackupExit.h"
#include "uDMData.h"
#include "uGlobal.h"
#include "uShowProcMess.h"

#include <memory>

namespace {

// Puts the file from in place of the database in use: a reader sees either
// the old or the new database, never a part.
bool replaceDatabaseWith(const std::string& from) {
    try {
        AtomicReplaceFile(from, DatabasePath);
        return true;
    } catch (const Exception&) {
        return false;
    }
}

bool compactIntoTemp() { return CompactDatabase(DatabasePath, CompactTempPath(), DatabasePassword); }

void removeTemp() {
    if (FileExists(CompactTempPath())) DeleteFile(CompactTempPath());
}

TADOConnection* connection() { return DMData->ADOConnection1; }

void reopen(TConnectMode mode) {
    connection()->SetMode(mode);
    connection()->Open();
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

TBackupOutcome RunBackupDialog(TSaveDialog* dialog) {
    if (!DirectoryExists(BackupFolder())) ForceDirectories(BackupFolder());
    dialog->SetTitle("备份数据");
    dialog->SetInitialDir(BackupFolder());
    dialog->SetFilter("Bck file (*.RKB)|*.RKB");
    dialog->SetFileName(DefaultBackupName(Date()));
    if (!dialog->Execute()) return TBackupOutcome::Cancelled;
    std::string file = dialog->FileName();
    if (ExtractFilePath(file).empty()) file = BackupFolder() + file;
    return CopyFile(DatabasePath, file, false) ? TBackupOutcome::Copied : TBackupOutcome::Failed;
}

void BackupCommand(TSaveDialog* dialog) {
    if (refuseUnlessLocal()) return;
    if (!askOkCancel("是否确定备份数据？")) return;
    if (connection()->Connected()) connection()->Close();
    TBackupOutcome outcome = TBackupOutcome::Cancelled;
    try {
        outcome = RunBackupDialog(dialog);
    } catch (...) {
        reopen(connection()->Mode());
        throw;
    }
    if (outcome == TBackupOutcome::Copied) ShowInfoBox("备份成功！");
    if (outcome == TBackupOutcome::Failed) ShowInfoBox("备份不成功！");
    reopen(connection()->Mode());
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

    connection()->Close();
    connection()->SetMode(cmShareExclusive);
    // The compaction succeeds only when no other program holds the database:
    // the check that nobody is working while the file is replaced.
    bool restored = compactIntoTemp() && FileExists(backup) && replaceDatabaseWith(backup);
    removeTemp();
    ShowInfoBox(restored ? "恢复成功！" : "恢复不成功！");
    reopen(cmReadWrite);
}

void RepairCommand() {
    if (refuseUnlessLocal()) return;
    std::unique_ptr<TFrmShowProcMess> progress(new TFrmShowProcMess(Application));
    progress->Lb->SetCaption("正在整理数据，请稍候... ...");
    progress->Show();
    progress->Repaint();
    progress->PB->SetPosition(20);

    connection()->Close();
    connection()->SetMode(cmShareExclusive);
    if (!compactIntoTemp()) {
        progress.reset();
        ShowInfoBox("数据整理出错！");
    } else {
        bool replaced = replaceDatabaseWith(CompactTempPath());
        removeTemp();
        if (replaced) {
            progress->PB->SetPosition(100);
            ShowInfoBox("数据整理成功！");
        } else {
            ShowInfoBox("数据整理出错！");
        }
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
    connection()->SetMode(cmShareExclusive);
    if (compactIntoTemp()) replaceDatabaseWith(CompactTempPath());
    removeTemp();
    connection()->SetMode(cmShareDenyNone);
}
