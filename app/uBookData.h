// The book catalogue list: the copies of Bookinfo (the first 1000 by Id on
// opening), a quick search by code, title, call number or input code, a
// class search, the condition dialog, and under the grid the number of
// copies listed and the sum of their prices. Add and edit go through the
// book editor and come back to the row saved last; the list follows rows
// by Id, since codes may change.
// Not here: the editor's rules (uBookDataEdit, BookRules.h).
#pragma once

#include "uMDIBaseData.h"

#include "ADODB.h"

class TFrmBookCond;
class TFrmBookDataEdit;
class TLabel;
class TEdit;
class TSpeedButton;
class TButton;
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
    // Excel导入: the import wizard into Bookinfo, then the counters again.
    virtual void BtExcelClick(TObject* Sender);
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
    TButton* BtExcel;
    TDBSumList* DBSumList1;

protected:
    // For the pre-catalogue's twin (uBookPreData): the same list over
    // another table, whose records have no barcode and no circulation state.
    TFrmBookData(TComponent* AOwner, std::string table);
    // Reads the list again over where ("": every row); the counters are the
    // caller's.
    virtual void LoadList(const TBoundSql& where);
    // The quick search's condition.
    virtual TBoundSql SearchWhere(const std::string& text, const std::string& sortText) const;
    // The condition dialog, before it is shown.
    virtual void PrepareCondition(TFrmBookCond* cond);
    // The list's editor, owned by the list.
    virtual TFrmBookDataEdit* NewEditor();
    // Shows the editor, adding (mode 1) or editing the row id (mode 2);
    // returns the Id it saved last, "" when it saved nothing.
    std::string RunEditor(uint8_t mode, int id);
    void locateId();

    const std::string Table;

private:
    void runEditor(uint8_t mode);
};
