// The operator editor: adds an operator (UserEditMode 0) or edits the
// current row of the data module's AdoQueryUser (1). Renaming an operator's
// code renames its rights rows in the same transaction, so no rights are
// lost or orphaned. Every typed value reaches SQL as a bound parameter.
// Not here: the rights rows of a new operator (the rights window adds them).
#pragma once

#include "Forms.h"

#include <string>

class TPanel;
class TLabel;
class TEdit;
class TComboBox;
class TBitBtn;
class TADOCommand;
class TADOQuery;

class TFrmUseradd : public TForm {
public:
    explicit TFrmUseradd(TComponent* AOwner);
    std::string ClassName() const override { return "TFrmUseradd"; }

    // Once per opening: colours, and the current operator's values in edit
    // mode (the confirmation box stays empty).
    void FormActivate(TObject* Sender);
    void EditPassword1Exit(TObject* Sender);
    // Checks, then inserts or updates; SavedCode := code and closes.
    void BitBtn1Click(TObject* Sender);
    void BitBtn2Click(TObject* Sender);
    void EditCodeKeyPress(TObject* Sender, char32_t& Key);

    TPanel* Panel1;
    TEdit* EditCode;
    TEdit* Editname;
    TComboBox* ComboBox1;
    TEdit* Editpassword;
    TEdit* EditPassword1;
    TBitBtn* BitBtn1;
    TBitBtn* BitBtn2;
    TADOCommand* ADOCommand1;
    TADOQuery* ADOQuery1;

    // The code saved; empty when the editor was cancelled.
    std::string SavedCode;

private:
    void setUserParameters(const std::string& code, const std::string& name, const std::string& duty,
                           const std::string& password);
    bool activated_ = false;
};
