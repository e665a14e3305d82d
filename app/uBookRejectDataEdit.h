// The book write-off editor: the copy, the reader held responsible, the
// date and the amount (the copy's price unless typed, and a saved amount
// is never replaced just by opening the row). The save writes the copy off
// and posts the row in one transaction; an edit that moves the write-off to
// another copy gives the former copy its state back in the same one.
#pragma once

#include "uBaseDataEdit.h"

class TDBEdit;
class TEdit;
class TSpeedButton;
class TDBNumberEditEh;
class TDBDateTimeEditEh;
class TADOCommand;

class TFrmBookRejectDataEdit : public TFrmBaseDataEdit {
public:
    explicit TFrmBookRejectDataEdit(TComponent* AOwner);
    std::string ClassName() const override { return "TFrmBookRejectDataEdit"; }

    void InitForm() override;
    // Add: a new row dated on the business date. Edit: the write-off whose
    // row number is EditRejectId.
    void FormShow(TObject* Sender) override;
    bool ValidateRecord() override;
    // The write-off and the post in one transaction; "存盘失败！" and a
    // rollback on any error.
    void SaveRecord() override;
    void BtSaveAddClick(TObject* Sender) override;

    void EditRcodeExit(TObject* Sender);
    void EditBCodeExit(TObject* Sender);
    void EditRcodeKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
    void EditBCodeKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
    void SpeedButton1Click(TObject* Sender);
    void SpeedButton2Click(TObject* Sender);

    TDBDateTimeEditEh* DTPRejectDate;
    TDBEdit* EditRcode;
    TSpeedButton* SpeedButton3;
    TEdit* EditRName;
    TDBEdit* EditBCode;
    TSpeedButton* SpeedButton1;
    TEdit* EditBName;
    TEdit* EditPublisher;
    TDBNumberEditEh* EditRejectsum;
    TDBEdit* DBEdit1;
    TADOCommand* AdoCommSave;

    int64_t EditRejectId = 0;
    std::string LastSavedCode;

private:
    // Shows the copy's title and publisher; a copy other than the one the
    // row had takes its price as the amount.
    void showCopy(const std::string& code, bool warnUnknown);
    std::string loadedCode_;
    std::string shownCode_;
};
