// The pre-catalogue through its real windows on a scratch database: a
// record added with its call number (counted among the pre-catalogue's own
// records), input codes and the publisher of its ISBN, copied to the next
// one, edited and deleted; the searches and the condition dialog without
// the criteria of a copy; the bulk delete of what is listed; the transfer
// into the catalogue; a MARC file imported from the list; the list's
// report printed.
#include "CatalogueFixture.h"

#include "ADODB.h"
#include "Buttons.h"
#include "ComCtrls.h"
#include "DBCtrls.h"
#include "Gbk.h"
#include "Printers.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "app/uBookCond.h"
#include "app/uBookDataPreEdit.h"
#include "app/uBookPreData.h"
#include "app/uGlobal.h"
#include "app/uMarcIn.h"
#include "gridlib/edits/DBCtrlsEh.h"
#include "support/ListReport.h"
#include "support/MarcRecords.h"

#include <memory>

namespace {

std::string dictLine(const std::string& ch, char wb, char wbh, char py) {
    return Utf8ToGbk(ch) + std::string(4, ' ') + wb + std::string(5, ' ') + wbh + std::string(23, ' ') + py + "\r\n";
}

class PreCatalogueTest : public CatalogueFixture {
protected:
    void SetUp() override {
        CatalogueFixture::SetUp();
        BusinessDate = EncodeDate(2024, 5, 20);
        AtomicWriteFile(dir_ + "Ime.DCT", dictLine("红", 'x', 'n', 'h') + dictLine("楼", 's', 'h', 'l') +
                                              dictLine("梦", 's', 'h', 'm'));
        Exec("insert into Bookpub (Code, Isbn) values ('测试电子出版社', '7-9053')");
    }
    void TearDown() override {
        list.reset();
        CatalogueFixture::TearDown();
    }
    void openList() {
        list.reset(new TFrmBookPreData(nullptr));
        ShowAndActivate(list.get());
        ProcessEvents();
    }
    // The Ids' titles as listed.
    std::vector<std::string> listed() {
        std::vector<std::string> names;
        for (list->ADOqData->First(); !list->ADOqData->Eof(); list->ADOqData->Next())
            names.push_back(list->ADOqData->FieldByName("Name")->AsString());
        return names;
    }
    void search(const std::string& text) {
        SendClick(list->Editcode);
        list->Editcode->SetText("");
        SendText(list->Editcode, text);
        SendKey(list->Editcode, VK_RETURN);
    }
    std::unique_ptr<TFrmBookPreData> list;
};

TEST_F(PreCatalogueTest, addedRecordIsNumberedAmongPreCatalogueRecordsWithoutAClassCheck) {
    // The catalogue's own copies of the class do not count, and the class
    // need not be in the tree.
    Exec("insert into Bookinfo (Code, Name, SortCode, SortNum) values ('A1','甲','ZZ9','40')");
    Exec("insert into BookinfoPre (Name, SortCode, SortNum, Scode) values ('乙','ZZ9','1','ZZ9/1'), "
         "('丙','ZZ9','2','ZZ9/2'), ('丁','ZZ9','x','ZZ9/x')");
    openList();
    script.ExpectForm("TFrmBookPreDataEdit", mrNone, {}, [](TCustomForm* f) {
        auto* e = static_cast<TFrmBookPreDataEdit*>(f);
        EXPECT_EQ(f->ActiveControl(), e->EditISBN);
        EXPECT_EQ(f->Caption(), "图书预编");
        // Leaving the ISBN box names the publisher of its prefix.
        SendText(e->EditISBN, "7-9053-1234-5");
        SendClick(e->EditSort);
        EXPECT_EQ(e->AdoqEdit->FieldByName("Publisher")->AsString(), "测试电子出版社");
        SendText(e->EditSort, "ZZ9");
        SendClick(e->EditName);
        SendText(e->EditName, "红楼梦");
        SendClick(e->BtSaveExit);
    });
    SendClick(list->BtAdd);
    EXPECT_EQ(Rows("select Name, BookIsbn, Publisher, SortCode, SortNum, Scode, Py, Wbh, Wb, RegDate from BookinfoPre "
                   "where Name='红楼梦'"),
              (std::vector<std::string>{"红楼梦|7-9053-1234-5|测试电子出版社|ZZ9|3|ZZ9/3|hlm|nhh|xss|2024-05-20"}));
    EXPECT_EQ(list->ADOqData->FieldByName("Name")->AsString(), "红楼梦");
    EXPECT_EQ(list->EditQty->Value().AsInteger(), 4);
}

TEST_F(PreCatalogueTest, titleAndClassAreRequiredAndTheNextRecordCarriesTheSavedOne) {
    openList();
    script.ExpectForm("TFrmBookPreDataEdit", mrNone, {}, [this](TCustomForm* f) {
        auto* e = static_cast<TFrmBookPreDataEdit*>(f);
        SendClick(e->EditName);
        SendText(e->EditName, "围城");
        script.ExpectMessage("图书编号、中文名称和类别必须填写！", IDOK);
        SendClick(e->BtSaveAdd);
        EXPECT_EQ(Scalar("select count(*) from BookinfoPre"), "0");
        SendClick(e->ChkCopy);
        SendClick(e->EditSort);
        SendText(e->EditSort, "I24");
        SendClick(e->DBEdit1);
        SendText(e->DBEdit1, "钱钟书");
        SendClick(e->BtSaveAdd);
        // The next record starts as the saved one, on the business date.
        EXPECT_EQ(e->AdoqEdit->FieldByName("Name")->AsString(), "围城");
        EXPECT_EQ(f->ActiveControl(), e->EditISBN);
        SendClick(e->EditName);
        e->EditName->SetText("");
        SendText(e->EditName, "围城(第二版)");
        SendClick(e->BtSaveExit);
    });
    SendClick(list->BtAdd);
    EXPECT_EQ(Rows("select Name, Writer, SortCode, Scode from BookinfoPre order by Id"),
              (std::vector<std::string>{"围城|钱钟书|I24|I24/1", "围城(第二版)|钱钟书|I24|I24/1"}));
    EXPECT_EQ(list->ADOqData->FieldByName("Name")->AsString(), "围城(第二版)");
}

TEST_F(PreCatalogueTest, editKeepsTheCallNumberAndDeleteMovesToTheNextRecord) {
    Exec("insert into BookinfoPre (Name, SortCode, SortNum, Scode, BookPrice) values ('甲','I24','5','I24/5',10), "
         "('乙','I24','6','I24/6',20.5), ('丙','K20','1','K20/1',1.25)");
    openList();
    EXPECT_EQ(list->EditPrice->Value().AsCurrency(), StrToCurr("31.75"));
    list->ADOqData->Locate("Name", Variant(std::string("乙")), 0);
    script.ExpectForm("TFrmBookPreDataEdit", mrNone, {}, [](TCustomForm* f) {
        auto* e = static_cast<TFrmBookPreDataEdit*>(f);
        SendClick(e->EditSort);
        e->EditSort->SetText("");
        SendText(e->EditSort, "K20");
        SendClick(e->EditName);
        SendClick(e->BtSaveExit);
    });
    SendClick(list->BtEdit);
    EXPECT_EQ(Rows("select SortCode, Scode from BookinfoPre where Name='乙'"), (std::vector<std::string>{"K20|I24/6"}));
    EXPECT_EQ(list->ADOqData->FieldByName("Name")->AsString(), "乙");
    script.ExpectMessage("是否删除此记录？", IDOK, "询问");
    SendClick(list->BtDelete);
    EXPECT_EQ(listed(), (std::vector<std::string>{"甲", "丙"}));
    EXPECT_EQ(list->EditQty->Value().AsInteger(), 2);
    EXPECT_EQ(list->EditPrice->Value().AsCurrency(), StrToCurr("11.25"));
}

TEST_F(PreCatalogueTest, quickSearchMatchesTypedTextLiterallyAndKnowsNoBarcode) {
    Exec("insert into BookinfoPre (Name, SortCode, Scode, Py) values ('O''Brien 选集','I24','I24/1','obxj'), "
         "('程序','TP31','TP31/1','cx'), ('100%纯','TP3','TP3/1','bfc'), ('其他','I24','I24/2','qt')");
    openList();
    struct Case {
        const char* text;
        std::vector<std::string> expected;
    };
    for (const Case& c : {Case{"O'Brien", {"O'Brien 选集"}}, Case{"%", {"100%纯"}}, Case{"cx", {"程序"}},
                          Case{"I24/2", {"其他"}}, Case{"", {"O'Brien 选集", "程序", "100%纯", "其他"}}}) {
        search(c.text);
        EXPECT_EQ(listed(), c.expected) << c.text;
        EXPECT_EQ(list->EditQty->Value().AsInteger(), int(c.expected.size())) << c.text;
    }
    SendClick(list->EditSort);
    SendText(list->EditSort, "TP3");
    SendKey(list->EditSort, VK_RETURN);
    EXPECT_EQ(listed(), (std::vector<std::string>{"程序", "100%纯"}));
}

TEST_F(PreCatalogueTest, conditionDialogOffersNoCriteriaOfACopyAndCancelKeepsTheList) {
    Exec("insert into BookinfoPre (Name, Writer, Py, RegDate) values ('红楼梦','曹雪芹','hlm','2024-05-10'), "
         "('红楼梦','脂砚斋','hlm','2023-01-01'), ('围城','钱钟书','wc','2024-05-10')");
    InDay = 30;
    openList();
    script.ExpectForm("TFrmBookCond", mrNone, {}, [](TCustomForm* f) {
        auto* d = static_cast<TFrmBookCond*>(f);
        for (TControl* c : std::initializer_list<TControl*>{d->ChkCode, d->EditFrom, d->EditTo, d->EditCode,
                                                             d->CmbState})
            EXPECT_FALSE(c->Enabled()) << c->Name();
        EXPECT_EQ(f->ActiveControl(), d->EditName);
        SendText(d->EditName, "hl");
        SendClick(d->ChkNew);
        SendClick(d->BtConfirm);
    });
    SendClick(list->BtFind);
    EXPECT_EQ(Rows("select Writer from BookinfoPre where Id=" + list->ADOqData->FieldByName("Id")->AsString()),
              (std::vector<std::string>{"曹雪芹"}));
    EXPECT_EQ(list->EditQty->Value().AsInteger(), 1);
    script.ExpectForm("TFrmBookCond", mrCancel);
    SendClick(list->BtFind);
    EXPECT_EQ(list->ADOqData->RecordCount(), 1);
    // The bulk delete follows the list's condition, not the cancelled one.
    script.ExpectMessage("是否删除显示的全部记录？", IDOK, "询问");
    SendClick(list->BtDelAll);
    EXPECT_EQ(Rows("select Writer from BookinfoPre order by Id"), (std::vector<std::string>{"脂砚斋", "钱钟书"}));
    EXPECT_EQ(list->EditQty->Value().AsInteger(), 0);
}

TEST_F(PreCatalogueTest, bulkDeleteRemovesOnlyTheRecordsListed) {
    // 1,005 records: the list opens on the first 1,000 by Id.
    Exec("with recursive n(i) as (select 1 union all select i+1 from n where i<1005) "
         "insert into BookinfoPre (Name, SortCode) select '书' || i, case when i%2 then 'I24' else 'K20' end from n");
    openList();
    ASSERT_EQ(list->EditQty->Value().AsInteger(), 1000);
    script.ExpectMessage("是否删除显示的全部记录？", IDCANCEL, "询问");
    SendClick(list->BtDelAll);
    EXPECT_EQ(Scalar("select count(*) from BookinfoPre"), "1005");
    script.ExpectMessage("是否删除显示的全部记录？", IDOK, "询问");
    SendClick(list->BtDelAll);
    EXPECT_EQ(Rows("select Name from BookinfoPre order by Id"),
              (std::vector<std::string>{"书1001", "书1002", "书1003", "书1004", "书1005"}));
    EXPECT_EQ(listed(), (std::vector<std::string>{"书1001", "书1002", "书1003", "书1004", "书1005"}));
    // After a search, what the search found.
    SendClick(list->EditSort);
    SendText(list->EditSort, "K20");
    SendKey(list->EditSort, VK_RETURN);
    script.ExpectMessage("是否删除显示的全部记录？", IDOK, "询问");
    SendClick(list->BtDelAll);
    EXPECT_EQ(Rows("select Name from BookinfoPre order by Id"),
              (std::vector<std::string>{"书1001", "书1003", "书1005"}));
}

TEST_F(PreCatalogueTest, transferMakesACopyWithItsAbstractAndInputCodes) {
    Exec("insert into Bookinfo (Code, Name) values ('B001','旧书')");
    Exec("insert into BookinfoPre (Name, YName, Writer, BookIsbn, SortCode, SortNum, Scode, BookPrice, RegDate, "
         "Remarks, Remarks1, IsLimit) values ('红楼梦','The Story of the Stone','曹雪芹','7-02','I24','3','I24/3', "
         "59.7,'2024-05-01','简介','摘要','限制'), ('围城','','钱钟书','','I24','4','I24/4',19.8,'2024-05-02','','','')");
    openList();
    struct Step {
        const char* answer;
        const char* message; // "" : none
    };
    for (const Step& s : {Step{"", "图书编号(条码号)不能为空!"}, Step{" ", "图书编号(条码号)不能为空!"},
                          Step{"b001", "图书编号有重复,请重新录入!"}}) {
        script.ExpectInput("请输入图书编号(条码号)", s.answer);
        script.ExpectMessage(s.message, IDOK);
        SendClick(list->Btzk);
    }
    EXPECT_EQ(Scalar("select count(*) from Bookinfo"), "1");
    // Kept as a copy ("保留副本" ticked at start): the record stays.
    script.ExpectInput("请输入图书编号(条码号)", "B002");
    SendClick(list->Btzk);
    EXPECT_EQ(Rows("select Code, Name, YName, Writer, BookIsbn, SortCode, SortNum, Scode, BookPrice, RegDate, Remarks, "
                   "Remarks1, IsLimit, Py, Wbh, Wb, IsOut, Borrowman, Times from Bookinfo where Code='B002'"),
              (std::vector<std::string>{"B002|红楼梦|The Story of the Stone|曹雪芹|7-02|I24|3|I24/3|59.7|2024-05-01|简介|"
                                        "摘要|限制|hlm|nhh|xss|||0"}));
    EXPECT_EQ(listed(), (std::vector<std::string>{"红楼梦", "围城"}));
    // Not kept: the record leaves the pre-catalogue and the list.
    SendClick(list->ChkZk);
    list->ADOqData->First();
    script.ExpectInput("请输入图书编号(条码号)", "B003");
    SendClick(list->Btzk);
    EXPECT_EQ(Rows("select Code from Bookinfo where Name='红楼梦' order by Code"),
              (std::vector<std::string>{"B002", "B003"}));
    EXPECT_EQ(Rows("select Name from BookinfoPre"), (std::vector<std::string>{"围城"}));
    EXPECT_EQ(listed(), (std::vector<std::string>{"围城"}));
    EXPECT_EQ(list->EditQty->Value().AsInteger(), 1);
}

TEST_F(PreCatalogueTest, marcFileImportedFromTheListIsListedAndItsDamagedRecordCounted) {
    Exec("insert into BookinfoPre (Name) values ('已有')");
    openList();
    const std::string file = dir_ + "books.iso";
    AtomicWriteFile(file, MarcRecord({{"010", {{'a', "7-5053-1234-5"}, {'d', "CNY25.50"}}},
                                      {"200", {{'a', "数据结构"}, {'f', "严蔚敏"}}},
                                      {"690", {{'a', "TP311.12"}}}}) +
                              "\r\n" +
                              MarcWithFieldStart(MarcRecord({{"200", {{'a', "坏记录"}}}}), "200", "00900") +
                              "\r\n" + MarcRecord({{"010", {{'d', "abc"}}}, {"200", {{'a', "红楼梦"}}}}) + "\r\n");
    script.ExpectForm("TFrmMarcIn", mrNone, {}, [this, file](TCustomForm* f) {
        auto* marc = static_cast<TFrmMarcIn*>(f);
        SendText(marc->EditFile, file);
        script.ExpectMessage("共导入 2 条记录。\n跳过 1 条损坏的记录(第 2 行)。", IDOK);
        SendClick(marc->BtConfirm);
    });
    SendClick(list->BtMarc);
    EXPECT_EQ(Rows("select Name, Writer, BookIsbn, SortCode, BookPrice from BookinfoPre order by Id"),
              (std::vector<std::string>{"已有||||", "数据结构|严蔚敏|7-5053-1234-5|TP311.12|25.5", "红楼梦||||"}));
    // Imported titles carry their input codes, as typed ones do.
    EXPECT_EQ(Rows("select Name, Py, Wbh, Wb from BookinfoPre where Name in ('已有', '红楼梦') order by Id"),
              (std::vector<std::string>{"已有|||", "红楼梦|hlm|nhh|xss"}));
    EXPECT_EQ(listed(), (std::vector<std::string>{"已有", "数据结构", "红楼梦"}));
    EXPECT_EQ(list->EditQty->Value().AsInteger(), 3);
    EXPECT_EQ(list->EditPrice->Value().AsCurrency(), StrToCurr("25.5"));
}

} // namespace

namespace {

// The list's report prints the listed records through the PDF printer
// into the report engine's folder and its index; pictures of the list and
// its editor for a person to look at.
class PreCatalogueOutputTest : public CatalogueFixture {};

TEST_F(PreCatalogueOutputTest, listPrintsTheListedRecords) {
    Exec("insert into BookinfoPre (Name, Writer, Publisher, BookIsbn, SortCode, BookPrice) values "
         "('红楼梦','曹雪芹','人民文学出版社','7-02-000220-X','I24',59.7), "
         "('围城','钱钟书','人民文学出版社','7-02-002473-4','I24',19.8), ('史记','司马迁','中华书局','7-101','K20',88)");
    TFrmBookPreData list(nullptr);
    ShowAndActivate(&list);
    SendClick(list.EditSort);
    SendText(list.EditSort, "I24");
    SendKey(list.EditSort, VK_RETURN);
    ASSERT_EQ(list.ADOqData->RecordCount(), 2);
    const std::string text = PrintListReport(&list, script, dir_, "preCatalogueListWindow", "预编目清单");
    EXPECT_NE(text.find("预编目清单"), std::string::npos) << text;
    EXPECT_NE(text.find("红楼梦"), std::string::npos) << text;
    EXPECT_NE(text.find("7-02-002473-4"), std::string::npos) << text;
    EXPECT_NE(text.find("79.5"), std::string::npos) << text;
    EXPECT_EQ(text.find("史记"), std::string::npos) << text;
}

} // namespace
