// The operator query of books ("操作员查询"): the loans an operator made
// in the loan dates of its dialog. The periodical twin is uQryOperator1.
#pragma once

#include "uBaseQuery.h"

class TFrmOperCond;

class TFrmQryOperator : public TMDIBaseQuery {
public:
    explicit TFrmQryOperator(TComponent* AOwner);
    std::string ClassName() const override { return "TFrmQryOperator"; }

    void InitForm() override;
    void BtFindClick(TObject* Sender) override;
    void TakeCondition(const TFrmOperCond& dialog);
    TBoundSql Statement() const;

protected:
    TFrmQryOperator(TComponent* AOwner, bool periodicals);
    bool Periodicals;
};
