// The pre-catalogue list: bibliographic records of BookinfoPre waiting for
// copies, the book catalogue's list over another table (the first 1000 by
// Id, the quick and class searches, the condition dialog without the
// criteria of a copy, the counters, add, edit and delete through its own
// editor). It adds the MARC and spreadsheet imports, the transfer of the
// current record into the catalogue as a copy with a barcode, and the bulk
// delete of the records listed. It remembers the condition of its list, so
// that the bulk delete removes what the list shows and nothing more.
// Not here: the statements of transfer and bulk delete (BookRules.h), the
// MARC reader (Marc.h, uMarcIn).
#pragma once

#include "uBookData.h"

class TButton;
class TCheckBox;
class TToolButton;

class TFrmBookPreData : public TFrmBookData {
public:
    explicit TFrmBookPreData(TComponent* AOwner);
    std::string ClassName() const override { return "TFrmBookPreData"; }

    void InitForm() override;
    // Any record may go.
    bool CanDelete() override;
    // 从Excel导入 into BookinfoPre, keyed by the title.
    // The wizard on BookinfoPre, from the book list's own button.
    void BtExcelClick(TObject* Sender) override;
    // The MARC import, then the list again.
    void BtMarcClick(TObject* Sender);
    // 转库: asks for the barcode and makes the current record a copy.
    void BtzkClick(TObject* Sender);
    // 批量删除: the records listed, after a question.
    void BtDelAllClick(TObject* Sender);

    TButton* BtMarc;
    TButton* Btzk;
    TCheckBox* ChkZk;
    TToolButton* BtDelAll;

    // The condition of the list as shown ("" : unfiltered).
    TBoundSql CurrentCondition;

protected:
    void LoadList(const TBoundSql& where) override;
    TBoundSql SearchWhere(const std::string& text, const std::string& sortText) const override;
    // A record has no barcode and no state: those criteria are disabled.
    void PrepareCondition(TFrmBookCond* cond) override;
    TFrmBookDataEdit* NewEditor() override;

private:
    // The largest Id listed, 0 for an empty list.
    int64_t lastListedId();
    void reloadAt(const std::string& id);
};
