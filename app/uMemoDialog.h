// The larger box a long text of a record is edited in (a book's synopsis
// and abstract, a periodical issue's contents): a memo with a vertical
// scroll bar, "确定(&O)" (modal result 1) and "取消(&C)"; Esc in the memo
// closes without the text.
// Not here: which text and caption (the derived dialog's).
#pragma once

#include "uBaseD.h"

class TMemo;
class TDBMemo;
class TButton;

class TFrmMemoDialog : public TFrmBaseD {
public:
    explicit TFrmMemoDialog(TComponent* AOwner);
    std::string ClassName() const override { return "TFrmMemoDialog"; }
    void BtCancelClick(TObject* Sender);
    void Memo1KeyDown(TObject* Sender, Word& Key, TShiftState Shift);

    // Shows the dialog modally on box's text; on OK its text goes into
    // the box's field (into the box when it has none). True on OK.
    bool EditBox(TDBMemo* box);

    TMemo* Memo1;
    TButton* BtOK;
    TButton* BtCancel;
};
