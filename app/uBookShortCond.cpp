// The book ordering condition dialog; see uBookShortCond.h.
#include "uBookShortCond.h"

#include "Build.h"
#include "Buttons.h"
#include "ExtCtrls.h"
#include "StdCtrls.h"
#include "uSortSet.h"

#include <memory>

TFrmBookShortCond::TFrmBookShortCond(TComponent* AOwner) : TFrmBaseCond(AOwner) {
    SetName("FrmBookShortCond");
    SetClientWidth(520);
    SetClientHeight(214);
    Panel1->SetBounds(10, 30, 500, 134);
    BtConfirm->SetCaption("确定(&C)");
    BtCancel->SetCaption("取消(&E)");
    BtConfirm->SetBounds(330, 176, 80, 25);
    BtCancel->SetBounds(422, 176, 80, 25);
    BtConfirm->OnClick = [this](TObject* s) { BtConfirmClick(s); };

    TBuild b(this);
    auto p = b.In(Panel1);
    const TFieldColumn left{10, 80, 150, 21, 3, 66, 14};
    const TFieldColumn right{252, 322, 150, 21, 3, 66, 14};
    EditCode = p.Field<TEdit>(left, "LbCode", "登记编号：", "EditCode", 8);
    EditISBN = p.Field<TEdit>(right, "LbISBN", "ISBN号：", "EditISBN", 8);
    EditName = p.Field<TEdit>(left, "LbName", "中文名称：", "EditName", 36);
    EditSort = p.Field<TEdit>({252, 322, 126, 21, 3, 66, 14}, "LbSort", "分类号：", "EditSort", 36)
                   .OnKeyDown(&TFrmBookShortCond::EditSortKeyDown);
    SbtSort = p.Add<TSpeedButton>("SbtSort").Caption("...").At(450, 36, 22, 21).Hint("选择类别").OnClick(
        &TFrmBookShortCond::SbtSortClick);
    EditYName = p.Field<TEdit>(left, "LbYName", "原文名称：", "EditYName", 64);
    EditWriter = p.Field<TEdit>(right, "LbWriter", "作者：", "EditWriter", 64);
    EditPublisher = p.Field<TEdit>(left, "LbPublisher", "出版社：", "EditPublisher", 92);
    EditTranslator = p.Field<TEdit>(right, "LbTranslator", "译者：", "EditTranslator", 92);
}

void TFrmBookShortCond::FormShow(TObject* Sender) {
    TFrmBaseCond::FormShow(Sender);
    SetActiveControl(EditCode);
}

void TFrmBookShortCond::SbtSortClick(TObject*) {
    std::unique_ptr<TFrmSortSet> picker(new TFrmSortSet(this));
    picker->ShowModal();
    if (!picker->ChosenSortCode.empty()) EditSort->SetText(picker->ChosenSortCode);
}

void TFrmBookShortCond::EditSortKeyDown(TObject*, Word& Key, TShiftState) {
    if (Key != VK_F5) return;
    Key = 0;
    SbtSortClick(SbtSort);
}

void TFrmBookShortCond::BtConfirmClick(TObject*) {
    Condition = {EditCode->Text(),      EditName->Text(),   EditYName->Text(),  EditPublisher->Text(),
                 EditISBN->Text(),      EditSort->Text(),   EditTranslator->Text(), EditWriter->Text()};
    WhereText = BookShortConditionWhere(Condition).Text;
}
