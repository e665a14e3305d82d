// The book catalogue list; see uBookData.h.
#include "uBookData.h"

#include "ADODB.h"
#include "BookRules.h"
#include "Build.h"
#include "Buttons.h"
#include "ComCtrls.h"
#include "ExtCtrls.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "gridlib/data/DBSumLst.h"
#include "gridlib/edits/DBCtrlsEh.h"
#include "uBookCond.h"
#include "uBookDataEdit.h"
#include "uGlobal.h"
#include "uImportData.h"
#include "uSortSet.h"

#include <memory>

TFrmBookData::TFrmBookData(TComponent* AOwner) : TFrmBookData(AOwner, "Bookinfo") {}

TFrmBookData::TFrmBookData(TComponent* AOwner, std::string table) : TMDIBaseData(AOwner), Table(std::move(table)) {
    SetName("FrmBookData");
    SetCaption("图书编目");
    Panel2->SetCaption("图书编目");
    BtFind->SetCaption(" 查询(&F)");

    TBuild b(this);
    auto top = b.In(Panel1);
    LbSearch = top.Add<TLabel>("LbSearch").Caption("条形码/名称/索书号:").At(8, 11);
    Editcode = top.Add<TEdit>("Editcode")
                   .At(130, 7, 150, 21)
                   .Hint("支持简拼/五笔码查询,输入后回车")
                   .OnEnter(&TFrmBookData::EditcodeEnter)
                   .OnKeyPress(&TFrmBookData::EditcodeKeyPress)
                   .OnKeyDown(KeyDownHandler());
    LbSort = top.Add<TLabel>("LbSort").Caption("分类号:").At(296, 11);
    EditSort = top.Add<TEdit>("EditSort")
                   .At(344, 7, 100, 21)
                   .OnEnter(&TFrmBookData::EditSortEnter)
                   .OnKeyPress(&TFrmBookData::EditcodeKeyPress)
                   .OnKeyDown(KeyDownHandler());
    SbtSort = top.Add<TSpeedButton>("SbtSort").Caption("...").Hint("选择类别").At(446, 7, 22, 21).OnClick(
        &TFrmBookData::SbtSortClick);
    SbtFind = top.Add<TSpeedButton>("SbtFind").Caption("查询").At(476, 6, 60, 23).OnClick(&TFrmBookData::SbtFindClick);

    auto bottom = b.In(Panel3);
    bottom.Add<TLabel>("LbQty").Caption("共计:").At(8, 8);
    EditQty = bottom.Add<TDBNumberEditEh>("EditQty")
                  .At(44, 4, 70, 21)
                  .ReadOnly()
                  .TabStop(false)
                  .Set(&TDBNumberEditEh::SetDecimalPlaces, 0);
    bottom.Add<TLabel>("LbBen").Caption("本").At(118, 8);
    bottom.Add<TLabel>("LbPrice").Caption("价格合计:").At(150, 8);
    EditPrice = bottom.Add<TDBNumberEditEh>("EditPrice")
                    .At(210, 4, 100, 21)
                    .ReadOnly()
                    .TabStop(false)
                    .Set(&TDBNumberEditEh::SetDecimalPlaces, 4);
    bottom.Add<TLabel>("LbYuan").Caption("元").At(314, 8);
    BtExcel = bottom.Add<TButton>("BtExcel").Caption("Excel导入(&X)").At(350, 3, 86, 24).OnClick(&TFrmBookData::BtExcelClick);

    DBSumList1 = new TDBSumList(this);
    DBSumList1->SetName("DBSumList1");
    DBSumList1->SetDataSet(ADOqData);
    TDBSum* sum = DBSumList1->SumCollection()->Add();
    sum->SetFieldName("BookPrice");
    sum->SetGroupOperation(goSum);
    DBSumList1->SetSumListChanged([this](TObject*) {
        EditPrice->SetValue(Variant(Currency::FromRaw(DBSumList1->SumCollection()->Items(0)->SumValue)));
    });
}

void TFrmBookData::InitForm() {
    TMDIBaseData::InitForm();
    ADOqData->Close();
    ADOqData->SQL()->SetText("select top 1000 * from " + Table + " order by Id");
    ADOqData->Open();
    RefreshCounters();
    ReportFile = "BookData.rmf";
    HelpTopic = "tszl.htm";
}

void TFrmBookData::RefreshCounters() {
    // Active, the sum list adds the prices up again at each opening of the
    // list and follows each edit: switching it off and on would walk the
    // rows a second time.
    DBSumList1->SetActive(true);
    EditQty->SetValue(Variant(ADOqData->RecordCount()));
}

void TFrmBookData::EditcodeEnter(TObject*) { EditSort->SetText(""); }

void TFrmBookData::EditSortEnter(TObject*) { Editcode->SetText(""); }

void TFrmBookData::EditcodeKeyPress(TObject*, char32_t& Key) {
    if (Key == '\r') {
        Key = 0;
        SbtFind->Click();
    }
}

void TFrmBookData::LoadList(const TBoundSql& where) {
    ADOqData->Close();
    ADOqData->SetStatement(BookListSql(Table, where));
    ADOqData->Open();
}

TBoundSql TFrmBookData::SearchWhere(const std::string& text, const std::string& sortText) const {
    return BookSearchWhere(text, sortText, true);
}

void TFrmBookData::PrepareCondition(TFrmBookCond*) {}

void TFrmBookData::SbtFindClick(TObject*) {
    LoadList(SearchWhere(Editcode->Text(), EditSort->Text()));
    RefreshCounters();
}

void TFrmBookData::BtExcelClick(TObject*) {
    OpenImportWizard(DBGrid1, "Share", "BookInfo", "");
    RefreshCounters();
}

void TFrmBookData::SbtSortClick(TObject*) {
    std::string code;
    if (PickClass(this, code)) {
        EditSort->SetText(code);
        SbtFind->Click();
    }
    if (EditSort->CanFocus()) EditSort->SetFocus();
}

void TFrmBookData::BtFindClick(TObject* Sender) {
    TMDIBaseData::BtFindClick(Sender);
    std::unique_ptr<TFrmBookCond> cond(new TFrmBookCond(this));
    PrepareCondition(cond.get());
    if (cond->ShowModal() == mrOk) LoadList(cond->Where);
    RefreshCounters();
}

void TFrmBookData::locateId() {
    if (!LocateCode.empty()) ADOqData->Locate("Id", Variant(StrToIntDef(LocateCode, 0)), 0);
}

TFrmBookDataEdit* TFrmBookData::NewEditor() { return new TFrmBookDataEdit(this); }

std::string TFrmBookData::RunEditor(uint8_t mode, int id) {
    std::unique_ptr<TFrmBookDataEdit> editor(NewEditor());
    editor->EditMode = mode;
    if (mode == 2) {
        editor->KeyField = KeyColumn;
        editor->EditId = id;
    }
    editor->ShowModal();
    return editor->LastSavedId;
}

void TFrmBookData::runEditor(uint8_t mode) {
    const std::string saved = RunEditor(mode, mode == 2 ? ADOqData->FieldByName("Id")->AsInteger() : 0);
    if (!saved.empty()) LocateCode = saved;
}

void TFrmBookData::BtAddClick(TObject* Sender) {
    if (!ADOqData->IsEmpty()) LocateCode = ADOqData->FieldByName("Id")->AsString();
    runEditor(1);
    TMDIBaseData::BtAddClick(Sender);
    RefreshCounters();
    locateId();
}

void TFrmBookData::BtEditClick(TObject* Sender) {
    if (ADOqData->IsEmpty()) return;
    LocateCode = ADOqData->FieldByName("Id")->AsString();
    runEditor(2);
    TMDIBaseData::BtEditClick(Sender);
    RefreshCounters();
    if (!KeyColumn.empty()) locateId();
}

bool TFrmBookData::CanDelete() {
    if (ADOqData->IsEmpty()) return true;
    TRowLookup out(ADOqData->Connection(), "select Id from Bookinfo where Id=? and IsOut='外借'",
                   {Variant(ADOqData->FieldByName("Id")->AsInteger())});
    if (out.Empty()) return true;
    ShowInfoBox("该书籍正在外借,不能删除!");
    return false;
}

void TFrmBookData::BtDeleteClick(TObject*) {
    if (!CanDelete()) Abort();
    if (DeleteCurrentRow()) {
        LocateCode = ADOqData->IsEmpty() ? std::string() : ADOqData->FieldByName("Id")->AsString();
        ADOqData->Requery();
        locateId();
    }
    RefreshCounters();
}
