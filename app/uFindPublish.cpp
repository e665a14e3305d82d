// The publisher lookup; see uFindPublish.h.
#include "uFindPublish.h"

#include "ADODB.h"
#include "Build.h"
#include "ComCtrls.h"
#include "DBGrids.h"
#include "ExtCtrls.h"
#include "Menus.h"
#include "StdCtrls.h"
#include "uBookPubDataEdit.h"

#include <memory>

TFrmFindPublish::TFrmFindPublish(TComponent* AOwner) : TFrmFindCode(AOwner) {
    SetName("FrmFindPublish");
    TBuild b(this);
    N1 = b.Add<TMenuItem>("N1").Caption("按名称查找");
    PopupMenu1->Items()->Add(N1);
    Label1 = b.In(Panel1).Add<TLabel>("Label1").Caption("注意:名称支持按简拼五笔码查询!").At(10, 16);
    BtAdd->SetLeft(Label1->Left() + Label1->Width() + 12 > 200 ? Label1->Left() + Label1->Width() + 12 : 200);
    AddColumns(DBGrid1, {{"Code", "出版社", 251}, {"Isbn", "ISBN", 73}});
    b.Wire(Edit1).OnChange(&TFrmFindPublish::Edit1Change);
    b.Wire(BtAdd).OnClick(&TFrmFindPublish::BtAddClick);
}

void TFrmFindPublish::InitForm() {
    TFrmFindCode::InitForm();
    SetCaption("选择出版社");
    TbCaption->SetCaption("按名称查找");
    ADOQuery1->Close();
    ADOQuery1->SQL()->SetText("select * from Bookpub  order by Isbn");
    ADOQuery1->Open();
    SetActiveControl(Edit1);
}

void TFrmFindPublish::Edit1Change(TObject*) {
    const std::string part = "%" + LikeEscaped(Edit1->Text()) + "%";
    ADOQuery1->SetStatement({"select top 30 Code,Isbn from BookPub where (Code like ? escape '\\') or (Py like ? "
                             "escape '\\') or (Wb like ? escape '\\') or (Wbh like ? escape '\\')  order by ISBN",
                             {part, part, part, part}});
    ADOQuery1->Open();
}

void TFrmFindPublish::BtConfirmClick(TObject*) {
    if (!ADOQuery1->Active() || ADOQuery1->IsEmpty()) return;
    ChosenCode = ADOQuery1->FieldByName("code")->AsString();
    Close();
}

void TFrmFindPublish::BtAddClick(TObject*) {
    {
        std::unique_ptr<TFrmBookPubDataEdit> editor(new TFrmBookPubDataEdit(this));
        editor->EditMode = 1;
        editor->ShowModal();
    }
    ADOQuery1->Requery();
}
