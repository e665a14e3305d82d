// The periodical catalogue: the first 1000 copies by code, a quick search
// (code, title, call number or input code; else the class), the condition
// dialog, the copy count and price total of the rows listed, and the
// periodical editor for add and edit. Rows are found again by Id after an
// edit or a delete. A copy on loan cannot be deleted.
#pragma once

#include "uMDIBaseData.h"

class TEdit;
class TSpeedButton;
class TButton;
class TDBNumberEditEh;
class TDBSumList;
struct TBoundSql;

class TFrmMagzData : public TMDIBaseData {
public:
    explicit TFrmMagzData(TComponent* AOwner);
    std::string ClassName() const override { return "TFrmMagzData"; }

    void InitForm() override;
    bool CanDelete() override;
    void BtDeleteClick(TObject* Sender) override;
    void BtFindClick(TObject* Sender) override;
    void BtAddClick(TObject* Sender) override;
    void BtEditClick(TObject* Sender) override;
    void EditcodeKeyPress(TObject* Sender, char32_t& Key);
    void SbtSortClick(TObject* Sender);
    void SbtFindClick(TObject* Sender);
    // Excel导入: the import wizard into Magzinfo, then the counters again.
    void BtExcelClick(TObject* Sender);

    TEdit* Editcode;
    TEdit* EditSort;
    TSpeedButton* SbtSort;
    TSpeedButton* SbtFind;
    TDBNumberEditEh* EditPrice;
    TDBNumberEditEh* EditQty;
    TButton* BtExcel;
    TDBSumList* DBSumList1;

private:
    // The count and price total of the rows listed, after every reload.
    void refreshCounters();
    void reload(const TBoundSql& statement);
    void requeryById();
    void runEditor(int mode);
};
