// The subscription editor: one row of MagzOrder, the periodical subscribed
// with its period and frequency, and the supplier's contact and bank, on
// the ordering editors' shared part (code, class, copies, price, amount).
#pragma once

#include "uOrderDataEdit.h"

class TFrmMagzOrderDataEdit : public TFrmOrderDataEdit {
public:
    explicit TFrmMagzOrderDataEdit(TComponent* AOwner);
    std::string ClassName() const override { return "TFrmMagzOrderDataEdit"; }

    void InitForm() override;

    TDBEdit* DBEdit3;
    TDBEdit* DBEdit2;
    TDBEdit* DBEdit5;
    TDBEdit* DBEdit1;
    TDBComboBoxEh* DBComboBoxEh1;
    TDBEdit* DBEdit4;
    TDBEdit* DBEdit6;
    TDBEdit* DBEdit7;
    TDBEdit* DBEdit8;
    TDBEdit* DBEdit11;
    TDBEdit* DBEdit9;
    TDBEdit* DBEdit10;
};
