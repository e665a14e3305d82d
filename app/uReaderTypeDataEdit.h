// The reader-type editor: a type's name (the key, fixed once saved) and
// its lending rules. Names are unique: the check runs on leaving the name
// box and again in the save. Limits below 0 are saved as 0.
#pragma once

#include "uBaseDataEdit.h"

class TDBEdit;
class TDBCheckBox;
class TDBNumberEditEh;

class TFrmReaderTypeDataEdit : public TFrmBaseDataEdit {
public:
    explicit TFrmReaderTypeDataEdit(TComponent* AOwner);
    std::string ClassName() const override { return "TFrmReaderTypeDataEdit"; }

    void InitForm() override;
    void FormShow(TObject* Sender) override;
    bool ValidateRecord() override;
    void BeforePost() override;
    // The base save; LastSavedCode names the type saved.
    void SaveRecord() override;
    void BtSaveAddClick(TObject* Sender) override;
    // Leaving the name box in add mode: a name already used is said and emptied.
    void EditCodeExit(TObject* Sender);

    TDBEdit* EditCode;
    TDBNumberEditEh* EditCeQty;
    TDBNumberEditEh* EditLimitDay;
    TDBNumberEditEh* EditRenewTime;
    TDBNumberEditEh* EditCeQty1;
    TDBNumberEditEh* EditLimitDay1;
    TDBCheckBox* ChkIsLimit;
    TDBCheckBox* ChkIsLimit1;

    // The name of the type saved last ("" until a save succeeds).
    std::string LastSavedCode;

private:
    bool nameTaken();
    void newRowDefaults();
};
