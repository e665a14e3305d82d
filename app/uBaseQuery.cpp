// The query window base; see uBaseQuery.h.
#include "uBaseQuery.h"

#include "Build.h"
#include "Buttons.h"
#include "DB.h"
#include "ExtCtrls.h"
#include "Menus.h"
#include "Shell.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "gridlib/data/DBSumLst.h"
#include "vq/export/VQExcelExport.h"
#include "gridlib/grid/DBGridEh.h"
#include "gridlib/print/PrnDbgeh.h"
#include "uDMData.h"
#include "uGlobal.h"
#include "uGridLayout.h"
#include "uSetInterface.h"

namespace {
constexpr TColor Cream = RGB(255, 242, 222);
constexpr TColor TitleBlue = RGB(157, 231, 255);
} // namespace

TMDIBaseQuery::TMDIBaseQuery(TComponent* AOwner) : TFrmBaseD(AOwner) {
    SetName("MDIBaseQuery");
    SetBorderStyle(bsSizeable);
    SetPosition(poDesktopCenter);
    SetClientWidth(780);
    SetClientHeight(480);
    // Esc closes and F1 helps from whichever control has the keyboard.
    SetKeyPreview(true);

    TBuild b(this);
    TADOConnection* conn = DMData ? DMData->ADOConnection1 : nullptr;
    ADOQueryBill = b.Add<TADOQuery>("ADOQueryBill").Set(&TADOQuery::SetCursorType, ctStatic);
    ADOQueryBill->SetConnection(conn);
    // Before the sum list hooks the query, so that both run after an open.
    ADOQueryBill->AfterOpen = [this](TDataSet* ds) { ADOQueryBillAfterOpen(ds); };
    ADOqSql = b.Add<TADOQuery>("ADOqSql");
    ADOqSql->SetConnection(conn);
    AdoqTemp = b.Add<TADOQuery>("AdoqTemp");
    AdoqTemp->SetConnection(conn);
    DataSource1 = b.Add<TDataSource>("DataSource1");
    DataSource1->SetDataSet(ADOQueryBill);
    DBSumList1 = b.Add<TDBSumList>("DBSumList1");

    PopupMenu2 = b.Add<TPopupMenu>("PopupMenu2");
    N1 = b.Add<TMenuItem>("N1").Caption("打印报表").OnClick(&TMDIBaseQuery::N1Click);
    N4 = b.Add<TMenuItem>("N4").Caption("打印预览").OnClick(&TMDIBaseQuery::N4Click);
    N7 = b.Add<TMenuItem>("N7").Caption("导出Excel").OnClick(&TMDIBaseQuery::N7Click);
    for (TMenuItem* item : {N1, N4, N7}) PopupMenu2->Items()->Add(item);
    PopupMenu1 = b.Add<TPopupMenu>("PopupMenu1");
    N2 = b.Add<TMenuItem>("N2").Caption("界面保存").OnClick(&TMDIBaseQuery::N2Click);
    N3 = b.Add<TMenuItem>("N3").Caption("界面控制").OnClick(&TMDIBaseQuery::N3Click);
    for (TMenuItem* item : {N2, N3}) PopupMenu1->Items()->Add(item);

    ToolBar1 = b.Add<TPanel>("ToolBar1").Align(alTop).Height(32).Caption("");
    auto bar = b.In(ToolBar1).Across(4, 3, 26, 2);
    using Row = TToolRow<TMDIBaseQuery>;
    BtFind = bar.Add<TBitBtn>(Row{"BtFind", " 查询(&F) ", "按条件进行查询,,快捷键[Alt+F]", 90,
                                  &TMDIBaseQuery::BtFindClick});
    BtPrint = bar.Add<TBitBtn>(Row{"BtPrint", " 打印(&P) ", "打印表格数据,快捷键[Alt+P]", 90,
                                   &TMDIBaseQuery::BtPrintClick});
    BtInterface = bar.Add<TBitBtn>(Row{"BtInterface", " 界面(&I) ", "界面显示控制及保存,,快捷键[Alt+I]", 90,
                                       &TMDIBaseQuery::BtInterfaceClick});
    BtExit = bar.Add<TBitBtn>(Row{"BtExit", " 关闭(&E) ", "关闭本窗口,快捷键[Alt+E]", 90,
                                  &TMDIBaseQuery::BtExitClick});
    BtHelp = bar.Add<TBitBtn>(Row{"BtHelp", " 帮助(&H) ", "显示当前帮助,快捷键[Alt+H]", 90,
                                  &TMDIBaseQuery::BtHelpClick})
                 .Visible(false);
    for (TBitBtn* bt : {BtFind, BtPrint, BtInterface, BtExit, BtHelp}) bt->SetTabStop(false);

    Panel1 = b.Add<TPanel>("Panel1").Align(alTop).Height(40).Caption("");
    Panel1->SetTop(ToolBar1->Height());
    LbCaption = b.In(Panel1).Add<TLabel>("LbCaption").Caption("日期:").At(10, 4);

    Panel2 = b.Add<TPanel>("Panel2").Align(alBottom).Height(24).Caption("");
    auto count = b.In(Panel2);
    count.Add<TLabel>("LbTotal").Caption("共").At(10, 5);
    LbQty = count.Add<TLabel>("LbQty").Caption("0").At(28, 5, 60, 14);
    count.Add<TLabel>("LbRecords").Caption("条记录").At(92, 5);

    DBGridEh1 = b.Add<TDBGridEh>("DBGridEh1").Align(alClient);
    DBGridEh1->SetDataSource(DataSource1);
    DBGridEh1->SetReadOnly(true);
    DBGridEh1->SetAllowedOperations({});
    DBGridEh1->SetOptions(TDBGridOptions{dgTitles, dgIndicator, dgColumnResize, dgColLines, dgRowLines, dgTabs,
                                         dgRowSelect, dgAlwaysShowSelection, dgCancelOnExit});
    DBGridEh1->SetOptionsEh(TDBGridEhOptions{dghFixed3D, dghHighlightFocus, dghClearSelection, dghRowHighlight});
    DBGridEh1->SetFooterRowCount(1);
    DBGridEh1->SumList()->SetActive(true);
    DBGridEh1->OnTitleClick = [this](TColumnEh* c) { DBGridEh1TitleClick(c); };

    PrintDBGridEh1 = b.Add<TPrintDBGridEh>("PrintDBGridEh1");
    PrintDBGridEh1->SetDBGridEh(DBGridEh1);
    PrintDBGridEh1->SetOptions({});
    // 2 mm on every side; the page parameters count in centimetres.
    const Currency twoMm = Currency::FromRaw(2000);
    for (Currency* m : {&PrintDBGridEh1->Page()->TopMargin, &PrintDBGridEh1->Page()->BottomMargin,
                        &PrintDBGridEh1->Page()->LeftMargin, &PrintDBGridEh1->Page()->RightMargin})
        *m = twoMm;
    for (int i = 0; i < 5; ++i) {
        PrintDBGridEh1->PageHeader()->CenterText()->Add("");
        PrintDBGridEh1->PageHeader()->LeftText()->Add("");
    }

    OnClose = [this](TObject* s, TCloseAction& a) { FormClose(s, a); };
}

TMDIBaseQuery::~TMDIBaseQuery() = default;

void TMDIBaseQuery::InitForm() {
    TFrmBaseD::InitForm();
    Panel1->SetColor(Cream);
    Panel2->SetColor(Cream);
    ToolBar1->SetColor(TitleBlue);
    DBGridEh1->SetFixedColor(TitleBlue);
    SetActiveControl(DBGridEh1);
    if (layoutRead_ || !DMData) return;
    layoutRead_ = true;
    TableCode = LayoutCodeOf(DMData->ADOConnection1, Name());
    // Without a layout row the columns the window designed stay.
    if (!TableCode.empty()) LayoutColumns(false);
}

void TMDIBaseQuery::LayoutColumns(bool replace) {
    const std::vector<TLayoutRow> rows = ReadLayout(DMData->ADOConnection1, TableCode);
    DBGridEh1->SetEnabled(false);
    if (replace) DBGridEh1->Columns()->Clear();
    for (const TLayoutRow& shown : ShownRows(rows)) {
        // A field the window designed a column for is not shown twice. The
        // grid's own columns for every field of an open result (the menu
        // runs the first query before the window is shown) are no design:
        // the first layout column replaces them all.
        bool designed = false;
        for (int i = 0; i < DBGridEh1->Columns()->Count(); ++i) {
            const TColumnEh* c = DBGridEh1->Columns()->Items(i);
            designed = designed || (c->Stored() && SameText(c->FieldName(), shown.ColumnsCode));
        }
        if (!designed) DBGridEh1->Columns()->Add()->SetFieldName(shown.ColumnsCode);
    }
    for (int i = 0; i < DBGridEh1->Columns()->Count(); ++i) {
        TColumnEh* c = DBGridEh1->Columns()->Items(i);
        const TLayoutRow* r = RowForField(rows, c->FieldName());
        if (!r) continue;
        c->Title()->SetCaption(r->ColumnsName);
        c->Title()->SetAlignment(taCenter);
        c->SetWidth(r->ColumnsLength);
    }
    DBGridEh1->SetEnabled(true);
}

void TMDIBaseQuery::FormKeyDown(TObject* Sender, Word& Key, TShiftState Shift) {
    TFrmBaseD::FormKeyDown(Sender, Key, Shift);
    if (Key == VK_F1 && BtHelp->Visible()) BtHelp->Click();
}

void TMDIBaseQuery::BtFindClick(TObject*) {}

void TMDIBaseQuery::BtExitClick(TObject*) { Close(); }

void TMDIBaseQuery::BtHelpClick(TObject*) { WinExecHelp("HH.exe Vozoveraz.chm::" + HelpTopic); }

void TMDIBaseQuery::BtPrintClick(TObject*) {
    const TPoint p = BtPrint->ClientToScreen(TPoint{0, BtPrint->Height()});
    PopupMenu2->Popup(p.X, p.Y);
}

void TMDIBaseQuery::BtInterfaceClick(TObject*) {
    const TPoint p = BtInterface->ClientToScreen(TPoint{0, BtInterface->Height()});
    PopupMenu1->Popup(p.X, p.Y);
}

void TMDIBaseQuery::PreparePrint() {
    TStrings* centre = PrintDBGridEh1->PageHeader()->CenterText();
    centre->SetStrings(0, CorpName);
    // The title is this window's: none when it sets none.
    centre->SetStrings(1, ReportTitle);
    centre->SetStrings(3, "");
    PrintDBGridEh1->PageHeader()->LeftText()->SetStrings(4, ConditionCaption);
    PrintDBGridEh1->Title()->Clear();
}

void TMDIBaseQuery::N1Click(TObject*) {
    PreparePrint();
    PrintDBGridEh1->PrintDirect();
}

void TMDIBaseQuery::N4Click(TObject*) {
    PreparePrint();
    PrintDBGridEh1->ShowPreview();
}

void TMDIBaseQuery::N7Click(TObject*) { TVQExcelExport::ExportDBGridEh("", "", DBGridEh1); }

void TMDIBaseQuery::N2Click(TObject*) {
    std::vector<std::pair<std::string, int>> shown;
    for (int i = 0; i < DBGridEh1->Columns()->Count(); ++i) {
        TColumnEh* c = DBGridEh1->Columns()->Items(i);
        if (c->Visible()) shown.emplace_back(c->FieldName(), c->Width());
    }
    SaveGridLayout(DMData->ADOConnection1, TableCode, shown);
}

void TMDIBaseQuery::N3Click(TObject*) {
    if (!EditGridLayout(TableCode)) return;
    LayoutColumns(true);
}

void TMDIBaseQuery::DBGridEh1TitleClick(TColumnEh* Column) {
    if (!Column || Column->FieldName().empty() || !ADOQueryBill->Active()) return;
    ADOQueryBill->SetSort(Column->FieldName());
}

void TMDIBaseQuery::ADOQueryBillAfterOpen(TDataSet* DataSet) { LbQty->SetCaption(IntToStr(DataSet->RecordCount())); }

void TMDIBaseQuery::FormClose(TObject*, TCloseAction&) { ADOQueryBill->Close(); }

void TMDIBaseQuery::RunQuery(const TBoundSql& statement) {
    ADOQueryBill->Close();
    ADOQueryBill->SetStatement(statement);
    ADOQueryBill->Open();
}

void TMDIBaseQuery::SetConditionCaption(const std::string& caption) {
    ConditionCaption = caption;
    LbCaption->SetCaption(caption);
}

void TMDIBaseQuery::SumFooters(const std::vector<std::string>& fields) {
    for (int i = 0; i < DBGridEh1->Columns()->Count(); ++i) {
        TColumnEh* c = DBGridEh1->Columns()->Items(i);
        for (const std::string& f : fields) {
            if (!SameText(c->FieldName(), f)) continue;
            c->Footer()->SetFieldName(c->FieldName());
            c->Footer()->SetValueType(fvtSum);
        }
    }
}
