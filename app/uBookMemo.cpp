// The synopsis dialog; see uBookMemo.h.
#include "uBookMemo.h"

#include <memory>

TFrmBookMemo::TFrmBookMemo(TComponent* AOwner) : TFrmMemoDialog(AOwner) {
    SetName("FrmBookMemo");
    SetCaption("图书简介");
}

void EditBookSynopsis(TComponent* owner, TDBMemo* box) {
    std::unique_ptr<TFrmBookMemo> dialog(new TFrmBookMemo(owner));
    dialog->EditBox(box);
}
