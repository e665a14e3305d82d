// The lookup dialog base; see uFindCode.h.
#include "uFindCode.h"

#include "ADODB.h"
#include "ComCtrls.h"
#include "DBGrids.h"
#include "ExtCtrls.h"
#include "Menus.h"
#include "StdCtrls.h"
#include "uDMData.h"

namespace {
constexpr TColor Cream = RGB(255, 242, 222);
constexpr TColor TitleBlue = RGB(157, 231, 255);
} // namespace

TFrmFindCode::TFrmFindCode(TComponent* AOwner) : TFrmBaseD(AOwner) {
    SetName("FrmFindCode");
    SetBorderStyle(bsDialog);
    SetBorderIcons(TBorderIcons{biSystemMenu, biMinimize});
    SetColor(Cream);
    SetClientWidth(560);
    SetClientHeight(380);

    Panel1 = new TPanel(this);
    Panel1->SetName("Panel1");
    Panel1->SetParent(this);
    Panel1->SetCaption("");
    Panel1->SetAlign(alBottom);
    Panel1->SetHeight(44);

    Panel2 = new TPanel(this);
    Panel2->SetName("Panel2");
    Panel2->SetParent(this);
    Panel2->SetCaption("");
    Panel2->SetAlign(alTop);
    Panel2->SetHeight(34);

    DBGrid1 = new TDBGrid(this);
    DBGrid1->SetName("DBGrid1");
    DBGrid1->SetParent(this);
    DBGrid1->SetAlign(alClient);
    DBGrid1->SetReadOnly(true);
    DBGrid1->SetOptions(
        TDBGridOptions{dgTitles, dgColumnResize, dgColLines, dgRowLines, dgRowSelect, dgAlwaysShowSelection});

    Edit1 = new TEdit(this);
    Edit1->SetName("Edit1");
    Edit1->SetParent(Panel2);
    Edit1->SetBounds(8, 6, 200, 21);

    ToolBar1 = new TToolBar(this);
    ToolBar1->SetName("ToolBar1");
    ToolBar1->SetParent(Panel2);
    ToolBar1->SetAlign(alNone);
    ToolBar1->SetFlat(true);
    ToolBar1->SetShowCaptions(true);
    ToolBar1->SetButtonWidth(110);
    ToolBar1->SetButtonHeight(24);
    ToolBar1->SetBounds(216, 4, 130, 26);

    PopupMenu1 = new TPopupMenu(this);
    PopupMenu1->SetName("PopupMenu1");

    TbCaption = new TToolButton(this);
    TbCaption->SetName("TbCaption");
    TbCaption->SetParent(ToolBar1);
    TbCaption->SetStyle(tbsDropDown);
    TbCaption->SetCaption("按编码查找");
    TbCaption->SetDropdownMenu(PopupMenu1);

    BtConfirm = new TButton(this);
    BtConfirm->SetName("BtConfirm");
    BtConfirm->SetParent(Panel1);
    BtConfirm->SetCaption("确定(&C)");
    BtConfirm->SetModalResult(mrNo);
    BtConfirm->SetBounds(290, 10, 80, 25);

    BtCancel = new TButton(this);
    BtCancel->SetName("BtCancel");
    BtCancel->SetParent(Panel1);
    BtCancel->SetCaption("退出(&E)");
    BtCancel->SetCancel(true);
    BtCancel->SetModalResult(mrCancel);
    BtCancel->SetBounds(380, 10, 80, 25);

    BtAdd = new TButton(this);
    BtAdd->SetName("BtAdd");
    BtAdd->SetParent(Panel1);
    BtAdd->SetCaption("增加(&A)");
    BtAdd->SetBounds(200, 10, 80, 25);

    ADOQuery1 = new TADOQuery(this);
    ADOQuery1->SetName("ADOQuery1");
    if (DMData) ADOQuery1->SetConnection(DMData->ADOConnection1);
    ADOQuery1->SetCommandTimeout(5);

    DataSource1 = new TDataSource(this);
    DataSource1->SetName("DataSource1");
    DataSource1->SetDataSet(ADOQuery1);
    DBGrid1->SetDataSource(DataSource1);

    Edit1->OnKeyDown = [this](TObject* s, Word& k, TShiftState sh) { Edit1KeyDown(s, k, sh); };
    DBGrid1->OnKeyPress = [this](TObject* s, char32_t& k) { DBGrid1KeyPress(s, k); };
    DBGrid1->OnDblClick = [this](TObject* s) { BtConfirmClick(s); };
    BtConfirm->OnClick = [this](TObject* s) { BtConfirmClick(s); };
    BtCancel->OnClick = [this](TObject* s) { BtCancelClick(s); };
}

void TFrmFindCode::InitForm() {
    TFrmBaseD::InitForm();
    SetColor(Cream);
    Panel2->SetColor(Cream);
    ToolBar1->SetColor(Cream);
    DBGrid1->SetFixedColor(TitleBlue);
    SearchMode = 0;
}

void TFrmFindCode::Edit1KeyDown(TObject* Sender, Word& Key, TShiftState Shift) {
    if (Key == VK_ESCAPE) {
        FormKeyDown(Sender, Key, Shift);
    } else if (Key == VK_DOWN || Key == VK_RETURN) {
        if (DBGrid1->CanFocus()) DBGrid1->SetFocus();
        Key = 0;
    }
}

void TFrmFindCode::DBGrid1KeyPress(TObject* Sender, char32_t& Key) {
    if (Key == U'\r') BtConfirmClick(Sender);
}

void TFrmFindCode::BtConfirmClick(TObject*) {
    if (!ADOQuery1->Active() || ADOQuery1->IsEmpty()) return;
    ChosenCode = ADOQuery1->FieldByName("code")->AsString();
    if (DBGrid1->Columns()->Count() > 1) ChosenName = ADOQuery1->FieldByName("Name")->AsString();
    Close();
}

void TFrmFindCode::BtCancelClick(TObject*) {
    ChosenCode.clear();
    ChosenName.clear();
    Close();
    ADOQuery1->Close();
}
