// The reader-type list; see uReaderTypeData.h.
#include "uReaderTypeData.h"

#include "ADODB.h"
#include "ComCtrls.h"
#include "ExtCtrls.h"
#include "SysUtils.h"
#include "uGlobal.h"
#include "uReaderTypeDataEdit.h"

#include <memory>

TFrmReaderTypeData::TFrmReaderTypeData(TComponent* AOwner) : TMDIBaseData(AOwner) {
    SetName("FrmReaderTypeData");
    SetCaption("读者类别");
    Panel2->SetCaption("读者类别");
    Panel1->SetVisible(false);
    BtFind->SetVisible(false);
    BtPrint->SetVisible(false);
}

void TFrmReaderTypeData::open() {
    ADOqData->Close();
    ADOqData->SQL()->SetText("select * from Readertype order by Code");
    ADOqData->Open();
    for (const char* flag : {"IsLimit", "IsLimit1"})
        if (auto* f = dynamic_cast<TBooleanField*>(ADOqData->FindField(flag))) f->SetDisplayValues("限制;不限制");
}

void TFrmReaderTypeData::InitForm() {
    TMDIBaseData::InitForm();
    open();
    HelpTopic = "tszl.htm";
}

bool TFrmReaderTypeData::CanDelete() {
    if (ADOqData->IsEmpty()) return true;
    TRowLookup reader(ADOqData->Connection(), "select Code from Readerinfo where Sortcode=?",
                      {ADOqData->FieldByName("Code")->AsString()});
    if (reader.Empty()) return true;
    ShowInfoBox("该类型还有读者数据,不能删除!");
    return false;
}

void TFrmReaderTypeData::runEditor(int mode) {
    std::unique_ptr<TFrmReaderTypeDataEdit> editor(new TFrmReaderTypeDataEdit(this));
    editor->EditMode = uint8_t(mode);
    editor->KeyField = "Code";
    if (mode != 1) editor->KeyValue = ADOqData->FieldByName("Code")->AsString();
    editor->ShowModal();
    if (!editor->LastSavedCode.empty()) LocateCode = editor->LastSavedCode;
}

void TFrmReaderTypeData::BtAddClick(TObject*) {
    if (!ADOqData->IsEmpty()) LocateCode = ADOqData->FieldByName("Code")->AsString();
    runEditor(1);
    RequeryAndLocate();
}

void TFrmReaderTypeData::BtEditClick(TObject*) {
    if (ADOqData->IsEmpty()) return;
    LocateCode = ADOqData->FieldByName("Code")->AsString();
    runEditor(2);
    RequeryAndLocate();
}
