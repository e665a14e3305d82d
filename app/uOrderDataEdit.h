// What the book order editor and the subscription editor share: one line of
// their table, its code unique (checked on leaving the box in add mode and
// again in the save) and fixed once saved, the class picker (button or
// F5), and the second group of boxes, the same in both: language, order
// date, price, copies ordered and received, amount and remarks. The amount
// follows copies × price when either box is left and can still be typed
// over. Enter in the remarks goes to "保存增加(&A)".
// Not here: the first group of boxes, which differs (the derived editor's).
#pragma once

#include "uBaseDataEdit.h"

class TDBEdit;
class TDBMemo;
class TDBComboBoxEh;
class TDBDateTimeEditEh;
class TDBNumberEditEh;
class TSpeedButton;
class TGroupBox;

class TFrmOrderDataEdit : public TFrmBaseDataEdit {
public:
    TFrmOrderDataEdit(TComponent* AOwner, const std::string& table);
    std::string ClassName() const override { return "TFrmOrderDataEdit"; }

    // The line (add: a new one dated on the business date, focus on the
    // code; edit: the line KeyValue, its code read-only, focus on the
    // title), then the languages of Booklang into CmbLang.
    void FormShow(TObject* Sender) override;
    bool ValidateRecord() override;
    void SaveRecord() override;
    void BtSaveAddClick(TObject* Sender) override;

    void EditCodeExit(TObject* Sender);
    void SpeedButton1Click(TObject* Sender);
    // F5 (or +) opens the box's picker.
    void EditSortKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
    void DBMemo1KeyDown(TObject* Sender, Word& Key, TShiftState Shift);
    // Leaving the price or the quantity box: amount = copies × price.
    void EditPriceExit(TObject* Sender);

    TDBEdit* EditCode = nullptr;
    TDBEdit* EditName = nullptr;
    TDBEdit* EditSort = nullptr;
    TSpeedButton* SpeedButton1 = nullptr;
    TDBComboBoxEh* CmbLang = nullptr;
    TDBDateTimeEditEh* DTPRegDate = nullptr;
    TDBNumberEditEh* EditPrice = nullptr;
    TDBNumberEditEh* EditRegQty = nullptr;
    TDBNumberEditEh* DBNumberEditEh2 = nullptr;
    TDBNumberEditEh* DBNumberEditEh3 = nullptr;
    TDBMemo* DBMemo1 = nullptr;

    // Code of the line saved last; "" until a save succeeds.
    std::string LastSavedCode;

    TGroupBox* GroupBox1;
    TGroupBox* GroupBox2;

protected:
    // One captioned box of the first group, bound to Field; a box with a
    // picker button beside it is narrower.
    struct TOrderBox {
        TDBEdit** Box;
        const char* Name;
        const char* Caption;
        const char* Field;
        bool Picker = false;
    };
    // The boxes one under another in GroupBox1 from top, which moves on.
    void AddBoxes(std::initializer_list<TOrderBox> rows, int& top);
    // The picker button beside box; EditCode and EditSort get their
    // handlers with the class button.
    TSpeedButton* AddPicker(const char* name, TDBEdit* box);
    void AddClassButton();
    // The second group's boxes; the price and date boxes carry the given
    // captions.
    void BuildOrderBoxes(const char* priceCaption, const char* dateCaption);

    std::string table_;

private:
    bool codeTaken();
};
