// The book order editor: one line of Bookshort, the title ordered with its
// ISBN, class, publisher (picker, F5), author and translator, and the
// supplier's contact and bank, on the ordering editors' shared part (code,
// copies, price, amount).
#pragma once

#include "uOrderDataEdit.h"

class TFrmBookShortDataEdit : public TFrmOrderDataEdit {
public:
    explicit TFrmBookShortDataEdit(TComponent* AOwner);
    std::string ClassName() const override { return "TFrmBookShortDataEdit"; }

    void InitForm() override;
    void SpeedButton3Click(TObject* Sender);
    // F5 (or +) opens the publisher lookup.
    void EditPublisherKeyDown(TObject* Sender, Word& Key, TShiftState Shift);

    TDBEdit* DBEdit3;
    TDBEdit* EditYName;
    TDBEdit* EditPublisher;
    TSpeedButton* SpeedButton3;
    TDBEdit* DBEdit1;
    TDBEdit* DBEdit2;
    TDBEdit* DBEdit7;
    TDBEdit* DBEdit8;
    TDBEdit* DBEdit11;
    TDBEdit* DBEdit9;
    TDBEdit* DBEdit10;
};
