// The book catalogue list: the copies of Bookinfo (the first 1000 by Id on
// opening), a quick search by code, title, call number or input code, a
// class search, the condition dialog, and under the grid the number of
// copies listed and the sum of their prices. Add and edit go through the
// book editor and come back to the row saved last; the list follows rows
// by Id, since codes may change.
// Not here: the editor's rules (uBookDataEdit, BookRules.h).
#pragma once

#include "uMDIBaseData.h"

class TLabel;
class TEdit;
class TSpeedButton;
class TDBNumberEditEh;
class TDBSumList;

class TFrmBookData : public TMDIBaseData {
public:
    explicit TFrmBookData(TComponent* AOwner);
    std::string ClassName() const override { return "TFrmBookData"; }

    void InitForm() override;
    // A copy on loan cannot be deleted.
    bool CanDelete() override;
    // The base delete, relocated by Id; the counters follow also after
    // Cancel.
    void BtDeleteClick(TObject* Sender) override;
    void BtFindClick(TObject* Sender) override;
    void BtAddClick(TObject* Sender) override;
    void BtEditClick(TObject* Sender) override;
    void SbtFindClick(TObject* Sender);
    void SbtSortClick(TObject* Sender);
    void EditcodeEnter(TObject* Sender);
    void EditSortEnter(TObject* Sender);
    void EditcodeKeyPress(TObject* Sender, char32_t& Key);
    // Count and price sum of the rows listed.
    void RefreshCounters();

    TLabel* LbSearch;
    TEdit* Editcode;
    TLabel* LbSort;
    TEdit* EditSort;
    TSpeedButton* SbtSort;
    TSpeedButton* SbtFind;
    TDBNumberEditEh* EditQty;
    TDBNumberEditEh* EditPrice;
    TDBSumList* DBSumList1;

private:
    void locateId();
    void runEditor(uint8_t mode);
};
