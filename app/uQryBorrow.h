// The loan query of books ("借书查询"): the loan rows of the condition from
// its dialog, optionally only items somebody has reserved ("有预约").
// The periodical twin is uQryBorrow1. The find button asks again; the
// check box reruns the current condition.
#pragma once

#include "uBaseQuery.h"

class TCheckBox;
class TFrmBorrowCond;

class TFrmQryBorrow : public TMDIBaseQuery {
public:
    explicit TFrmQryBorrow(TComponent* AOwner);
    std::string ClassName() const override { return "TFrmQryBorrow"; }

    void InitForm() override;
    void BtFindClick(TObject* Sender) override;
    void ChkDestClick(TObject* Sender);
    // The dialog's condition and caption; runs the result.
    void TakeCondition(const TFrmBorrowCond& dialog);
    // The statement for the check box as it is, with WhereText.
    TBoundSql Statement() const;

    TCheckBox* ChkDest;

protected:
    TFrmQryBorrow(TComponent* AOwner, bool periodicals);
    bool Periodicals;
};
