// The reservation lists; see uBookDest.h.
#include "uBookDest.h"

#include "ADODB.h"
#include "Build.h"
#include "DBGrids.h"
#include "ExtCtrls.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "uDMData.h"
#include "uGridLayout.h"
#include "uMagzDest.h"
#include "uReaderDetail.h"

#include <memory>

TFrmBookDest::TFrmBookDest(TComponent* AOwner) : TFrmBookDest(AOwner, TItemKind::Book) {}

TFrmBookDest::TFrmBookDest(TComponent* AOwner, TItemKind kind) : TFrmBaseD(AOwner), Kind(kind) {
    const bool book = kind == TItemKind::Book;
    SetName(book ? "FrmBookDest" : "FrmMagzDest");
    SetCaption("预约记录");
    SetBorderStyle(bsDialog);
    SetBorderIcons(TBorderIcons{biMaximize});
    SetClientWidth(640);
    SetClientHeight(400);

    TBuild b(this);
    AdoqDest = b.Add<TADOQuery>("AdoqDest").Set(&TADOQuery::SetCursorType, ctStatic);
    AdoComm = b.Add<TADOCommand>("AdoComm");
    TADOConnection* conn = DMData ? DMData->ADOConnection1 : nullptr;
    AdoqDest->SetConnection(conn);
    AdoComm->SetConnection(conn);
    DataSource1 = b.Add<TDataSource>("DataSource1");
    DataSource1->SetDataSet(AdoqDest);

    Panel1 = b.Add<TPanel>("Panel1").Caption("").Align(alTop).Height(36);
    auto panel = b.In(Panel1);
    panel.Add<TLabel>("LbCode").Caption(book ? "图书编号\\名称" : "期刊编号\\名称").At(10, 11);
    EditCode = panel.Add<TEdit>("EditCode")
                   .At(100, 7, 160, 21)
                   .Hint(book ? "输入图书编号/名称,回车!" : "输入期刊编号/名称,回车!")
                   .OnKeyDown(&TFrmBookDest::EditCodeKeyDown);
    auto buttons = panel.Across(290, 5, 25, 6);
    BtDelete = buttons.Add<TButton>({"BtDelete", "删除记录", "", 80, &TFrmBookDest::BtDeleteClick})
                   .OnKeyDown(KeyDownHandler());
    BtLook =
        buttons.Add<TButton>({"BtLook", "联系信息", "", 80, &TFrmBookDest::BtLookClick}).OnKeyDown(KeyDownHandler());
    BtClose =
        buttons.Add<TButton>({"BtClose", "关闭", "", 80, &TFrmBookDest::BtCloseClick}).OnKeyDown(KeyDownHandler());

    DBGrid1 = b.Add<TDBGrid>("DBGrid1")
                  .Align(alClient)
                  .ReadOnly()
                  .Set(&TDBGrid::SetOptions, TDBGridOptions{dgTitles, dgIndicator, dgColumnResize, dgColLines,
                                                            dgRowLines, dgRowSelect, dgAlwaysShowSelection})
                  .Set(&TDBGrid::SetDataSource, DataSource1)
                  .OnDblClick(&TFrmBookDest::BtLookClick)
                  .OnKeyDown(KeyDownHandler())
                  .Columns({{"Rcode", "读者编号", 80},
                            {"ReaderName", "读者姓名", 80},
                            {"BorrowDate", "预约日期", 85},
                            {"Code", book ? "图书编号" : "期刊编号", 100},
                            {"BookName", book ? "图书名称" : "期刊名称", 200}});
    if (!book) AddColumns(DBGrid1, {{"Orderyear", "年度", 50}, {"PeriodNo", "期号", 50}});
}

void TFrmBookDest::InitForm() {
    TFrmBaseD::InitForm();
    SetColor(RGB(242, 228, 185));
    Panel1->SetColor(RGB(242, 228, 185));
    DBGrid1->SetFixedColor(RGB(255, 216, 134));
}

void TFrmBookDest::OpenList(const TBoundSql& sql) {
    AdoqDest->SetStatement(sql);
    AdoqDest->Open();
}

void TFrmBookDest::EditCodeKeyDown(TObject* Sender, Word& Key, TShiftState Shift) {
    if (Key == VK_RETURN) {
        Key = 0;
        OpenList(ReservationSearchSql(Kind, EditCode->Text()));
        return;
    }
    FormKeyDown(Sender, Key, Shift);
}

void TFrmBookDest::BtDeleteClick(TObject*) {
    if (!AdoqDest->Active() || AdoqDest->IsEmpty()) return;
    AdoComm->SetCommandText(std::string("delete from ") + CircTables(Kind).Loans + " where Id=:Id and State='预约'");
    AdoComm->Parameters()->ParamByName("Id")->SetValue(AdoqDest->FieldByName("Id")->AsInteger());
    AdoComm->Execute();
    AdoqDest->Close();
    AdoqDest->Open();
}

void TFrmBookDest::BtLookClick(TObject*) {
    if (!AdoqDest->Active() || AdoqDest->IsEmpty()) return;
    ShowReaderDetail(AdoqDest->FieldByName("Rcode")->AsString());
}

void TFrmBookDest::BtCloseClick(TObject*) { Close(); }

void ShowReservationList(TItemKind kind, const TBoundSql& sql) {
    std::unique_ptr<TFrmBookDest> list(kind == TItemKind::Book ? new TFrmBookDest(Application)
                                                               : new TFrmMagzDest(Application));
    list->OpenList(sql);
    list->ShowModal();
}
