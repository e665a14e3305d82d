// The business-date dialog: the working day the whole program takes as
// today, asked once after the start-up login. However it closes, the date
// in its picker becomes BusinessDate.
#pragma once

#include "uBaseD.h"

class TPanel;
class TLabel;
class TDateTimePicker;
class TBitBtn;

class TFrmSysDate : public TFrmBaseD {
public:
    explicit TFrmSysDate(TComponent* AOwner);
    std::string ClassName() const override { return "TFrmSysDate"; }
    void InitForm() override;

    TPanel* Panel1;
    TLabel* Label1;
    TDateTimePicker* DTPDate;
    TBitBtn* BitBtn1;

    void BitBtn1Click(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
};

// Shows the dialog modally and frees it; BusinessDate holds the chosen day.
void AskBusinessDate();
