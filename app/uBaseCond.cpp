// The condition dialog base; see uBaseCond.h.
#include "uBaseCond.h"

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

    Label1 = new TLabel(this);
    Label1->SetName("Label1");
    Label1->SetParent(this);
    Label1->SetCaption("请输入查询条件(空格为所有):");
    Label1->SetBounds(12, 10, 300, 14);

    Panel1 = new TPanel(this);
    Panel1->SetName("Panel1");
    Panel1->SetParent(this);
    Panel1->SetCaption("");
    Panel1->SetBevelOuter(bvLowered);
    Panel1->SetBounds(10, 30, 380, 150);

    BtConfirm = new TButton(this);
    BtConfirm->SetName("BtConfirm");
    BtConfirm->SetParent(this);
    BtConfirm->SetCaption("确定");
    BtConfirm->SetModalResult(mrOk);
    BtConfirm->SetBounds(214, 192, 80, 25);

    BtCancel = new TButton(this);
    BtCancel->SetName("BtCancel");
    BtCancel->SetParent(this);
    BtCancel->SetCaption("取消");
    BtCancel->SetCancel(true);
    BtCancel->SetBounds(306, 192, 80, 25);
    BtCancel->OnClick = [this](TObject* Sender) { BtCancelClick(Sender); };
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
