// The master-data list window base; see uMDIBaseData.h.
#include "uMDIBaseData.h"

#include "ADODB.h"
#include "Build.h"
#include "ComCtrls.h"
#include "ExtCtrls.h"
#include "Menus.h"
#include "Shell.h"
#include "SysUtils.h"
#include "report/model/RM_Designer.h"
#include "report/model/RM_Report.h"
#include "report/preview/RM_Preview.h"
#include "uDMData.h"
#include "uGlobal.h"
#include "uGridLayout.h"
#include "uMDIBase.h"
#include "vq/export/VQExcelExport.h"
#include "vq/grid/VQDBGrid.h"

namespace {

constexpr TColor kPanelColor = RGB(208, 243, 255);
constexpr TColor kTitleColor = RGB(255, 227, 170);
const std::string kAsc = "▲";
const std::string kDesc = "▼";

bool endsWith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

std::string withoutMark(std::string title) {
    for (const std::string& m : {kAsc, kDesc})
        if (endsWith(title, m)) title.erase(title.size() - m.size());
    return title;
}

} // namespace

TMDIBaseData::TMDIBaseData(TComponent* AOwner) : TFrmBaseD(AOwner) {
    SetName("MDIBaseData");
    SetBorderStyle(bsSizeable);
    SetPosition(poDesktopCenter);
    SetBounds(0, 0, 760, 520);
    if (Application->MainForm() && Application->MainForm() != this && Application->MainForm()->FormStyle() == fsMDIForm)
        SetFormStyle(fsMDIChild);
    SetKeyPreview(true);

    TBuild b(this);
    ADOqData = b.Add<TADOQuery>("ADOqData");
    Adoqtemp = b.Add<TADOQuery>("Adoqtemp");
    ADOqSql = b.Add<TADOQuery>("ADOqSql");
    Adoqueryset = b.Add<TADOQuery>("Adoqueryset");
    ADOCommand1 = b.Add<TADOCommand>("ADOCommand1");
    TADOConnection* conn = DMData ? DMData->ADOConnection1 : nullptr;
    for (TADOQuery* q : {ADOqData, Adoqtemp, ADOqSql, Adoqueryset}) q->SetConnection(conn);
    ADOCommand1->SetConnection(conn);
    DSData = b.Add<TDataSource>("DSData");
    DSData->SetDataSet(ADOqData);
    RMDBDataSet1 = new TRMDBDataSet(this);
    RMDBDataSet1->SetName("RMDBDataSet1");
    RMDBDataSet1->SetDataSet(ADOqData);
    RMDesigner1 = new TRMDesigner(this);
    RMDesigner1->SetName("RMDesigner1");

    PopupMenu1 = b.Add<TPopupMenu>("PopupMenu1");
    N1 = b.Add<TMenuItem>("N1").Caption("保存界面").OnClick(&TMDIBaseData::N1Click);
    N2 = b.Add<TMenuItem>("N2").Caption("显示控制").OnClick(&TMDIBaseData::N2Click);
    PopupMenu1->Items()->Add(N1);
    PopupMenu1->Items()->Add(N2);
    PopupMenu2 = b.Add<TPopupMenu>("PopupMenu2");
    N4 = b.Add<TMenuItem>("N4").Caption("报表预览").OnClick(&TMDIBaseData::N4Click);
    N3 = b.Add<TMenuItem>("N3").Caption("报表打印").OnClick(&TMDIBaseData::N3Click);
    N5 = b.Add<TMenuItem>("N5").Caption("报表设计").OnClick(&TMDIBaseData::N5Click);
    NExcel = b.Add<TMenuItem>("NExcel").Caption("导出Excel").OnClick(&TMDIBaseData::NExcelClick);
    for (TMenuItem* i : {N4, N3, N5, NExcel}) PopupMenu2->Items()->Add(i);

    // Coloured before anything is put on them: a colour set afterwards
    // would change every child's palette once more.
    Panel2 = b.Add<TPanel>("Panel2").Align(alTop).Height(30).Caption("").Color(kPanelColor);
    Panel1 = b.Add<TPanel>("Panel1").Align(alTop).Height(36).Caption("").Color(kPanelColor);
    Panel1->SetTop(Panel2->Height());
    ToolBar1 = b.Add<TToolBar>("ToolBar1")
                   .Align(alBottom)
                   .Height(30)
                   .Set(&TToolBar::SetShowCaptions, true)
                   .Set(&TToolBar::SetButtonWidth, 78)
                   .Set(&TToolBar::SetButtonHeight, 26)
                   .Set(&TToolBar::SetShowHint, true)
                   .Color(kTitleColor);
    Panel3 = b.Add<TPanel>("Panel3").Align(alBottom).Height(30).Caption("").Color(kPanelColor);
    auto tools = b.In(ToolBar1);
    auto tool = [&](const char* name, const char* caption, const char* hint) {
        return tools.Add<TToolButton>(name).Caption(caption).Hint(hint);
    };
    BtAdd = tool("BtAdd", " 新增(&A)", "新增记录,快捷键[Alt+A]").OnClick(&TMDIBaseData::BtAddClick);
    BtEdit = tool("BtEdit", " 修改(&M)", "修改当前记录,快捷键[Alt+M]").OnClick(&TMDIBaseData::BtEditClick);
    BtDelete = tool("BtDelete", " 删除(&D)", "删除当前记录,快捷键[Alt+D]").OnClick(&TMDIBaseData::BtDeleteClick);
    BtFind = tool("BtFind", " 查找(&F)", "查找符合条件的记录,快捷键[Alt+F]").OnClick(&TMDIBaseData::BtFindClick);
    // The two menu buttons drop their menus, by mouse or by their keys.
    BtPrint = tool("BtPrint", "打印(&P)", "打印当前资料,快捷键[Alt+P]")
                  .Set(&TToolButton::SetDropdownMenu, PopupMenu2);
    BtInterface = tool("BtInterface", "界面(&I)", "调整表格大小及显示控制,快捷键[Alt+I]")
                      .Set(&TToolButton::SetDropdownMenu, PopupMenu1);
    BtExit = tool("BtExit", "关闭(E)", "退出本窗口,快捷键[Alt+E]").OnClick(&TMDIBaseData::BtExitClick);
    BtHelp = tool("BtHelp", " 帮助(F1)", "").OnClick(&TMDIBaseData::BtHelpClick).Visible(false);

    DBGrid1 = b.Add<TVQDBGrid>("DBGrid1")
                  .Align(alClient)
                  .Set(&TVQDBGrid::SetDataSource, DSData)
                  .ReadOnly()
                  .Set(&TVQDBGrid::SetLineColor, clNavy)
                  .Set(&TVQDBGrid::SetScrollBars, ssHorizontal)
                  .Set(&TVQDBGrid::SetFixedColor, kTitleColor)
                  .OnDblClick(&TMDIBaseData::DBGrid1DblClick)
                  .OnKeyDown(&TMDIBaseData::DBGrid1KeyDown);
    DBGrid1->OnTitleClick = [this](TVQColumn* c) { DBGrid1TitleClick(c); };
    // Reading order: the search panel, the list, the counters, the buttons.
    DBGrid1->SetTabOrder(2);
    Panel3->SetTabOrder(3);

    OnClose = [this](TObject* s, TCloseAction& a) { FormClose(s, a); };
}

void TMDIBaseData::InitForm() {
    TFrmBaseD::InitForm();
    // Again on every show, as a layout may have changed them; the same
    // colours cost nothing.
    for (TPanel* p : {Panel1, Panel2, Panel3})
        if (p->Color() != kPanelColor) p->SetColor(kPanelColor);
    if (ToolBar1->Color() != kTitleColor) ToolBar1->SetColor(kTitleColor);
    if (DBGrid1->FixedColor() != kTitleColor) DBGrid1->SetFixedColor(kTitleColor);

    TADOConnection* conn = ADOqData->Connection();
    TableCode = LayoutCodeOf(conn, Name());
    if (TableCode.empty()) {
        // Released before the abort ends the opening: nothing of the
        // window stays behind, and its caller's request stops with it.
        Release();
        Abort();
    }
    const std::vector<TLayoutRow> rows = ReadLayout(conn, TableCode);
    if (const TLayoutRow* key = KeyRow(rows)) KeyColumn = key->ColumnsCode;
    buildColumns(rows);
}

void TMDIBaseData::BuildColumns() { buildColumns(ReadLayout(ADOqData->Connection(), TableCode)); }

void TMDIBaseData::buildColumns(const std::vector<TLayoutRow>& rows) {
    TVQDBGridColumns* columns = DBGrid1->Columns();
    DBGrid1->BeginLayout();
    columns->Clear();
    for (const TLayoutRow& shown : ShownRows(rows)) {
        TVQColumn* c = columns->Add();
        c->SetFieldName(shown.ColumnsCode);
        if (const TLayoutRow* r = RowForField(rows, shown.ColumnsCode)) {
            c->Title()->SetCaption(r->ColumnsName);
            c->SetWidth(r->ColumnsLength);
        }
        c->Title()->SetAlignment(taCenter);
    }
    SortColumn.clear();
    DBGrid1->EndLayout();
}

bool TMDIBaseData::CanDelete() { return true; }

void TMDIBaseData::BeforeDelete() {}

void TMDIBaseData::BtDeleteClick(TObject*) {
    if (!CanDelete()) Abort();
    if (!DeleteCurrentRow()) return;
    LocateCode = ADOqData->IsEmpty() ? std::string() : ADOqData->FieldByName("Code")->AsString();
    RequeryAndLocate();
}

bool TMDIBaseData::DeleteCurrentRow() {
    if (Application->MessageBox("是否删除此记录？", "询问", MB_OKCANCEL | MB_ICONQUESTION) != IDOK) return false;
    TADOConnection* conn = ADOqData->Connection();
    if (!conn->Connected()) conn->Open();
    try {
        TTransaction tx(conn);
        if (ADOqData->Active() && !ADOqData->IsEmpty()) {
            BeforeDelete();
            ADOqData->Delete();
        }
        tx.Commit();
    } catch (const EDatabaseError&) {
        ShowInfoBox("删除出错！");
        Abort();
    }
    return true;
}

void TMDIBaseData::RequeryAndLocate() {
    if (ADOqData->Active())
        ADOqData->Requery();
    else
        ADOqData->Open();
    if (!LocateCode.empty()) ADOqData->Locate("code", Variant(LocateCode), loCaseInsensitive);
}

void TMDIBaseData::BtFindClick(TObject*) {}

void TMDIBaseData::BtAddClick(TObject*) { ADOqData->Requery(); }

void TMDIBaseData::BtEditClick(TObject*) { ADOqData->Requery(); }

void TMDIBaseData::BtExitClick(TObject*) { Close(); }

void TMDIBaseData::BtHelpClick(TObject*) { WinExecHelp("HH.exe Vozoveraz.chm::" + HelpTopic); }

void TMDIBaseData::DBGrid1DblClick(TObject*) {
    if (BtEdit->Enabled() && BtEdit->Visible()) BtEdit->Click();
}

void TMDIBaseData::DBGrid1KeyDown(TObject* Sender, Word& Key, TShiftState Shift) {
    if (Key == VK_ESCAPE) FormKeyDown(Sender, Key, Shift);
}

void TMDIBaseData::FormKeyDown(TObject* Sender, Word& Key, TShiftState Shift) {
    TFrmBaseD::FormKeyDown(Sender, Key, Shift);
    if (Key == VK_F1) BtHelp->Click();
}

void TMDIBaseData::FormClose(TObject*, TCloseAction& Action) {
    ADOqData->Close();
    Action = caFree;
}

void TMDIBaseData::DBGrid1TitleClick(TVQColumn* Column) {
    if (!Column || !ADOqData->Active()) return;
    const std::string field = Column->FieldName();
    if (field != SortColumn) {
        for (int i = 0; i < DBGrid1->Columns()->Count(); ++i) {
            TVQColumn* c = DBGrid1->Columns()->Items(i);
            if (c->FieldName() == SortColumn) c->Title()->SetCaption(withoutMark(c->Title()->Caption()));
        }
        SortColumn = field;
    }
    const std::string title = Trim(Column->Title()->Caption());
    if (!endsWith(title, kAsc)) {
        ADOqData->SetSort(field + " ASC");
        Column->Title()->SetCaption(withoutMark(title) + kAsc);
    } else {
        ADOqData->SetSort(field + " DESC");
        Column->Title()->SetCaption(withoutMark(title) + kDesc);
    }
}

void TMDIBaseData::N1Click(TObject*) {
    std::vector<std::pair<std::string, int>> shown;
    for (int i = 0; i < DBGrid1->Columns()->Count(); ++i) {
        TVQColumn* c = DBGrid1->Columns()->Items(i);
        shown.emplace_back(c->FieldName(), c->Width());
    }
    SaveGridLayout(ADOqData->Connection(), TableCode, shown);
}

void TMDIBaseData::N2Click(TObject*) {
    if (!TMDIBase::EditGridLayout || !TMDIBase::EditGridLayout(TableCode)) Abort();
    BuildColumns();
}

std::string TMDIBaseData::reportPath() const { return ExeDir() + "report/" + ReportFile; }

void TMDIBaseData::N4Click(TObject*) { RMShowReportFile(reportPath(), 0, this, {{"馆名", Variant(CorpName)}}); }

void TMDIBaseData::N3Click(TObject*) { RMShowReportFile(reportPath(), 1, this, {{"馆名", Variant(CorpName)}}); }

void TMDIBaseData::N5Click(TObject*) {
    TRMReport report(this);
    report.LoadFromFile(reportPath());
    report.DesignReport();
}

void TMDIBaseData::NExcelClick(TObject*) { TVQExcelExport::ExportDBGrid(DBGrid1); }
