// The shortcut list; see uShortCut.h.
#include "uShortCut.h"

#include "Build.h"
#include "StdCtrls.h"

TFrmShortCut::TFrmShortCut(TComponent* AOwner) : TFrmBaseD(AOwner) {
    SetName("FrmShortCut");
    SetCaption("快捷键提示");
    SetBorderIcons(TBorderIcons{biSystemMenu});
    SetClientWidth(400);
    SetClientHeight(70);
    TBuild b(this);
    Label1 =
        b.Add<TLabel>("Label1").Caption(" 图书编目 Ctrl+F2   期刊编目 Ctrl+F3  读者管理 Ctrl+F4 ").At(16, 16, 370, 14);
    Label2 =
        b.Add<TLabel>("Label2").Caption("借还图书 Ctrl+F5   借还期刊 Ctrl+F6  借阅查询 Ctrl+F7").At(22, 40, 370, 14);
    // No control takes the focus, so the form itself sees Esc.
    SetKeyPreview(true);
}
