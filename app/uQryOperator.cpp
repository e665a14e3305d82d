// The operator query; see uQryOperator.h.
#include "uQryOperator.h"

#include "uOperCond.h"

TFrmQryOperator::TFrmQryOperator(TComponent* AOwner) : TFrmQryOperator(AOwner, false) {}

TFrmQryOperator::TFrmQryOperator(TComponent* AOwner, bool periodicals)
    : TMDIBaseQuery(AOwner), Periodicals(periodicals) {
    SetName(periodicals ? "FrmQryOperator1" : "FrmQryOperator");
    SetCaption("操作员查询");
}

void TFrmQryOperator::InitForm() {
    TMDIBaseQuery::InitForm();
    HelpTopic = "040301.html";
}

TBoundSql TFrmQryOperator::Statement() const {
    return WithCondition(std::string("select * from ") + (Periodicals ? "QryBorrow1" : "QryBorrow") + " where ",
                         WhereText);
}

void TFrmQryOperator::TakeCondition(const TFrmOperCond& dialog) {
    WhereText = dialog.Where;
    SetConditionCaption(dialog.Caption);
    RunQuery(Statement());
}

void TFrmQryOperator::BtFindClick(TObject*) { AskCondition<TFrmOperCond>(this); }
