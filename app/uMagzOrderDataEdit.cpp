// The subscription editor; see uMagzOrderDataEdit.h.
#include "uMagzOrderDataEdit.h"

#include "Build.h"
#include "DBCtrls.h"
#include "ExtCtrls.h"
#include "StdCtrls.h"
#include "gridlib/edits/DBCtrlsEh.h"

TFrmMagzOrderDataEdit::TFrmMagzOrderDataEdit(TComponent* AOwner) : TFrmOrderDataEdit(AOwner, "MagzOrder") {
    SetName("FrmMagzOrderDataEdit");
    int top = 14;
    AddBoxes({{&EditCode, "EditCode", "登记编号:", "Code"},
              {&DBEdit3, "DBEdit3", "ISSN号:", "BookIsbn"},
              {&DBEdit2, "DBEdit2", "统一刊号:", "PubNo"},
              {&DBEdit5, "DBEdit5", "邮发代号:", "PostNo"},
              {&EditName, "EditName", "期刊名称:", "Name"},
              {&EditSort, "EditSort", "分类号:", "SortCode", true},
              {&DBEdit1, "DBEdit1", "编辑部:", "Writer"}},
             top);
    AddClassButton();
    TBuild b(this);
    DBComboBoxEh1 = b.In(GroupBox1).Field<TDBComboBoxEh>({8, 76, 228, 21, 3, 66, 14}, "LbPubfreq", "出版周期:",
                                                          "DBComboBoxEh1", top);
    for (const char* f : {"周刊", "半月刊", "月刊", "双月刊", "季刊", "日报", "周报", "旬报", "半月报", "月报"})
        DBComboBoxEh1->Items()->Add(f);
    DBComboBoxEh1->SetDataSource(DSEdit);
    DBComboBoxEh1->SetDataField("Pubfreq");
    top += 24;
    AddBoxes({{&DBEdit4, "DBEdit4", "起止订期:", "OrderPeriod"},
              {&DBEdit6, "DBEdit6", "创刊年:", "StartYear"},
              {&DBEdit7, "DBEdit7", "联系电话:", "Tel"},
              {&DBEdit8, "DBEdit8", "联系人:", "LinkMan"},
              {&DBEdit11, "DBEdit11", "通信地址:", "Addr"},
              {&DBEdit9, "DBEdit9", "银行帐号:", "BankNo"},
              {&DBEdit10, "DBEdit10", "开户行:", "Bank"}},
             top);
    BuildOrderBoxes("期刊价格:", "预订日期:");
}

void TFrmMagzOrderDataEdit::InitForm() {
    TFrmOrderDataEdit::InitForm();
    SetCaption("征订信息");
}
