// The logged-in operator's password change: the old password must match
// (an empty one matches an empty or missing password), the two new boxes
// must agree exactly, and the new password is stored trimmed. Typed text
// reaches SQL only through QuotedStr.
#pragma once

#include "uBaseD.h"

class TPanel;
class TLabel;
class TEdit;
class TButton;
class TADOQuery;

class TFrmChangePassword : public TFrmBaseD {
public:
    explicit TFrmChangePassword(TComponent* AOwner);
    std::string ClassName() const override { return "TFrmChangePassword"; }

    void InitForm() override;
    void BtSaveClick(TObject* Sender);
    void BtCloseClick(TObject* Sender);
    // Enter moves to the next control.
    void EditOldKeyDown(TObject* Sender, Word& Key, TShiftState Shift);

    TPanel* Panel1;
    TEdit* EditOld;
    TEdit* EditNew;
    TEdit* EditNew1;
    TButton* BtSave;
    TButton* BtClose;
    TADOQuery* ADOQueryPass;
};
