// The backup offer shown when the operator leaves the program: "备份退出"
// copies the database to a chosen backup file, "直接退出" does not.
// Not here: the compaction that follows it (uDataMaint).
#pragma once

#include "uBaseD.h"

class TButton;
class TGroupBox;
class TMemo;
class TSaveDialog;

class TFrmBackupExit : public TFrmBaseD {
public:
    explicit TFrmBackupExit(TComponent* AOwner);
    std::string ClassName() const override { return "TFrmBackupExit"; }

    void FormShow(TObject* Sender) override;
    // Copies the database to the file chosen in SaveDialog1; only a failed
    // copy is reported. Closes the dialog in every case.
    void BtBackupClick(TObject* Sender);
    void BtExitClick(TObject* Sender);

    TButton* BtBackup;
    TButton* BtExit;
    TGroupBox* GroupBox1;
    TMemo* Memo1;
    TSaveDialog* SaveDialog1;
};
