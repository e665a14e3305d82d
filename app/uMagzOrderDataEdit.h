// The subscription editor: one row of MagzOrder, the periodical subscribed
// with its period, copies ordered and received, price and amount, and the
// supplier's contact and bank. The amount follows price × copies when
// either box is left and can still be typed over. Codes are unique (checked
// on leaving the box in add mode and again in the save) and fixed once
// saved.
#pragma once

#include "uBaseDataEdit.h"

class TDBEdit;
class TDBMemo;
class TDBComboBox;
class TDBNumberEditEh;
class TSpeedButton;

class TFrmMagzOrderDataEdit : public TFrmBaseDataEdit {
public:
    explicit TFrmMagzOrderDataEdit(TComponent* AOwner);
    std::string ClassName() const override { return "TFrmMagzOrderDataEdit"; }

    void InitForm() override;
    void FormShow(TObject* Sender) override;
    bool ValidateRecord() override;
    void SaveRecord() override;
    void BtSaveAddClick(TObject* Sender) override;

    void EditCodeExit(TObject* Sender);
    void SpeedButton1Click(TObject* Sender);
    void EditSortKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
    void DBMemo1KeyDown(TObject* Sender, Word& Key, TShiftState Shift);
    // Leaving the price or the quantity box: amount = copies × price.
    void EditPriceExit(TObject* Sender);

    TDBEdit* EditCode;
    TDBEdit* DBEdit3;
    TDBEdit* DBEdit2;
    TDBEdit* DBEdit5;
    TDBEdit* EditName;
    TDBEdit* EditSort;
    TSpeedButton* SpeedButton1;
    TDBEdit* DBEdit1;
    TDBComboBox* DBComboBoxEh1;
    TDBEdit* DBEdit4;
    TDBEdit* DBEdit6;
    TDBEdit* DBEdit7;
    TDBEdit* DBEdit8;
    TDBEdit* DBEdit11;
    TDBEdit* DBEdit9;
    TDBEdit* DBEdit10;
    TDBComboBox* CmbLang;
    TDBEdit* DTPRegDate;
    TDBNumberEditEh* EditPrice;
    TDBNumberEditEh* EditRegQty;
    TDBNumberEditEh* DBNumberEditEh2;
    TDBNumberEditEh* DBNumberEditEh3;
    TDBMemo* DBMemo1;

    std::string LastSavedCode;

private:
    bool codeTaken();
};
