// The contents dialog; see uMagzMemo.h.
#include "uMagzMemo.h"

TFrmMagzMemo::TFrmMagzMemo(TComponent* AOwner) : TFrmMemoDialog(AOwner) {
    SetName("FrmMagzMemo");
    SetCaption("期刊目录");
}
