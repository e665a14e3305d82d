// A book's synopsis in a larger box, opened by a double-click on the
// synopsis box of the book and pre-catalogue editors: OK (modal result 1)
// hands the text back, Cancel and Esc drop it.
#pragma once

#include "uMemoDialog.h"

class TFrmBookMemo : public TFrmMemoDialog {
public:
    explicit TFrmBookMemo(TComponent* AOwner);
    std::string ClassName() const override { return "TFrmBookMemo"; }
};

// The dialog on box's text, owned by owner; OK writes it to box's field.
void EditBookSynopsis(TComponent* owner, TDBMemo* box);
