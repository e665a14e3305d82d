// The reader ranking; see uQryBorrowOrder.h.
#include "uQryBorrowOrder.h"

#include "Build.h"
#include "ExtCtrls.h"
#include "QueryConditions.h"
#include "StdCtrls.h"
#include "uBorrowOrderCond.h"

TFrmQryBorrowOrder::TFrmQryBorrowOrder(TComponent* AOwner) : TFrmQryBorrowOrder(AOwner, false) {}

TFrmQryBorrowOrder::TFrmQryBorrowOrder(TComponent* AOwner, bool periodicals)
    : TMDIBaseQuery(AOwner), Periodicals(periodicals) {
    SetName(periodicals ? "FrmQryBorrowOrderq" : "FrmQryBorrowOrder");
    SetCaption("读者排行榜");
    TBuild b(this);
    LbCaption1 = b.In(Panel1).Add<TLabel>("LbCaption1").Caption("条件:").At(10, 22);
}

void TFrmQryBorrowOrder::InitForm() {
    TMDIBaseQuery::InitForm();
    HelpTopic = "040301.html";
}

void TFrmQryBorrowOrder::TakeCondition(const TFrmBorrowOrderCond& dialog) {
    SetConditionCaption(dialog.Caption);
    LbCaption1->SetCaption(dialog.ThresholdLine);
    WhereText = ReaderRankingSql(Periodicals, dialog.From, dialog.To, dialog.MinLoans, dialog.MinOverdue);
    RunQuery(WhereText);
}

void TFrmQryBorrowOrder::BtFindClick(TObject*) { AskCondition<TFrmBorrowOrderCond>(this); }
