// The item ranking; see uQryBorrowOrder1.h.
#include "uQryBorrowOrder1.h"

#include "Build.h"
#include "ExtCtrls.h"
#include "QueryConditions.h"
#include "StdCtrls.h"
#include "uBorrowOrderCond1.h"

TFrmQryBorrowOrder1::TFrmQryBorrowOrder1(TComponent* AOwner) : TFrmQryBorrowOrder1(AOwner, false) {}

TFrmQryBorrowOrder1::TFrmQryBorrowOrder1(TComponent* AOwner, bool periodicals)
    : TMDIBaseQuery(AOwner), Periodicals(periodicals) {
    SetName(periodicals ? "FrmQryBorrowOrderq1" : "FrmQryBorrowOrder1");
    SetCaption("借书排行榜");
    TBuild b(this);
    LbCaption1 = b.In(Panel1).Add<TLabel>("LbCaption1").Caption("条件:").At(10, 22);
}

void TFrmQryBorrowOrder1::InitForm() {
    TMDIBaseQuery::InitForm();
    HelpTopic = "040301.html";
}

void TFrmQryBorrowOrder1::TakeCondition(const TFrmBorrowOrderCond1& dialog) {
    SetConditionCaption(dialog.Caption);
    LbCaption1->SetCaption(dialog.ThresholdLine);
    WhereText = ItemRankingSql(Periodicals, dialog.From, dialog.To, dialog.MinLoans);
    RunQuery(WhereText);
}

void TFrmQryBorrowOrder1::BtFindClick(TObject*) { AskCondition<TFrmBorrowOrderCond1>(this); }
