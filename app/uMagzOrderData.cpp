// The subscription list; see uMagzOrderData.h.
#include "uMagzOrderData.h"

#include "ADODB.h"
#include "Build.h"
#include "Buttons.h"
#include "ComCtrls.h"
#include "ExtCtrls.h"
#include "PeriodicalRules.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "uGlobal.h"
#include "uMagzOrderCond.h"
#include "uMagzOrderDataEdit.h"

#include <memory>

TFrmMagzOrderData::TFrmMagzOrderData(TComponent* AOwner) : TMDIBaseData(AOwner) {
    SetName("FrmMagzOrderData");
    SetCaption("期刊征订");
    Panel2->SetCaption("期刊征订");
    BtFind->SetCaption(" 查询(&F)");

    TBuild b(this);
    auto top = b.In(Panel1);
    top.Add<TLabel>("LbCode").Caption("登记编号/名称:").At(10, 11);
    Editcode = top.Add<TEdit>("Editcode").At(100, 7, 150, 21).OnKeyPress(&TFrmMagzOrderData::EditcodeKeyPress);
    SbtFind = top.Add<TSpeedButton>("SbtFind").Caption("查询").At(256, 6, 60, 23).OnClick(&TFrmMagzOrderData::SbtFindClick);
    BtClear = top.Add<TSpeedButton>("BtClear").Caption("清除购齐").At(324, 6, 80, 23).OnClick(
        &TFrmMagzOrderData::BtClearClick);
}

void TFrmMagzOrderData::InitForm() {
    TMDIBaseData::InitForm();
    ADOqData->Close();
    ADOqData->SQL()->SetText("select * from MagzOrder order by Code");
    ADOqData->Open();
    ReportFile = "MagzOrderData.rmf";
    HelpTopic = "tszl.htm";
}

void TFrmMagzOrderData::EditcodeKeyPress(TObject*, char32_t& Key) {
    if (Key != '\r') return;
    Key = 0;
    SbtFindClick(SbtFind);
}

void TFrmMagzOrderData::SbtFindClick(TObject*) {
    ADOqData->Close();
    ADOqData->SetStatement(MagzOrderSearchSql(Editcode->Text()));
    ADOqData->Open();
}

void TFrmMagzOrderData::BtFindClick(TObject* Sender) {
    TMDIBaseData::BtFindClick(Sender);
    std::unique_ptr<TFrmMagzOrderCond> dialog(new TFrmMagzOrderCond(this));
    if (dialog->ShowModal() != mrOk) return;
    ADOqData->Close();
    ADOqData->SetStatement(MagzOrderConditionSql(dialog->Condition));
    ADOqData->Open();
}

void TFrmMagzOrderData::BtClearClick(TObject*) {
    if (Application->MessageBox("是否删除全部已购齐的征订记录？", "询问", MB_OKCANCEL | MB_ICONQUESTION) != IDOK) return;
    ClearFullyReceivedSubscriptions(ADOqData->Connection());
    LocateCode = ADOqData->IsEmpty() ? std::string() : ADOqData->FieldByName("Code")->AsString();
    RequeryAndLocate();
}

void TFrmMagzOrderData::runEditor(int mode) {
    std::unique_ptr<TFrmMagzOrderDataEdit> editor(new TFrmMagzOrderDataEdit(this));
    editor->EditMode = uint8_t(mode);
    editor->KeyField = "Code";
    if (mode != 1) editor->KeyValue = ADOqData->FieldByName("Code")->AsString();
    editor->ShowModal();
    if (!editor->LastSavedCode.empty()) LocateCode = editor->LastSavedCode;
}

void TFrmMagzOrderData::BtAddClick(TObject*) {
    if (!ADOqData->IsEmpty()) LocateCode = ADOqData->FieldByName("Code")->AsString();
    runEditor(1);
    RequeryAndLocate();
}

void TFrmMagzOrderData::BtEditClick(TObject*) {
    if (ADOqData->IsEmpty()) return;
    LocateCode = ADOqData->FieldByName("Code")->AsString();
    runEditor(2);
    RequeryAndLocate();
}
