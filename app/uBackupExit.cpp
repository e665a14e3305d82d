// The exit backup offer; see uBackupExit.h.
#include "uBackupExit.h"

#include "ADODB.h"
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

    GroupBox1 = new TGroupBox(this);
    GroupBox1->SetName("GroupBox1");
    GroupBox1->SetParent(this);
    GroupBox1->SetCaption("备份提示");
    GroupBox1->SetBounds(10, 8, 310, 130);

    Memo1 = new TMemo(this);
    Memo1->SetName("Memo1");
    Memo1->SetParent(GroupBox1);
    Memo1->SetBorderStyle(bsNone);
    Memo1->SetReadOnly(true);
    Memo1->SetParentColor(true);
    Memo1->SetBounds(12, 22, 288, 98);
    Memo1->SetText(
        "    推荐退出此系统时备份当前数据,\n\n以防出现意外情况时,导致数据或账套\n\n被破坏或丢失,造成不可弥补的损失.");

    BtBackup = new TButton(this);
    BtBackup->SetName("BtBackup");
    BtBackup->SetParent(this);
    BtBackup->SetCaption("备份退出");
    BtBackup->SetBounds(130, 150, 85, 27);
    BtBackup->OnClick = [this](TObject* s) { BtBackupClick(s); };

    BtExit = new TButton(this);
    BtExit->SetName("BtExit");
    BtExit->SetParent(this);
    BtExit->SetCaption("直接退出");
    BtExit->SetBounds(230, 150, 85, 27);
    BtExit->OnClick = [this](TObject* s) { BtExitClick(s); };

    SaveDialog1 = new TSaveDialog(this);
    SaveDialog1->SetName("SaveDialog1");
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
