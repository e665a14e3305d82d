// The pre-catalogue's editor: one record of BookinfoPre, the book editor
// less what belongs to a copy (the barcode, the circulation state and copy
// cataloguing). Leaving the ISBN box finds the publisher from its prefix;
// leaving the class box numbers a new record among the pre-catalogue's own
// records, without asking the class tree. A save has no side updates.
// Not here: everything it shares with the book editor (uBookDataEdit).
#pragma once

#include "uBookDataEdit.h"

class TFrmBookPreDataEdit : public TFrmBookDataEdit {
public:
    explicit TFrmBookPreDataEdit(TComponent* AOwner);
    std::string ClassName() const override { return "TFrmBookPreDataEdit"; }

    void InitForm() override;
    // The book editor's show on BookinfoPre; the ISBN box has the focus.
    void FormShow(TObject* Sender) override;
    // Title and class are required.
    bool ValidateRecord() override;
    void BeforePost() override;
    void BtSaveAddClick(TObject* Sender) override;
    // Enter walks on in the ISBN box too: the look-up runs on leaving it.
    void FormKeyDown(TObject* Sender, Word& Key, TShiftState Shift) override;
    void EditSortExit(TObject* Sender) override;
    void EditISBNExit(TObject* Sender);
};
