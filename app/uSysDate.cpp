// The business-date dialog; see uSysDate.h.
#include "uSysDate.h"

#include "Buttons.h"
#include "ComCtrls.h"
#include "ExtCtrls.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "uGlobal.h"

#include <memory>

namespace {
const TColor Cream = RGB(255, 242, 222);
} // namespace

TFrmSysDate::TFrmSysDate(TComponent* AOwner) : TFrmBaseD(AOwner) {
    SetName("FrmSysDate");
    SetCaption("业务日期");
    SetClientWidth(260);
    SetClientHeight(130);

    Panel1 = new TPanel(this);
    Panel1->SetName("Panel1");
    Panel1->SetParent(this);
    Panel1->SetCaption("");
    Panel1->SetBounds(0, 0, 260, 84);

    Label1 = new TLabel(this);
    Label1->SetName("Label1");
    Label1->SetParent(Panel1);
    Label1->SetCaption("请确认业务日期：");
    Label1->SetBounds(24, 18, 120, 12);

    DTPDate = new TDateTimePicker(this);
    DTPDate->SetName("DTPDate");
    DTPDate->SetParent(Panel1);
    DTPDate->SetBounds(24, 40, 210, 22);
    DTPDate->SetTabOrder(0);

    BitBtn1 = new TBitBtn(this);
    BitBtn1->SetName("BitBtn1");
    BitBtn1->SetParent(this);
    BitBtn1->SetCaption("确认");
    BitBtn1->SetBounds(92, 94, 75, 25);
    BitBtn1->SetTabOrder(1);

    DTPDate->OnKeyDown = [this](TObject*, Word& key, TShiftState) {
        if (key != VK_RETURN) return;
        key = 0;
        BitBtn1->SetFocus();
    };
    BitBtn1->OnClick = [this](TObject* s) { BitBtn1Click(s); };
    OnClose = [this](TObject* s, TCloseAction& a) { FormClose(s, a); };
}

void TFrmSysDate::InitForm() {
    TFrmBaseD::InitForm();
    SetColor(Cream);
    Panel1->SetColor(Cream);
    SetCaption("业务日期");
    DTPDate->SetDate(Date());
    SetActiveControl(DTPDate);
}

void TFrmSysDate::BitBtn1Click(TObject*) {
    BusinessDate = Int(DTPDate->Date());
    SetModalResult(mrOk);
}

void TFrmSysDate::FormClose(TObject*, TCloseAction&) { BusinessDate = Int(DTPDate->Date()); }

void AskBusinessDate() {
    std::unique_ptr<TFrmSysDate> form(new TFrmSysDate(Application));
    form->ShowModal();
}
