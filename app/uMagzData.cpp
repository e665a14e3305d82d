// The periodical catalogue; see uMagzData.h.
#include "uMagzData.h"

#include "ADODB.h"
#include "Build.h"
#include "Buttons.h"
#include "ComCtrls.h"
#include "ExtCtrls.h"
#include "PeriodicalRules.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "gridlib/data/DBSumLst.h"
#include "gridlib/edits/DBCtrlsEh.h"
#include "uGlobal.h"
#include "uImportData.h"
#include "uMagzCond.h"
#include "uMagzDataEdit.h"
#include "uSortSet.h"

#include <memory>

TFrmMagzData::TFrmMagzData(TComponent* AOwner) : TMDIBaseData(AOwner) {
    SetName("FrmMagzData");
    SetCaption("期刊编目");
    Panel2->SetCaption("期刊编目");
    BtFind->SetCaption(" 查询(&F)");

    TBuild b(this);
    auto top = b.In(Panel1);
    top.Add<TLabel>("LbCode").Caption("条形码/名称/索刊号:").At(10, 11);
    Editcode = top.Add<TEdit>("Editcode")
                   .At(126, 7, 140, 21)
                   .Hint("支持拼音五笔码查询,输入后回车")
                   .OnEnter([this](TObject*) { EditSort->SetText(""); })
                   .OnKeyPress(&TFrmMagzData::EditcodeKeyPress);
    top.Add<TLabel>("LbSort").Caption("分类号:").At(276, 11);
    EditSort = top.Add<TEdit>("EditSort")
                   .At(322, 7, 90, 21)
                   .OnEnter([this](TObject*) { Editcode->SetText(""); })
                   .OnKeyPress(&TFrmMagzData::EditcodeKeyPress);
    SbtSort = top.Add<TSpeedButton>("SbtSort").Caption("...").At(414, 7, 22, 21).Hint("选择类别").OnClick(
        &TFrmMagzData::SbtSortClick);
    SbtFind = top.Add<TSpeedButton>("SbtFind").Caption("查询").At(442, 6, 60, 23).OnClick(&TFrmMagzData::SbtFindClick);

    auto bottom = b.In(Panel3);
    bottom.Add<TLabel>("LbPrice").Caption("价格合计:").At(10, 10);
    EditPrice = bottom.Add<TDBNumberEditEh>("EditPrice").At(70, 6, 100, 21).TabStop(false);
    EditPrice->SetDecimalPlaces(4);
    bottom.Add<TLabel>("LbPriceUnit").Caption("元").At(174, 10);
    bottom.Add<TLabel>("LbQty").Caption("共计:").At(200, 10);
    EditQty = bottom.Add<TDBNumberEditEh>("EditQty").At(236, 6, 70, 21).TabStop(false);
    EditQty->SetDecimalPlaces(0);
    bottom.Add<TLabel>("LbQtyUnit").Caption("本").At(310, 10);
    BtExcel = bottom.Add<TButton>("BtExcel").Caption("Excel导入(&X)").At(340, 3, 86, 24).OnClick(&TFrmMagzData::BtExcelClick);
    for (TDBNumberEditEh* e : {EditPrice, EditQty}) e->SetReadOnly(true);

    DBSumList1 = b.Add<TDBSumList>("DBSumList1");
    DBSumList1->SetDataSet(ADOqData);
    DBSumList1->SumCollection()->Add()->SetFieldName("BookPrice");
}

void TFrmMagzData::InitForm() {
    TMDIBaseData::InitForm();
    reload({"select top 1000 * from Magzinfo order by Code", {}});
    ReportFile = "MagzData.rmf";
    HelpTopic = "tszl.htm";
}

void TFrmMagzData::BtExcelClick(TObject*) {
    OpenImportWizard(DBGrid1, "Share", "MagzInfo", "");
    refreshCounters();
}

void TFrmMagzData::refreshCounters() {
    // Active, the sum list adds the prices up again at each opening of the
    // list and follows each edit: switching it off and on would walk the
    // rows a second time.
    DBSumList1->SetActive(true);
    EditPrice->SetValue(Variant(Currency::FromRaw(DBSumList1->SumCollection()->Items(0)->SumValue)));
    EditQty->SetValue(Variant(ADOqData->RecordCount()));
}

void TFrmMagzData::reload(const TBoundSql& statement) {
    ADOqData->Close();
    ADOqData->SetStatement(statement);
    ADOqData->Open();
    refreshCounters();
}

void TFrmMagzData::EditcodeKeyPress(TObject*, char32_t& Key) {
    if (Key != '\r') return;
    Key = 0;
    SbtFindClick(SbtFind);
}

void TFrmMagzData::SbtSortClick(TObject*) {
    {
        std::unique_ptr<TFrmSortSet> picker(new TFrmSortSet(this));
        picker->ShowModal();
        if (!picker->ChosenSortCode.empty()) EditSort->SetText(picker->ChosenSortCode);
    }
    Editcode->SetText("");
    if (EditSort->CanFocus()) EditSort->SetFocus();
    SbtFindClick(SbtFind);
}

void TFrmMagzData::SbtFindClick(TObject*) { reload(MagzQuickSearchSql(Editcode->Text(), EditSort->Text())); }

void TFrmMagzData::BtFindClick(TObject* Sender) {
    TMDIBaseData::BtFindClick(Sender);
    std::unique_ptr<TFrmMagzCond> dialog(new TFrmMagzCond(this));
    if (dialog->ShowModal() == mrOk)
        reload(MagzConditionSql(dialog->Condition));
    else
        refreshCounters();
}

void TFrmMagzData::requeryById() {
    ADOqData->Requery();
    if (!LocateCode.empty()) ADOqData->Locate("Id", Variant(int64_t(StrToInt64Def(LocateCode, 0))), {});
    refreshCounters();
}

void TFrmMagzData::runEditor(int mode) {
    std::unique_ptr<TFrmMagzDataEdit> editor(new TFrmMagzDataEdit(this));
    editor->EditMode = uint8_t(mode);
    editor->KeyField = KeyColumn;
    if (mode != 1) {
        editor->EditId = ADOqData->FieldByName("Id")->AsInteger();
        const bool current = !ADOqData->FieldByName("IsNew")->IsNull() && ADOqData->FieldByName("IsNew")->AsBoolean();
        (current ? editor->Rbx : editor->Rbg)->SetChecked(true);
    }
    editor->ShowModal();
    if (!editor->LastSavedId.empty()) LocateCode = editor->LastSavedId;
}

void TFrmMagzData::BtAddClick(TObject*) {
    if (!ADOqData->IsEmpty()) LocateCode = ADOqData->FieldByName("Id")->AsString();
    runEditor(1);
    requeryById();
}

void TFrmMagzData::BtEditClick(TObject*) {
    if (ADOqData->IsEmpty()) return;
    LocateCode = ADOqData->FieldByName("Id")->AsString();
    runEditor(2);
    requeryById();
}

bool TFrmMagzData::CanDelete() {
    if (ADOqData->IsEmpty()) return true;
    TRowLookup loan(ADOqData->Connection(), "select Id from Magzinfo where Id=? and IsOut='外借'",
                    {ADOqData->FieldByName("Id")->AsVariant()});
    if (loan.Empty()) return true;
    ShowInfoBox("该书籍正在外借,不能删除!");
    return false;
}

void TFrmMagzData::BtDeleteClick(TObject*) {
    if (!CanDelete()) Abort();
    if (DeleteCurrentRow()) {
        LocateCode = ADOqData->IsEmpty() ? std::string() : ADOqData->FieldByName("Id")->AsString();
        requeryById();
    } else {
        refreshCounters();
    }
}
