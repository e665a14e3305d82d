// The overdue query; see uQryBorrowList.h.
#include "uQryBorrowList.h"

#include "Build.h"
#include "Buttons.h"
#include "ComCtrls.h"
#include "ConditionFields.h"
#include "ExtCtrls.h"
#include "QueryConditions.h"
#include "StdCtrls.h"
#include "uGlobal.h"

TFrmQryBorrowList::TFrmQryBorrowList(TComponent* AOwner) : TFrmQryBorrowList(AOwner, false) {}

TFrmQryBorrowList::TFrmQryBorrowList(TComponent* AOwner, bool periodicals)
    : TMDIBaseQuery(AOwner), Periodicals(periodicals) {
    SetName(periodicals ? "FrmQryBorrowList1" : "FrmQryBorrowList");
    SetCaption("逾期查询");
    BtFind->SetVisible(false);
    LbCaption->SetTop(14);
    TBuild b(this);
    auto p = b.In(Panel1);
    DTPDate = p.Add<TDateTimePicker>("DTPDate").At(60, 10, 110, 21).OnChange(&TFrmQryBorrowList::RunList);
    Rbt1 = p.Add<TRadioButton>("Rbt1")
               .Caption("今日超期")
               .At(190, 12, 80, 17)
               .OnClick(&TFrmQryBorrowList::RunList)
               .OnMouseUp(&TFrmQryBorrowList::RadioMouseUp)
               .OnKeyUp(&TFrmQryBorrowList::RadioKeyUp);
    Rbt2 = p.Add<TRadioButton>("Rbt2")
               .Caption("今日到期")
               .At(280, 12, 80, 17)
               .OnClick(&TFrmQryBorrowList::RunList)
               .OnMouseUp(&TFrmQryBorrowList::RadioMouseUp)
               .OnKeyUp(&TFrmQryBorrowList::RadioKeyUp);
    p.Add<TLabel>("LbDept").Caption("部门:").At(380, 14);
    CmbDepartment = p.Add<TComboBox>("CmbDepartment").At(414, 10, 140, 21);
    Rbt1->SetChecked(true);
}

void TFrmQryBorrowList::InitForm() {
    TMDIBaseQuery::InitForm();
    HelpTopic = "040301.html";
    if (started_) return;
    started_ = true;
    DTPDate->SetDate(BusinessDate);
    FillDepartments(CmbDepartment);
    RunList(nullptr);
}

// A radio button's OnClick comes only with a change of choice. A click (or
// Space) on the one already chosen runs the list as well: that is how a
// department picked since takes effect. Both run before the button itself
// takes the release, so Checked() still tells whether it was chosen.
void TFrmQryBorrowList::RadioMouseUp(TObject* Sender, TMouseButton Button, TShiftState, int X, int Y) {
    auto* r = static_cast<TRadioButton*>(Sender);
    const TRect area = r->ClientRect();
    if (Button == mbLeft && r->Checked() && X >= 0 && Y >= 0 && X < area.Width() && Y < area.Height()) RunList(Sender);
}

void TFrmQryBorrowList::RadioKeyUp(TObject* Sender, Word& Key, TShiftState Shift) {
    if (Key == VK_SPACE && Shift.Empty() && static_cast<TRadioButton*>(Sender)->Checked()) RunList(Sender);
}

void TFrmQryBorrowList::RunList(TObject*) {
    if (!started_) return;
    const TDateTime day = DTPDate->Date();
    ConditionCaption = DayCaption(day);
    RunQuery(OverdueQuerySql(Periodicals, Rbt1->Checked(), day, CmbDepartment->Text()));
}
