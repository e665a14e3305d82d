// The book write-off list over QryReject: search by copy code or by reader
// code (entering one box empties the other), add and edit through the
// write-off editor, and a delete that removes every write-off of the copy
// and gives the copy its state back ("外借" with an open loan, else in the
// library), in one transaction.
#pragma once

#include "uMDIBaseData.h"

class TLabel;
class TEdit;
class TSpeedButton;

class TFrmBookRejectData : public TMDIBaseData {
public:
    explicit TFrmBookRejectData(TComponent* AOwner);
    std::string ClassName() const override { return "TFrmBookRejectData"; }

    void InitForm() override;
    void BeforeDelete() override;
    void BtAddClick(TObject* Sender) override;
    void BtEditClick(TObject* Sender) override;
    void SbtFindClick(TObject* Sender);
    void SbtBookClick(TObject* Sender);
    void SbtReaderClick(TObject* Sender);
    void EditBookKeyPress(TObject* Sender, char32_t& Key);

    TEdit* EditBook;
    TSpeedButton* SbtBook;
    TEdit* EditReader;
    TSpeedButton* SbtReader;
    TSpeedButton* SbtFind;

private:
    void runEditor(uint8_t mode);
};
