// The ordering lists' shared window; see uOrderListData.h.
#include "uOrderListData.h"

#include "ADODB.h"
#include "Build.h"
#include "Buttons.h"
#include "ComCtrls.h"
#include "ExtCtrls.h"
#include "OrderRules.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "uGlobal.h"
#include "uOrderDataEdit.h"

#include <memory>

TFrmOrderListData::TFrmOrderListData(TComponent* AOwner, const std::string& table, const char* caption)
    : TMDIBaseData(AOwner), table_(table) {
    SetCaption(caption);
    Panel2->SetCaption(caption);
    BtFind->SetCaption(" 查询(&F)");

    TBuild b(this);
    auto top = b.In(Panel1);
    top.Add<TLabel>("LbCode").Caption("登记编号/名称:").At(10, 11);
    Editcode = top.Add<TEdit>("Editcode").At(100, 7, 150, 21).OnKeyPress(&TFrmOrderListData::EditcodeKeyPress);
    SbtFind = top.Add<TSpeedButton>("SbtFind").Caption("查询").At(256, 6, 60, 23).OnClick(&TFrmOrderListData::SbtFindClick);
    BtClear = top.Add<TSpeedButton>("BtClear").Caption("清除购齐(&Q)").At(324, 6, 90, 23).OnClick(
        &TFrmOrderListData::BtClearClick);
}

void TFrmOrderListData::InitForm() {
    TMDIBaseData::InitForm();
    ADOqData->Close();
    ADOqData->SQL()->SetText("select * from " + table_ + " order by Code");
    ADOqData->Open();
}

void TFrmOrderListData::Reload(const TBoundSql& statement) {
    ADOqData->Close();
    ADOqData->SetStatement(statement);
    ADOqData->Open();
}

void TFrmOrderListData::EditcodeKeyPress(TObject*, char32_t& Key) {
    if (Key != '\r') return;
    Key = 0;
    SbtFindClick(SbtFind);
}

void TFrmOrderListData::SbtFindClick(TObject*) { Reload(SearchSql(Editcode->Text())); }

void TFrmOrderListData::BtClearClick(TObject*) {
    if (Application->MessageBox("是否删除全部已购齐的征订记录？", "询问", MB_OKCANCEL | MB_ICONQUESTION) != IDOK) return;
    ClearFullyReceivedOrders(ADOqData->Connection(), table_);
    LocateCode = ADOqData->IsEmpty() ? std::string() : ADOqData->FieldByName("Code")->AsString();
    RequeryAndLocate();
}

void TFrmOrderListData::runEditor(int mode) {
    std::unique_ptr<TFrmOrderDataEdit> editor(CreateEditor());
    editor->EditMode = uint8_t(mode);
    editor->KeyField = "Code";
    if (mode != 1) editor->KeyValue = ADOqData->FieldByName("Code")->AsString();
    editor->ShowModal();
    if (!editor->LastSavedCode.empty()) LocateCode = editor->LastSavedCode;
}

void TFrmOrderListData::BtAddClick(TObject*) {
    if (!ADOqData->IsEmpty()) LocateCode = ADOqData->FieldByName("Code")->AsString();
    runEditor(1);
    RequeryAndLocate();
}

void TFrmOrderListData::BtEditClick(TObject*) {
    if (ADOqData->IsEmpty()) return;
    LocateCode = ADOqData->FieldByName("Code")->AsString();
    runEditor(2);
    RequeryAndLocate();
}
