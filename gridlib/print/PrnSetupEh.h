// The print setup dialog of grid printing: margins in the component's unit
// (the unit named "MM" measures centimetres, and the dialog says so),
// fitting to the page, optimal widths, row stretching, colours and the
// print font name.
#pragma once

#include "Forms.h"

class TPrintDBGridEh;
class TEdit;
class TCheckBox;
class TRadioGroup;
class TButton;
class TLabel;

class TfPrnDBGridEhSetupDialog : public TForm {
public:
    explicit TfPrnDBGridEhSetupDialog(TComponent* AOwner);
    std::string ClassName() const override { return "TfPrnDBGridEhSetupDialog"; }
    TEdit* seUpMargin = nullptr;
    TEdit* seLowMargin = nullptr;
    TEdit* seLeftMargin = nullptr;
    TEdit* seRightMargin = nullptr;
    TLabel* lbUnits = nullptr;
    TCheckBox* cbFitWidthToPage = nullptr;
    TRadioGroup* rgFitingType = nullptr;
    TCheckBox* cbOptimalColWidths = nullptr;
    TCheckBox* cbAutoStretch = nullptr;
    TCheckBox* cbColored = nullptr;
    TEdit* ePrintFont = nullptr;
    TButton* bOk = nullptr;
    TButton* bCancel = nullptr;
};

// Shows the dialog for the component; true when confirmed (the settings
// are then taken over).
bool RunPrintSetupDialog(TPrintDBGridEh* print);
