// The book ordering condition dialog; see uBookShortCond.h.
#include "uBookShortCond.h"

#include "Build.h"
#include "ExtCtrls.h"
#include "StdCtrls.h"

TFrmBookShortCond::TFrmBookShortCond(TComponent* AOwner) : TFrmOrderCond(AOwner, "中文名称：", 134) {
    SetName("FrmBookShortCond");
    BtConfirm->OnClick = [this](TObject* s) { BtConfirmClick(s); };
    TBuild b(this);
    auto p = b.In(Panel1);
    EditYName = p.Field<TEdit>(LeftColumn(), "LbYName", "原文名称：", "EditYName", 64);
    EditWriter = p.Field<TEdit>(RightColumn(), "LbWriter", "作者：", "EditWriter", 64);
    EditPublisher = p.Field<TEdit>(LeftColumn(), "LbPublisher", "出版社：", "EditPublisher", 92);
    EditTranslator = p.Field<TEdit>(RightColumn(), "LbTranslator", "译者：", "EditTranslator", 92);
}

void TFrmBookShortCond::BtConfirmClick(TObject*) {
    Condition = {EditCode->Text(),      EditName->Text(), EditYName->Text(),      EditPublisher->Text(),
                 EditISBN->Text(),      EditSort->Text(), EditTranslator->Text(), EditWriter->Text()};
    WhereText = BookShortConditionWhere(Condition).Text;
}
