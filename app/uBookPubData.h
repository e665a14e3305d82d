// The publisher list: every publisher by ISBN prefix, a search (name
// contains the text, the prefix equals it, an input code begins with it),
// add and edit through the publisher editor. A publisher that books still
// name cannot be deleted.
#pragma once

#include "uMDIBaseData.h"

class TEdit;
class TSpeedButton;

class TFrmBookPubData : public TMDIBaseData {
public:
    explicit TFrmBookPubData(TComponent* AOwner);
    std::string ClassName() const override { return "TFrmBookPubData"; }

    void InitForm() override;
    bool CanDelete() override;
    void BtAddClick(TObject* Sender) override;
    void BtEditClick(TObject* Sender) override;
    void EditcodeKeyPress(TObject* Sender, char32_t& Key);
    void SbtFindClick(TObject* Sender);

    TEdit* Editcode;
    TSpeedButton* SbtFind;

private:
    void runEditor(int mode);
};
