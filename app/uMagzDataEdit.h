// The periodical editor: one copy (one issue) of Magzinfo, loaded by Id.
// Current issue or back issue is chosen with two radio buttons (they decide
// IsNew on save and swap the running-number box for the missing-issues
// box). A new copy takes its data from an issue with the same ISSN when the
// ISSN box is left, and its call number from the class (the largest number
// after "/" among the class's call numbers, plus one); both only in add
// mode, so an existing issue is never overwritten. Copy codes are unique:
// checked on leaving the box and again in the save. The save carries a
// changed code to the periodical loans and write-offs and counts a new copy
// on the subscriptions, inside its transaction.
#pragma once

#include "uBaseDataEdit.h"

#include <cstdint>

class TDBEdit;
class TDBMemo;
class TDBComboBox;
class TDBComboBoxEh;
class TDBDateTimeEditEh;
class TDBNumberEditEh;
class TSpeedButton;
class TRadioButton;
class TCheckBox;
struct TBoundSql;
class TLabel;

class TFrmMagzDataEdit : public TFrmBaseDataEdit {
public:
    explicit TFrmMagzDataEdit(TComponent* AOwner);
    std::string ClassName() const override { return "TFrmMagzDataEdit"; }

    void InitForm() override;
    // Replaces the base show: add mode appends to an empty statement, edit
    // mode loads the row with Id EditId.
    void FormShow(TObject* Sender) override;
    bool ValidateRecord() override;
    void SaveRecord() override;
    void BeforePost() override;
    void BtSaveAddClick(TObject* Sender) override;

    void RbxClick(TObject* Sender);
    void EditCodeExit(TObject* Sender);
    void EditISBNExit(TObject* Sender);
    void EditSortExit(TObject* Sender);
    void SpeedButton1Click(TObject* Sender);
    void SpeedButton2Click(TObject* Sender);
    // F5 opens the box's picker.
    void PickerKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
    void EditRemarksKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
    void EditRemarksDblClick(TObject* Sender);

    TRadioButton* Rbg;
    TRadioButton* Rbx;
    TDBEdit* EditCode;
    TDBEdit* EditISBN;
    TDBEdit* DBEdit2;
    TDBEdit* DBEdit8;
    TDBEdit* EditSort;
    TSpeedButton* SpeedButton1;
    TDBEdit* DBEdit12;
    TDBEdit* EditSCode;
    TDBEdit* EditName;
    TDBEdit* DBEdit1;
    TDBComboBoxEh* DBComboBoxEh1;
    TDBEdit* Edityear;
    TDBEdit* DBEdit10;
    TLabel* LbZPeriodNo;
    TDBEdit* DBEdit11;
    TLabel* LbPeriodSt;
    TDBEdit* DBEdit9;
    TDBComboBox* CmbPosi;
    TDBComboBox* CmbLang;
    TDBComboBox* CmbPrint;
    TDBComboBox* CmbSize;
    TDBComboBox* CmbGrade;
    TDBComboBox* CmbAttach;
    TDBDateTimeEditEh* DBDateTimeEditEh1;
    TDBDateTimeEditEh* DTPRegDate;
    TDBNumberEditEh* EditPrice;
    TDBNumberEditEh* EditAvePrice;
    TDBEdit* DBEdit7;
    TDBComboBox* DBComboBox6;
    TDBEdit* DBEdit4;
    TDBEdit* DBEdit5;
    TDBEdit* DBEdit6;
    TDBEdit* DBEdit3;
    TDBEdit* EditSupplier;
    TSpeedButton* SpeedButton2;
    TDBMemo* EditRemarks;
    TCheckBox* ChkCopy;

    int64_t EditId = 0;
    // The code of the row as loaded ("" for a new copy).
    std::string OldCode;
    // Id of the copy saved last ("" until a save succeeds).
    std::string LastSavedId;

private:
    void copyFrom(const TBoundSql& source);
    void newRowDefaults();
    int64_t selfId() const;
    // True when Type holds the typed class; else says so and empties it.
    bool classKnown();
    // The class of the copy as loaded ("" for a new copy).
    std::string loadedSort_;
};
