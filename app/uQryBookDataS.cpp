// The holdings by class; see uQryBookDataS.h.
#include "uQryBookDataS.h"

#include "Build.h"
#include "Buttons.h"
#include "ClassBox.h"
#include "ExtCtrls.h"
#include "QueryConditions.h"
#include "StdCtrls.h"
#include "gridlib/grid/DBGridEh.h"
#include "uGlobal.h"

TFrmQryBookDataS::TFrmQryBookDataS(TComponent* AOwner) : TFrmQryBookDataS(AOwner, false) {}

TFrmQryBookDataS::TFrmQryBookDataS(TComponent* AOwner, bool periodicals)
    : TMDIBaseQuery(AOwner), Periodicals(periodicals) {
    SetName(periodicals ? "FrmQryMagzDataS" : "FrmQryBookDataS");
    SetCaption(periodicals ? "馆藏期刊分类统计" : "馆藏图书分类统计");
    ADOQueryBill->SetCursorType(ctStatic);
    TBuild b(this);
    auto p = b.In(Panel1);
    p.Add<TLabel>("LbSort").Caption("类别：").At(10, 12);
    EditSort = p.Add<TEdit>("EditSort")
                   .At(50, 8, 120, 21)
                   .OnChange(&TFrmQryBookDataS::EditSortChange)
                   .OnKeyDown(&TFrmQryBookDataS::EditSortKeyDown);
    SpeedButton1 = p.Add<TSpeedButton>("SpeedButton1")
                       .Caption("...")
                       .Hint("点击按钮或按+/F5键选择设定数据")
                       .At(172, 7, 22, 23)
                       .OnClick(&TFrmQryBookDataS::SpeedButton1Click);
    p.Add<TLabel>("LbState").Caption("状态:").At(210, 12);
    CmbState = p.Add<TComboBox>("CmbState").At(246, 8, 90, 21);
    for (const char* s : {"在馆", "外借", "报废"}) CmbState->Items()->Add(s);
    LbCaption->SetVisible(false);
    DBGridEh1->Columns()->Clear();
    AddColumns(DBGridEh1, {{"Sortcode", "分类编号", 97},
                           {"SortName", "分类名称", 168},
                           {"BookSum", "金额", 132},
                           {"BookQty", "册数", 130}});
}

void TFrmQryBookDataS::InitForm() {
    TMDIBaseQuery::InitForm();
    if (started_) return;
    started_ = true;
    SumFooters({"BookQty", "BookSum"});
    BtFindClick(BtFind);
}

void TFrmQryBookDataS::BtFindClick(TObject*) {
    std::string parent = "00";
    if (!EditSort->Text().empty()) {
        parent = EditSort->Hint();
        if (parent.empty()) {
            ShowInfoBox("无此类别");
            return;
        }
    }
    RunQuery(ClassHoldingsSql(Periodicals, parent, CmbState->Text()));
}

void TFrmQryBookDataS::SpeedButton1Click(TObject*) { PickClassInto(this, EditSort); }

void TFrmQryBookDataS::EditSortChange(TObject*) { EditSort->SetHint(ClassKeyOf(EditSort->Text())); }

void TFrmQryBookDataS::EditSortKeyDown(TObject* Sender, Word& Key, TShiftState Shift) {
    if (Key == VK_F5 || Key == VK_ADD) {
        Key = 0;
        SpeedButton1Click(SpeedButton1);
        return;
    }
    FormKeyDown(Sender, Key, Shift);
}
