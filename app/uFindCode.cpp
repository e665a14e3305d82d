// The lookup dialog base; see uFindCode.h.
#include "uFindCode.h"

#include "ADODB.h"
#include "Build.h"
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

    TBuild b(this);
    // Tab goes as the eye reads: the search box, the list, then the buttons.
    Panel1 = b.Add<TPanel>("Panel1").Caption("").Align(alBottom).Height(44);
    Panel2 = b.Add<TPanel>("Panel2").Caption("").Align(alTop).Height(34).TabOrder(0);
    DBGrid1 = b.Add<TDBGrid>("DBGrid1")
                  .Align(alClient)
                  .TabOrder(1)
                  .ReadOnly()
                  .Set(&TDBGrid::SetOptions, TDBGridOptions{dgTitles, dgColumnResize, dgColLines, dgRowLines,
                                                            dgRowSelect, dgAlwaysShowSelection})
                  .OnKeyPress(&TFrmFindCode::DBGrid1KeyPress)
                  .OnDblClick(&TFrmFindCode::BtConfirmClick);
    auto search = b.In(Panel2);
    Edit1 = search.Add<TEdit>("Edit1").At(8, 6, 200, 21).OnKeyDown(&TFrmFindCode::Edit1KeyDown);
    ToolBar1 = search.Add<TToolBar>("ToolBar1")
                   .Align(alNone)
                   .Set(&TToolBar::SetFlat, true)
                   .Set(&TToolBar::SetShowCaptions, true)
                   .Set(&TToolBar::SetButtonWidth, 110)
                   .Set(&TToolBar::SetButtonHeight, 24)
                   .At(216, 4, 130, 26);
    PopupMenu1 = b.Add<TPopupMenu>("PopupMenu1");
    TbCaption = b.In(ToolBar1)
                    .Add<TToolButton>("TbCaption")
                    .Set(&TToolButton::SetStyle, tbsDropDown)
                    .Caption("按编码查找")
                    .Set(&TToolButton::SetDropdownMenu, PopupMenu1);
    auto buttons = b.In(Panel1);
    auto [confirm, cancel] = buttons.OkCancel<TButton>({"BtConfirm", "确定(&C)", 290, mrNo},
                                                       {"BtCancel", "退出(&E)", 380, mrCancel}, 10, 80, 25);
    BtConfirm = confirm.OnClick(&TFrmFindCode::BtConfirmClick);
    BtCancel = cancel.OnClick(&TFrmFindCode::BtCancelClick);
    BtAdd = buttons.Add<TButton>("BtAdd").Caption("增加(&A)").At(200, 10, 80, 25).TabOrder(0);

    ADOQuery1 = b.Add<TADOQuery>("ADOQuery1");
    if (DMData) ADOQuery1->SetConnection(DMData->ADOConnection1);
    ADOQuery1->SetCommandTimeout(5);
    DataSource1 = b.Add<TDataSource>("DataSource1");
    DataSource1->SetDataSet(ADOQuery1);
    DBGrid1->SetDataSource(DataSource1);
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
