// The reader-card dialog: prints the front or the back of the library cards
// of the readers the reader list shows (the caller binds RMDBDataSet1 to
// its list query), with preview, print and template design. It also keeps
// the card's back text (AcctInfo.Rcardmemo), which the back template
// prints: the text is stored whenever the dialog closes, by "退出(&E)", Esc
// or the close box, so an edit is never dropped silently.
#pragma once

#include "uBaseD.h"

class TSpeedButton;
class TRadioButton;
class TMemo;
class TButton;
class TPanel;
class TADOQuery;
class TRMReport;
class TRMDBDataSet;

class TFrmPrintReaderCard : public TFrmBaseD {
public:
    explicit TFrmPrintReaderCard(TComponent* AOwner);
    std::string ClassName() const override { return "TFrmPrintReaderCard"; }

    void FormShow(TObject* Sender) override;
    void FormClose(TObject* Sender, TCloseAction& Action);
    void Rb1Click(TObject* Sender);
    void SbtPreviewClick(TObject* Sender);
    void SbtPrintClick(TObject* Sender);
    void SbtDesignClick(TObject* Sender);
    void BtExitClick(TObject* Sender);

    TPanel* Panel1;
    TSpeedButton* SbtPrint;
    TSpeedButton* SbtPreview;
    TSpeedButton* SbtDesign;
    TRadioButton* Rb1;
    TRadioButton* Rb2;
    TMemo* Memo1;
    TButton* BtExit;
    TADOQuery* ADOQuery1;
    TRMReport* RMReport1;
    TRMDBDataSet* RMDBDataSet1;

    // "ReaderCard.rmf" (front) or "ReaderCardB.rmf" (back).
    std::string CardTemplate;

private:
    // Loads the chosen template; false when it is missing or damaged.
    bool load();
    void storeBackText();
};
