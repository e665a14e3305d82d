// The subscription list: every subscription by code, a search (code or
// title contain the text), the condition dialog, add and edit through the
// subscription editor, and "清除购齐", which asks first, deletes the
// subscriptions whose ordered copies have all come and reads the list again.
#pragma once

#include "uMDIBaseData.h"

class TEdit;
class TSpeedButton;
class TButton;

class TFrmMagzOrderData : public TMDIBaseData {
public:
    explicit TFrmMagzOrderData(TComponent* AOwner);
    std::string ClassName() const override { return "TFrmMagzOrderData"; }

    void InitForm() override;
    void BtFindClick(TObject* Sender) override;
    void BtAddClick(TObject* Sender) override;
    void BtEditClick(TObject* Sender) override;
    void EditcodeKeyPress(TObject* Sender, char32_t& Key);
    void SbtFindClick(TObject* Sender);
    void BtClearClick(TObject* Sender);

    TEdit* Editcode;
    TSpeedButton* SbtFind;
    TSpeedButton* BtClear;

private:
    void runEditor(int mode);
};
