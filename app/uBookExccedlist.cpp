// The overdue lists; see uBookExccedlist.h.
#include "uBookExccedlist.h"

#include "ADODB.h"
#include "DBGrids.h"
#include "ExtCtrls.h"
#include "StdCtrls.h"
#include "uDMData.h"
#include "uGridLayout.h"
#include "uGlobal.h"
#include "uReaderDetail.h"

TFrmBookExceedList::TFrmBookExceedList(TComponent* AOwner) : TFrmBookExceedList(AOwner, TItemKind::Book) {}

TFrmBookExceedList::TFrmBookExceedList(TComponent* AOwner, TItemKind kind) : TFrmBaseD(AOwner), Kind(kind) {
    const bool book = kind == TItemKind::Book;
    SetName(book ? "FrmBookExceedList" : "FrmMagzExceedList");
    SetCaption(book ? "图书逾期未还" : "期刊逾期未还");
    SetBorderStyle(bsSizeable);
    SetClientWidth(book ? 520 : 620);
    SetClientHeight(320);
    if (Application->MainForm() && Application->MainForm() != this && Application->MainForm()->FormStyle() == fsMDIForm)
        SetFormStyle(fsMDIChild);

    AdoqDest = new TADOQuery(this);
    AdoqDest->SetName("AdoqDest");
    AdoqDest->SetCursorType(ctStatic);
    AdoqDest->SetConnection(DMData ? DMData->ADOConnection1 : nullptr);
    DataSource1 = new TDataSource(this);
    DataSource1->SetName("DataSource1");
    DataSource1->SetDataSet(AdoqDest);

    Panel1 = new TPanel(this);
    Panel1->SetName("Panel1");
    Panel1->SetParent(this);
    Panel1->SetCaption("");
    Panel1->SetAlign(alBottom);
    Panel1->SetHeight(36);
    BtLook = new TButton(this);
    BtLook->SetName("BtLook");
    BtLook->SetParent(Panel1);
    BtLook->SetCaption("联系");
    BtLook->SetBounds(10, 5, 80, 25);
    BtLook->OnClick = [this](TObject* s) { BtLookClick(s); };
    BtClose = new TButton(this);
    BtClose->SetName("BtClose");
    BtClose->SetParent(Panel1);
    BtClose->SetCaption("关闭");
    BtClose->SetBounds(100, 5, 80, 25);
    BtClose->OnClick = [this](TObject* s) { BtCloseClick(s); };

    DBGrid1 = new TDBGrid(this);
    DBGrid1->SetName("DBGrid1");
    DBGrid1->SetParent(this);
    DBGrid1->SetAlign(alClient);
    DBGrid1->SetReadOnly(true);
    DBGrid1->SetOptions(TDBGridOptions{dgTitles, dgIndicator, dgColumnResize, dgColLines, dgRowLines, dgRowSelect,
                                       dgAlwaysShowSelection});
    DBGrid1->SetDataSource(DataSource1);
    auto column = [this](const char* field, const char* title, int width) {
        AddDesignedColumn(DBGrid1, field, title, width);
    };
    column("RName", "读者姓名", 80);
    column("ReturnDate", "应还日", 85);
    column("Code", book ? "图书编号" : "期刊编号", 100);
    column("BName", book ? "图书名称" : "期刊名称", 200);
    if (!book) {
        column("Orderyear", "年度", 50);
        column("PeriodNo", "期号", 50);
    }
    for (TWinControl* c : std::initializer_list<TWinControl*>{DBGrid1, BtLook, BtClose})
        c->OnKeyDown = KeyDownHandler();
    OnClose = [this](TObject* s, TCloseAction& a) { FormClose(s, a); };
}

void TFrmBookExceedList::InitForm() {
    TFrmBaseD::InitForm();
    SetColor(RGB(242, 228, 185));
    Panel1->SetColor(RGB(242, 228, 185));
    DBGrid1->SetFixedColor(RGB(255, 216, 134));
    AdoqDest->Close();
    AdoqDest->SQL()->SetText(OverdueListSql(Kind, BusinessDate));
    AdoqDest->Open();
}

void TFrmBookExceedList::BtLookClick(TObject*) {
    if (!AdoqDest->Active() || AdoqDest->IsEmpty()) return;
    ShowReaderDetail(AdoqDest->FieldByName("Rcode")->AsString());
}

void TFrmBookExceedList::BtCloseClick(TObject*) { Close(); }

void TFrmBookExceedList::FormClose(TObject*, TCloseAction& Action) {
    AdoqDest->Close();
    Action = caFree;
}
