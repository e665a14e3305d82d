// The reader contact card; see uReaderDetail.h.
#include "uReaderDetail.h"

#include "ADODB.h"
#include "Build.h"
#include "ExtCtrls.h"
#include "Shell.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "uDMData.h"

#include <memory>

TFrmReaderDetail::TFrmReaderDetail(TComponent* AOwner) : TFrmBaseD(AOwner) {
    SetName("FrmReaderDetail");
    SetCaption("读者信息");
    SetBorderStyle(bsDialog);
    SetClientWidth(380);
    SetClientHeight(300);
    TBuild b(this);
    ADOqReader = b.Add<TADOQuery>("ADOqReader");
    ADOqReader->SetConnection(DMData ? DMData->ADOConnection1 : nullptr);

    Panel1 = b.Add<TPanel>("Panel1").Caption("").Align(alClient);
    auto panel = b.In(Panel1);
    auto box = [&](const char* labelName, const char* label, const char* name, int top, int width) {
        return panel.Field<TEdit>({12, 80, width}, labelName, label, name, top).ReadOnly().OnKeyDown(KeyDownHandler());
    };
    auto memo = [&](const char* labelName, const char* label, const char* name, int top, int height) {
        return panel.Field<TMemo>({12, 80, 270, height, 3, 60, 16}, labelName, label, name, top)
            .ReadOnly()
            .OnKeyDown(KeyDownHandler());
    };
    EditCode = box("LbCode", "读者编号:", "EditCode", 10, 120);
    EditName = box("LbName", "读者名称:", "EditName", 38, 120);
    EditMail = box("LbMail", "E_Mail:", "EditMail", 66, 200);
    BtMail = panel.Add<TButton>("BtMail")
                 .Caption("发信")
                 .At(290, 65, 60, 23)
                 .OnClick(&TFrmReaderDetail::BtMailClick)
                 .OnKeyDown(KeyDownHandler());
    EditDept = box("LbDept", "部  门:", "EditDept", 94, 200);
    MemoAddr = memo("LbAddr", "地址:", "MemoAddr", 122, 44);
    Memo1 = memo("LbTel", "电话:", "Memo1", 174, 64);
    BtClose = panel.Add<TButton>("BtClose")
                  .Caption("关闭")
                  .At(150, 252, 80, 26)
                  .OnClick([this](TObject*) { Close(); })
                  .OnKeyDown(KeyDownHandler());
}

void TFrmReaderDetail::InitForm() {
    TFrmBaseD::InitForm();
    SetColor(RGB(255, 242, 222));
    Panel1->SetColor(RGB(255, 242, 222));
}

void TFrmReaderDetail::ShowRow() {
    auto text = [this](const char* f) {
        return ADOqReader->IsEmpty() ? std::string() : ADOqReader->FieldByName(f)->AsString();
    };
    EditCode->SetText(text("Code"));
    EditName->SetText(text("Name"));
    EditMail->SetText(text("E_mail"));
    EditDept->SetText(text("Department"));
    MemoAddr->SetText(text("Addr"));
}

void TFrmReaderDetail::BtMailClick(TObject*) { ShellExecuteOpen("mailto:" + EditMail->Text()); }

void ShowReaderDetail(const std::string& readerCode) {
    std::unique_ptr<TFrmReaderDetail> card(new TFrmReaderDetail(Application));
    card->ADOqReader->Close();
    card->ADOqReader->SetStatement({"select * from Readerinfo where Code=?", {readerCode}});
    card->ADOqReader->Open();
    card->ShowRow();
    auto text = [&](const char* f) {
        return card->ADOqReader->IsEmpty() ? std::string() : card->ADOqReader->FieldByName(f)->AsString();
    };
    card->Memo1->Lines()->Add("电话(日):" + text("TelDay"));
    card->Memo1->Lines()->Add("电话(夜):" + text("TelNight"));
    card->Memo1->Lines()->Add("手机:" + text("HandTel"));
    card->ShowModal();
}
