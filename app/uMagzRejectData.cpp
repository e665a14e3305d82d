// The periodical write-off list; see uMagzRejectData.h.
#include "uMagzRejectData.h"

#include "ADODB.h"
#include "Build.h"
#include "Buttons.h"
#include "ComCtrls.h"
#include "ExtCtrls.h"
#include "PeriodicalRules.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "uFindMagz.h"
#include "uFindReader.h"
#include "uGlobal.h"
#include "uMagzRejectDataEdit.h"

#include <memory>

TFrmMagzRejectData::TFrmMagzRejectData(TComponent* AOwner) : TMDIBaseData(AOwner) {
    SetName("FrmMagzRejectData");
    SetCaption("期刊报废");
    Panel2->SetCaption("期刊报废");
    BtFind->SetVisible(false);

    TBuild b(this);
    auto top = b.In(Panel1);
    top.Add<TLabel>("LbBook").Caption("期刊编号:").At(10, 11);
    EditBook = top.Add<TEdit>("EditBook")
                   .At(70, 7, 110, 21)
                   .OnEnter([this](TObject*) { EditReader->SetText(""); })
                   .OnKeyPress(&TFrmMagzRejectData::EditBookKeyPress);
    SbtBook = top.Add<TSpeedButton>("SbtBook").Caption("...").At(182, 7, 22, 21).Hint("选择期刊").OnClick(
        &TFrmMagzRejectData::SbtBookClick);
    top.Add<TLabel>("LbReader").Caption("读者编号:").At(216, 11);
    EditReader = top.Add<TEdit>("EditReader")
                     .At(276, 7, 110, 21)
                     .OnEnter([this](TObject*) { EditBook->SetText(""); })
                     .OnKeyPress(&TFrmMagzRejectData::EditBookKeyPress);
    SbtReader = top.Add<TSpeedButton>("SbtReader").Caption("...").At(388, 7, 22, 21).Hint("选择读者").OnClick(
        &TFrmMagzRejectData::SbtReaderClick);
    SbtFind = top.Add<TSpeedButton>("SbtFind").Caption("查询").At(420, 6, 60, 23).OnClick(
        &TFrmMagzRejectData::SbtFindClick);
}

void TFrmMagzRejectData::InitForm() {
    TMDIBaseData::InitForm();
    ADOqData->Close();
    ADOqData->SQL()->SetText("select * from QryReject1 order by Code");
    ADOqData->Open();
    ReportFile = "MagzRejectData.rmf";
    HelpTopic = "tszl.htm";
}

void TFrmMagzRejectData::EditBookKeyPress(TObject*, char32_t& Key) {
    if (Key != '\r') return;
    Key = 0;
    SbtFindClick(SbtFind);
}

void TFrmMagzRejectData::SbtBookClick(TObject*) {
    std::unique_ptr<TFrmFindMagz> lookup(new TFrmFindMagz(this));
    lookup->ShowModal();
    if (!lookup->ChosenCode.empty()) EditBook->SetText(lookup->ChosenCode);
}

void TFrmMagzRejectData::SbtReaderClick(TObject*) {
    std::unique_ptr<TFrmFindReader> lookup(new TFrmFindReader(this));
    lookup->ShowModal();
    if (!lookup->ChosenCode.empty()) EditReader->SetText(lookup->ChosenCode);
}

void TFrmMagzRejectData::SbtFindClick(TObject*) {
    ADOqData->Close();
    ADOqData->SetStatement(MagzRejectSearchSql(EditBook->Text(), EditReader->Text()));
    ADOqData->Open();
}

void TFrmMagzRejectData::runEditor(int mode) {
    std::unique_ptr<TFrmMagzRejectDataEdit> editor(new TFrmMagzRejectDataEdit(this));
    editor->EditMode = uint8_t(mode);
    editor->KeyField = "Code";
    // The very row listed: one copy may have several write-offs.
    if (mode != 1) editor->RejectRowId = ADOqData->FieldByName("RejectId")->AsInteger();
    editor->ShowModal();
    if (!editor->LastSavedCode.empty()) LocateCode = editor->LastSavedCode;
}

void TFrmMagzRejectData::BtAddClick(TObject*) {
    if (!ADOqData->IsEmpty()) LocateCode = ADOqData->FieldByName("Code")->AsString();
    runEditor(1);
    RequeryAndLocate();
}

void TFrmMagzRejectData::BtEditClick(TObject*) {
    if (ADOqData->IsEmpty()) return;
    LocateCode = ADOqData->FieldByName("Code")->AsString();
    runEditor(2);
    RequeryAndLocate();
}

void TFrmMagzRejectData::BtDeleteClick(TObject*) {
    if (Application->MessageBox("是否删除此记录？", "询问", MB_OKCANCEL | MB_ICONQUESTION) != IDOK) return;
    TADOConnection* conn = ADOqData->Connection();
    if (!conn->Connected()) conn->Open();
    try {
        TTransaction tx(conn);
        if (!ADOqData->IsEmpty()) DeleteMagzWriteOffs(conn, ADOqData->FieldByName("Code")->AsString());
        tx.Commit();
    } catch (const EDatabaseError&) {
        ShowInfoBox("删除出错！");
        Abort();
    }
    LocateCode = ADOqData->IsEmpty() ? std::string() : ADOqData->FieldByName("Code")->AsString();
    RequeryAndLocate();
}
