// The reservation lists; see uBookDest.h.
#include "uBookDest.h"

#include "ADODB.h"
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

    AdoqDest = new TADOQuery(this);
    AdoqDest->SetName("AdoqDest");
    AdoqDest->SetCursorType(ctStatic);
    AdoComm = new TADOCommand(this);
    AdoComm->SetName("AdoComm");
    TADOConnection* conn = DMData ? DMData->ADOConnection1 : nullptr;
    AdoqDest->SetConnection(conn);
    AdoComm->SetConnection(conn);
    DataSource1 = new TDataSource(this);
    DataSource1->SetName("DataSource1");
    DataSource1->SetDataSet(AdoqDest);

    Panel1 = new TPanel(this);
    Panel1->SetName("Panel1");
    Panel1->SetParent(this);
    Panel1->SetCaption("");
    Panel1->SetAlign(alTop);
    Panel1->SetHeight(36);
    TLabel* label = new TLabel(this);
    label->SetParent(Panel1);
    label->SetCaption(book ? "图书编号\\名称" : "期刊编号\\名称");
    label->SetLeft(10);
    label->SetTop(11);
    EditCode = new TEdit(this);
    EditCode->SetName("EditCode");
    EditCode->SetParent(Panel1);
    EditCode->SetBounds(100, 7, 160, 21);
    EditCode->SetHint(book ? "输入图书编号/名称,回车!" : "输入期刊编号/名称,回车!");
    EditCode->SetShowHint(true);
    EditCode->OnKeyDown = [this](TObject* s, Word& k, TShiftState sh) { EditCodeKeyDown(s, k, sh); };
    auto button = [this](TButton*& b, const char* name, const char* caption, int x, void (TFrmBookDest::*h)(TObject*)) {
        b = new TButton(this);
        b->SetName(name);
        b->SetParent(Panel1);
        b->SetCaption(caption);
        b->SetBounds(x, 5, 80, 25);
        b->OnClick = [this, h](TObject* s) { (this->*h)(s); };
        b->OnKeyDown = KeyDownHandler();
    };
    button(BtDelete, "BtDelete", "删除记录", 290, &TFrmBookDest::BtDeleteClick);
    button(BtLook, "BtLook", "联系信息", 376, &TFrmBookDest::BtLookClick);
    button(BtClose, "BtClose", "关闭", 462, &TFrmBookDest::BtCloseClick);

    DBGrid1 = new TDBGrid(this);
    DBGrid1->SetName("DBGrid1");
    DBGrid1->SetParent(this);
    DBGrid1->SetAlign(alClient);
    DBGrid1->SetReadOnly(true);
    DBGrid1->SetOptions(TDBGridOptions{dgTitles, dgIndicator, dgColumnResize, dgColLines, dgRowLines, dgRowSelect,
                                       dgAlwaysShowSelection});
    DBGrid1->SetDataSource(DataSource1);
    DBGrid1->OnDblClick = [this](TObject* s) { BtLookClick(s); };
    DBGrid1->OnKeyDown = KeyDownHandler();
    auto column = [this](const char* field, const char* title, int width) {
        AddDesignedColumn(DBGrid1, field, title, width);
    };
    column("Rcode", "读者编号", 80);
    column("ReaderName", "读者姓名", 80);
    column("BorrowDate", "预约日期", 85);
    column("Code", book ? "图书编号" : "期刊编号", 100);
    column("BookName", book ? "图书名称" : "期刊名称", 200);
    if (!book) {
        column("Orderyear", "年度", 50);
        column("PeriodNo", "期号", 50);
    }
}

void TFrmBookDest::InitForm() {
    TFrmBaseD::InitForm();
    SetColor(RGB(242, 228, 185));
    Panel1->SetColor(RGB(242, 228, 185));
    DBGrid1->SetFixedColor(RGB(255, 216, 134));
}

void TFrmBookDest::OpenList(const std::string& sql) {
    AdoqDest->Close();
    AdoqDest->SQL()->SetText(sql);
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
    AdoComm->SetCommandText(std::string("delete from ") + CircTables(Kind).Loans +
                            " where Id=" + AdoqDest->FieldByName("Id")->AsString() + " and State='预约'");
    AdoComm->Execute();
    AdoqDest->Close();
    AdoqDest->Open();
}

void TFrmBookDest::BtLookClick(TObject*) {
    if (!AdoqDest->Active() || AdoqDest->IsEmpty()) return;
    ShowReaderDetail(AdoqDest->FieldByName("Rcode")->AsString());
}

void TFrmBookDest::BtCloseClick(TObject*) { Close(); }

void ShowReservationList(TItemKind kind, const std::string& sql) {
    std::unique_ptr<TFrmBookDest> list(kind == TItemKind::Book ? new TFrmBookDest(Application)
                                                               : new TFrmMagzDest(Application));
    list->OpenList(sql);
    list->ShowModal();
}
