// The reader list: the first 1000 readers by code, a quick search (code or
// name contain the text, an input code begins with it), the condition
// dialog, the reader count, the reader editor for add and edit, and the
// card dialog over the readers listed. A reader with an item on loan in
// either loan table cannot be deleted; the delete takes the reader's rows
// of both loan tables with it, in one transaction.
#pragma once

#include "uMDIBaseData.h"

class TLabel;
class TEdit;
class TSpeedButton;
class TDBNumberEditEh;
class TToolButton;

class TFrmReaderData : public TMDIBaseData {
public:
    explicit TFrmReaderData(TComponent* AOwner);
    std::string ClassName() const override { return "TFrmReaderData"; }

    void InitForm() override;
    bool CanDelete() override;
    void BeforeDelete() override;
    void BtDeleteClick(TObject* Sender) override;
    void BtFindClick(TObject* Sender) override;
    void BtAddClick(TObject* Sender) override;
    void BtEditClick(TObject* Sender) override;
    void EditcodeKeyPress(TObject* Sender, char32_t& Key);
    void SbtFindClick(TObject* Sender);
    void SBtCardClick(TObject* Sender);
    // 从Excel导入: the import wizard into Readerinfo, then the count again.
    void BtExcelClick(TObject* Sender);

    TEdit* Editcode;
    TSpeedButton* SbtFind;
    TSpeedButton* SBtCard;
    TDBNumberEditEh* EditQty;
    TToolButton* BtExcel;

private:
    void showCount();
    void runEditor(int mode);
};
