// The loan query; see uQryBorrow.h.
#include "uQryBorrow.h"

#include "Build.h"
#include "ExtCtrls.h"
#include "StdCtrls.h"
#include "uBorrowCond.h"

TFrmQryBorrow::TFrmQryBorrow(TComponent* AOwner) : TFrmQryBorrow(AOwner, false) {}

TFrmQryBorrow::TFrmQryBorrow(TComponent* AOwner, bool periodicals)
    : TMDIBaseQuery(AOwner), Periodicals(periodicals) {
    SetName(periodicals ? "FrmQryBorrow1" : "FrmQryBorrow");
    SetCaption("借书查询");
    TBuild b(this);
    ChkDest = b.In(Panel1)
                  .Add<TCheckBox>("ChkDest")
                  .Caption("有预约")
                  .At(10, 20, 80, 17)
                  .OnClick(&TFrmQryBorrow::ChkDestClick);
}

void TFrmQryBorrow::InitForm() {
    TMDIBaseQuery::InitForm();
    HelpTopic = "040301.html";
}

TBoundSql TFrmQryBorrow::Statement() const {
    const std::string view = Periodicals ? "QryBorrow1" : "QryBorrow";
    const std::string loans = Periodicals ? "Borrowinfo1" : "Borrowinfo";
    if (ChkDest->Checked())
        return WithCondition("select * from " + view + " where Code in (select code from " + loans +
                                 " where State='预约')  and ",
                             WhereText);
    return WithCondition("select * from " + view + " where ", WhereText);
}

void TFrmQryBorrow::TakeCondition(const TFrmBorrowCond& dialog) {
    WhereText = dialog.Where;
    SetConditionCaption(dialog.Caption);
    RunQuery(Statement());
}

void TFrmQryBorrow::BtFindClick(TObject*) { AskCondition<TFrmBorrowCond>(this); }

void TFrmQryBorrow::ChkDestClick(TObject*) {
    // No condition yet: nothing to run (a statement ending in "where").
    if (WhereText.Text.empty()) return;
    RunQuery(Statement());
}
