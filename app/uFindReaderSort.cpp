// The reader-type lookup; see uFindReaderSort.h.
#include "uFindReaderSort.h"

#include "ADODB.h"
#include "Build.h"
#include "DBGrids.h"
#include "ExtCtrls.h"
#include "StdCtrls.h"
#include "uGridLayout.h"
#include "uReaderTypeDataEdit.h"

#include <memory>

TFrmFindReaderSort::TFrmFindReaderSort(TComponent* AOwner) : TFrmFindCode(AOwner) {
    SetName("FrmFindReaderSort");
    AddDesignedColumn(DBGrid1, "Code", "类别", 228);
    Panel2->SetVisible(false);
    TBuild(this).Wire(BtAdd).OnClick(&TFrmFindReaderSort::BtAddClick);
}

void TFrmFindReaderSort::InitForm() {
    TFrmFindCode::InitForm();
    SetCaption("选择读者类别");
    ADOQuery1->Close();
    ADOQuery1->SQL()->SetText("select * from ReaderType  order by code");
    ADOQuery1->Open();
    if (DBGrid1->CanFocus()) SetActiveControl(DBGrid1);
}

void TFrmFindReaderSort::BtAddClick(TObject*) {
    {
        std::unique_ptr<TFrmReaderTypeDataEdit> editor(new TFrmReaderTypeDataEdit(this));
        editor->EditMode = 1;
        editor->ShowModal();
    }
    ADOQuery1->Requery();
}
