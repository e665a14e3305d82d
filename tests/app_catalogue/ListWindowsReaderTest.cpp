// The reader, reader-type, publisher, periodical, subscription and
// periodical write-off lists through their windows: searches typed in the
// boxes, delete guards that look at both loan tables, the delete clean-up,
// counters of the rows listed, the editors opened from the tool bar, and
// the state a write-off's delete gives back.
#include "CatalogueFixture.h"

#include "ADODB.h"
#include "Buttons.h"
#include "DBCtrls.h"
#include "ComCtrls.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "app/uBookPubData.h"
#include "app/uDMData.h"
#include "app/uGlobal.h"
#include "app/uMagzData.h"
#include "app/uMagzDataEdit.h"
#include "app/uMagzOrderData.h"
#include "app/uMagzRejectData.h"
#include "app/uReaderData.h"
#include "app/uReaderDataEdit.h"
#include "app/uReaderTypeData.h"
#include "app/uReaderTypeDataEdit.h"
#include "gridlib/edits/DBCtrlsEh.h"
#include "vq/grid/VQDBGrid.h"

#include <memory>

namespace {

class ListWindowsTest : public CatalogueFixture {
protected:
    void SetUp() override {
        CatalogueFixture::SetUp();
        BusinessDate = EncodeDate(2024, 5, 6);
        Exec("insert into ReaderType (Code, IsLimit, IsLimit1) values ('学生', 1, 0), ('职工', 0, 0)");
        Exec("insert into Readerinfo (Code, Name, Py, SortCode) values ('001', '张三', 'zs', '学生'), "
             "('002', '李四', 'ls', '学生'), ('003', 'O''Neil', '', '学生')");
    }
    template <class T>
    std::unique_ptr<T> open() {
        std::unique_ptr<T> f(new T(nullptr));
        ShowAndActivate(f.get());
        ProcessEvents();
        return f;
    }
    std::vector<std::string> listed(TDataSet* q, const char* field = "Code") {
        std::vector<std::string> codes;
        for (q->First(); !q->Eof(); q->Next()) codes.push_back(q->FieldByName(field)->AsString());
        return codes;
    }
    void at(TDataSet* q, const std::string& code) { q->Locate("Code", Variant(code), {}); }
};

TEST_F(ListWindowsTest, readerListSearchesAsTypedAndCounts) {
    auto f = open<TFrmReaderData>();
    EXPECT_EQ(f->EditQty->Value().AsInteger(), 3);
    SendText(f->Editcode, "O'N");
    SendKey(f->Editcode, VK_RETURN);
    EXPECT_EQ(listed(f->ADOqData), (std::vector<std::string>{"003"}));
    EXPECT_EQ(f->EditQty->Value().AsInteger(), 1);
}

TEST_F(ListWindowsTest, readerWithAnOpenPeriodicalLoanIsNotDeleted) {
    Exec("insert into Borrowinfo1 (Code, Rcode, State) values ('M1', '001', '未还')");
    auto f = open<TFrmReaderData>();
    at(f->ADOqData, "001");
    script.ExpectMessage("该读者还有未还图书,不能删除!", IDOK);
    SendClick(f->BtDelete);
    EXPECT_EQ(Scalar("select count(*) from Readerinfo"), "3");
}

TEST_F(ListWindowsTest, readerDeleteTakesTheLoanRowsOfBothTables) {
    Exec("insert into Borrowinfo (Code, Rcode, State) values ('B1', '001', '已还'), ('B2', '002', '已还')");
    Exec("insert into Borrowinfo1 (Code, Rcode, State) values ('M1', '001', '预约')");
    auto f = open<TFrmReaderData>();
    at(f->ADOqData, "001");
    script.ExpectMessage("是否删除此记录,连同读者借书数据一起删除？", IDOK, "询问");
    SendClick(f->BtDelete);
    EXPECT_EQ(Rows("select Code from Readerinfo order by Code"), (std::vector<std::string>{"002", "003"}));
    EXPECT_EQ(Rows("select Rcode from Borrowinfo union all select Rcode from Borrowinfo1"),
              (std::vector<std::string>{"002"}));
    EXPECT_EQ(f->EditQty->Value().AsInteger(), 2);
}

TEST_F(ListWindowsTest, readerAddedThroughTheListIsShownAndCounted) {
    auto f = open<TFrmReaderData>();
    script.ExpectForm("TFrmReaderDataEdit", mrNone, {}, [](TCustomForm* form) {
        auto* e = static_cast<TFrmReaderDataEdit*>(form);
        SendText(e->EditCode, "010");
        SendText(e->EditName, "王五");
        SendText(e->EditSort, "学生");
        SendClick(e->BtSaveExit);
    });
    SendClick(f->BtAdd);
    EXPECT_EQ(f->ADOqData->FieldByName("Code")->AsString(), "010");
    EXPECT_EQ(f->EditQty->Value().AsInteger(), 4);
    const std::string screens = std::string(BUILD_DIR) + "/test-output/screens/";
    ForceDirectories(screens);
    EXPECT_TRUE(SaveFormPng(f.get(), screens + "reader-list.png"));
}

TEST_F(ListWindowsTest, readerTypeInUseIsNotDeletedAndFlagsReadAsWords) {
    auto f = open<TFrmReaderTypeData>();
    at(f->ADOqData, "学生");
    EXPECT_EQ(f->ADOqData->FieldByName("IsLimit")->DisplayText(), "限制");
    EXPECT_EQ(f->ADOqData->FieldByName("IsLimit1")->DisplayText(), "不限制");
    script.ExpectMessage("该类型还有读者数据,不能删除!", IDOK);
    SendClick(f->BtDelete);
    at(f->ADOqData, "职工");
    script.ExpectMessage("是否删除此记录？", IDOK);
    SendClick(f->BtDelete);
    EXPECT_EQ(Rows("select Code from ReaderType"), (std::vector<std::string>{"学生"}));
}

// A type's name is fixed once saved, so an edit starts at the loan days and
// walks the rules in the editor's order: days, then copies.
TEST_F(ListWindowsTest, readerTypeEditStartsAtItsLoanDaysAndWalksTheRulesInOrder) {
    auto f = open<TFrmReaderTypeData>();
    at(f->ADOqData, "职工");
    script.ExpectForm("TFrmReaderTypeDataEdit", mrNone, {}, [](TCustomForm* form) {
        auto* e = static_cast<TFrmReaderTypeDataEdit*>(form);
        EXPECT_TRUE(e->EditCode->ReadOnly());
        EXPECT_EQ(e->ActiveControl(), e->EditLimitDay);
        SendTextToFocus(e, "30");
        SendKeyToFocus(e, VK_RETURN);
        EXPECT_EQ(e->ActiveControl(), e->EditCeQty);
        SendTextToFocus(e, "8");
        SendKeyToFocus(e, VK_RETURN);
        EXPECT_EQ(e->ActiveControl(), e->DBNumberEditEh1);
        SendKeyToFocus(e, VK_RETURN);
        EXPECT_EQ(e->ActiveControl(), e->DBNumberEditEh4);
        SendKeyToFocus(e, VK_RETURN);
        EXPECT_EQ(e->ActiveControl(), e->DBNumberEditEh2);
        SendKeyToFocus(e, 'S', TShiftState() << ssAlt);
    });
    SendClick(f->BtEdit);
    EXPECT_EQ(Rows("select Code, LimitDay, CeQty from ReaderType where Code='职工'"),
              (std::vector<std::string>{"职工|30|8"}));
}

TEST_F(ListWindowsTest, publisherSearchAndDeleteGuard) {
    Exec("insert into Bookpub (Code, Isbn, Py) values ('电子工业出版社', '7-5053', 'dzgy'), ('清华大学出版社', '7-302', "
         "'qhdx')");
    Exec("insert into Bookinfo (Code, Name, Publisher) values ('B1', '书', '清华大学出版社')");
    auto f = open<TFrmBookPubData>();
    EXPECT_EQ(listed(f->ADOqData), (std::vector<std::string>{"清华大学出版社", "电子工业出版社"}));
    SendText(f->Editcode, "7-302");
    SendKey(f->Editcode, VK_RETURN);
    EXPECT_EQ(listed(f->ADOqData), (std::vector<std::string>{"清华大学出版社"}));
    script.ExpectMessage("该出版社还有图书数据,不能删除!", IDOK);
    SendClick(f->BtDelete);
    EXPECT_EQ(Scalar("select count(*) from Bookpub"), "2");
}

class PeriodicalListsTest : public ListWindowsTest {
protected:
    void SetUp() override {
        ListWindowsTest::SetUp();
        Exec("insert into Magzinfo (Code, Name, SortCode, Scode, BookPrice, IsOut, IsNew) values "
             "('M1', '求是', 'D6', 'D6/1', 12.5, '外借', 1), ('M2', '读者', 'I2', 'I2/1', 6, null, 0), "
             "('M3', '读者', 'I2', 'I2/2', 6.25, '报废', 1)");
    }
};

TEST_F(PeriodicalListsTest, countersCoverTheRowsListed) {
    auto f = open<TFrmMagzData>();
    EXPECT_EQ(f->EditQty->Value().AsInteger(), 3);
    EXPECT_EQ(f->EditPrice->Text(), "24.75");
    SendText(f->EditSort, "I2");
    SendKey(f->EditSort, VK_RETURN);
    EXPECT_EQ(listed(f->ADOqData), (std::vector<std::string>{"M2", "M3"}));
    EXPECT_EQ(f->EditQty->Value().AsInteger(), 2);
    EXPECT_EQ(f->EditPrice->Text(), "12.25");
}

TEST_F(PeriodicalListsTest, copyOnLoanIsNotDeletedAndEditOpensOnItsKindOfIssue) {
    auto f = open<TFrmMagzData>();
    at(f->ADOqData, "M1");
    script.ExpectMessage("该书籍正在外借,不能删除!", IDOK);
    SendClick(f->BtDelete);
    EXPECT_EQ(Scalar("select count(*) from Magzinfo"), "3");
    bool current = false;
    script.ExpectForm("TFrmMagzDataEdit", mrCancel, {}, [&current](TCustomForm* form) {
        current = static_cast<TFrmMagzDataEdit*>(form)->Rbx->Checked();
    });
    SendClick(f->BtEdit);
    EXPECT_TRUE(current);
    EXPECT_EQ(f->ADOqData->FieldByName("Code")->AsString(), "M1");
}

TEST_F(PeriodicalListsTest, deletingAWriteOffGivesTheCopyItsStateBack) {
    Exec("insert into MagzReject (Code, Finesum) values ('M3', 6.25)");
    Exec("insert into Borrowinfo1 (Code, Rcode, State) values ('M3', '001', '未还')");
    auto f = open<TFrmMagzRejectData>();
    EXPECT_EQ(listed(f->ADOqData, "BName"), (std::vector<std::string>{"读者"}));
    script.ExpectMessage("是否删除此记录？", IDOK);
    SendClick(f->BtDelete);
    EXPECT_EQ(Scalar("select IsOut from Magzinfo where Code='M3'"), "外借");
    EXPECT_TRUE(f->ADOqData->IsEmpty());
}

TEST_F(PeriodicalListsTest, clearingFullyReceivedSubscriptionsAsksAndReadsTheListAgain) {
    Exec("insert into MagzOrder (Code, Name, RegQty, BeBuy) values ('S1', '求是', 12, 12), ('S2', '新', 0, 0), "
         "('S3', '读者', 12, 5)");
    auto f = open<TFrmMagzOrderData>();
    script.ExpectMessage("是否删除全部已购齐的征订记录？", IDCANCEL);
    SendClick(f->BtClear);
    EXPECT_EQ(Scalar("select count(*) from MagzOrder"), "3");
    script.ExpectMessage("是否删除全部已购齐的征订记录？", IDOK);
    SendClick(f->BtClear);
    EXPECT_EQ(listed(f->ADOqData), (std::vector<std::string>{"S2", "S3"}));
}

} // namespace
