// The overdue and reservation lists and the contact card.
#include <gtest/gtest.h>

#include "ADODB.h"
#include "StdCtrls.h"
#include "CircFixture.h"
#include "app/uBookDest.h"
#include "app/uBookExccedlist.h"
#include "app/uMagzExccedlist.h"
#include "app/uReaderDetail.h"

#include <memory>

namespace {

using Lists = CircFixture;

std::vector<std::string> Codes(TADOQuery* q) {
    std::vector<std::string> out;
    for (q->First(); !q->Eof(); q->Next()) out.push_back(q->FieldByName("Code")->AsString());
    return out;
}

TEST_F(Lists, overdueListShowsLoansDueBeforeTheBusinessDate) {
    Lend("Borrowinfo", "B1", "R1", -1);
    Lend("Borrowinfo", "B2", "R1", 0);
    Lend("Borrowinfo", "B3", "R2", -20);
    Lend("Borrowinfo1", "M1", "R2", -1);
    std::unique_ptr<TFrmBookExceedList> books(new TFrmBookExceedList(Application));
    books->Show();
    books->AdoqDest->SetSort("Code");
    EXPECT_EQ(Codes(books->AdoqDest), (std::vector<std::string>{"B1", "B3"}));
    EXPECT_EQ(books->Caption(), "图书逾期未还");
    std::unique_ptr<TFrmMagzExceedList> magz(new TFrmMagzExceedList(Application));
    magz->Show();
    EXPECT_EQ(Codes(magz->AdoqDest), (std::vector<std::string>{"M1"}));
    EXPECT_EQ(magz->Caption(), "期刊逾期未还");
}

TEST_F(Lists, searchFindsNamesContainingTheTextAndExactCodesOnly) {
    Reserve("Borrowinfo", "B1", "R1", -1);
    Reserve("Borrowinfo", "B2", "R2", -2);
    Reserve("Borrowinfo", "B4", "R2", -3);
    std::unique_ptr<TFrmBookDest> list(new TFrmBookDest(Application));
    list->OpenList(ReservationListSql(TItemKind::Book, ""));
    ShowAndActivate(list.get());
    EXPECT_EQ(Codes(list->AdoqDest), (std::vector<std::string>{"B4", "B2", "B1"}));
    list->EditCode->SetText("演义");
    SendKey(list->EditCode, VK_RETURN);
    EXPECT_EQ(Codes(list->AdoqDest), (std::vector<std::string>{"B2"}));
    list->EditCode->SetText("b1");
    SendKey(list->EditCode, VK_RETURN);
    EXPECT_EQ(Codes(list->AdoqDest), (std::vector<std::string>{"B1"}));
    list->EditCode->SetText("B");
    SendKey(list->EditCode, VK_RETURN);
    EXPECT_TRUE(list->AdoqDest->IsEmpty());
}

TEST_F(Lists, deletingAReservationRemovesItAtOnce) {
    Reserve("Borrowinfo", "B1", "R1", -1);
    Reserve("Borrowinfo", "B2", "R2", -2);
    std::unique_ptr<TFrmBookDest> list(new TFrmBookDest(Application));
    list->OpenList(ReservationListSql(TItemKind::Book, ""));
    list->AdoqDest->Locate("Code", Variant("B1"), 0);
    list->BtDeleteClick(nullptr);
    EXPECT_EQ(Codes(list->AdoqDest), (std::vector<std::string>{"B2"}));
    EXPECT_EQ(Count("select count(*) from Borrowinfo where State='预约'"), 1);
}

TEST_F(Lists, contactCardListsThePhoneLinesEvenWhenEmpty) {
    std::vector<std::string> lines;
    std::string name;
    script_->ExpectForm("FrmReaderDetail", mrOk, {}, [&](TCustomForm* f) {
        auto* card = dynamic_cast<TFrmReaderDetail*>(f);
        for (int i = 0; i < card->Memo1->Lines()->Count(); ++i) lines.push_back(card->Memo1->Lines()->Strings(i));
        name = card->EditName->Text();
    });
    ShowReaderDetail("R2");
    EXPECT_EQ(name, "李四");
    EXPECT_EQ(lines, (std::vector<std::string>{"电话(日):", "电话(夜):", "手机:"}));
}

} // namespace
