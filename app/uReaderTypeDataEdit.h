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

    // Top to bottom: the name, then the days before the copies of each kind.
    TDBEdit* EditCode;
    TDBNumberEditEh* EditLimitDay;    // 借书天数
    TDBNumberEditEh* EditCeQty;       // 借书册数
    TDBNumberEditEh* DBNumberEditEh1; // 续借次数
    TDBNumberEditEh* DBNumberEditEh4; // 借刊天数
    TDBNumberEditEh* DBNumberEditEh2; // 借刊册数
    TDBCheckBox* Chklimit;            // 限制借书
    TDBCheckBox* DBCheckBox1;         // 限制借刊

    // The name of the type saved last ("" until a save succeeds).
    std::string LastSavedCode;

private:
    bool nameTaken();
    void newRowDefaults();
};
