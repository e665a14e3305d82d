// The return query of books ("还书查询"): the returned loans of the
// condition from its dialog, with their fines; "未交罚款" keeps those whose
// fine is not paid yet. The periodical twin is uQryLent1.
#pragma once

#include "uBaseQuery.h"

class TCheckBox;
class TFrmLentCond;

class TFrmQryLent : public TMDIBaseQuery {
public:
    explicit TFrmQryLent(TComponent* AOwner);
    std::string ClassName() const override { return "TFrmQryLent"; }

    void InitForm() override;
    void BtFindClick(TObject* Sender) override;
    void ChkDestClick(TObject* Sender);
    void TakeCondition(const TFrmLentCond& dialog);
    TBoundSql Statement() const;

    TCheckBox* ChkDest;

protected:
    TFrmQryLent(TComponent* AOwner, bool periodicals);
    bool Periodicals;
};
