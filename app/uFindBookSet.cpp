// The copy-cataloguing chooser; see uFindBookSet.h.
#include "uFindBookSet.h"

#include "Build.h"
#include "ExtCtrls.h"
#include "StdCtrls.h"
#include "vq/grid/VQDBGrid.h"

TFrmFindBookSet::TFrmFindBookSet(TComponent* AOwner) : TFrmBaseCond(AOwner) {
    SetName("FrmFindBookSet");
    SetCaption("图书套录");
    SetClientWidth(640);
    SetClientHeight(330);
    Label1->SetCaption("请选择要套录的图书:");
    Panel1->SetBounds(10, 30, 620, 256);
    BtConfirm->SetCaption("确定(&C)");
    BtConfirm->SetModalResult(mrNone);
    BtConfirm->SetBounds(450, 296, 80, 25);
    BtConfirm->OnClick = [this](TObject* s) { BtConfirmClick(s); };
    BtCancel->SetCaption("取消(&E)");
    BtCancel->SetBounds(542, 296, 80, 25);

    TBuild b(this);
    DataSource1 = b.Add<TDataSource>("DataSource1");
    DBGrid1 = b.In(Panel1)
                  .Add<TVQDBGrid>("DBGrid1")
                  .Align(alClient)
                  .ReadOnly()
                  .Set(&TVQDBGrid::SetDataSource, DataSource1)
                  .OnDblClick(&TFrmFindBookSet::BtConfirmClick)
                  .OnKeyPress(&TFrmFindBookSet::DBGrid1KeyPress);
    const std::pair<const char*, const char*> columns[] = {
        {"BookIsbn", "ISBN"},     {"Name", "中文名称"},   {"YName", "原文名称"},   {"Publisher", "出版社"},
        {"Writer", "作者"},       {"Sortcode", "分类号"}, {"PubDate", "出版时间"}, {"RegDate", "登记时间"},
        {"Language", "语言"},     {"BookPage", "页码"},   {"Size", "尺寸"}};
    for (auto [field, title] : columns) {
        TVQColumn* c = DBGrid1->Columns()->Add();
        c->SetFieldName(field);
        c->Title()->SetCaption(title);
        c->Title()->SetAlignment(taCenter);
    }
}

void TFrmFindBookSet::BtConfirmClick(TObject*) {
    Confirmed = true;
    Close();
}

void TFrmFindBookSet::DBGrid1KeyPress(TObject* Sender, char32_t& Key) {
    if (Key != '\r') return;
    Key = 0;
    BtConfirmClick(Sender);
}
