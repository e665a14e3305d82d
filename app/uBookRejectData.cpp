// The book write-off list; see uBookRejectData.h.
#include "uBookRejectData.h"

#include "ADODB.h"
#include "BookRules.h"
#include "Build.h"
#include "Buttons.h"
#include "ComCtrls.h"
#include "ExtCtrls.h"
#include "StdCtrls.h"
#include "uBookRejectDataEdit.h"
#include "uFindBook.h"
#include "uFindReader.h"

#include <memory>

TFrmBookRejectData::TFrmBookRejectData(TComponent* AOwner) : TMDIBaseData(AOwner) {
    SetName("FrmBookRejectData");
    SetCaption("图书报废");
    Panel2->SetCaption("图书报废");
    BtFind->SetVisible(false);

    TBuild b(this);
    auto top = b.In(Panel1);
    top.Add<TLabel>("LbBook").Caption("图书编号:").At(8, 11);
    EditBook = top.Add<TEdit>("EditBook")
                   .At(66, 7, 120, 21)
                   .OnEnter([this](TObject*) { EditReader->SetText(""); })
                   .OnKeyPress(&TFrmBookRejectData::EditBookKeyPress)
                   .OnKeyDown(KeyDownHandler());
    SbtBook = top.Add<TSpeedButton>("SbtBook").Caption("...").Hint("选择图书").At(188, 7, 22, 21).OnClick(
        &TFrmBookRejectData::SbtBookClick);
    top.Add<TLabel>("LbReader").Caption("读者编号:").At(226, 11);
    EditReader = top.Add<TEdit>("EditReader")
                     .At(284, 7, 120, 21)
                     .OnEnter([this](TObject*) { EditBook->SetText(""); })
                     .OnKeyPress(&TFrmBookRejectData::EditBookKeyPress)
                     .OnKeyDown(KeyDownHandler());
    SbtReader = top.Add<TSpeedButton>("SbtReader").Caption("...").Hint("选择读者").At(406, 7, 22, 21).OnClick(
        &TFrmBookRejectData::SbtReaderClick);
    SbtFind = top.Add<TSpeedButton>("SbtFind").Caption("查询").At(440, 6, 60, 23).OnClick(
        &TFrmBookRejectData::SbtFindClick);
}

void TFrmBookRejectData::InitForm() {
    TMDIBaseData::InitForm();
    ADOqData->Close();
    ADOqData->SQL()->SetText("select * from QryReject order by Code");
    ADOqData->Open();
    ReportFile = "BookRejectData.rmf";
    HelpTopic = "tszl.htm";
}

void TFrmBookRejectData::EditBookKeyPress(TObject*, char32_t& Key) {
    if (Key != '\r') return;
    Key = 0;
    SbtFind->Click();
}

void TFrmBookRejectData::SbtFindClick(TObject*) {
    TBoundSql s{"select * from QryReject order by Code", {}};
    if (!EditBook->Text().empty())
        s = {"select * from QryReject where Code like ? escape '\\' order by Code", {"%" + LikeEscaped(EditBook->Text()) + "%"}};
    else if (!EditReader->Text().empty())
        s = {"select * from QryReject where RCode like ? escape '\\' order by Code",
             {"%" + LikeEscaped(EditReader->Text()) + "%"}};
    ADOqData->Close();
    ADOqData->SetStatement(s);
    ADOqData->Open();
}

void TFrmBookRejectData::SbtBookClick(TObject*) {
    std::unique_ptr<TFrmFindBook> find(new TFrmFindBook(this));
    find->ShowModal();
    if (!find->ChosenCode.empty()) EditBook->SetText(find->ChosenCode);
}

void TFrmBookRejectData::SbtReaderClick(TObject*) {
    std::unique_ptr<TFrmFindReader> find(new TFrmFindReader(this));
    find->ShowModal();
    if (!find->ChosenCode.empty()) EditReader->SetText(find->ChosenCode);
}

void TFrmBookRejectData::BeforeDelete() { DeleteWriteOffs(ADOqData->Connection(), ADOqData->FieldByName("Code")->AsString()); }

void TFrmBookRejectData::runEditor(uint8_t mode) {
    std::unique_ptr<TFrmBookRejectDataEdit> editor(new TFrmBookRejectDataEdit(this));
    editor->EditMode = mode;
    if (mode == 2) {
        editor->KeyField = KeyColumn;
        editor->KeyValue = ADOqData->FieldByName("Code")->AsString();
        editor->EditRejectId = ADOqData->FieldByName("RejectId")->AsLargeInt();
    }
    editor->ShowModal();
    if (!editor->LastSavedCode.empty()) LocateCode = editor->LastSavedCode;
}

void TFrmBookRejectData::BtAddClick(TObject* Sender) {
    if (!ADOqData->IsEmpty()) LocateCode = ADOqData->FieldByName("Code")->AsString();
    runEditor(1);
    TMDIBaseData::BtAddClick(Sender);
    ADOqData->Locate("code", Variant(LocateCode), loCaseInsensitive);
}

void TFrmBookRejectData::BtEditClick(TObject* Sender) {
    if (ADOqData->IsEmpty()) return;
    LocateCode = ADOqData->FieldByName("Code")->AsString();
    runEditor(2);
    TMDIBaseData::BtEditClick(Sender);
    if (!KeyColumn.empty()) ADOqData->Locate("code", Variant(LocateCode), loCaseInsensitive);
}
