// The overdue query of books ("逾期查询"): the open loans past due on the
// picked day ("今日超期") or due that very day ("今日到期"), of one
// department when one is chosen. A click on either radio button (the
// chosen one too) or a new date runs it again; a department chosen takes
// effect with the next run. The
// periodical twin is uQryBorrowList1.
#pragma once

#include "uBaseQuery.h"

class TDateTimePicker;
class TRadioButton;
class TComboBox;

class TFrmQryBorrowList : public TMDIBaseQuery {
public:
    explicit TFrmQryBorrowList(TComponent* AOwner);
    std::string ClassName() const override { return "TFrmQryBorrowList"; }

    void InitForm() override;
    // The list for the picked day, button and department.
    void RunList(TObject* Sender);
    void RadioMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void RadioKeyUp(TObject* Sender, Word& Key, TShiftState Shift);

    TDateTimePicker* DTPDate;
    TRadioButton* Rbt1;
    TRadioButton* Rbt2;
    TComboBox* CmbDepartment;

protected:
    TFrmQryBorrowList(TComponent* AOwner, bool periodicals);
    bool Periodicals;

private:
    bool started_ = false;
};
