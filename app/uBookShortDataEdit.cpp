// The book order editor; see uBookShortDataEdit.h.
#include "uBookShortDataEdit.h"

#include "ADODB.h"
#include "Buttons.h"
#include "DBCtrls.h"
#include "StdCtrls.h"
#include "uFindPublish.h"

#include <memory>

TFrmBookShortDataEdit::TFrmBookShortDataEdit(TComponent* AOwner) : TFrmOrderDataEdit(AOwner, "BookShort") {
    SetName("FrmBookShortDataEdit");
    int top = 14;
    AddBoxes({{&EditCode, "EditCode", "登记编号:", "Code"},
              {&DBEdit3, "DBEdit3", "ISBN号:", "BookIsbn"},
              {&EditName, "EditName", "中文名称:", "Name"},
              {&EditYName, "EditYName", "原文名称:", "YName"},
              {&EditSort, "EditSort", "分类号:", "SortCode", true},
              {&EditPublisher, "EditPublisher", "出版社:", "Publisher", true},
              {&DBEdit1, "DBEdit1", "作  者:", "Writer"},
              {&DBEdit2, "DBEdit2", "译  者:", "Translator"},
              {&DBEdit7, "DBEdit7", "联系电话:", "Tel"},
              {&DBEdit8, "DBEdit8", "联系人:", "LinkMan"},
              {&DBEdit11, "DBEdit11", "通信地址:", "Addr"},
              {&DBEdit9, "DBEdit9", "银行帐号:", "BankNo"},
              {&DBEdit10, "DBEdit10", "开户行:", "Bank"}},
             top);
    AddClassButton();
    SpeedButton3 = AddPicker("SpeedButton3", EditPublisher);
    SpeedButton3->OnClick = [this](TObject* s) { SpeedButton3Click(s); };
    EditPublisher->OnKeyDown = [this](TObject* s, Word& k, TShiftState sh) { EditPublisherKeyDown(s, k, sh); };
    BuildOrderBoxes("书籍价格:", "订购日期:");
}

void TFrmBookShortDataEdit::InitForm() {
    TFrmOrderDataEdit::InitForm();
    SetCaption("图书征订");
}

void TFrmBookShortDataEdit::SpeedButton3Click(TObject*) {
    std::unique_ptr<TFrmFindPublish> find(new TFrmFindPublish(this));
    find->ShowModal();
    if (!find->ChosenCode.empty()) AdoqEdit->FieldByName("Publisher")->SetAsString(find->ChosenCode);
    if (EditPublisher->CanFocus()) EditPublisher->SetFocus();
}

void TFrmBookShortDataEdit::EditPublisherKeyDown(TObject*, Word& Key, TShiftState) {
    if (Key != VK_F5 && Key != VK_ADD) return;
    Key = 0;
    SpeedButton3->Click();
}
