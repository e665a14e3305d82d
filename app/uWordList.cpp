// The word-list window base; see uWordList.h.
#include "uWordList.h"

#include "ADODB.h"
#include "Build.h"
#include "Buttons.h"
#include "DBGrids.h"
#include "ExtCtrls.h"
#include "Forms.h"
#include "Menus.h"
#include "StdCtrls.h"
#include "uDMData.h"

namespace {
constexpr TColor PaleBlue = RGB(208, 243, 255);
constexpr TColor TitleOrange = RGB(255, 227, 170);
} // namespace

TFrmWordList::TFrmWordList(TComponent* AOwner, const char* name, const char* caption,
                           const std::vector<TWordListRow>& lists)
    : TFrmBaseD(AOwner), lists_(lists) {
    SetName(name);
    SetCaption(caption);
    SetBorderStyle(bsSizeable);
    SetClientWidth(520);
    SetClientHeight(380);
    if (Application->MainForm() && Application->MainForm() != this && Application->MainForm()->FormStyle() == fsMDIForm)
        SetFormStyle(fsMDIChild);

    TBuild b(this);
    AdoqData = b.Add<TADOQuery>("AdoqData").Set(&TADOQuery::SetCursorType, ctStatic);
    AdoqStru = b.Add<TADOQuery>("AdoqStru");
    if (DMData) {
        AdoqData->SetConnection(DMData->ADOConnection1);
        AdoqStru->SetConnection(DMData->ADOConnection1);
    }
    DSData = b.Add<TDataSource>("DSData");
    DSData->SetDataSet(AdoqData);

    TFont bold;
    bold.Assign(Font());
    bold.SetStyle(TFontStyles{fsBold});
    Panel1 = b.Add<TPanel>("Panel1").Caption("").Align(alLeft).Width(96);
    auto left = b.In(Panel1);
    int top = 12;
    for (const TWordListRow& row : lists_) {
        TSpeedButton* button =
            left.Add<TSpeedButton>(row.Button).Caption(row.ButtonCaption).Font(&bold).At(8, top, 80, 28);
        button->SetFlat(true);
        const int index = int(ListButtons.size());
        button->OnClick = [this, index](TObject*) { SelectList(index); };
        ListButtons.push_back(button);
        top += 32;
    }
    SBtExit = left.Add<TSpeedButton>("SBtExit")
                  .Caption("退  出")
                  .Font(&bold)
                  .At(8, top + 8, 80, 28)
                  .OnClick(&TFrmWordList::SBtExitClick);
    SBtExit->SetFlat(true);

    TFont large;
    large.Assign(&bold);
    large.SetSize(14);
    Panel3 = b.Add<TPanel>("Panel3").Caption("").Font(&large).Align(alTop).Height(36);
    Panel4 = b.Add<TPanel>("Panel4").Caption("").Align(alBottom).Height(40);
    auto bottom = b.In(Panel4).Across(120, 8, 25, 12);
    BtAdd = bottom.Add<TButton>({"BtAdd", "新增(F2)", "", 80, &TFrmWordList::BtAddClick});
    BtSave = bottom.Add<TButton>({"BtSave", "保存(F3)", "", 80, &TFrmWordList::BtSaveClick});
    BtDelete = bottom.Add<TButton>({"BtDelete", "删除(F4)", "", 80, &TFrmWordList::BtDeleteClick});

    PopupMenu1 = b.Add<TPopupMenu>("PopupMenu1");
    N1 = b.Add<TMenuItem>("N1").Caption("增加记录").OnClick(&TFrmWordList::BtAddClick);
    N2 = b.Add<TMenuItem>("N2").Caption("删除记录").OnClick(&TFrmWordList::N2Click);
    PopupMenu1->Items()->Add(N1);
    PopupMenu1->Items()->Add(N2);

    DBGrid1 = b.Add<TDBGrid>("DBGrid1")
                  .Align(alClient)
                  .TabOrder(0)
                  .Set(&TDBGrid::SetOptions, TDBGridOptions{dgEditing, dgTitles, dgIndicator, dgColumnResize,
                                                            dgColLines, dgRowLines, dgTabs, dgCancelOnExit})
                  .Set(&TDBGrid::SetDataSource, DSData)
                  .OnKeyDown(&TFrmWordList::DBGrid1KeyDown)
                  .OnKeyPress(&TFrmWordList::DBGrid1KeyPress);
    DBGrid1->SetPopupMenu(PopupMenu1);
    OnClose = [this](TObject* s, TCloseAction& a) { FormClose(s, a); };
}

void TFrmWordList::FormShow(TObject* Sender) {
    TFrmBaseD::FormShow(Sender);
    for (TPanel* p : {Panel1, Panel3, Panel4}) p->SetColor(PaleBlue);
    DBGrid1->SetFixedColor(TitleOrange);
    SelectList(0);
    SetActiveControl(DBGrid1);
}

void TFrmWordList::FormKeyDown(TObject* Sender, Word& Key, TShiftState Shift) {
    switch (Key) {
    case VK_F2: BtAddClick(Sender); break;
    case VK_F3: BtSaveClick(Sender); break;
    case VK_F4: BtDeleteClick(Sender); break;
    default: TFrmBaseD::FormKeyDown(Sender, Key, Shift); return;
    }
    Key = 0;
}

void TFrmWordList::FormClose(TObject*, TCloseAction& Action) {
    AdoqData->Close();
    AdoqStru->Close();
    Action = caFree;
}

bool TFrmWordList::editing() const { return AdoqData->State() == dsEdit || AdoqData->State() == dsInsert; }

bool TFrmWordList::codeEmpty() const {
    // What is still in the grid's cell editor counts: it is the word typed.
    if (editing()) AdoqData->UpdateRecord();
    return AdoqData->FieldByName("Code")->AsString().empty();
}

void TFrmWordList::settlePending() {
    if (!AdoqData->Active() || !editing()) return;
    if (codeEmpty())
        AdoqData->Cancel();
    else
        AdoqData->Post();
}

void TFrmWordList::SelectList(int i) {
    if (i < 0 || i >= int(lists_.size())) return;
    settlePending();
    CurrentTable = lists_[size_t(i)].Table;
    Panel3->SetCaption(lists_[size_t(i)].Caption);
    for (size_t k = 0; k < ListButtons.size(); ++k) ListButtons[k]->SetDown(int(k) == i);
    LoadWordList();
}

void TFrmWordList::LoadWordList() {
    AdoqStru->SetStatement({"select * from TableStructure where TableCode=? order by TableOrder", {CurrentTable}});
    AdoqStru->Open();
    AdoqData->Close();
    DBGrid1->Columns()->Clear();
    for (AdoqStru->First(); !AdoqStru->Eof(); AdoqStru->Next()) {
        TColumn* col = DBGrid1->Columns()->Add();
        col->SetFieldName(AdoqStru->FieldByName("ColumnsCode")->AsString());
        col->Title()->SetCaption(AdoqStru->FieldByName("ColumnsName")->AsString());
        col->Title()->SetAlignment(taCenter);
        TField* width = AdoqStru->FieldByName("ColumnsLength");
        if (!width->IsNull() && width->AsInteger() > 0) col->SetWidth(width->AsInteger());
    }
    AdoqStru->Close();
    // The table name is one of the window's own, never typed.
    AdoqData->SQL()->SetText("select * from " + CurrentTable + " order by code");
    AdoqData->Open();
}

void TFrmWordList::BtAddClick(TObject*) {
    if (!AdoqData->Active()) return;
    settlePending();
    AdoqData->Append();
    if (DBGrid1->CanFocus()) DBGrid1->SetFocus();
}

void TFrmWordList::BtSaveClick(TObject*) {
    if (!AdoqData->Active() || AdoqData->IsEmpty() || !editing() || codeEmpty()) return;
    AdoqData->Post();
}

void TFrmWordList::BtDeleteClick(TObject*) {
    if (!AdoqData->Active() || AdoqData->IsEmpty()) return;
    AdoqData->Delete();
}

void TFrmWordList::N2Click(TObject* Sender) {
    if (!AdoqData->Active() || AdoqData->IsEmpty()) return;
    if (Application->MessageBox("是否删除此记录？", "询问", MB_OKCANCEL | MB_ICONQUESTION) == IDOK)
        BtDeleteClick(Sender);
}

void TFrmWordList::DBGrid1KeyDown(TObject* Sender, Word& Key, TShiftState Shift) {
    if (Key == VK_DELETE && Shift.Empty()) {
        Key = 0;
        N2Click(Sender);
        return;
    }
    FormKeyDown(Sender, Key, Shift);
}

void TFrmWordList::DBGrid1KeyPress(TObject*, char32_t& Key) {
    if (Key != U'\r') return;
    Key = 0;
    const int last = DBGrid1->Columns()->Count() - 1;
    if (DBGrid1->SelectedIndex() < last) {
        DBGrid1->SetSelectedIndex(DBGrid1->SelectedIndex() + 1);
        return;
    }
    if (codeEmpty()) {
        DBGrid1->SetSelectedField(AdoqData->FieldByName("Code"));
        return;
    }
    if (editing()) AdoqData->Post();
    AdoqData->Next();
    if (AdoqData->Eof()) AdoqData->Append();
    DBGrid1->SetSelectedIndex(0);
}

void TFrmWordList::SBtExitClick(TObject*) { Close(); }
