// The book editor: one copy of Bookinfo. On top of the editor base it
// checks the code (unique among books, in the save itself as well as on
// leaving the box), the class (must exist; a new copy gets the next call
// number of its class), finds the publisher from the ISBN prefix and copies
// an earlier record of the same ISBN (catalogue or pre-catalogue), and can
// start the next copy with the data of the one just saved. A save renames
// the copy's loan and write-off rows when its code changed and counts a
// new copy as received on the ordering lists, in the save's transaction.
// The code a rename starts from is the code as loaded, never as typed.
#pragma once

#include "uBaseDataEdit.h"

#include <vector>

class TDBEdit;
class TDataSet;
class TDBMemo;
class TDBComboBox;
class TCheckBox;
class TRadioButton;
class TSpeedButton;
class TDBNumberEditEh;
class TDBDateTimeEditEh;
class TGroupBox;

class TFrmBookDataEdit : public TFrmBaseDataEdit {
public:
    explicit TFrmBookDataEdit(TComponent* AOwner);
    std::string ClassName() const override { return "TFrmBookDataEdit"; }

    void InitForm() override;
    // Its own show: a new row dated on the business date, or the row EditId.
    void FormShow(TObject* Sender) override;
    bool ValidateRecord() override;
    void SaveRecord() override;
    void BeforePost() override;
    void BtSaveAddClick(TObject* Sender) override;
    // Enter in the ISBN box looks the ISBN up and keeps the focus there.
    void FormKeyDown(TObject* Sender, Word& Key, TShiftState Shift) override;

    void EditCodeExit(TObject* Sender);
    // The class must exist; a new copy then gets the class's next call number.
    virtual void EditSortExit(TObject* Sender);
    void EditISBNKeyPress(TObject* Sender, char32_t& Key);
    void SpeedButton1Click(TObject* Sender);
    void SpeedButton2Click(TObject* Sender);
    void SpeedButton3Click(TObject* Sender);
    void PickerKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
    void EditRemarksKeyPress(TObject* Sender, char32_t& Key);
    // The synopsis (abstract) in its larger dialog.
    void EditRemarksDblClick(TObject* Sender);
    void EditRemarks1DblClick(TObject* Sender);

    TGroupBox* GroupBox1;
    TDBEdit* EditCode;
    TDBEdit* EditSet;
    TDBEdit* EditISBN;
    TDBEdit* EditSort;
    TSpeedButton* SpeedButton1;
    TDBEdit* DBEdit8;
    TDBEdit* EditSCode;
    TDBEdit* EditName;
    TDBEdit* EditYName;
    TDBEdit* EditPublisher;
    TSpeedButton* SpeedButton3;
    TDBEdit* DBEdit1;
    TDBEdit* DBEdit2;
    TGroupBox* GroupBox2;
    TDBComboBox* CmbPosi;
    TDBComboBox* CmbLang;
    TDBComboBox* CmbPrint;
    TDBComboBox* CmbSize;
    TDBComboBox* CmbGrade;
    TDBComboBox* CmbAttach;
    TGroupBox* GroupBox3;
    TDBEdit* DBEdit9;
    TDBDateTimeEditEh* DTPRegDate;
    TDBNumberEditEh* EditPrice;
    TDBNumberEditEh* EditAvePrice;
    TDBEdit* DBEdit7;
    TDBEdit* DBEdit10;
    TDBComboBox* DBComboBox6;
    TDBEdit* DBEdit4;
    TDBEdit* DBEdit5;
    TDBEdit* DBEdit6;
    TDBEdit* DBEdit3;
    TDBEdit* EditSupplier;
    TSpeedButton* SpeedButton2;
    TDBMemo* EditRemarks;
    TDBMemo* EditRemarks1;
    TCheckBox* ChkSet;
    TRadioButton* Rb2;
    TRadioButton* Rb1;
    TCheckBox* ChkCopy;

    int EditId = 0;
    // The code of the row as loaded ("" for a new copy).
    std::string OldCode;
    // Id of the copy saved last; "" until a save succeeds.
    std::string LastSavedId;

    // The columns copy cataloguing and ChkCopy carry over.
    static const std::vector<const char*>& CopiedColumns();

protected:
    // For the pre-catalogue's reduced twin (uBookDataPreEdit): the same
    // editor on another table, whose records have no barcode.
    TFrmBookDataEdit(TComponent* AOwner, std::string table);
    // Gives the edited row the next call number of class sort among the
    // records of Table.
    void numberInClass(const std::string& sort);
    // Copies the copied columns of the current row of source into the
    // edited row, leaving out those in skip.
    void copyFrom(TDataSet* source, const std::vector<std::string>& skip);

    const std::string Table;

private:
    bool codeTaken();
    // The class as loaded: a saved copy whose class has left the tree since
    // stays correctable.
    std::string loadedSort_;
    bool startingNext_ = false;
    int64_t ownId() const;
};
