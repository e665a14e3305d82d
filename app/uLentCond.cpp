// The return query's condition dialog; see uLentCond.h.
#include "uLentCond.h"

#include "Build.h"
#include "Buttons.h"
#include "ComCtrls.h"
#include "ConditionFields.h"
#include "ExtCtrls.h"
#include "StdCtrls.h"
#include "uGlobal.h"

TFrmLentCond::TFrmLentCond(TComponent* AOwner) : TFrmBaseCond(AOwner) {
    SetName("FrmLentCond");
    BtConfirm->OnClick = [this](TObject* s) { BtConfirmClick(s); };

    TBuild b(this);
    auto p = b.In(Panel1);
    AddDateRange("还书日期：从", DateFrom, DateTo);
    EditRcode = AddCodeBox(40, "LbRcode", "读者编号：", "EditRcode", "SpeedButton1", SpeedButton1,
                           [this](TObject* s) { SpeedButton1Click(s); });
    EditBcode = AddCodeBox(70, "LbBcode", "图书编号：", "EditBcode", "SpeedButton2", SpeedButton2,
                           [this](TObject* s) { SpeedButton2Click(s); });
    p.Add<TLabel>("LbDept").Caption("部  门：").At(10, 104);
    CmbDepartment = p.Add<TComboBox>("CmbDepartment").At(90, 100, 226, 21).OnKeyDown(KeyDownHandler());
}

void TFrmLentCond::InitForm() {
    TFrmBaseCond::InitForm();
    DateFrom->SetDate(MonthStart(BusinessDate));
    DateTo->SetDate(BusinessDate);
    FillDepartments(CmbDepartment);
    SetActiveControl(DateFrom);
}

TLoanCondition TFrmLentCond::Condition() const {
    TLoanCondition c;
    c.From = DateFrom->Date();
    c.To = DateTo->Date();
    c.Reader = EditRcode->Text();
    c.Item = EditBcode->Text();
    c.Department = CmbDepartment->Text();
    return c;
}

void TFrmLentCond::BtConfirmClick(TObject*) {
    const TLoanCondition c = Condition();
    Where = LentWhere(c);
    Caption = DateRangeCaption("还书日期", c.From, c.To);
    WhereText = Where.Text;
}

void TFrmLentCond::SpeedButton1Click(TObject*) { PickReaderInto(this, EditRcode); }

void TFrmLentCond::SpeedButton2Click(TObject*) { PickBookInto(this, EditBcode); }
