// The progress window; see uShowProcMess.h.
#include "uShowProcMess.h"

#include "Build.h"
#include "ComCtrls.h"
#include "StdCtrls.h"

TFrmShowProcMess::TFrmShowProcMess(TComponent* AOwner) : TFrmBaseD(AOwner) {
    SetName("FrmShowProcMess");
    SetBorderIcons(TBorderIcons{});
    SetCaption("");
    SetColor(clSkyBlue);
    SetClientWidth(360);
    SetClientHeight(90);

    TBuild b(this);
    TFont bold;
    bold.Assign(Font());
    bold.SetStyle(TFontStyles{fsBold});
    Lb = b.Add<TLabel>("Lb").Font(&bold).Caption("正在备份数据，请梢候... ...").At(20, 18, 320, 14);
    PB = b.Add<TProgressBar>("PB").Set(&TProgressBar::SetMin, 0).Set(&TProgressBar::SetMax, 100).At(20, 48, 320, 18);
}
