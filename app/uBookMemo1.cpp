// The abstract dialog; see uBookMemo1.h.
#include "uBookMemo1.h"

#include <memory>

TFrmBookMemo1::TFrmBookMemo1(TComponent* AOwner) : TFrmMemoDialog(AOwner) {
    SetName("FrmBookMemo1");
    SetCaption("图书摘要");
}

void EditBookAbstract(TComponent* owner, TDBMemo* box) {
    std::unique_ptr<TFrmBookMemo1> dialog(new TFrmBookMemo1(owner));
    dialog->EditBox(box);
}
