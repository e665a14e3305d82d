// The layout editor; see uSetInterface.h.
#include "uSetInterface.h"

#include "ADODB.h"
#include "Build.h"
#include "Buttons.h"
#include "ExtCtrls.h"
#include "StdCtrls.h"
#include "gridlib/grid/DBGridEh.h"
#include "uDMData.h"

#include <memory>

std::string LayoutTableCode;
bool LayoutConfirmed = false;

bool EditGridLayout(const std::string& tableCode) {
    LayoutTableCode = tableCode;
    // Each use answers for itself: closing with Esc or the box is "no".
    LayoutConfirmed = false;
    std::unique_ptr<TFrmSetInterface> editor(new TFrmSetInterface(Application));
    editor->ShowModal();
    return LayoutConfirmed;
}

TFrmSetInterface::TFrmSetInterface(TComponent* AOwner) : TFrmBaseD(AOwner) {
    SetName("FrmSetInterface");
    SetBorderIcons(TBorderIcons{biSystemMenu, biMinimize});
    SetClientWidth(360);
    SetClientHeight(380);

    TBuild b(this);
    Adoqueryset = b.Add<TADOQuery>("Adoqueryset");
    if (DMData) Adoqueryset->SetConnection(DMData->ADOConnection1);
    // Nothing reaches the database before "确定".
    Adoqueryset->SetLockType(ltBatchOptimistic);
    DataSource1 = b.Add<TDataSource>("DataSource1");
    DataSource1->SetDataSet(Adoqueryset);

    Panel1 = b.Add<TPanel>("Panel1").Caption("").At(8, 8, 344, 320);
    DBGridEh1 = b.In(Panel1)
                    .Add<TDBGridEh>("DBGridEh1")
                    .At(4, 4, 336, 312)
                    .OnKeyDown(&TFrmSetInterface::DBGridEh1KeyDown)
                    .Columns({{"ColumnsName", "列名", 92},
                              {"IsVisible", "显示否", 66},
                              {"ColumnsLength", "列宽", 71},
                              {"TableOrder", "列序", 60}});
    DBGridEh1->SetDataSource(DataSource1);
    DBGridEh1->SetAllowedOperations({alopUpdateEh});
    DBGridEh1->Columns()->Items(1)->SetCheckboxes(true);
    Label1 = b.Add<TLabel>("Label1").Caption("注意:以上各列允许修改!").At(12, 342);
    auto [ok, cancel] = b.OkCancel<TBitBtn>({"BitBtn1", "确定", 184}, {"BitBtn2", "取消", 270}, 338, 78, 27);
    BitBtn1 = ok.OnClick(&TFrmSetInterface::BitBtn1Click).OnKeyDown(&TFrmSetInterface::DBGridEh1KeyDown);
    BitBtn2 = cancel.OnClick(&TFrmSetInterface::BitBtn2Click).OnKeyDown(&TFrmSetInterface::DBGridEh1KeyDown);
    OnClose = [this](TObject* s, TCloseAction& a) { FormClose(s, a); };
}

void TFrmSetInterface::InitForm() {
    TFrmBaseD::InitForm();
    SetColor(RGB(255, 242, 222));
    Panel1->SetColor(RGB(255, 242, 222));
    DBGridEh1->SetFixedColor(RGB(157, 231, 255));
    SetCaption("界面设置");
    Adoqueryset->SetStatement(
        {"select * from TableStructure where TableCode=? order by TableOrder", {LayoutTableCode}});
    Adoqueryset->Open();
    Adoqueryset->First();
    SetActiveControl(DBGridEh1);
}

void TFrmSetInterface::BitBtn1Click(TObject*) {
    if (Adoqueryset->State() == dsEdit || Adoqueryset->State() == dsInsert) Adoqueryset->Post();
    Adoqueryset->UpdateBatch();
    LayoutConfirmed = true;
    Close();
}

void TFrmSetInterface::BitBtn2Click(TObject*) {
    LayoutConfirmed = false;
    Close();
}

void TFrmSetInterface::FormClose(TObject*, TCloseAction&) {
    if (!Adoqueryset->Active()) return;
    if (Adoqueryset->State() == dsEdit || Adoqueryset->State() == dsInsert) Adoqueryset->Cancel();
    Adoqueryset->CancelBatch();
    Adoqueryset->Close();
}

void TFrmSetInterface::DBGridEh1KeyDown(TObject* Sender, Word& Key, TShiftState Shift) {
    if (Key == VK_ESCAPE) FormKeyDown(Sender, Key, Shift);
}
