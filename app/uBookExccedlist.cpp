// The overdue lists; see uBookExccedlist.h.
#include "uBookExccedlist.h"

#include "ADODB.h"
#include "Build.h"
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

    TBuild b(this);
    AdoqDest = b.Add<TADOQuery>("AdoqDest").Set(&TADOQuery::SetCursorType, ctStatic);
    AdoqDest->SetConnection(DMData ? DMData->ADOConnection1 : nullptr);
    DataSource1 = b.Add<TDataSource>("DataSource1");
    DataSource1->SetDataSet(AdoqDest);

    Panel1 = b.Add<TPanel>("Panel1").Caption("").Align(alBottom).Height(36);
    auto buttons = b.In(Panel1).Across(10, 5, 25, 10);
    BtLook =
        buttons.Add<TButton>({"BtLook", "联系", "", 80, &TFrmBookExceedList::BtLookClick}).OnKeyDown(KeyDownHandler());
    BtClose = buttons.Add<TButton>({"BtClose", "关闭", "", 80, &TFrmBookExceedList::BtCloseClick})
                  .OnKeyDown(KeyDownHandler());

    // The list first: the window opens on it, and Tab reaches the buttons
    // under it after it.
    DBGrid1 = b.Add<TDBGrid>("DBGrid1")
                  .Align(alClient)
                  .TabOrder(0)
                  .ReadOnly()
                  .Set(&TDBGrid::SetOptions, TDBGridOptions{dgTitles, dgIndicator, dgColumnResize, dgColLines,
                                                            dgRowLines, dgRowSelect, dgAlwaysShowSelection})
                  .Set(&TDBGrid::SetDataSource, DataSource1)
                  .OnKeyDown(KeyDownHandler())
                  .Columns({{"RName", "读者姓名", 80},
                            {"ReturnDate", "应还日", 85},
                            {"Code", book ? "图书编号" : "期刊编号", 100},
                            {"BName", book ? "图书名称" : "期刊名称", 200}});
    if (!book) AddColumns(DBGrid1, {{"Orderyear", "年度", 50}, {"PeriodNo", "期号", 50}});
    OnClose = [this](TObject* s, TCloseAction& a) { FormClose(s, a); };
}

void TFrmBookExceedList::InitForm() {
    TFrmBaseD::InitForm();
    SetColor(RGB(242, 228, 185));
    Panel1->SetColor(RGB(242, 228, 185));
    DBGrid1->SetFixedColor(RGB(255, 216, 134));
    AdoqDest->SetStatement(OverdueListSql(Kind, BusinessDate));
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
