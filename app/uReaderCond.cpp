// The reader condition dialog; see uReaderCond.h.
#include "uReaderCond.h"

#include "ADODB.h"
#include "Build.h"
#include "ExtCtrls.h"
#include "StdCtrls.h"
#include "uDMData.h"

TFrmReaderCond::TFrmReaderCond(TComponent* AOwner) : TFrmBaseCond(AOwner) {
    SetName("FrmReaderCond");
    SetClientHeight(270);
    Panel1->SetHeight(190);
    BtConfirm->SetCaption("确定(&C)");
    BtCancel->SetCaption("取消(&E)");
    for (TButton* b : {BtConfirm, BtCancel}) b->SetTop(232);
    BtConfirm->OnClick = [this](TObject* s) { BtConfirmClick(s); };

    TBuild b(this);
    auto panel = b.In(Panel1);
    const TFieldColumn column{40, 110, 220, 21, 3, 66, 14};
    EditCode = panel.Field<TEdit>(column, "LbCode", "编  号：", "EditCode", 10);
    EditName = panel.Field<TEdit>(column, "LbName", "姓  名：", "EditName", 36);
    CmbSort = panel.Field<TComboBox>(column, "LbSort", "类  别：", "CmbSort", 62);
    CmbDepartment = panel.Field<TComboBox>(column, "LbDepartment", "部  门：", "CmbDepartment", 88);
    EditTel = panel.Field<TEdit>(column, "LbTel", "电  话：", "EditTel", 114);
    EditAddr = panel.Field<TEdit>(column, "LbAddr", "地  址：", "EditAddr", 140);
    panel.Add<TLabel>("LbNote").Caption("注意:姓名支持按简拼/五笔码查询!").At(40, 168);
}

void TFrmReaderCond::FormShow(TObject* Sender) {
    TFrmBaseCond::FormShow(Sender);
    struct List {
        TComboBox* box;
        const char* sql;
    };
    for (List l : {List{CmbSort, "select Code from ReaderType"}, List{CmbDepartment, "select Code from Readerdept"}}) {
        l.box->Items()->Clear();
        if (!DMData) continue;
        TRowLookup rows(DMData->ADOConnection1, l.sql, {});
        for (TADOQuery& q = rows.Query(); !q.Eof(); q.Next()) l.box->Items()->Add(q.FieldByName("Code")->AsString());
    }
    SetActiveControl(EditCode);
}

void TFrmReaderCond::BtConfirmClick(TObject*) {
    Condition = {EditCode->Text(), EditName->Text(), CmbSort->Text(), CmbDepartment->Text(), EditTel->Text(),
                 EditAddr->Text()};
    WhereText = ReaderConditionWhere(Condition).Text;
}
