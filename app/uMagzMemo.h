// The contents of a periodical issue in a larger box: OK (modal result 1)
// hands the text back to the periodical editor, Cancel and Esc drop it.
#pragma once

#include "uBaseD.h"

class TMemo;
class TButton;

class TFrmMagzMemo : public TFrmBaseD {
public:
    explicit TFrmMagzMemo(TComponent* AOwner);
    std::string ClassName() const override { return "TFrmMagzMemo"; }
    void BtCancelClick(TObject* Sender);
    void Memo1KeyDown(TObject* Sender, Word& Key, TShiftState Shift);

    TMemo* Memo1;
    TButton* BtOK;
    TButton* BtCancel;
};
