// The supplier lookup; see uFindSupplier.h.
#include "uFindSupplier.h"

#include "ADODB.h"
#include "uGridLayout.h"
#include "DBGrids.h"
#include "ExtCtrls.h"

TFrmFindSupplier::TFrmFindSupplier(TComponent* AOwner) : TFrmFindCode(AOwner) {
    SetName("FrmFindSupplier");
    AddDesignedColumn(DBGrid1, "Code", "供应商名称", 0);
    Panel2->SetVisible(false);
}

void TFrmFindSupplier::InitForm() {
    TFrmFindCode::InitForm();
    SetCaption("选择供应商");
    ADOQuery1->Close();
    ADOQuery1->SQL()->SetText("select * from Booksupplier order by code");
    ADOQuery1->Open();
    if (DBGrid1->CanFocus()) SetActiveControl(DBGrid1);
}
