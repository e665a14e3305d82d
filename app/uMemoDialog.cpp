// The long-text dialog; see uMemoDialog.h.
#include "uMemoDialog.h"

#include "Build.h"
#include "DB.h"
#include "DBCtrls.h"
#include "StdCtrls.h"

TFrmMemoDialog::TFrmMemoDialog(TComponent* AOwner) : TFrmBaseD(AOwner) {
    SetName("FrmMemoDialog");
    SetBorderStyle(bsDialog);
    SetClientWidth(420);
    SetClientHeight(300);
    TBuild b(this);
    Memo1 = b.Add<TMemo>("Memo1").At(8, 8, 404, 246).OnKeyDown(&TFrmMemoDialog::Memo1KeyDown);
    Memo1->SetScrollBars(ssVertical);
    auto [ok, cancel] = b.OkCancel<TButton>({"BtOK", "确定(&O)", 228, 1}, {"BtCancel", "取消(&C)", 320}, 264, 86, 25);
    BtOK = ok;
    BtCancel = cancel.OnClick(&TFrmMemoDialog::BtCancelClick);
}

void TFrmMemoDialog::BtCancelClick(TObject*) { Close(); }

void TFrmMemoDialog::Memo1KeyDown(TObject*, Word& Key, TShiftState) {
    if (Key != VK_ESCAPE) return;
    Key = 0;
    Close();
}

bool TFrmMemoDialog::EditBox(TDBMemo* box) {
    Memo1->SetText(box->Text());
    if (ShowModal() != 1) return false;
    TField* field = box->Field();
    if (field && field->DataSet() && field->DataSet()->CanModify()) {
        if (field->DataSet()->State() == dsBrowse) field->DataSet()->Edit();
        field->SetAsString(Memo1->Text());
    } else {
        box->SetText(Memo1->Text());
    }
    return true;
}
