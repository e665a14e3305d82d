// The book condition dialog; see uBookCond.h.
#include "uBookCond.h"

#include "BookRules.h"
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

TFrmBookCond::TFrmBookCond(TComponent* AOwner) : TFrmBaseCond(AOwner) {
    SetName("FrmBookCond");
    SetCaption("查询条件");
    SetClientWidth(560);
    SetClientHeight(330);
    Panel1->SetBounds(10, 30, 540, 256);
    BtConfirm->SetCaption("确定(&C)");
    BtConfirm->SetModalResult(mrNone);
    BtConfirm->SetBounds(370, 296, 80, 25);
    BtConfirm->OnClick = [this](TObject* s) { BtConfirmClick(s); };
    BtCancel->SetCaption("取消(&E)");
    BtCancel->SetBounds(462, 296, 80, 25);

    TBuild b(this);
    auto p = b.In(Panel1);
    const TFieldColumn left{8, 80, 170};
    const TFieldColumn right{276, 348, 170};
    ChkCode = p.Add<TCheckBox>("ChkCode").Caption("编码从：").At(8, 10, 70, 17);
    EditFrom = p.Add<TEdit>("EditFrom").At(80, 8, 190, 21);
    p.Add<TLabel>("LbTo").Caption("到").At(280, 11);
    EditTo = p.Add<TEdit>("EditTo").At(348, 8, 170, 21);
    EditCode = p.Field<TEdit>(left, "LbCode", "图书编号：", "EditCode", 36);
    EditName = p.Field<TEdit>(right, "LbName", "中文名称：", "EditName", 36);
    EditYName = p.Field<TEdit>(left, "LbYName", "原文名称：", "EditYName", 64);
    EditScode = p.Field<TEdit>(right, "LbScode", "索书号：", "EditScode", 64);
    EditPublisher = p.Field<TEdit>({8, 80, 146}, "LbPublisher", "出版社：", "EditPublisher", 92)
                        .OnKeyDown(&TFrmBookCond::EditPublisherKeyDown);
    SpeedButton1 = p.Add<TSpeedButton>("SpeedButton1")
                       .Caption("...")
                       .Hint("选择类别")
                       .At(228, 92, 22, 21)
                       .OnClick(&TFrmBookCond::SpeedButton1Click);
    EditISBN = p.Field<TEdit>(right, "LbISBN", "ISBN号：", "EditISBN", 92);
    EditSort = p.Field<TEdit>({8, 80, 146}, "LbSort", "分类号：", "EditSort", 120)
                   .OnKeyDown(&TFrmBookCond::EditSortKeyDown);
    SbtSort = p.Add<TSpeedButton>("SbtSort")
                  .Caption("...")
                  .Hint("选择类别")
                  .At(228, 120, 22, 21)
                  .OnClick(&TFrmBookCond::SbtSortClick);
    EditWriter = p.Field<TEdit>(right, "LbWriter", "作者：", "EditWriter", 120);
    EditTranslator = p.Field<TEdit>(left, "LbTranslator", "译者：", "EditTranslator", 148);
    CmbPosi = p.Field<TComboBox>(right, "LbPosi", "架位：", "CmbPosi", 148);
    CmbState = p.Field<TComboBox>(left, "LbState", "状态:", "CmbState", 176);
    for (const char* s : {"在馆", "外借", "报废"}) CmbState->Items()->Add(s);
    EditRemarks = p.Field<TEdit>(right, "LbRemarks", "内容简介：", "EditRemarks", 176)
                      .OnKeyDown(&TFrmBookCond::EditPublisherKeyDown);
    EditRemarks1 = p.Field<TEdit>(left, "LbRemarks1", "摘要：", "EditRemarks1", 204)
                       .OnKeyDown(&TFrmBookCond::EditPublisherKeyDown);
    ChkNew = p.Add<TCheckBox>("ChkNew").Caption("是否新书").At(348, 206, 100, 17);
    p.Add<TLabel>("LbNote").Caption("注意:中文名称支持按简拼/五笔码查询!").At(8, 234);
}

void TFrmBookCond::FormShow(TObject* Sender) {
    TFrmBaseCond::FormShow(Sender);
    CmbPosi->Items()->Clear();
    TADOQuery q;
    q.SetConnection(DMData->ADOConnection1);
    q.SQL()->SetText("select * from Bookposi");
    q.Open();
    for (q.First(); !q.Eof(); q.Next()) CmbPosi->Items()->Add(q.FieldByName("Code")->AsString());
    if (EditCode->CanFocus()) EditCode->SetFocus();
}

void TFrmBookCond::BtConfirmClick(TObject*) {
    TBookCondition c;
    c.Code = EditCode->Text();
    c.Name = EditName->Text();
    c.YName = EditYName->Text();
    c.Scode = EditScode->Text();
    c.Publisher = EditPublisher->Text();
    c.Isbn = EditISBN->Text();
    c.Sort = EditSort->Text();
    c.Writer = EditWriter->Text();
    c.Translator = EditTranslator->Text();
    c.Posi = CmbPosi->Text();
    c.State = CmbState->Text();
    c.Remarks = EditRemarks->Text();
    c.Remarks1 = EditRemarks1->Text();
    c.OnlyNew = ChkNew->Checked();
    c.Today = BusinessDate;
    c.InDay = InDay;
    c.Range = ChkCode->Checked();
    c.From = EditFrom->Text();
    c.To = EditTo->Text();
    Where = BookConditionWhere(c);
    WhereText = Where.Text;
    SetModalResult(mrOk);
}

void TFrmBookCond::SbtSortClick(TObject*) {
    std::string code;
    if (PickClass(this, code)) EditSort->SetText(code);
}

void TFrmBookCond::SpeedButton1Click(TObject*) {
    std::unique_ptr<TFrmFindPublish> find(new TFrmFindPublish(this));
    find->ShowModal();
    if (!find->ChosenCode.empty()) EditPublisher->SetText(find->ChosenCode);
}

void TFrmBookCond::EditSortKeyDown(TObject*, Word& Key, TShiftState) {
    if (Key == VK_F5) SbtSort->Click();
}

void TFrmBookCond::EditPublisherKeyDown(TObject*, Word& Key, TShiftState) {
    if (Key == VK_F5) SpeedButton1->Click();
}
