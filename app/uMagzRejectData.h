// The periodical write-off list (QryReject1): search by copy code or by
// reader code (typing in one box empties the other), add and edit through
// the write-off editor. Deleting takes every write-off of the copy away and
// gives the copy back "外借" while a periodical loan of it is open, else the
// library, in one transaction.
#pragma once

#include "uMDIBaseData.h"

class TEdit;
class TSpeedButton;

class TFrmMagzRejectData : public TMDIBaseData {
public:
    explicit TFrmMagzRejectData(TComponent* AOwner);
    std::string ClassName() const override { return "TFrmMagzRejectData"; }

    void InitForm() override;
    void BtDeleteClick(TObject* Sender) override;
    void BtAddClick(TObject* Sender) override;
    void BtEditClick(TObject* Sender) override;
    void EditBookKeyPress(TObject* Sender, char32_t& Key);
    void SbtBookClick(TObject* Sender);
    void SbtReaderClick(TObject* Sender);
    void SbtFindClick(TObject* Sender);

    TEdit* EditBook;
    TSpeedButton* SbtBook;
    TEdit* EditReader;
    TSpeedButton* SbtReader;
    TSpeedButton* SbtFind;

private:
    void runEditor(int mode);
};
