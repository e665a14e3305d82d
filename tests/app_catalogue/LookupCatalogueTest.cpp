// The publisher and reader-type lookups and the editors their 增加 opens:
// the lists before and after a keystroke, typed quotes searched as
// themselves, choosing by Enter, and the uniqueness checks of the editors.
#include "CatalogueFixture.h"

#include "ADODB.h"
#include "DBCtrls.h"
#include "DBGrids.h"
#include "StdCtrls.h"
#include "app/uBookPubDataEdit.h"
#include "app/uFindPublish.h"
#include "app/uFindReaderSort.h"
#include "app/uReaderTypeDataEdit.h"

#include <functional>
#include <memory>

namespace {

class LookupCatalogueTest : public CatalogueFixture {
protected:
    void SetUp() override {
        CatalogueFixture::SetUp();
        Exec("insert into Bookpub (Code, Isbn, PY) values ('电子工业出版社', '7-5053', 'dzgy'), "
             "('清华大学出版社', '7-302', 'qhdx'), ('O''Reilly', '7-5641', '')");
        for (int i = 0; i < 40; ++i)
            Exec("insert into Bookpub (Code, Isbn) values ('地方出版社" + std::to_string(i) + "', '8-" +
                 std::to_string(100 + i) + "')");
    }
    std::vector<std::string> listed(TADOQuery* q) {
        std::vector<std::string> codes;
        for (q->First(); !q->Eof(); q->Next()) codes.push_back(q->FieldByName("Code")->AsString());
        return codes;
    }
};

TEST_F(LookupCatalogueTest, publisherListIsUncappedUntilTheFirstKeystroke) {
    TFrmFindPublish form(nullptr);
    ShowAndActivate(&form);
    EXPECT_EQ(form.ADOQuery1->RecordCount(), 43);
    EXPECT_EQ(listed(form.ADOQuery1).front(), "清华大学出版社");
    SendText(form.Edit1, "出版社");
    EXPECT_EQ(form.ADOQuery1->RecordCount(), 30);
}

TEST_F(LookupCatalogueTest, publisherSearchMatchesNameOrInputCodeAnywhereAndAQuoteAsItself) {
    TFrmFindPublish form(nullptr);
    ShowAndActivate(&form);
    SendText(form.Edit1, "gy");
    EXPECT_EQ(listed(form.ADOQuery1), (std::vector<std::string>{"电子工业出版社"}));
    form.Edit1->SetText("");
    SendText(form.Edit1, "O'R");
    EXPECT_EQ(listed(form.ADOQuery1), (std::vector<std::string>{"O'Reilly"}));
    SendKey(form.Edit1, VK_RETURN);
    SendKey(form.DBGrid1, VK_RETURN);
    EXPECT_EQ(form.ChosenCode, "O'Reilly");
    EXPECT_EQ(form.ChosenName, "");
    EXPECT_FALSE(form.Visible());
}

TEST_F(LookupCatalogueTest, publisherAddedThroughTheLookupShowsInIt) {
    TFrmFindPublish form(nullptr);
    ShowAndActivate(&form);
    script.ExpectForm("TFrmBookPubDataEdit", mrNone, {}, [](TCustomForm* f) {
        auto* e = static_cast<TFrmBookPubDataEdit*>(f);
        SendText(e->EditCode, "新出版社");
        SendText(e->EditIsbn, "7-999");
        SendClick(e->BtSaveExit);
    });
    SendClick(form.BtAdd);
    EXPECT_EQ(Rows("select Code, Isbn from Bookpub where Isbn='7-999'"), (std::vector<std::string>{"新出版社|7-999"}));
    EXPECT_EQ(form.ADOQuery1->RecordCount(), 44);
}

TEST_F(LookupCatalogueTest, duplicatePrefixIsRefusedEvenWhenSavedWithoutLeavingTheBox) {
    std::unique_ptr<TFrmBookPubDataEdit> e(new TFrmBookPubDataEdit(nullptr));
    e->EditMode = 1;
    ShowAndActivate(e.get());
    SendText(e->EditCode, "重复社");
    SendText(e->EditIsbn, "7-302");
    e->AdoqEdit->FieldByName("Code")->SetAsString("重复社");
    e->AdoqEdit->FieldByName("Isbn")->SetAsString("7-302");
    script.ExpectMessage("该出版社Isbn已有重复！请重新录入", IDOK);
    EXPECT_THROW(e->SaveRecord(), EAbort);
    EXPECT_EQ(Scalar("select count(*) from Bookpub where Isbn='7-302'"), "1");
}

TEST_F(LookupCatalogueTest, emptyPrefixIsNoDuplicate) {
    Exec("insert into Bookpub (Code, Isbn) values ('无前缀一', '')");
    std::unique_ptr<TFrmBookPubDataEdit> e(new TFrmBookPubDataEdit(nullptr));
    e->EditMode = 1;
    ShowAndActivate(e.get());
    e->AdoqEdit->FieldByName("Code")->SetAsString("无前缀二");
    e->AdoqEdit->FieldByName("Isbn")->SetAsString("");
    e->SaveRecord();
    EXPECT_EQ(e->LastSavedCode, "无前缀二");
    EXPECT_EQ(Scalar("select count(*) from Bookpub where Isbn=''"), "2");
}

TEST_F(LookupCatalogueTest, readerTypeLookupListsEveryTypeAndAddsThroughTheEditor) {
    Exec("insert into ReaderType (Code, CeQty) values ('教师', 10), ('学生', 5)");
    TFrmFindReaderSort form(nullptr);
    ShowAndActivate(&form);
    EXPECT_EQ(listed(form.ADOQuery1), (std::vector<std::string>{"学生", "教师"}));
    EXPECT_FALSE(form.Panel2->Visible());
    script.ExpectForm("TFrmReaderTypeDataEdit", mrNone, {}, [](TCustomForm* f) {
        auto* e = static_cast<TFrmReaderTypeDataEdit*>(f);
        SendText(e->EditCode, "职工");
        e->AdoqEdit->FieldByName("CeQty")->SetAsInteger(-3);
        SendClick(e->BtSaveExit);
    });
    SendClick(form.BtAdd);
    EXPECT_EQ(Rows("select Code, CeQty, iif(IsLimit,1,0) from ReaderType where Code='职工'"),
              (std::vector<std::string>{"职工|0|0"}));
    EXPECT_EQ(form.ADOQuery1->RecordCount(), 3);
    SendKey(form.DBGrid1, VK_RETURN);
    EXPECT_FALSE(form.ChosenCode.empty());
}

TEST_F(LookupCatalogueTest, readerTypeNameAlreadyUsedIsRefusedInTheSave) {
    Exec("insert into ReaderType (Code) values ('教师')");
    std::unique_ptr<TFrmReaderTypeDataEdit> e(new TFrmReaderTypeDataEdit(nullptr));
    e->EditMode = 1;
    ShowAndActivate(e.get());
    e->AdoqEdit->FieldByName("Code")->SetAsString("教师");
    script.ExpectMessage("该类别已有重码！请重新录入", IDOK);
    EXPECT_THROW(e->SaveRecord(), EAbort);
    EXPECT_EQ(Scalar("select count(*) from ReaderType"), "1");
}

} // namespace
