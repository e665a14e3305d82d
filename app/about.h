// The about box: a borderless white picture with the update date and the
// library's name; a click or Esc closes it.
#pragma once

#include "Forms.h"

class TPanel;
class TPaintBox;
class TLabel;

class Taboutform : public TForm {
public:
    explicit Taboutform(TComponent* AOwner);
    std::string ClassName() const override { return "Taboutform"; }

    void FormShow(TObject* Sender);
    // Paints the title band on the picture.
    void PaintTitle(TObject* Sender);

    TPanel* Panel1;
    // The picture, drawn at paint time.
    TPaintBox* Image1;
    TLabel* LbDate;
    TLabel* LbName;
};

// Creates the about box (owned by the application), shows it modally and
// frees it.
void ShowAboutBox();
