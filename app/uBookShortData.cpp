// The book ordering list; see uBookShortData.h.
#include "uBookShortData.h"

#include "ADODB.h"
#include "OrderRules.h"
#include "uBookShortCond.h"
#include "uBookShortDataEdit.h"

#include <memory>

TFrmBookShortData::TFrmBookShortData(TComponent* AOwner) : TFrmOrderListData(AOwner, "BookShort", "图书征订") {
    SetName("FrmBookShortData");
}

void TFrmBookShortData::InitForm() {
    TFrmOrderListData::InitForm();
    ReportFile = "BookShortData.rmf";
    HelpTopic = "tszl.htm";
}

TBoundSql TFrmBookShortData::SearchSql(const std::string& typed) const { return BookShortSearchSql(typed); }

TFrmOrderDataEdit* TFrmBookShortData::CreateEditor() { return new TFrmBookShortDataEdit(this); }

void TFrmBookShortData::BtFindClick(TObject* Sender) {
    TMDIBaseData::BtFindClick(Sender);
    std::unique_ptr<TFrmBookShortCond> dialog(new TFrmBookShortCond(this));
    if (dialog->ShowModal() != mrOk) return;
    Reload(BookShortConditionSql(dialog->Condition));
}
