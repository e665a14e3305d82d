// The progress window; see uShowProcMess.h.
#include "uShowProcMess.h"

#include "ComCtrls.h"
#include "StdCtrls.h"

TFrmShowProcMess::TFrmShowProcMess(TComponent* AOwner) : TFrmBaseD(AOwner) {
    SetName("FrmShowProcMess");
    SetBorderIcons(TBorderIcons{});
    SetCaption("");
    SetColor(clSkyBlue);
    SetClientWidth(360);
    SetClientHeight(90);

    Lb = new TLabel(this);
    Lb->SetName("Lb");
    Lb->SetParent(this);
    TFont bold;
    bold.Assign(Font());
    bold.SetStyle(TFontStyles{fsBold});
    Lb->SetFont(&bold);
    Lb->SetCaption("正在备份数据，请梢候... ...");
    Lb->SetBounds(20, 18, 320, 14);

    PB = new TProgressBar(this);
    PB->SetName("PB");
    PB->SetParent(this);
    PB->SetMin(0);
    PB->SetMax(100);
    PB->SetBounds(20, 48, 320, 18);
}
