// What the condition dialogs of the book orders and the subscriptions
// share: the heading, the code and ISBN boxes, the title box, and the class
// box with its picker (button or F5); the focus starts in the code box.
// Not here: the other boxes and the condition (the derived dialog's).
#pragma once

#include "uBaseCond.h"

struct TFieldColumn;
class TEdit;
class TSpeedButton;

class TFrmOrderCond : public TFrmBaseCond {
public:
    // nameCaption labels the title box; height is the panel's.
    TFrmOrderCond(TComponent* AOwner, const char* nameCaption, int height);
    std::string ClassName() const override { return "TFrmOrderCond"; }

    void FormShow(TObject* Sender) override;
    void SbtSortClick(TObject* Sender);
    void EditSortKeyDown(TObject* Sender, Word& Key, TShiftState Shift);

    TEdit* EditCode;
    TEdit* EditISBN;
    TEdit* EditName;
    TEdit* EditSort;
    TSpeedButton* SbtSort;

protected:
    // The panel's two columns of boxes.
    static const TFieldColumn& LeftColumn();
    static const TFieldColumn& RightColumn();
};
