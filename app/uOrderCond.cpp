// The ordering lists' shared condition dialog; see uOrderCond.h.
#include "uOrderCond.h"

#include "Build.h"
#include "Buttons.h"
#include "ExtCtrls.h"
#include "StdCtrls.h"
#include "uSortSet.h"

#include <memory>

const TFieldColumn& TFrmOrderCond::LeftColumn() {
    static const TFieldColumn column{10, 80, 150, 21, 3, 66, 14};
    return column;
}

const TFieldColumn& TFrmOrderCond::RightColumn() {
    static const TFieldColumn column{252, 322, 150, 21, 3, 66, 14};
    return column;
}

TFrmOrderCond::TFrmOrderCond(TComponent* AOwner, const char* nameCaption, int height) : TFrmBaseCond(AOwner) {
    SetClientWidth(520);
    SetClientHeight(height + 80);
    Panel1->SetBounds(10, 30, 500, height);
    BtConfirm->SetCaption("确定(&C)");
    BtCancel->SetCaption("取消(&E)");
    BtConfirm->SetBounds(330, height + 42, 80, 25);
    BtCancel->SetBounds(422, height + 42, 80, 25);

    TBuild b(this);
    auto p = b.In(Panel1);
    EditCode = p.Field<TEdit>(LeftColumn(), "LbCode", "登记编号：", "EditCode", 8);
    EditISBN = p.Field<TEdit>(RightColumn(), "LbISBN", "ISBN号：", "EditISBN", 8);
    EditName = p.Field<TEdit>(LeftColumn(), "LbName", nameCaption, "EditName", 36);
    EditSort = p.Field<TEdit>({252, 322, 126, 21, 3, 66, 14}, "LbSort", "分类号：", "EditSort", 36)
                   .OnKeyDown(&TFrmOrderCond::EditSortKeyDown);
    SbtSort = p.Add<TSpeedButton>("SbtSort").Caption("...").At(450, 36, 22, 21).Hint("选择类别").OnClick(
        &TFrmOrderCond::SbtSortClick);
}

void TFrmOrderCond::FormShow(TObject* Sender) {
    TFrmBaseCond::FormShow(Sender);
    SetActiveControl(EditCode);
}

void TFrmOrderCond::SbtSortClick(TObject*) {
    std::unique_ptr<TFrmSortSet> picker(new TFrmSortSet(this));
    picker->ShowModal();
    if (!picker->ChosenSortCode.empty()) EditSort->SetText(picker->ChosenSortCode);
}

void TFrmOrderCond::EditSortKeyDown(TObject*, Word& Key, TShiftState) {
    if (Key != VK_F5) return;
    Key = 0;
    SbtSortClick(SbtSort);
}
