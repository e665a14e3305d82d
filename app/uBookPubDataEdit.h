// The publisher editor: a publisher's name (the key, fixed once saved) and
// its ISBN prefix, which no other publisher may hold (an empty prefix is
// no claim, so any number of publishers may lack one). The prefix check
// runs on leaving either box and again in the save, so no way of saving
// skips it; the input codes of the name are filled on save.
#pragma once

#include "uBaseDataEdit.h"

class TDBEdit;

class TFrmBookPubDataEdit : public TFrmBaseDataEdit {
public:
    explicit TFrmBookPubDataEdit(TComponent* AOwner);
    std::string ClassName() const override { return "TFrmBookPubDataEdit"; }

    void InitForm() override;
    void FormShow(TObject* Sender) override;
    bool ValidateRecord() override;
    void BeforePost() override;
    void SaveRecord() override;
    void BtSaveAddClick(TObject* Sender) override;
    // Leaving either box: a prefix another publisher holds empties the name.
    void EditCodeExit(TObject* Sender);

    TDBEdit* EditCode;
    TDBEdit* EditIsbn;
    // The name saved last ("" when nothing was saved).
    std::string LastSavedCode;

private:
    bool prefixTaken();
};
