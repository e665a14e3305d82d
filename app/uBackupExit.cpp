// The exit backup offer; see uBackupExit.h.
#include "uBackupExit.h"

#include "ADODB.h"
#include "Build.h"
#include "Dialogs.h"
#include "StdCtrls.h"
#include "uDMData.h"
#include "uDataMaint.h"
#include "uGlobal.h"

TFrmBackupExit::TFrmBackupExit(TComponent* AOwner) : TFrmBaseD(AOwner) {
    SetName("FrmBackupExit");
    SetCaption("备份数据");
    SetBorderStyle(bsDialog);
    SetColor(clWhite);
    SetClientWidth(330);
    SetClientHeight(190);

    TBuild b(this);
    GroupBox1 = b.Add<TGroupBox>("GroupBox1").Caption("备份提示").At(10, 8, 310, 130);
    Memo1 = b.In(GroupBox1)
                .Add<TMemo>("Memo1")
                .Set(&TMemo::SetBorderStyle, bsNone)
                .ReadOnly()
                .Set(&TMemo::SetParentColor, true)
                .At(12, 22, 288, 94)
                .Text("    "
                      "推荐退出此系统时备份当前数据,\n\n以防出现意外情况时,导致数据或账套\n\n被破坏或丢失,"
                      "造成不可弥补的损失.");
    auto buttons = b.Across(130, 150, 27, 15);
    BtBackup = buttons.Add<TButton>({"BtBackup", "备份退出", "", 85, &TFrmBackupExit::BtBackupClick});
    BtExit = buttons.Add<TButton>({"BtExit", "直接退出", "", 85, &TFrmBackupExit::BtExitClick});
    SaveDialog1 = b.Add<TSaveDialog>("SaveDialog1");
}

void TFrmBackupExit::FormShow(TObject* Sender) {
    TFrmBaseD::FormShow(Sender);
    SetColor(RGB(208, 243, 255));
}

void TFrmBackupExit::BtBackupClick(TObject*) {
    if (DMData && DMData->ADOConnection1->Connected()) DMData->ADOConnection1->Close();
    if (RunBackupDialog(SaveDialog1) == TBackupOutcome::Failed) ShowInfoBox("备份不成功！");
    Close();
}

void TFrmBackupExit::BtExitClick(TObject*) { Close(); }
