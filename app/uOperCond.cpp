// The operator query's condition dialog; see uOperCond.h.
#include "uOperCond.h"

#include "Build.h"
#include "Buttons.h"
#include "ComCtrls.h"
#include "ConditionFields.h"
#include "ExtCtrls.h"
#include "StdCtrls.h"
#include "uGlobal.h"

TFrmOperCond::TFrmOperCond(TComponent* AOwner) : TFrmBaseCond(AOwner) {
    SetName("FrmOperCond");
    BtConfirm->OnClick = [this](TObject* s) { BtConfirmClick(s); };

    TBuild b(this);
    auto p = b.In(Panel1);
    p.Add<TLabel>("LbFrom").Caption("借书日期：从").At(10, 14);
    DateFrom = p.Add<TDateTimePicker>("DateFrom").At(90, 10, 110, 21).OnKeyDown(KeyDownHandler());
    p.Add<TLabel>("LbTo").Caption("到").At(210, 14);
    DateTo = p.Add<TDateTimePicker>("DateTo").At(230, 10, 110, 21).OnKeyDown(KeyDownHandler());
    p.Add<TLabel>("LbOper").Caption("操作员：").At(10, 44);
    CbxOper = p.Add<TComboBox>("CbxOper").At(90, 40, 226, 21).OnKeyDown(KeyDownHandler());
    p.Add<TLabel>("LbBcode").Caption("图书编号：").At(10, 74);
    EditBcode = p.Add<TEdit>("EditBcode").At(90, 70, 226, 21).OnKeyDown(KeyDownHandler());
    SpeedButton2 = p.Add<TSpeedButton>("SpeedButton2")
                       .Caption("...")
                       .At(318, 69, 22, 23)
                       .OnClick(&TFrmOperCond::SpeedButton2Click);
}

void TFrmOperCond::InitForm() {
    TFrmBaseCond::InitForm();
    DateFrom->SetDate(MonthStart(BusinessDate));
    DateTo->SetDate(BusinessDate);
    FillOperators(CbxOper);
    SetActiveControl(DateFrom);
}

TLoanCondition TFrmOperCond::Condition() const {
    TLoanCondition c;
    c.From = DateFrom->Date();
    c.To = DateTo->Date();
    c.Operator = CbxOper->Text();
    c.Item = EditBcode->Text();
    return c;
}

void TFrmOperCond::BtConfirmClick(TObject*) {
    const TLoanCondition c = Condition();
    Where = OperatorWhere(c);
    Caption = DateRangeCaption("借书日期", c.From, c.To);
    WhereText = Where.Text;
}

void TFrmOperCond::SpeedButton2Click(TObject*) { PickBookInto(this, EditBcode); }
