// The pre-catalogue list; see uBookPreData.h.
#include "uBookPreData.h"

#include "ADODB.h"
#include "BookRules.h"
#include "Build.h"
#include "ComCtrls.h"
#include "Dialogs.h"
#include "ExtCtrls.h"
#include "Forms.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "uBookCond.h"
#include "uBookDataPreEdit.h"
#include "uGlobal.h"
#include "uImportData.h"
#include "uMarcIn.h"

#include <algorithm>
#include <memory>

TFrmBookPreData::TFrmBookPreData(TComponent* AOwner) : TFrmBookData(AOwner, "BookinfoPre") {
    SetName("FrmBookPreData");
    SetCaption("图书预编");
    Panel2->SetCaption("图书预编");

    TBuild b(this);
    auto bottom = b.In(Panel3);
    BtExcel->SetBounds(350, 3, 80, 24);
    BtMarc = bottom.Add<TButton>("BtMarc").Caption("Marc导入(&C)").At(436, 3, 80, 24).OnClick(&TFrmBookPreData::BtMarcClick);
    Btzk = bottom.Add<TButton>("Btzk").Caption("转库(&Z)").At(522, 3, 80, 24).OnClick(&TFrmBookPreData::BtzkClick);
    ChkZk = bottom.Add<TCheckBox>("ChkZk").Caption("保留副本").Checked().At(610, 7, 80, 17);
    BtDelAll = b.In(ToolBar1)
                   .Add<TToolButton>("BtDelAll")
                   .Caption("批量删除(&B)")
                   .Hint("删除显示的全部记录,快捷键[Alt+B]")
                   .OnClick(&TFrmBookPreData::BtDelAllClick);
}

void TFrmBookPreData::InitForm() {
    TFrmBookData::InitForm();
    ReportFile = "BookDataPre.rmf";
    CurrentCondition = {};
}

bool TFrmBookPreData::CanDelete() { return true; }

void TFrmBookPreData::LoadList(const TBoundSql& where) {
    TFrmBookData::LoadList(where);
    CurrentCondition = where;
}

TBoundSql TFrmBookPreData::SearchWhere(const std::string& text, const std::string& sortText) const {
    return BookSearchWhere(text, sortText, false);
}

void TFrmBookPreData::PrepareCondition(TFrmBookCond* cond) {
    for (const char* name : {"ChkCode", "EditFrom", "LbTo", "EditTo", "LbCode", "EditCode", "LbState", "CmbState"})
        if (auto* c = dynamic_cast<TControl*>(cond->FindComponent(name))) c->SetEnabled(false);
}

TFrmBookDataEdit* TFrmBookPreData::NewEditor() { return new TFrmBookPreDataEdit(this); }

void TFrmBookPreData::BtExcelClick(TObject*) {
    OpenImportWizard(DBGrid1, "Share", "BookInfoPre", "");
    RefreshCounters();
}

void TFrmBookPreData::BtMarcClick(TObject*) {
    std::unique_ptr<TFrmMarcIn> marc(new TFrmMarcIn(this));
    marc->ShowModal();
    marc.reset();
    ADOqData->Requery();
    RefreshCounters();
}

void TFrmBookPreData::reloadAt(const std::string& id) {
    LocateCode = id;
    ADOqData->Requery();
    locateId();
    RefreshCounters();
}

void TFrmBookPreData::BtzkClick(TObject*) {
    if (ADOqData->IsEmpty()) return;
    const std::string code = Trim(InputBox("请输入图书编号(条码号)", "", ""));
    if (code.empty()) {
        ShowInfoBox("图书编号(条码号)不能为空!");
        return;
    }
    const int64_t id = ADOqData->FieldByName("Id")->AsLargeInt();
    TTransferResult result;
    try {
        result = TransferToCatalogue(ADOqData->Connection(), id, code, ChkZk->Checked());
    } catch (const EDatabaseError&) {
        ShowInfoBox("存盘失败！");
        return;
    }
    if (result == TTransferResult::DuplicateCode) {
        ShowInfoBox("图书编号有重复,请重新录入!");
        return;
    }
    if (ChkZk->Checked()) return;
    // The record went: the list shows the one after it.
    ADOqData->Next();
    if (ADOqData->Eof()) ADOqData->Prior();
    reloadAt(ADOqData->FieldByName("Id")->AsString());
}

int64_t TFrmBookPreData::lastListedId() {
    TDisableControls still(ADOqData);
    int64_t last = 0;
    for (ADOqData->First(); !ADOqData->Eof(); ADOqData->Next())
        last = std::max(last, ADOqData->FieldByName("Id")->AsLargeInt());
    return last;
}

void TFrmBookPreData::BtDelAllClick(TObject*) {
    if (Application->MessageBox("是否删除显示的全部记录？", "询问", MB_OKCANCEL | MB_ICONQUESTION) == IDOK)
        DeletePreCatalogue(ADOqData->Connection(), CurrentCondition, lastListedId());
    ADOqData->Requery();
    RefreshCounters();
}
