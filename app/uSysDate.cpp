// The business-date dialog; see uSysDate.h.
#include "uSysDate.h"

#include "Build.h"
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

    TBuild b(this);
    Panel1 = b.Add<TPanel>("Panel1").Caption("").At(0, 0, 260, 84);
    auto panel = b.In(Panel1);
    Label1 = panel.Add<TLabel>("Label1").Caption("请确认业务日期：").At(24, 18, 120, 12);
    DTPDate = panel.Add<TDateTimePicker>("DTPDate")
                  .At(24, 40, 210, 22)
                  .TabOrder(0)
                  .OnKeyDown([this](TObject*, Word& key, TShiftState) {
                      if (key != VK_RETURN) return;
                      key = 0;
                      BitBtn1->SetFocus();
                  });
    BitBtn1 =
        b.Add<TBitBtn>("BitBtn1").Caption("确认").At(92, 94, 75, 25).TabOrder(1).OnClick(&TFrmSysDate::BitBtn1Click);
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
