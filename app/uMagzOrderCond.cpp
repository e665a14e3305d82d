// The subscription condition dialog; see uMagzOrderCond.h.
#include "uMagzOrderCond.h"

#include "Build.h"
#include "Buttons.h"
#include "ExtCtrls.h"
#include "StdCtrls.h"
#include "uSortSet.h"

#include <memory>

TFrmMagzOrderCond::TFrmMagzOrderCond(TComponent* AOwner) : TFrmBaseCond(AOwner) {
    SetName("FrmMagzOrderCond");
    SetClientWidth(520);
    SetClientHeight(270);
    Panel1->SetBounds(10, 30, 500, 190);
    BtConfirm->SetCaption("确定(&C)");
    BtCancel->SetCaption("取消(&E)");
    BtConfirm->SetBounds(330, 232, 80, 25);
    BtCancel->SetBounds(422, 232, 80, 25);
    BtConfirm->OnClick = [this](TObject* s) { BtConfirmClick(s); };

    TBuild b(this);
    auto p = b.In(Panel1);
    const TFieldColumn left{10, 80, 150, 21, 3, 66, 14};
    const TFieldColumn right{252, 322, 150, 21, 3, 66, 14};
    EditCode = p.Field<TEdit>(left, "LbCode", "登记编号：", "EditCode", 8);
    EditISBN = p.Field<TEdit>(right, "LbISBN", "ISBN号：", "EditISBN", 8);
    EditName = p.Field<TEdit>(left, "LbName", "期刊名称：", "EditName", 36);
    EditSort = p.Field<TEdit>({252, 322, 126, 21, 3, 66, 14}, "LbSort", "分类号：", "EditSort", 36)
                   .OnKeyDown(&TFrmMagzOrderCond::EditSortKeyDown);
    SbtSort = p.Add<TSpeedButton>("SbtSort").Caption("...").At(450, 36, 22, 21).Hint("选择类别").OnClick(
        &TFrmMagzOrderCond::SbtSortClick);
    EditPublisher = p.Field<TEdit>(left, "LbPublisher", "出版社：", "EditPublisher", 64);
    EditWriter = p.Field<TEdit>(right, "LbWriter", "编辑人：", "EditWriter", 64);
    EditPostNo = p.Field<TEdit>(left, "LbPostNo", "邮发代号：", "EditPostNo", 92);
    EditPubNo = p.Field<TEdit>(right, "LbPubNo", "统一刊号：", "EditPubNo", 92);
    Cmbpubfreq = p.Field<TComboBox>(left, "LbPubfreq", "出版周期：", "Cmbpubfreq", 120);
    for (const char* f : {"周刊", "半月刊", "月刊", "双月刊", "季刊", "日报", "周报", "旬报", "半月报", "月报"})
        Cmbpubfreq->Items()->Add(f);
    EditLinkMan = p.Field<TEdit>(right, "LbLinkMan", "联系人：", "EditLinkMan", 120);
    EditTel = p.Field<TEdit>(left, "LbTel", "联系电话：", "EditTel", 148);
}

void TFrmMagzOrderCond::FormShow(TObject* Sender) {
    TFrmBaseCond::FormShow(Sender);
    SetActiveControl(EditCode);
}

void TFrmMagzOrderCond::SbtSortClick(TObject*) {
    std::unique_ptr<TFrmSortSet> picker(new TFrmSortSet(this));
    picker->ShowModal();
    if (!picker->ChosenSortCode.empty()) EditSort->SetText(picker->ChosenSortCode);
}

void TFrmMagzOrderCond::EditSortKeyDown(TObject*, Word& Key, TShiftState) {
    if (Key != VK_F5) return;
    Key = 0;
    SbtSortClick(SbtSort);
}

void TFrmMagzOrderCond::BtConfirmClick(TObject*) {
    Condition = {EditCode->Text(),   EditName->Text(),    EditPublisher->Text(), EditISBN->Text(),
                 EditSort->Text(),   EditPostNo->Text(),  EditPubNo->Text(),     Cmbpubfreq->Text(),
                 EditTel->Text(),    EditLinkMan->Text(), EditWriter->Text()};
    WhereText = MagzOrderConditionWhere(Condition).Text;
}
