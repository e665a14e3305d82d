// The condition dialog base; see uBaseCond.h.
#include "uBaseCond.h"

#include "Build.h"
#include "Buttons.h"
#include "ComCtrls.h"
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

void TFrmBaseCond::AddDateRange(const char* caption, TDateTimePicker*& from, TDateTimePicker*& to) {
    auto p = TBuild(this).In(Panel1);
    p.Add<TLabel>("LbFrom").Caption(caption).At(10, 14);
    from = p.Add<TDateTimePicker>("DateFrom").At(90, 10, 110, 21).OnKeyDown(KeyDownHandler());
    p.Add<TLabel>("LbTo").Caption("到").At(210, 14);
    to = p.Add<TDateTimePicker>("DateTo").At(230, 10, 110, 21).OnKeyDown(KeyDownHandler());
}

TEdit* TFrmBaseCond::AddCodeBox(int top, const char* labelName, const char* caption,
                                const char* editName, const char* buttonName, TSpeedButton*& button,
                                TNotifyEvent onClick) {
    auto p = TBuild(this).In(Panel1);
    p.Add<TLabel>(labelName).Caption(caption).At(10, top + 4);
    TEdit* edit = p.Add<TEdit>(editName).At(90, top, 226, 21).OnKeyDown(KeyDownHandler());
    button = p.Add<TSpeedButton>(buttonName).Caption("...").At(318, top - 1, 22, 23).OnClick(std::move(onClick));
    return edit;
}
