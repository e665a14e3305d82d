// The reader-card dialog; see uPrintReaderCard.h.
#include "uPrintReaderCard.h"

#include "ADODB.h"
#include "Build.h"
#include "Buttons.h"
#include "ExtCtrls.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "report/model/RM_Report.h"
#include "uDMData.h"
#include "uGlobal.h"

TFrmPrintReaderCard::TFrmPrintReaderCard(TComponent* AOwner) : TFrmBaseD(AOwner) {
    SetName("FrmPrintReaderCard");
    SetCaption("打印借书证");
    SetBorderStyle(bsDialog);
    SetClientWidth(420);
    SetClientHeight(300);

    TBuild b(this);
    Panel1 = b.Add<TPanel>("Panel1").Caption("").Set(&TPanel::SetBevelOuter, bvLowered).At(8, 8, 404, 36);
    auto bar = b.In(Panel1);
    SbtPrint = bar.Add<TSpeedButton>("SbtPrint").Caption("打印(&P)").At(8, 5, 90, 26).OnClick(&TFrmPrintReaderCard::SbtPrintClick);
    SbtPreview = bar.Add<TSpeedButton>("SbtPreview").Caption("打印预览(&V)").At(104, 5, 90, 26).OnClick(
        &TFrmPrintReaderCard::SbtPreviewClick);
    SbtDesign = bar.Add<TSpeedButton>("SbtDesign").Caption("报表设计(&D)").At(200, 5, 90, 26).OnClick(
        &TFrmPrintReaderCard::SbtDesignClick);
    Rb1 = b.Add<TRadioButton>("Rb1").Caption("打印借书证正面").At(16, 54, 140, 20).Checked(true).OnClick(
        &TFrmPrintReaderCard::Rb1Click);
    Rb2 = b.Add<TRadioButton>("Rb2").Caption("打印借书证背面").At(180, 54, 140, 20).OnClick(&TFrmPrintReaderCard::Rb1Click);
    b.Add<TLabel>("LbMemo").Caption("借书证背面文字:").At(16, 82);
    Memo1 = b.Add<TMemo>("Memo1").At(16, 100, 388, 150);
    Memo1->SetScrollBars(ssVertical);
    BtExit = b.Add<TButton>("BtExit").Caption("退出(&E)").At(320, 262, 84, 26).Cancel().OnClick(
        &TFrmPrintReaderCard::BtExitClick);

    ADOQuery1 = b.Add<TADOQuery>("ADOQuery1");
    if (DMData) ADOQuery1->SetConnection(DMData->ADOConnection1);
    ADOQuery1->SQL()->SetText("select * from AcctInfo");
    RMReport1 = b.Add<TRMReport>("RMReport1");
    RMDBDataSet1 = b.Add<TRMDBDataSet>("RMDBDataSet1");
    OnClose = [this](TObject* s, TCloseAction& a) { FormClose(s, a); };
}

void TFrmPrintReaderCard::FormShow(TObject* Sender) {
    TFrmBaseD::FormShow(Sender);
    if (!ADOQuery1->Active()) ADOQuery1->Open();
    TField* memo = ADOQuery1->IsEmpty() ? nullptr : ADOQuery1->FieldByName("Rcardmemo");
    Memo1->SetText(memo && !memo->IsNull() ? memo->AsString() : std::string());
    Rb1->SetChecked(true);
    CardTemplate = "ReaderCard.rmf";
}

void TFrmPrintReaderCard::Rb1Click(TObject*) { CardTemplate = Rb2->Checked() ? "ReaderCardB.rmf" : "ReaderCard.rmf"; }

bool TFrmPrintReaderCard::load() {
    RMReport1->Variables["馆名"] = CorpName;
    if (RMReport1->LoadFromFile(ExeDir() + "report/" + CardTemplate)) return true;
    ShowInfoBox(RMReport1->LastError.empty() ? "报表文件不存在：" + ExeDir() + "report/" + CardTemplate
                                             : RMReport1->LastError);
    return false;
}

void TFrmPrintReaderCard::SbtPreviewClick(TObject*) {
    if (load() && RMReport1->PrepareReport()) RMReport1->ShowPreparedReport();
}

void TFrmPrintReaderCard::SbtPrintClick(TObject*) {
    if (load() && RMReport1->PrepareReport()) RMReport1->PrintPreparedReport();
}

void TFrmPrintReaderCard::SbtDesignClick(TObject*) {
    if (load()) RMReport1->DesignReport();
}

void TFrmPrintReaderCard::storeBackText() {
    if (!ADOQuery1->Active() || ADOQuery1->IsEmpty()) return;
    TField* memo = ADOQuery1->FieldByName("Rcardmemo");
    if (memo->AsString() == Memo1->Text()) return;
    ADOQuery1->Edit();
    memo->SetAsString(Memo1->Text());
    ADOQuery1->Post();
}

void TFrmPrintReaderCard::BtExitClick(TObject*) { Close(); }

void TFrmPrintReaderCard::FormClose(TObject*, TCloseAction&) {
    // The back text must also survive the close box.
    storeBackText();
    ADOQuery1->Close();
}
