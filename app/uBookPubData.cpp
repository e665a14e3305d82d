// The publisher list; see uBookPubData.h.
#include "uBookPubData.h"

#include "ADODB.h"
#include "Build.h"
#include "Buttons.h"
#include "ComCtrls.h"
#include "ExtCtrls.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "uBookPubDataEdit.h"
#include "uGlobal.h"

#include <memory>

TFrmBookPubData::TFrmBookPubData(TComponent* AOwner) : TMDIBaseData(AOwner) {
    SetName("FrmBookPubData");
    SetCaption("出版社");
    Panel2->SetCaption("出版社");
    BtFind->SetVisible(false);
    BtPrint->SetVisible(false);
    TBuild b(this);
    auto top = b.In(Panel1);
    top.Add<TLabel>("LbCode").Caption("出版社/Isbn:").At(10, 11);
    Editcode = top.Add<TEdit>("Editcode")
                   .At(86, 7, 160, 21)
                   .Hint("支持拼音五笔码查询,输入后回车")
                   .OnKeyPress(&TFrmBookPubData::EditcodeKeyPress);
    SbtFind = top.Add<TSpeedButton>("SbtFind").Caption("查询").At(252, 6, 60, 23).OnClick(&TFrmBookPubData::SbtFindClick);
}

void TFrmBookPubData::InitForm() {
    TMDIBaseData::InitForm();
    ADOqData->Close();
    ADOqData->SQL()->SetText("select * from BookPub order by Isbn");
    ADOqData->Open();
    ReportFile = "BookPubData.rmf";
    HelpTopic = "tszl.htm";
}

void TFrmBookPubData::EditcodeKeyPress(TObject*, char32_t& Key) {
    if (Key != '\r') return;
    Key = 0;
    SbtFindClick(SbtFind);
}

void TFrmBookPubData::SbtFindClick(TObject*) {
    const std::string typed = Editcode->Text();
    ADOqData->Close();
    if (typed.empty()) {
        ADOqData->SetStatement({"select * from BookPub order by Isbn", {}});
    } else {
        const std::string part = "%" + LikeEscaped(typed) + "%", start = LikeEscaped(typed) + "%";
        ADOqData->SetStatement({"select * from BookPub where code like ? escape '\\' or Isbn=? or Py like ? escape "
                                "'\\' or Wb like ? escape '\\' or Wbh like ? escape '\\' order by Isbn",
                                {part, typed, start, start, start}});
    }
    ADOqData->Open();
}

bool TFrmBookPubData::CanDelete() {
    if (ADOqData->IsEmpty()) return true;
    TRowLookup book(ADOqData->Connection(), "select Code from Bookinfo where Publisher=?",
                    {ADOqData->FieldByName("Code")->AsString()});
    if (book.Empty()) return true;
    ShowInfoBox("该出版社还有图书数据,不能删除!");
    return false;
}

void TFrmBookPubData::runEditor(int mode) {
    std::unique_ptr<TFrmBookPubDataEdit> editor(new TFrmBookPubDataEdit(this));
    editor->EditMode = uint8_t(mode);
    editor->KeyField = "Code";
    if (mode != 1) editor->KeyValue = ADOqData->FieldByName("Code")->AsString();
    editor->ShowModal();
    if (!editor->LastSavedCode.empty()) LocateCode = editor->LastSavedCode;
}

void TFrmBookPubData::BtAddClick(TObject*) {
    if (!ADOqData->IsEmpty()) LocateCode = ADOqData->FieldByName("Code")->AsString();
    runEditor(1);
    RequeryAndLocate();
}

void TFrmBookPubData::BtEditClick(TObject*) {
    if (ADOqData->IsEmpty()) return;
    LocateCode = ADOqData->FieldByName("Code")->AsString();
    runEditor(2);
    RequeryAndLocate();
}
