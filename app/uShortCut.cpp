// The shortcut list; see uShortCut.h.
#include "uShortCut.h"

#include "StdCtrls.h"

TFrmShortCut::TFrmShortCut(TComponent* AOwner) : TFrmBaseD(AOwner) {
    SetName("FrmShortCut");
    SetCaption("快捷键提示");
    SetBorderIcons(TBorderIcons{biSystemMenu});
    SetClientWidth(400);
    SetClientHeight(70);
    Label1 = new TLabel(this);
    Label1->SetName("Label1");
    Label1->SetParent(this);
    Label1->SetCaption(" 图书编目 Ctrl+F2   期刊编目 Ctrl+F3  读者管理 Ctrl+F4 ");
    Label1->SetBounds(16, 16, 370, 14);
    Label2 = new TLabel(this);
    Label2->SetName("Label2");
    Label2->SetParent(this);
    Label2->SetCaption("借还图书 Ctrl+F5   借还期刊 Ctrl+F6  借阅查询 Ctrl+F7");
    Label2->SetBounds(22, 40, 370, 14);
    // No control takes the focus, so the form itself sees Esc.
    SetKeyPreview(true);
}
