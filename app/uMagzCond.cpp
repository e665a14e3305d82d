// The periodical condition dialog; see uMagzCond.h.
#include "uMagzCond.h"

#include "ADODB.h"
#include "Build.h"
#include "Buttons.h"
#include "ExtCtrls.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "uDMData.h"
#include "uFindPublish.h"
#include "uGlobal.h"
#include "uSortSet.h"

#include <memory>

TFrmMagzCond::TFrmMagzCond(TComponent* AOwner) : TFrmBaseCond(AOwner) {
    SetName("FrmMagzCond");
    SetClientWidth(520);
    SetClientHeight(330);
    Panel1->SetBounds(10, 30, 500, 250);
    BtConfirm->SetCaption("确定(&C)");
    BtCancel->SetCaption("取消(&E)");
    BtConfirm->SetBounds(330, 292, 80, 25);
    BtCancel->SetBounds(422, 292, 80, 25);
    BtConfirm->OnClick = [this](TObject* s) { BtConfirmClick(s); };

    TBuild b(this);
    auto p = b.In(Panel1);
    const TFieldColumn left{10, 80, 150, 21, 3, 66, 14};
    const TFieldColumn right{252, 322, 150, 21, 3, 66, 14};
    EditCode = p.Field<TEdit>(left, "LbCode", "期刊编号：", "EditCode", 8);
    EditISBN = p.Field<TEdit>(right, "LbISBN", "ISBN号：", "EditISBN", 8);
    EditName = p.Field<TEdit>(left, "LbName", "期刊名称：", "EditName", 36);
    EditSort = p.Field<TEdit>({252, 322, 126, 21, 3, 66, 14}, "LbSort", "分类号：", "EditSort", 36)
                   .OnKeyDown(&TFrmMagzCond::PickerKeyDown);
    SbtSort = p.Add<TSpeedButton>("SbtSort").Caption("...").At(450, 36, 22, 21).Hint("选择类别").OnClick(
        &TFrmMagzCond::SbtSortClick);
    EditScode = p.Field<TEdit>(left, "LbScode", "索刊号：", "EditScode", 64);
    EditWriter = p.Field<TEdit>(right, "LbWriter", "编辑：", "EditWriter", 64);
    EditPublisher = p.Field<TEdit>({10, 80, 126, 21, 3, 66, 14}, "LbPublisher", "出版社：", "EditPublisher", 92)
                        .OnKeyDown(&TFrmMagzCond::PickerKeyDown);
    SpeedButton1 = p.Add<TSpeedButton>("SpeedButton1").Caption("...").At(208, 92, 22, 21).Hint("选择类别").OnClick(
        &TFrmMagzCond::SpeedButton1Click);
    CmbPosi = p.Field<TComboBox>(right, "LbPosi", "架位：", "CmbPosi", 92);
    EditYear = p.Field<TEdit>(left, "LbYear", "年度：", "EditYear", 120);
    EditNo = p.Field<TEdit>(right, "LbNo", "期号：", "EditNo", 120);
    CmbState = p.Field<TComboBox>(left, "LbState", "状态:", "CmbState", 148);
    for (const char* s : {"在馆", "外借", "报废"}) CmbState->Items()->Add(s);
    Rbx = p.Add<TRadioButton>("Rbx").Caption("现刊").At(322, 148, 60, 20).Checked(true);
    Rbg = p.Add<TRadioButton>("Rbg").Caption("过刊").At(392, 148, 60, 20);
    EditRemarks = p.Field<TEdit>({10, 80, 392, 21, 3, 66, 14}, "LbRemarks", "目录：", "EditRemarks", 176);
    p.Add<TLabel>("LbNote").Caption("注意:中文名称支持按拼音五笔码查询!").At(10, 212);
}

void TFrmMagzCond::FormShow(TObject* Sender) {
    TFrmBaseCond::FormShow(Sender);
    CmbPosi->Items()->Clear();
    if (DMData) {
        TRowLookup rows(DMData->ADOConnection1, "select Code from Bookposi", {});
        for (TADOQuery& q = rows.Query(); !q.Eof(); q.Next()) CmbPosi->Items()->Add(q.FieldByName("Code")->AsString());
    }
    Word y, m, d;
    DecodeDate(BusinessDate, y, m, d);
    EditYear->SetText(IntToStr(int(y)));
    SetActiveControl(EditCode);
}

void TFrmMagzCond::SbtSortClick(TObject*) {
    std::unique_ptr<TFrmSortSet> picker(new TFrmSortSet(this));
    picker->ShowModal();
    if (!picker->ChosenSortCode.empty()) EditSort->SetText(picker->ChosenSortCode);
}

void TFrmMagzCond::SpeedButton1Click(TObject*) {
    std::unique_ptr<TFrmFindPublish> lookup(new TFrmFindPublish(this));
    lookup->ShowModal();
    if (!lookup->ChosenCode.empty()) EditPublisher->SetText(lookup->ChosenCode);
}

void TFrmMagzCond::PickerKeyDown(TObject* Sender, Word& Key, TShiftState) {
    if (Key != VK_F5) return;
    Key = 0;
    if (Sender == EditSort)
        SbtSortClick(SbtSort);
    else
        SpeedButton1Click(SpeedButton1);
}

void TFrmMagzCond::BtConfirmClick(TObject*) {
    Condition = {};
    Condition.Code = EditCode->Text();
    Condition.Name = EditName->Text();
    Condition.Scode = EditScode->Text();
    Condition.Publisher = EditPublisher->Text();
    Condition.Isbn = EditISBN->Text();
    Condition.Sort = EditSort->Text();
    Condition.Writer = EditWriter->Text();
    Condition.Posi = CmbPosi->Text();
    Condition.Year = EditYear->Text();
    Condition.PeriodNo = EditNo->Text();
    Condition.State = CmbState->Text();
    Condition.Remarks = EditRemarks->Text();
    Condition.Current = Rbx->Checked();
    WhereText = MagzConditionWhere(Condition).Text;
}
