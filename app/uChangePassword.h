// The logged-in operator's password change: the old password must match
// exactly as the login compares it (PasswordMatches), the two new boxes
// must agree exactly, and the new password is stored as typed, blanks
// included, since the login counts them. Typed text reaches SQL only as a
// bound value.
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
