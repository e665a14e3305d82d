// The pre-catalogue's editor; see uBookDataPreEdit.h.
#include "uBookDataPreEdit.h"

#include "ADODB.h"
#include "Catalogue.h"
#include "DBCtrls.h"
#include "ExtCtrls.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "uGlobal.h"

namespace {

// Moves every control of box whose top is at least from up by dy pixels.
void moveUp(TWinControl* box, int from, int dy) {
    for (int i = 0; i < box->ControlCount(); ++i) {
        TControl* c = box->Controls(i);
        if (c->Top() >= from) c->SetTop(c->Top() - dy);
    }
}

} // namespace

TFrmBookPreDataEdit::TFrmBookPreDataEdit(TComponent* AOwner) : TFrmBookDataEdit(AOwner, "BookinfoPre") {
    SetName("FrmBookPreDataEdit");
    // What only a copy has: its barcode, its circulation state and the
    // copy cataloguing that fills a copy from a record like this one.
    for (const char* name : {"LbCode", "LbIsOut", "LbBorrowDate", "LbTimes", "LbBorrowman"})
        delete FindComponent(name);
    auto drop = [](auto*& box) {
        delete box;
        box = nullptr;
    };
    drop(EditCode);
    drop(DBEdit4);
    drop(DBEdit5);
    drop(DBEdit6);
    drop(DBEdit3);
    drop(ChkSet);
    drop(Rb2);
    drop(Rb1);
    moveUp(GroupBox1, 40, 26);
    moveUp(GroupBox3, 170, 52);
    EditISBN->OnKeyPress = nullptr;
    EditISBN->OnExit = [this](TObject* s) { EditISBNExit(s); };
}

void TFrmBookPreDataEdit::InitForm() {
    TFrmBookDataEdit::InitForm();
    SetCaption("图书预编");
}

void TFrmBookPreDataEdit::FormShow(TObject* Sender) {
    TFrmBookDataEdit::FormShow(Sender);
    if (EditISBN->CanFocus()) EditISBN->SetFocus();
}

bool TFrmBookPreDataEdit::ValidateRecord() {
    auto text = [this](const char* f) { return Trim(AdoqEdit->FieldByName(f)->AsString()); };
    if (text("Name").empty() || text("SortCode").empty()) {
        ShowInfoBox("图书编号、中文名称和类别必须填写！");
        return false;
    }
    return true;
}

void TFrmBookPreDataEdit::BeforePost() {}

void TFrmBookPreDataEdit::BtSaveAddClick(TObject* Sender) {
    TFrmBookDataEdit::BtSaveAddClick(Sender);
    if (EditISBN->CanFocus()) EditISBN->SetFocus();
}

void TFrmBookPreDataEdit::FormKeyDown(TObject* Sender, Word& Key, TShiftState Shift) {
    TFrmBaseDataEdit::FormKeyDown(Sender, Key, Shift);
}

void TFrmBookPreDataEdit::EditSortExit(TObject*) {
    const std::string sort = EditSort->Text();
    AdoqEdit->FieldByName("SortCode")->SetAsString(sort);
    if (EditMode == 1 && !sort.empty()) numberInClass(sort);
}

void TFrmBookPreDataEdit::EditISBNExit(TObject*) {
    const std::string isbn = EditISBN->Text();
    if (isbn.empty()) return;
    AdoqEdit->FieldByName("BookIsbn")->SetAsString(isbn);
    const std::string publisher = PublisherFromIsbn(AdoqEdit->Connection(), isbn);
    if (!publisher.empty()) AdoqEdit->FieldByName("Publisher")->SetAsString(publisher);
}
