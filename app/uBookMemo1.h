// A book's abstract in a larger box, opened by a double-click on the
// abstract box of the book and pre-catalogue editors: OK (modal result 1)
// hands the text back, Cancel and Esc drop it.
#pragma once

#include "uMemoDialog.h"

class TFrmBookMemo1 : public TFrmMemoDialog {
public:
    explicit TFrmBookMemo1(TComponent* AOwner);
    std::string ClassName() const override { return "TFrmBookMemo1"; }
};

// The dialog on box's text, owned by owner; OK writes it to box's field.
void EditBookAbstract(TComponent* owner, TDBMemo* box);
