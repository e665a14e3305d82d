// The publisher lookup: every publisher by ISBN prefix until the first
// keystroke, then at most 30 whose name or an input code contains the typed
// text (bound, so every character searches as itself). 增加 adds one
// through the publisher editor. ChosenCode is the name; ChosenName stays
// empty.
#pragma once

#include "uFindCode.h"

class TLabel;
class TMenuItem;

class TFrmFindPublish : public TFrmFindCode {
public:
    explicit TFrmFindPublish(TComponent* AOwner);
    std::string ClassName() const override { return "TFrmFindPublish"; }

    void InitForm() override;
    void Edit1Change(TObject* Sender);
    void BtConfirmClick(TObject* Sender) override;
    void BtAddClick(TObject* Sender);

    TLabel* Label1;
    TMenuItem* N1;
};
