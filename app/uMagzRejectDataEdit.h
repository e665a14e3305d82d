// The periodical write-off editor: the copy written off, the reader held
// responsible (optional), the date and the amount (the copy's price unless
// typed). Its save replaces the base's: in one transaction the copy named
// becomes "报废" and the row is posted; a saved write-off whose copy code
// is changed gives the copy it named before its state back. An unknown copy
// code is refused. Opening a saved write-off keeps its stored amount.
#pragma once

#include "uBaseDataEdit.h"

#include <cstdint>

class TDBEdit;
class TEdit;
class TDBNumberEditEh;
class TDBDateTimeEditEh;
class TSpeedButton;

class TFrmMagzRejectDataEdit : public TFrmBaseDataEdit {
public:
    explicit TFrmMagzRejectDataEdit(TComponent* AOwner);
    std::string ClassName() const override { return "TFrmMagzRejectDataEdit"; }

    void InitForm() override;
    // Add mode: a new row dated with the business date. Edit mode: the row
    // RejectRowId, with the copy's and the reader's names shown.
    void FormShow(TObject* Sender) override;
    bool ValidateRecord() override;
    void SaveRecord() override;
    void BtSaveAddClick(TObject* Sender) override;

    void EditRcodeExit(TObject* Sender);
    void EditRcodeKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
    void SpeedButton3Click(TObject* Sender);
    void EditBCodeExit(TObject* Sender);
    void EditBCodeKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
    void SpeedButton1Click(TObject* Sender);

    TDBDateTimeEditEh* DTPRejectDate;
    TDBEdit* EditRcode;
    TSpeedButton* SpeedButton3;
    TEdit* EditRName;
    TDBEdit* EditBCode;
    TSpeedButton* SpeedButton1;
    TEdit* EditBName;
    TEdit* EditPublisher;
    TEdit* EditYear;
    TEdit* EditNo;
    TDBNumberEditEh* EditRejectsum;
    TDBEdit* DBEdit1;

    // The write-off row edited (edit mode), set by the list.
    int64_t RejectRowId = 0;
    // The copy code of the row as loaded ("" for a new write-off).
    std::string OldCode;
    std::string LastSavedCode;

private:
    // Shows the copy's data; withPrice also takes its price as the amount.
    void showCopy(bool withPrice);
    void showReader();
    std::string shownCopy_;
};
