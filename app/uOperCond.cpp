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
    AddDateRange("借书日期：从", DateFrom, DateTo);
    p.Add<TLabel>("LbOper").Caption("操作员：").At(10, 44);
    CbxOper = p.Add<TComboBox>("CbxOper").At(90, 40, 226, 21).OnKeyDown(KeyDownHandler());
    EditBcode = AddCodeBox(70, "LbBcode", "图书编号：", "EditBcode", "SpeedButton2", SpeedButton2,
                           [this](TObject* s) { SpeedButton2Click(s); });
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
