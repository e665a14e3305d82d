// The loan query's condition dialog; see uBorrowCond.h.
#include "uBorrowCond.h"

#include "Build.h"
#include "Buttons.h"
#include "ComCtrls.h"
#include "ConditionFields.h"
#include "ExtCtrls.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "uGlobal.h"

TFrmBorrowCond::TFrmBorrowCond(TComponent* AOwner) : TFrmBaseCond(AOwner) {
    SetName("FrmBorrowCond");
    SetClientHeight(250);
    Panel1->SetHeight(170);
    BtConfirm->SetTop(212);
    BtCancel->SetTop(212);
    BtConfirm->OnClick = [this](TObject* s) { BtConfirmClick(s); };

    TBuild b(this);
    auto p = b.In(Panel1);
    AddDateRange("借书日期：从", DateFrom, DateTo);
    EditRcode = AddCodeBox(40, "LbRcode", "读者编号：", "EditRcode", "SpeedButton1", SpeedButton1,
                           [this](TObject* s) { SpeedButton1Click(s); });
    EditBcode = AddCodeBox(70, "LbBcode", "图书编号：", "EditBcode", "SpeedButton2", SpeedButton2,
                           [this](TObject* s) { SpeedButton2Click(s); });
    p.Add<TLabel>("LbDept").Caption("部  门：").At(10, 104);
    CmbDepartment = p.Add<TComboBox>("CmbDepartment").At(90, 100, 226, 21).OnKeyDown(KeyDownHandler());
    auto states = p.Across(90, 134, 20, 10);
    Rb1 = states.Next(states.Add<TRadioButton>("Rb1").Caption("全部"), 70);
    Rb2 = states.Next(states.Add<TRadioButton>("Rb2").Caption("未还"), 70);
    Rb3 = states.Next(states.Add<TRadioButton>("Rb3").Caption("已还"), 70);
    Rb1->SetChecked(true);
}

void TFrmBorrowCond::InitForm() {
    TFrmBaseCond::InitForm();
    DateFrom->SetDate(MonthStart(BusinessDate));
    DateTo->SetDate(BusinessDate);
    FillDepartments(CmbDepartment);
    SetActiveControl(DateFrom);
}

TLoanCondition TFrmBorrowCond::Condition() const {
    TLoanCondition c;
    c.From = DateFrom->Date();
    c.To = DateTo->Date();
    c.Reader = EditRcode->Text();
    c.Item = EditBcode->Text();
    c.Department = CmbDepartment->Text();
    c.State = Rb2->Checked() ? TLoanCondition::Open : Rb3->Checked() ? TLoanCondition::Returned : TLoanCondition::All;
    return c;
}

void TFrmBorrowCond::BtConfirmClick(TObject*) {
    const TLoanCondition c = Condition();
    Where = BorrowWhere(c);
    Caption = DateRangeCaption("借书日期", c.From, c.To);
    WhereText = Where.Text;
}

void TFrmBorrowCond::SpeedButton1Click(TObject*) { PickReaderInto(this, EditRcode); }

void TFrmBorrowCond::SpeedButton2Click(TObject*) { PickBookInto(this, EditBcode); }
