// The reader editor: one reader of Readerinfo with its type, department,
// telephones, deposit, suspension, the six loan counters (shown, never
// changed here) and a photo. Reader codes are unique: the check runs on
// leaving the code box and again in the save. A changed code carries the
// reader's rows of both loan tables with it inside the save transaction;
// the old code is the code of the row as loaded, so leaving and re-entering
// the box cannot lose it.
// The photo: "连接相片" picks a picture file (starting in "Bmp" beside the
// program); the save stores its path in Photo and, for a bitmap, the
// picture itself in PhotoBmp (any other format leaves PhotoBmp empty);
// "取消" empties both. A save that does not touch the photo keeps both.
#pragma once

#include "uBaseDataEdit.h"

class TDBEdit;
class TDBCheckBox;
class TDBComboBox;
class TDBNumberEditEh;
class TDBDateTimeEditEh;
class TDBComboBoxEh;
class TSpeedButton;
class TImage;
class TOpenDialog;
class TLabel;

class TFrmReaderDataEdit : public TFrmBaseDataEdit {
public:
    explicit TFrmReaderDataEdit(TComponent* AOwner);
    std::string ClassName() const override { return "TFrmReaderDataEdit"; }

    void InitForm() override;
    void FormShow(TObject* Sender) override;
    bool ValidateRecord() override;
    // Input codes, Photo and PhotoBmp, then the base save; LastSavedCode.
    void SaveRecord() override;
    // Carries the loans of a changed code (edit mode only).
    void BeforePost() override;
    void BtSaveAddClick(TObject* Sender) override;

    // Leaving the code box: a code another reader has is said; add mode
    // empties the box, edit mode puts the loaded code back.
    void EditCodeExit(TObject* Sender);
    // Leaving the type box: a type ReaderType lacks is said and emptied.
    void EditSortExit(TObject* Sender);
    void EditSortKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
    void SpeedButton1Click(TObject* Sender);
    void DBEdit3KeyDown(TObject* Sender, Word& Key, TShiftState Shift);
    void SBtInClick(TObject* Sender);
    void SpeedButton2Click(TObject* Sender);

    TPanel* PanelLeft;
    TPanel* PanelMiddle;
    TDBEdit* EditCode;
    TDBEdit* EditName;
    TDBComboBoxEh* EditSax;
    TDBEdit* EditSort;
    TSpeedButton* SpeedButton1;
    TDBEdit* DBEdit8;
    TDBEdit* DBEdit9;
    TDBComboBoxEh* CmbDept;
    TDBDateTimeEditEh* DBDateTimeEditEh1;
    TDBEdit* EditTelday;
    TDBEdit* DBEdit1;
    TDBEdit* DBEdit4;
    TDBEdit* DBEdit6;
    TDBEdit* DBEdit7;
    TDBEdit* DBEdit3;
    TDBNumberEditEh* EditDeposum;
    TDBCheckBox* ChkStop;
    TDBNumberEditEh* EditBookQty;
    TDBNumberEditEh* EditTimes;
    TDBNumberEditEh* EditOverdue;
    TDBNumberEditEh* EditBookQty1;
    TDBNumberEditEh* EditTimes1;
    TDBNumberEditEh* EditOverdue1;
    TImage* Image1;
    TSpeedButton* SBtIn;
    TSpeedButton* SpeedButton2;
    TOpenDialog* Opd1;

    // The code of the row as loaded ("" for a new reader).
    std::string OldCode;
    // The photo file of the reader being edited.
    std::string PhotoPath;
    std::string LastSavedCode;

private:
    void newRowDefaults();
    void showStoredPhoto();
    void storePhoto();
    // True when ReaderType holds the typed type; else says so and empties it.
    bool typeKnown();
    // The reader type as loaded ("" for a new reader).
    std::string loadedType_;
    bool photoChanged_ = false;
};
