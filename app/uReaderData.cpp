// The reader list; see uReaderData.h.
#include "uReaderData.h"

#include "ADODB.h"
#include "Build.h"
#include "Buttons.h"
#include "ComCtrls.h"
#include "ExtCtrls.h"
#include "ReaderRules.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "gridlib/edits/DBCtrlsEh.h"
#include "report/model/RM_Report.h"
#include "uGlobal.h"
#include "uImportData.h"
#include "uPrintReaderCard.h"
#include "uReaderCond.h"
#include "uReaderDataEdit.h"

#include <memory>

TFrmReaderData::TFrmReaderData(TComponent* AOwner) : TMDIBaseData(AOwner) {
    SetName("FrmReaderData");
    SetCaption("读者管理");
    Panel2->SetCaption("读者管理");
    BtFind->SetCaption(" 查询(&F)");

    TBuild b(this);
    auto top = b.In(Panel1);
    top.Add<TLabel>("LbCode").Caption("编号/姓名:").At(10, 11);
    Editcode = top.Add<TEdit>("Editcode")
                   .At(80, 7, 160, 21)
                   .Hint("支持简拼/五笔码查询,输入后回车")
                   .OnKeyPress(&TFrmReaderData::EditcodeKeyPress);
    SbtFind = top.Add<TSpeedButton>("SbtFind").Caption("查询").At(246, 6, 60, 23).OnClick(&TFrmReaderData::SbtFindClick);
    auto bottom = b.In(Panel3);
    SBtCard = bottom.Add<TSpeedButton>("SBtCard").Caption("打印借书证(&C)").At(10, 5, 104, 23).OnClick(
        &TFrmReaderData::SBtCardClick);
    bottom.Add<TLabel>("LbQty").Caption("共计:").At(120, 10);
    EditQty = bottom.Add<TDBNumberEditEh>("EditQty").At(156, 6, 80, 21).TabStop(false);
    EditQty->SetDecimalPlaces(0);
    EditQty->SetReadOnly(true);
    bottom.Add<TLabel>("LbQtyUnit").Caption("人").At(240, 10);
    BtExcel = b.In(ToolBar1).Add<TToolButton>("BtExcel").Caption("从Excel导入(&X)").OnClick(&TFrmReaderData::BtExcelClick);
}

void TFrmReaderData::InitForm() {
    TMDIBaseData::InitForm();
    ADOqData->Close();
    ADOqData->SQL()->SetText("select top 1000 * from Readerinfo order by Code");
    ADOqData->Open();
    ReportFile = "ReaderData.rmf";
    HelpTopic = "tszl.htm";
    showCount();
}

void TFrmReaderData::BtExcelClick(TObject*) {
    OpenImportWizard(DBGrid1, "Share", "ReaderInfo", "");
    showCount();
}

void TFrmReaderData::showCount() { EditQty->SetValue(Variant(ADOqData->RecordCount())); }

void TFrmReaderData::EditcodeKeyPress(TObject*, char32_t& Key) {
    if (Key != '\r') return;
    Key = 0;
    SbtFindClick(SbtFind);
}

void TFrmReaderData::SbtFindClick(TObject*) {
    ADOqData->Close();
    ADOqData->SetStatement(ReaderQuickSearchSql(Editcode->Text()));
    ADOqData->Open();
    showCount();
}

void TFrmReaderData::BtFindClick(TObject* Sender) {
    TMDIBaseData::BtFindClick(Sender);
    std::unique_ptr<TFrmReaderCond> dialog(new TFrmReaderCond(this));
    if (dialog->ShowModal() == mrOk) {
        ADOqData->Close();
        ADOqData->SetStatement(ReaderConditionSql(dialog->Condition));
        ADOqData->Open();
    }
    showCount();
}

void TFrmReaderData::runEditor(int mode) {
    std::unique_ptr<TFrmReaderDataEdit> editor(new TFrmReaderDataEdit(this));
    editor->EditMode = uint8_t(mode);
    editor->KeyField = "Code";
    if (mode != 1) editor->KeyValue = ADOqData->FieldByName("Code")->AsString();
    editor->ShowModal();
    if (!editor->LastSavedCode.empty()) LocateCode = editor->LastSavedCode;
}

void TFrmReaderData::BtAddClick(TObject*) {
    if (!ADOqData->IsEmpty()) LocateCode = ADOqData->FieldByName("Code")->AsString();
    runEditor(1);
    RequeryAndLocate();
    showCount();
}

void TFrmReaderData::BtEditClick(TObject*) {
    if (ADOqData->IsEmpty()) return;
    LocateCode = ADOqData->FieldByName("Code")->AsString();
    runEditor(2);
    RequeryAndLocate();
    showCount();
}

bool TFrmReaderData::CanDelete() {
    if (ADOqData->IsEmpty()) return true;
    if (!ReaderHasOpenLoans(ADOqData->Connection(), ADOqData->FieldByName("Code")->AsString())) return true;
    ShowInfoBox("该读者还有未还图书,不能删除!");
    return false;
}

void TFrmReaderData::BeforeDelete() {
    DeleteReaderLoans(ADOqData->Connection(), ADOqData->FieldByName("Code")->AsString());
}

void TFrmReaderData::BtDeleteClick(TObject*) {
    if (!CanDelete()) Abort();
    if (Application->MessageBox("是否删除此记录,连同读者借书数据一起删除？", "询问", MB_OKCANCEL | MB_ICONQUESTION) ==
        IDOK) {
        TADOConnection* conn = ADOqData->Connection();
        if (!conn->Connected()) conn->Open();
        try {
            TTransaction tx(conn);
            if (!ADOqData->IsEmpty()) {
                BeforeDelete();
                ADOqData->Delete();
            }
            tx.Commit();
        } catch (const EDatabaseError&) {
            ShowInfoBox("删除出错！");
            Abort();
        }
        LocateCode = ADOqData->IsEmpty() ? std::string() : ADOqData->FieldByName("Code")->AsString();
        RequeryAndLocate();
    }
    showCount();
}

void TFrmReaderData::SBtCardClick(TObject*) {
    std::unique_ptr<TFrmPrintReaderCard> cards(new TFrmPrintReaderCard(this));
    cards->RMDBDataSet1->SetDataSet(ADOqData);
    cards->ShowModal();
}
