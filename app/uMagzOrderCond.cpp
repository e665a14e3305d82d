// The subscription condition dialog; see uMagzOrderCond.h.
#include "uMagzOrderCond.h"

#include "Build.h"
#include "ExtCtrls.h"
#include "StdCtrls.h"

TFrmMagzOrderCond::TFrmMagzOrderCond(TComponent* AOwner) : TFrmOrderCond(AOwner, "期刊名称：", 190) {
    SetName("FrmMagzOrderCond");
    BtConfirm->OnClick = [this](TObject* s) { BtConfirmClick(s); };
    TBuild b(this);
    auto p = b.In(Panel1);
    EditPublisher = p.Field<TEdit>(LeftColumn(), "LbPublisher", "出版社：", "EditPublisher", 64);
    EditWriter = p.Field<TEdit>(RightColumn(), "LbWriter", "编辑人：", "EditWriter", 64);
    EditPostNo = p.Field<TEdit>(LeftColumn(), "LbPostNo", "邮发代号：", "EditPostNo", 92);
    EditPubNo = p.Field<TEdit>(RightColumn(), "LbPubNo", "统一刊号：", "EditPubNo", 92);
    Cmbpubfreq = p.Field<TComboBox>(LeftColumn(), "LbPubfreq", "出版周期：", "Cmbpubfreq", 120);
    for (const char* f : {"周刊", "半月刊", "月刊", "双月刊", "季刊", "日报", "周报", "旬报", "半月报", "月报"})
        Cmbpubfreq->Items()->Add(f);
    EditLinkMan = p.Field<TEdit>(RightColumn(), "LbLinkMan", "联系人：", "EditLinkMan", 120);
    EditTel = p.Field<TEdit>(LeftColumn(), "LbTel", "联系电话：", "EditTel", 148);
}

void TFrmMagzOrderCond::BtConfirmClick(TObject*) {
    Condition = {EditCode->Text(),   EditName->Text(),    EditPublisher->Text(), EditISBN->Text(),
                 EditSort->Text(),   EditPostNo->Text(),  EditPubNo->Text(),     Cmbpubfreq->Text(),
                 EditTel->Text(),    EditLinkMan->Text(), EditWriter->Text()};
    WhereText = MagzOrderConditionWhere(Condition).Text;
}
