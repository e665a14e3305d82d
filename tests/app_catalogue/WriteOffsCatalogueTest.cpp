// Book write-offs through their real windows: a write-off sets the copy's
// state and keeps the amount it was saved with; moving a write-off to
// another copy and deleting write-offs give copies their state back ("外借"
// with an open loan, else in the library), in the save's or the delete's
// transaction.
#include "CatalogueFixture.h"

#include "ADODB.h"
#include "DBCtrls.h"
#include "ComCtrls.h"
#include "StdCtrls.h"
#include "vq/grid/VQDBGrid.h"
#include "SysUtils.h"
#include "app/uBookRejectData.h"
#include "app/uBookRejectDataEdit.h"
#include "app/uGlobal.h"
#include "gridlib/edits/DBCtrlsEh.h"

#include <memory>

namespace {

class WriteOffsCatalogueTest : public CatalogueFixture {
protected:
    void SetUp() override {
        CatalogueFixture::SetUp();
        BusinessDate = EncodeDate(2024, 6, 3);
        Exec("insert into Bookinfo (Code, Name, Publisher, BookPrice, IsOut) values "
             "('B001','红楼梦','人民文学出版社',45.5,''), ('B002','围城','人民文学出版社',19.8,'外借'), "
             "('B003','史记','中华书局',88,'')");
        Exec("insert into Readerinfo (Code, Name) values ('R001','张三')");
        Exec("insert into Borrowinfo (Code, Rcode, State) values ('B002','R001','未还')");
    }
    void TearDown() override {
        list.reset();
        CatalogueFixture::TearDown();
    }
    void openList() {
        list.reset(new TFrmBookRejectData(nullptr));
        ShowAndActivate(list.get());
        ProcessEvents();
    }
    // The editor shown on its own; in edit mode on the write-off rejectId.
    std::unique_ptr<TFrmBookRejectDataEdit> editor(int mode, int64_t rejectId = 0) {
        std::unique_ptr<TFrmBookRejectDataEdit> e(new TFrmBookRejectDataEdit(nullptr));
        e->EditMode = uint8_t(mode);
        e->EditRejectId = rejectId;
        ShowAndActivate(e.get());
        return e;
    }
    // Types code into the copy box of a new write-off; the copy is unknown.
    std::unique_ptr<TFrmBookRejectDataEdit> unknownCopyTyped() {
        auto e = editor(1);
        SendClick(e->EditBCode);
        SendText(e->EditBCode, "NOPE");
        script.ExpectMessage("无此图书!", IDOK);
        return e;
    }
    std::unique_ptr<TFrmBookRejectData> list;
};

TEST_F(WriteOffsCatalogueTest, writeOffSetsTheStateWithThePriceAndTheBusinessDate) {
    openList();
    script.ExpectForm("TFrmBookRejectDataEdit", mrNone, {}, [](TCustomForm* f) {
        auto* e = static_cast<TFrmBookRejectDataEdit*>(f);
        SendText(e->EditRcode, "R001");
        SendKey(e->EditRcode, VK_RETURN);
        SendText(e->EditBCode, "B001");
        SendKey(e->EditBCode, VK_RETURN);
        EXPECT_EQ(e->EditRName->Text(), "张三");
        EXPECT_EQ(e->EditBName->Text(), "红楼梦");
        SendClick(e->BtSaveExit);
    });
    SendClick(list->BtAdd);
    EXPECT_EQ(Rows("select Code, RCode, RejectDate, Finesum from BookReject"),
              (std::vector<std::string>{"B001|R001|2024-06-03|45.5"}));
    EXPECT_EQ(Scalar("select IsOut from Bookinfo where Code='B001'"), "报废");
    EXPECT_EQ(list->ADOqData->FieldByName("BName")->AsString(), "红楼梦");
}

TEST_F(WriteOffsCatalogueTest, openingKeepsTheStoredAmountAndMovingTheWriteOffRestoresTheFormerCopy) {
    Exec("insert into BookReject (Code, RCode, RejectDate, Finesum) values ('B003','R001','2024-01-01',10), "
         "('B001','','2024-01-02',5)");
    Exec("update Bookinfo set IsOut='报废' where Code in ('B001','B003')");
    openList();
    ASSERT_TRUE(list->ADOqData->Locate("Code", Variant(std::string("B001")), 0));
    script.ExpectForm("TFrmBookRejectDataEdit", mrNone, {}, [](TCustomForm* f) {
        auto* e = static_cast<TFrmBookRejectDataEdit*>(f);
        EXPECT_EQ(e->AdoqEdit->FieldByName("Finesum")->AsCurrency(), StrToCurr("5"));
        SendClick(e->EditBCode);
        SendKey(e->EditRcode, VK_RETURN);
        EXPECT_EQ(e->AdoqEdit->FieldByName("Finesum")->AsCurrency(), StrToCurr("5")) << "leaving the box";
        // The write-off moves to the copy on loan.
        e->AdoqEdit->FieldByName("Code")->SetAsString("B002");
        SendClick(e->EditBCode);
        SendKey(e->EditBCode, VK_RETURN);
        SendClick(e->BtSaveExit);
    });
    SendDoubleClick(list->DBGrid1, 40, 40); // acts as 修改 on the current row
    EXPECT_EQ(Rows("select Code, Finesum from BookReject order by RejectDate"),
              (std::vector<std::string>{"B003|10", "B002|19.8"}));
    EXPECT_EQ(Rows("select Code, IsOut from Bookinfo order by Code"),
              (std::vector<std::string>{"B001|", "B002|报废", "B003|报废"}));
}

TEST_F(WriteOffsCatalogueTest, deleteRemovesEveryWriteOffOfTheCopyAndGivesItsStateBack) {
    Exec("insert into BookReject (Code, RejectDate, Finesum) values ('B002','2024-01-01',1), "
         "('B002','2024-02-01',2), ('B003','2024-02-01',3)");
    Exec("update Bookinfo set IsOut='报废' where Code in ('B002','B003')");
    openList();
    struct Case {
        const char* code;
        const char* state;
    };
    for (const Case& c : {Case{"B002", "外借"}, Case{"B003", ""}}) {
        ASSERT_TRUE(list->ADOqData->Locate("Code", Variant(std::string(c.code)), 0));
        script.ExpectMessage("是否删除此记录？", IDOK, "询问");
        SendClick(list->BtDelete);
        EXPECT_EQ(Scalar(std::string("select count(*) from BookReject where Code='") + c.code + "'"), "0");
        EXPECT_EQ(Scalar(std::string("select IsOut from Bookinfo where Code='") + c.code + "'"), c.state);
    }
    EXPECT_EQ(list->ADOqData->RecordCount(), 0);
}

TEST_F(WriteOffsCatalogueTest, aFailedWriteOffLeavesTheCopyAsItWas) {
    Exec("create trigger refuse before insert on BookReject begin select raise(abort, 'refused'); end");
    auto e = editor(1);
    SendClick(e->EditBCode);
    SendText(e->EditBCode, "B001");
    SendKey(e->EditBCode, VK_RETURN);
    script.ExpectMessage("存盘失败！", IDOK);
    SendClick(e->BtSaveExit);
    EXPECT_EQ(Scalar("select IsOut from Bookinfo where Code='B001'"), "");
    script.ExpectMessage("图书编号必须填写！", IDOK);
    e->AdoqEdit->FieldByName("Code")->SetAsString("");
    SendClick(e->BtSaveExit);
}

TEST_F(WriteOffsCatalogueTest, searchByCopyOrByReaderAndAnUnknownCopyIsSaid) {
    Exec("insert into BookReject (Code, RCode) values ('B001','R001'), ('B003','')");
    openList();
    SendText(list->EditBook, "3");
    SendKey(list->EditBook, VK_RETURN);
    EXPECT_EQ(list->ADOqData->RecordCount(), 1);
    SendClick(list->EditReader);
    EXPECT_EQ(list->EditBook->Text(), "");
    SendText(list->EditReader, "R0");
    SendKey(list->EditReader, VK_RETURN);
    ASSERT_EQ(list->ADOqData->RecordCount(), 1);
    EXPECT_EQ(list->ADOqData->FieldByName("Code")->AsString(), "B001");

    auto e = unknownCopyTyped();
    SendKey(e->EditBCode, VK_RETURN);
    e->AdoqEdit->Cancel();
}

// Saved by its key (Alt+A) with the focus still in the copy box, so the
// box is never left: the save itself looks the copy up.
TEST_F(WriteOffsCatalogueTest, copyNamedAnewMustExistButAWriteOffOfACopySinceDeletedCanBeCorrected) {
    auto e = unknownCopyTyped();
    SendKeyToFocus(e.get(), 'A', TShiftState() << ssAlt);
    EXPECT_EQ(Scalar("select count(*) from BookReject"), "0");
    e->AdoqEdit->Cancel();
    e.reset();

    Exec("insert into BookReject (Code, RejectDate, Finesum) values ('B009','2024-01-01',7)");
    e = editor(2, std::stoll(Scalar("select rowid from BookReject")));
    SendClick(e->DBEdit1);
    SendText(e->DBEdit1, "已注销");
    SendKeyToFocus(e.get(), 'A', TShiftState() << ssAlt);
    EXPECT_EQ(Rows("select Code, Finesum, Remarks from BookReject"), (std::vector<std::string>{"B009|7|已注销"}));
}

} // namespace
