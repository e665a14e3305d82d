// The subscription list; see uMagzOrderData.h.
#include "uMagzOrderData.h"

#include "ADODB.h"
#include "PeriodicalRules.h"
#include "uMagzOrderCond.h"
#include "uMagzOrderDataEdit.h"

#include <memory>

TFrmMagzOrderData::TFrmMagzOrderData(TComponent* AOwner) : TFrmOrderListData(AOwner, "MagzOrder", "期刊征订") {
    SetName("FrmMagzOrderData");
}

void TFrmMagzOrderData::InitForm() {
    TFrmOrderListData::InitForm();
    ReportFile = "MagzOrderData.rmf";
    HelpTopic = "tszl.htm";
}

TBoundSql TFrmMagzOrderData::SearchSql(const std::string& typed) const { return MagzOrderSearchSql(typed); }

TFrmOrderDataEdit* TFrmMagzOrderData::CreateEditor() { return new TFrmMagzOrderDataEdit(this); }

void TFrmMagzOrderData::BtFindClick(TObject* Sender) {
    TMDIBaseData::BtFindClick(Sender);
    std::unique_ptr<TFrmMagzOrderCond> dialog(new TFrmMagzOrderCond(this));
    if (dialog->ShowModal() != mrOk) return;
    Reload(MagzOrderConditionSql(dialog->Condition));
}
