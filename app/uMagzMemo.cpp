// The contents dialog; see uMagzMemo.h.
#include "uMagzMemo.h"

#include "Build.h"
#include "StdCtrls.h"

TFrmMagzMemo::TFrmMagzMemo(TComponent* AOwner) : TFrmBaseD(AOwner) {
    SetName("FrmMagzMemo");
    SetCaption("期刊目录");
    SetBorderStyle(bsDialog);
    SetClientWidth(420);
    SetClientHeight(300);
    TBuild b(this);
    Memo1 = b.Add<TMemo>("Memo1").At(8, 8, 404, 246).OnKeyDown(&TFrmMagzMemo::Memo1KeyDown);
    Memo1->SetScrollBars(ssVertical);
    auto [ok, cancel] = b.OkCancel<TButton>({"BtOK", "确定(&O)", 228, 1}, {"BtCancel", "取消(&C)", 320}, 264, 86, 25);
    BtOK = ok;
    BtCancel = cancel.OnClick(&TFrmMagzMemo::BtCancelClick);
}

void TFrmMagzMemo::BtCancelClick(TObject*) { Close(); }

void TFrmMagzMemo::Memo1KeyDown(TObject*, Word& Key, TShiftState) {
    if (Key != VK_ESCAPE) return;
    Key = 0;
    Close();
}
