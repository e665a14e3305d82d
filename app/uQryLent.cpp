// The return query; see uQryLent.h.
#include "uQryLent.h"

#include "Build.h"
#include "ExtCtrls.h"
#include "StdCtrls.h"
#include "uLentCond.h"

TFrmQryLent::TFrmQryLent(TComponent* AOwner) : TFrmQryLent(AOwner, false) {}

TFrmQryLent::TFrmQryLent(TComponent* AOwner, bool periodicals) : TMDIBaseQuery(AOwner), Periodicals(periodicals) {
    SetName(periodicals ? "FrmQryLent1" : "FrmQryLent");
    SetCaption("还书查询");
    TBuild b(this);
    ChkDest = b.In(Panel1)
                  .Add<TCheckBox>("ChkDest")
                  .Caption("未交罚款")
                  .At(10, 20, 90, 17)
                  .OnClick(&TFrmQryLent::ChkDestClick);
}

void TFrmQryLent::InitForm() {
    TMDIBaseQuery::InitForm();
    HelpTopic = "040301.html";
}

TBoundSql TFrmQryLent::Statement() const {
    const std::string view = Periodicals ? "QryBorrow1" : "QryBorrow";
    const std::string unpaid = ChkDest->Checked() ? "IsPay=false and ExceedFund<>0 and " : "";
    return WithCondition("select * from " + view + " where State='已还' and " + unpaid, WhereText);
}

void TFrmQryLent::TakeCondition(const TFrmLentCond& dialog) {
    WhereText = dialog.Where;
    SetConditionCaption(dialog.Caption);
    RunQuery(Statement());
}

void TFrmQryLent::BtFindClick(TObject*) { AskCondition<TFrmLentCond>(this); }

void TFrmQryLent::ChkDestClick(TObject*) {
    if (WhereText.Text.empty()) return;
    RunQuery(Statement());
}
