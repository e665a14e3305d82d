// The book catalogue through its real windows on a scratch database: a
// copy added with its class, call number and input codes, copied to the
// next one, found again by the quick search and the condition dialog,
// renamed with its loans, refused as a duplicate, and deleted; the
// statements of the list's searches over a table of cases.
#include "CatalogueFixture.h"
#include "support/ReportOutput.h"

#include "ADODB.h"
#include "Buttons.h"
#include "ComCtrls.h"
#include "DBCtrls.h"
#include "Printers.h"
#include "Gbk.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "app/BookRules.h"
#include "app/uBookCond.h"
#include "app/uBookData.h"
#include "app/uBookDataEdit.h"
#include "app/uDMData.h"
#include "app/uMDIBaseData.h"
#include "Menus.h"
#include "app/uGlobal.h"
#include "gridlib/edits/DBCtrlsEh.h"

#include <fstream>
#include <memory>

namespace {

std::string dictLine(const std::string& ch, char wb, char wbh, char py) {
    return Utf8ToGbk(ch) + std::string(4, ' ') + wb + std::string(5, ' ') + wbh + std::string(23, ' ') + py + "\r\n";
}

class BooksCatalogueTest : public CatalogueFixture {
protected:
    void SetUp() override {
        CatalogueFixture::SetUp();
        BusinessDate = EncodeDate(2024, 5, 20);
        InDay = 30;
        AtomicWriteFile(dir_ + "Ime.DCT", dictLine("红", 'x', 'n', 'h') + dictLine("楼", 's', 'h', 'l') +
                                              dictLine("梦", 's', 'h', 'm'));
        Exec("insert into Type (sKey, ParentKey, SortCode, SortName) values ('000000','00','TP3','计算机'), "
             "('0000000000','000000','TP31','程序设计'), ('000001','00','I24','小说')");
        Exec("insert into Bookpub (Code, Isbn) values ('测试电子出版社', '7-9053')");
    }
    void TearDown() override {
        list.reset();
        CatalogueFixture::TearDown();
    }
    void openList() {
        list.reset(new TFrmBookData(nullptr));
        ShowAndActivate(list.get());
        ProcessEvents();
    }
    // Fills the editor as a cataloguer would: code, class (leaving the box
    // gives the call number), title.
    static void typeBook(TFrmBookDataEdit* e, const std::string& code, const std::string& sort,
                         const std::string& name) {
        SendText(e->EditCode, code);
        SendClick(e->EditSort);
        SendText(e->EditSort, sort);
        SendClick(e->EditName);
        SendText(e->EditName, name);
    }
    std::unique_ptr<TFrmBookData> list;
};

TEST_F(BooksCatalogueTest, addedBookGetsCallNumberInputCodesAndTheBusinessDate) {
    Exec("insert into Bookinfo (Code, Name, SortCode, SortNum, Scode) values ('A1','甲','TP31','1','TP31/1'), "
         "('A2','乙','TP31','2','TP31/2'), ('A7','丙','TP31','7','TP31/7'), ('AX','丁','TP31','x','TP31/x')");
    openList();
    script.ExpectForm("TFrmBookDataEdit", mrNone, {}, [](TCustomForm* f) {
        auto* e = static_cast<TFrmBookDataEdit*>(f);
        typeBook(e, "B001", "TP31", "红楼梦");
        SendClick(e->BtSaveExit);
    });
    SendClick(list->BtAdd);
    EXPECT_EQ(Rows("select Code, Name, SortCode, SortNum, Scode, Py, Wbh, Wb, RegDate from Bookinfo where "
                   "Code='B001'"),
              (std::vector<std::string>{"B001|红楼梦|TP31|8|TP31/8|hlm|nhh|xss|2024-05-20"}));
    EXPECT_EQ(list->ADOqData->FieldByName("Code")->AsString(), "B001");
    EXPECT_EQ(list->EditQty->Value().AsInteger(), 5);
}

TEST_F(BooksCatalogueTest, firstCopyOfAClassIsNumberOneAndTheNextCopyCarriesItsData) {
    openList();
    script.ExpectForm("TFrmBookDataEdit", mrNone, {}, [](TCustomForm* f) {
        auto* e = static_cast<TFrmBookDataEdit*>(f);
        SendClick(e->ChkCopy);
        typeBook(e, "C001", "I24", "红楼梦");
        e->AdoqEdit->FieldByName("Writer")->SetAsString("曹雪芹");
        SendClick(e->BtSaveAdd);
        // Only the code is new for the second copy.
        SendText(e->EditCode, "C002");
        SendClick(e->BtSaveExit);
    });
    SendClick(list->BtAdd);
    EXPECT_EQ(Rows("select Code, Name, Writer, SortCode, Scode from Bookinfo order by Id"),
              (std::vector<std::string>{"C001|红楼梦|曹雪芹|I24|I24/1", "C002|红楼梦|曹雪芹|I24|I24/1"}));
    EXPECT_EQ(list->ADOqData->FieldByName("Code")->AsString(), "C002");
}

TEST_F(BooksCatalogueTest, unknownClassIsEmptiedAndTheSaveAsksForIt) {
    std::unique_ptr<TFrmBookDataEdit> e(new TFrmBookDataEdit(nullptr));
    e->EditMode = 1;
    ShowAndActivate(e.get());
    script.ExpectMessage("无此分类号!", IDOK);
    typeBook(e.get(), "D001", "ZZ9", "无类之书");
    EXPECT_EQ(e->AdoqEdit->FieldByName("SortCode")->AsString(), "");
    script.ExpectMessage("图书编号、中文名称和类别必须填写！", IDOK);
    SendClick(e->BtSaveExit);
    EXPECT_EQ(Scalar("select count(*) from Bookinfo"), "0");
}

// Saved by its key with the focus still in the class box: the save itself
// looks the class up, and a known one still gives the new copy its call
// number; a copy whose class has left the tree since is still corrected.
TEST_F(BooksCatalogueTest, classTypedAndSavedByItsKeyIsCheckedAndNumberedInTheSave) {
    Exec("insert into Bookinfo (Code, Name, SortCode, SortNum, Scode) values ('A1','甲','TP31','1','TP31/1')");
    std::unique_ptr<TFrmBookDataEdit> e(new TFrmBookDataEdit(nullptr));
    e->EditMode = 1;
    ShowAndActivate(e.get());
    SendText(e->EditCode, "D001");
    SendClick(e->EditName);
    SendText(e->EditName, "无类之书");
    SendClick(e->EditSort);
    SendText(e->EditSort, "ZZ9");
    script.ExpectMessage("无此分类号!", IDOK);
    SendKeyToFocus(e.get(), 'A', TShiftState() << ssAlt);
    EXPECT_EQ(Scalar("select count(*) from Bookinfo where Code='D001'"), "0");
    EXPECT_EQ(e->EditSort->Text(), "");

    SendText(e->EditSort, "TP31");
    SendKeyToFocus(e.get(), 'A', TShiftState() << ssAlt);
    EXPECT_EQ(Rows("select SortCode, Scode from Bookinfo where Code='D001'"), (std::vector<std::string>{"TP31|TP31/2"}));
    e->AdoqEdit->Cancel();
    e.reset();

    Exec("update Bookinfo set SortCode='X1' where Code='A1'");
    e.reset(new TFrmBookDataEdit(nullptr));
    e->EditMode = 2;
    e->EditId = std::stoi(Scalar("select Id from Bookinfo where Code='A1'"));
    ShowAndActivate(e.get());
    SendClick(e->EditName);
    SendText(e->EditName, "乙");
    SendKeyToFocus(e.get(), 'A', TShiftState() << ssAlt);
    EXPECT_EQ(Rows("select Name, SortCode from Bookinfo where Code='A1'"), (std::vector<std::string>{"甲乙|X1"}));
    e->AdoqEdit->Cancel();
}

TEST_F(BooksCatalogueTest, duplicateCodeIsRefusedOnLeavingTheBoxAndInTheSaveItself) {
    Exec("insert into Bookinfo (Code, Name, SortCode) values ('B001','旧书','TP31')");
    std::unique_ptr<TFrmBookDataEdit> e(new TFrmBookDataEdit(nullptr));
    e->EditMode = 1;
    ShowAndActivate(e.get());
    SendText(e->EditCode, "b001");
    script.ExpectMessage("该图书已有重码！请重新录入", IDOK);
    SendClick(e->EditName);
    EXPECT_EQ(e->AdoqEdit->FieldByName("Code")->AsString(), "");
    // A save that never leaves the code box is checked as well.
    e->AdoqEdit->FieldByName("Code")->SetAsString("B001");
    e->AdoqEdit->FieldByName("Name")->SetAsString("新书");
    e->AdoqEdit->FieldByName("SortCode")->SetAsString("TP31");
    script.ExpectMessage("该图书已有重码！请重新录入", IDOK);
    EXPECT_THROW(e->SaveRecord(), EAbort);
    EXPECT_EQ(Scalar("select count(*) from Bookinfo"), "1");
}

TEST_F(BooksCatalogueTest, renameTakesLoansAndWriteOffsFromTheCodeAsLoaded) {
    Exec("insert into Bookinfo (Code, Name, SortCode) values ('B001','书','TP31')");
    Exec("insert into Borrowinfo (Code, Rcode, State) values ('B001','R1','借出'), ('B001','R2','已还'), "
         "('B002','R3','借出')");
    Exec("insert into BookReject (Code, RCode) values ('B001','R1')");
    const std::string id = Scalar("select Id from Bookinfo where Code='B001'");
    std::unique_ptr<TFrmBookDataEdit> e(new TFrmBookDataEdit(nullptr));
    e->EditMode = 2;
    e->EditId = std::stoi(id);
    ShowAndActivate(e.get());
    // Change the code, leave the box, come back and save: the loans still
    // follow from the code the row was loaded with.
    e->AdoqEdit->FieldByName("Code")->SetAsString("B100");
    SendClick(e->EditName);
    SendClick(e->EditCode);
    // Saved, the editor closes and frees itself.
    SendClick(e.release()->BtSaveExit);
    ProcessEvents();
    EXPECT_EQ(Rows("select Code, Rcode from Borrowinfo order by Id"),
              (std::vector<std::string>{"B100|R1", "B100|R2", "B002|R3"}));
    EXPECT_EQ(Scalar("select Code from BookReject"), "B100");
    EXPECT_EQ(Scalar("select Code from Bookinfo"), "B100");
}

TEST_F(BooksCatalogueTest, aFailedRenameChangesNeitherTheBookNorItsLoans) {
    Exec("insert into Bookinfo (Code, Name, SortCode) values ('B001','书','TP31')");
    Exec("insert into Borrowinfo (Code, Rcode, State) values ('B001','R1','借出')");
    Exec("create trigger refuse before update of Code on Bookinfo begin select raise(abort, 'refused'); end");
    std::unique_ptr<TFrmBookDataEdit> e(new TFrmBookDataEdit(nullptr));
    e->EditMode = 2;
    e->EditId = std::stoi(Scalar("select Id from Bookinfo"));
    ShowAndActivate(e.get());
    e->AdoqEdit->FieldByName("Code")->SetAsString("B100");
    script.ExpectMessage("存盘失败！", IDOK);
    SendClick(e->BtSaveExit);
    EXPECT_EQ(Scalar("select Code from Borrowinfo"), "B001");
    EXPECT_EQ(Scalar("select Code from Bookinfo"), "B001");
    EXPECT_TRUE(e->Visible());
}

TEST_F(BooksCatalogueTest, isbnFindsThePublisherByPrefixAndCopiesThePreCatalogueRecord) {
    Exec("insert into BookinfoPre (Name, Writer, BookIsbn, SortCode, Publisher, RegDate) values "
         "('预编之书', '某人', '7-9053-1234-5', 'I24', '别的社', '2020-01-01')");
    std::unique_ptr<TFrmBookDataEdit> e(new TFrmBookDataEdit(nullptr));
    e->EditMode = 1;
    ShowAndActivate(e.get());
    SendClick(e->ChkSet); // off: the publisher alone
    SendText(e->EditISBN, "7-9053-1234-5");
    SendKey(e->EditISBN, VK_RETURN);
    EXPECT_EQ(e->AdoqEdit->FieldByName("Publisher")->AsString(), "测试电子出版社");
    EXPECT_EQ(e->AdoqEdit->FieldByName("Name")->AsString(), "");
    SendClick(e->ChkSet);
    SendClick(e->EditISBN);
    SendKey(e->EditISBN, VK_RETURN);
    EXPECT_EQ(e->AdoqEdit->FieldByName("Name")->AsString(), "预编之书");
    EXPECT_EQ(e->AdoqEdit->FieldByName("Publisher")->AsString(), "别的社");
    EXPECT_EQ(e->AdoqEdit->FieldByName("Writer")->AsString(), "某人");
    // A new copy keeps the business date.
    EXPECT_EQ(FormatDateTime("yyyy-mm-dd", e->AdoqEdit->FieldByName("RegDate")->AsDateTime()), "2024-05-20");
}

TEST_F(BooksCatalogueTest, newCopyCountsAsReceivedOnItsOrderingLine) {
    Exec("insert into Bookshort (Code, Name, BookIsbn, RegQty, BeBuy) values ('O1','红楼梦','', 2, 0), "
         "('O2','别的书','', 2, 0)");
    openList();
    script.ExpectForm("TFrmBookDataEdit", mrNone, {}, [](TCustomForm* f) {
        auto* e = static_cast<TFrmBookDataEdit*>(f);
        typeBook(e, "B001", "TP31", "红楼梦");
        SendClick(e->BtSaveExit);
    });
    SendClick(list->BtAdd);
    // An empty ISBN matches no other line.
    EXPECT_EQ(Rows("select Code, BeBuy from Bookshort order by Code"), (std::vector<std::string>{"O1|1", "O2|0"}));
}

TEST_F(BooksCatalogueTest, copyOnLoanIsNotDeletedOthersAreAndTheListMovesOn) {
    Exec("insert into Bookinfo (Code, Name, IsOut, BookPrice) values ('B1','一','外借',10), ('B2','二','',20.5), "
         "('B3','三',null,1.25)");
    openList();
    EXPECT_EQ(list->EditPrice->Value().AsCurrency(), StrToCurr("31.75"));
    script.ExpectMessage("该书籍正在外借,不能删除!", IDOK);
    SendClick(list->BtDelete);
    list->ADOqData->Locate("Code", Variant(std::string("B2")), 0);
    script.ExpectMessage("是否删除此记录？", IDOK, "询问");
    SendClick(list->BtDelete);
    EXPECT_EQ(Rows("select Code from Bookinfo order by Id"), (std::vector<std::string>{"B1", "B3"}));
    EXPECT_EQ(list->ADOqData->FieldByName("Code")->AsString(), "B3");
    EXPECT_EQ(list->EditQty->Value().AsInteger(), 2);
    EXPECT_EQ(list->EditPrice->Value().AsCurrency(), StrToCurr("11.25"));
}

TEST_F(BooksCatalogueTest, quickSearchMatchesTypedTextLiterallyAndTheClassBoxByContainment) {
    Exec("insert into Bookinfo (Code, Name, SortCode, Scode, Py) values ('B1','O''Brien 选集','I24','I24/1','obxj'), "
         "('B2','程序','TP31','TP31/1','cx'), ('B3','100%纯','TP3','TP3/1','bfc'), ('B4','其他','I24','I24/2','qt')");
    openList();
    struct Case {
        const char* code;
        const char* sort;
        std::vector<std::string> expected;
    };
    for (const Case& c : {Case{"O'Brien", "", {"B1"}}, Case{"%", "", {"B3"}}, Case{"ob", "", {"B1"}},
                          Case{"I24/2", "", {"B4"}}, Case{"", "TP3", {"B2", "B3"}}, Case{"", "", {"B1", "B2", "B3", "B4"}}}) {
        SendClick(list->Editcode);
        list->Editcode->SetText("");
        SendText(list->Editcode, c.code);
        if (*c.sort) {
            SendClick(list->EditSort);
            SendText(list->EditSort, c.sort);
            SendKey(list->EditSort, VK_RETURN);
        } else {
            SendKey(list->Editcode, VK_RETURN);
        }
        std::vector<std::string> got;
        for (list->ADOqData->First(); !list->ADOqData->Eof(); list->ADOqData->Next())
            got.push_back(list->ADOqData->FieldByName("Code")->AsString());
        EXPECT_EQ(got, c.expected) << c.code << "/" << c.sort;
        EXPECT_EQ(list->EditQty->Value().AsInteger(), int(c.expected.size()));
    }
}

TEST_F(BooksCatalogueTest, conditionDialogJoinsItsCriteriaAndCancelKeepsTheList) {
    Exec("insert into Bookinfo (Code, Name, IsOut, RegDate, Py) values ('B1','红楼梦','', '2024-05-10','hlm'), "
         "('B2','红楼梦','外借','2024-05-10','hlm'), ('B3','红楼梦',null,'2023-01-01','hlm'), "
         "('C1','红楼梦','','2024-05-10','hlm'), ('B4','围城','','2024-05-10','wc')");
    openList();
    script.ExpectForm("TFrmBookCond", mrNone, {}, [](TCustomForm* f) {
        auto* d = static_cast<TFrmBookCond*>(f);
        SendText(d->EditName, "hl");
        SendClick(d->ChkCode);
        SendText(d->EditFrom, "B1");
        SendText(d->EditTo, "B9");
        SendClick(d->CmbState);
        SendText(d->CmbState, "在馆");
        SendClick(d->ChkNew);
        SendClick(d->BtConfirm);
    });
    SendClick(list->BtFind);
    std::vector<std::string> got;
    for (list->ADOqData->First(); !list->ADOqData->Eof(); list->ADOqData->Next())
        got.push_back(list->ADOqData->FieldByName("Code")->AsString());
    EXPECT_EQ(got, (std::vector<std::string>{"B1"}));
    script.ExpectForm("TFrmBookCond", mrCancel);
    SendClick(list->BtFind);
    EXPECT_EQ(list->ADOqData->RecordCount(), 1);
}

} // namespace

namespace {

// Pictures of the book list and the book editor, for a person to look at.
class BookScreensCatalogueTest : public CatalogueFixture {};

TEST_F(BookScreensCatalogueTest, bookListAndEditor) {
    const std::string screens = std::string(BUILD_DIR) + "/test-output/screens/";
    ForceDirectories(screens);
    BusinessDate = EncodeDate(2024, 5, 20);
    Exec("insert into Bookinfo (Code, Name, Writer, Publisher, SortCode, SortNum, Scode, BookPrice, RegDate, IsOut) "
         "values ('00000001','红楼梦','曹雪芹','人民文学出版社','I24','1','I24/1',59.7,'2024-05-01',''), "
         "('00000002','三国演义','罗贯中','人民文学出版社','I24','2','I24/2',39.5,'2024-05-02','外借'), "
         "('00000003','C程序设计','谭浩强','清华大学出版社','TP31','1','TP31/1',26,'2024-05-03',''), "
         "('00000004','围城','钱钟书','人民文学出版社','I24','3','I24/3',19.8,'2024-05-03','')");
    TFrmBookData list(nullptr);
    ShowAndActivate(&list);
    ProcessEvents();
    EXPECT_TRUE(SaveFormPng(&list, screens + "book-list.png"));
    TFrmBookDataEdit editor(nullptr);
    editor.EditMode = 2;
    editor.EditId = std::stoi(Scalar("select Id from Bookinfo where Code='00000001'"));
    ShowAndActivate(&editor);
    ProcessEvents();
    EXPECT_TRUE(SaveFormPng(&editor, screens + "book-editor.png"));
    editor.AdoqEdit->Cancel();
}

} // namespace

namespace {

// The list's report menu prints the listed copies through the PDF printer
// into the report engine's folder and its index.
class BookReportCatalogueTest : public CatalogueFixture {};

TEST_F(BookReportCatalogueTest, bookListPrintsTheListedCopies) {
    const std::string out = ReportsFolder();
    const std::string pdf = out + "bookListWindow.pdf";
    ForceDirectories(dir_ + "report");
    ASSERT_TRUE(CopyFile(std::string(BUILD_DIR) + "/program/report/BookData.rmf", dir_ + "report/BookData.rmf", false));
    Exec("insert into Bookinfo (Code, Name, Writer, Publisher, SortCode, BookPrice) values "
         "('P1','红楼梦','曹雪芹','人民文学出版社','I24',59.7), ('P2','围城','钱钟书','人民文学出版社','I24',19.8), "
         "('Q1','史记','司马迁','中华书局','K20',88)");
    TFrmBookData list(nullptr);
    ShowAndActivate(&list);
    SendText(list.Editcode, "P");
    SendKey(list.Editcode, VK_RETURN);
    ASSERT_EQ(list.ADOqData->RecordCount(), 2);
    remove(pdf.c_str());
    Printer()->SetPrinterIndex(Printer()->PdfPrinterIndex());
    Printer()->SetFileName(pdf);
    script.ExpectForm("TRMPrintDialogForm", mrOk, {}, [](TCustomForm* f) { SendClickTo(f, "BtnOK"); });
    list.N3->Click();
    ASSERT_TRUE(FileExists(pdf));
    const std::string text = CommandOutput("pdftotext -layout '" + pdf + "' -");
    EXPECT_NE(text.find("图书清单"), std::string::npos) << text;
    EXPECT_NE(text.find("红楼梦"), std::string::npos) << text;
    EXPECT_NE(text.find("围城"), std::string::npos) << text;
    EXPECT_EQ(text.find("史记"), std::string::npos) << text;
    IndexReport("bookListWindow.pdf", "BookData.rmf", 1, "图书清单");
}

} // namespace
