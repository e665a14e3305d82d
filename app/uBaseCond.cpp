// The condition dialog base; see uBaseCond.h.
#include "uBaseCond.h"

#include "Build.h"
#include "ExtCtrls.h"
#include "StdCtrls.h"

namespace {
constexpr TColor Cream = RGB(255, 242, 222);
}

TFrmBaseCond::TFrmBaseCond(TComponent* AOwner) : TFrmBaseD(AOwner) {
    SetName("FrmBaseCond");
    SetBorderStyle(bsDialog);
    SetCaption("查询条件");
    SetColor(Cream);
    SetClientWidth(400);
    SetClientHeight(230);

    TBuild b(this);
    Label1 = b.Add<TLabel>("Label1").Caption("请输入查询条件(空格为所有):").At(12, 10, 300, 14);
    Panel1 = b.Add<TPanel>("Panel1").Caption("").Set(&TPanel::SetBevelOuter, bvLowered).At(10, 30, 380, 150);
    auto [ok, cancel] = b.OkCancel<TButton>({"BtConfirm", "确定", 214, mrOk}, {"BtCancel", "取消", 306}, 192, 80, 25);
    // The OK button: Enter on a control that does not move on confirms.
    BtConfirm = ok.Default();
    BtCancel = cancel.OnClick(&TFrmBaseCond::BtCancelClick);
}

void TFrmBaseCond::InitForm() {
    TFrmBaseD::InitForm();
    SetColor(Cream);
    Panel1->SetColor(Cream);
}

void TFrmBaseCond::FormKeyDown(TObject* Sender, Word& Key, TShiftState Shift) {
    TFrmBaseD::FormKeyDown(Sender, Key, Shift);
    if (Key == VK_RETURN) Key = VK_TAB;
}

void TFrmBaseCond::BtCancelClick(TObject*) { Close(); }
