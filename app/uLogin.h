// The login dialog: picks an operator from SystemUser and checks the
// password; run at start-up and by the main window's change of operator.
// Not here: what a login changes (the main window sets the logged-in
// state and applies the rights).
#pragma once

#include "Variants.h"
#include "uBaseD.h"

#include <string>

class TPanel;
class TLabel;
class TComboBox;
class TEdit;
class TBitBtn;
class TADOQuery;

// The operator code chosen by the last successful login; cleared by the
// dialog's Cancel button, left as it was when the dialog closes any other
// way.
extern std::string LoginCode;

class TFrmLogin : public TFrmBaseD {
public:
    explicit TFrmLogin(TComponent* AOwner);
    std::string ClassName() const override { return "TFrmLogin"; }
    void InitForm() override;
    // The base show handling (InitForm), then the operator list.
    void FormShow(TObject* Sender) override;

    TPanel* Panel1;
    TLabel* Label1;
    TLabel* Label2;
    TLabel* Label3;
    TComboBox* CmbId;
    TEdit* EditName;
    TEdit* EditPassword;
    TBitBtn* BitBtn1;
    TBitBtn* BitBtn2;
    TADOQuery* ADOQueryPass;

    void CmbIdChange(TObject* Sender);
    // Accepts when the typed code names a SystemUser row (letter case
    // ignored) whose password PasswordMatches the typed one; otherwise says
    // so and stays open.
    void BitBtn1Click(TObject* Sender);
    void BitBtn2Click(TObject* Sender);
};

// Whether a typed password is the stored one: byte for byte, so letter case
// and blanks before or after count (the text columns' own comparison
// ignores case). A null or empty stored password accepts only "".
bool PasswordMatches(const Variant& stored, const std::string& typed);

// Shows the login dialog modally and returns the chosen code in code (""
// when nobody logged in); the dialog is freed also when it raised.
void RunLogin(std::string& code);
