// The book ordering list through its real windows on a scratch database:
// the condition dialog's statement over a table of cases, the search box,
// "清除购齐" asking first and sparing lines that order nothing, a line added
// and edited through the editor from the tool bar, the order amount, the
// duplicate code refused in the save itself, the report printed to PDF, and
// pictures of the list and the editor.
#include "CatalogueFixture.h"
#include "support/ReportOutput.h"

#include "ADODB.h"
#include "Buttons.h"
#include "DBCtrls.h"
#include "Menus.h"
#include "Printers.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "app/OrderRules.h"
#include "app/uBookShortCond.h"
#include "app/uBookShortData.h"
#include "app/uBookShortDataEdit.h"
#include "app/uDMData.h"
#include "app/uGlobal.h"
#include "gridlib/edits/DBCtrlsEh.h"

#include <fstream>
#include <memory>

namespace {

using Codes = std::vector<std::string>;

class OrderingTest : public CatalogueFixture {
protected:
    void SetUp() override {
        CatalogueFixture::SetUp();
        BusinessDate = EncodeDate(2024, 5, 6);
        Exec("insert into Bookshort (Code, BookIsbn, Name, YName, Sortcode, Publisher, Writer, Translator, RegQty, "
             "BeBuy, BookPrice, BookSum) values "
             "('O1', '7-111', '红楼梦', 'Dream', 'I24', '人民文学出版社', '曹雪芹', '', 4, 4, 59.7, 238.8), "
             "('O2', '7-222', '程序设计', 'Programming', 'TP31', '清华大学出版社', '谭浩强', '', 2, 3, 26, 52), "
             "('O3', '7-333', 'O''Neil 传', 'Life', 'TP3', '中华书局', '佚名', '张三', 5, 1, 10, 50), "
             "('O4', '', '新订', '', 'I2', '', '', '', 0, 0, 0, 0)");
        Exec("insert into Booklang (Code) values ('中文'), ('英文')");
    }
    void TearDown() override {
        list.reset();
        CatalogueFixture::TearDown();
    }
    void openList() {
        list.reset(new TFrmBookShortData(nullptr));
        ShowAndActivate(list.get());
        ProcessEvents();
    }
    Codes codes(const TBoundSql& s) {
        TADOQuery q;
        q.SetConnection(dm->ADOConnection1);
        q.SetStatement(s);
        q.Open();
        Codes out;
        for (; !q.Eof(); q.Next()) out.push_back(q.FieldByName("Code")->AsString());
        return out;
    }
    Codes listed() {
        Codes out;
        for (list->ADOqData->First(); !list->ADOqData->Eof(); list->ADOqData->Next())
            out.push_back(list->ADOqData->FieldByName("Code")->AsString());
        return out;
    }
    static void typeInto(TWinControl* box, const std::string& text) {
        SendKey(box, 'A', TShiftState() << ssCtrl);
        SendText(box, text);
    }
    std::unique_ptr<TFrmBookShortData> list;
};

struct ConditionCase {
    const char* name;
    TBookShortCondition condition;
    Codes expected;
};

class OrderingConditionTest : public OrderingTest, public ::testing::WithParamInterface<ConditionCase> {};

TEST_P(OrderingConditionTest, findsTheLinesOfTheTypedCriteria) {
    EXPECT_EQ(codes(BookShortConditionSql(GetParam().condition)), GetParam().expected);
}

TBookShortCondition with(std::string TBookShortCondition::*box, const std::string& text,
                         std::string TBookShortCondition::*box2 = nullptr, const std::string& text2 = "") {
    TBookShortCondition c;
    c.*box = text;
    if (box2) c.*box2 = text2;
    return c;
}

const ConditionCase conditionCases[] = {
    {"nothingTypedIsEveryLine", {}, {"O1", "O2", "O3", "O4"}},
    {"codeContains", with(&TBookShortCondition::Code, "O"), {"O1", "O2", "O3", "O4"}},
    {"titleContainsAQuote", with(&TBookShortCondition::Name, "O'N"), {"O3"}},
    {"sourceTitleContains", with(&TBookShortCondition::YName, "am"), {"O1", "O2"}},
    {"publisherContains", with(&TBookShortCondition::Publisher, "出版社"), {"O1", "O2"}},
    {"isbnIsEqualNotContained", with(&TBookShortCondition::Isbn, "7-1"), {}},
    {"isbnEqual", with(&TBookShortCondition::Isbn, "7-222"), {"O2"}},
    // The class is "contains" wherever it stands, so first and after
    // another box find the same lines.
    {"classAloneContains", with(&TBookShortCondition::Sort, "TP3"), {"O2", "O3"}},
    {"classAfterCodeStillContains", with(&TBookShortCondition::Code, "O", &TBookShortCondition::Sort, "TP3"),
     {"O2", "O3"}},
    {"translatorContains", with(&TBookShortCondition::Translator, "张"), {"O3"}},
    {"writerAndTitleTogether", with(&TBookShortCondition::Writer, "曹", &TBookShortCondition::Name, "程序"), {}},
    {"percentIsLiteral", with(&TBookShortCondition::Name, "%"), {}},
};
INSTANTIATE_TEST_SUITE_P(Ordering, OrderingConditionTest, ::testing::ValuesIn(conditionCases), RowName());

TEST_F(OrderingTest, searchBoxFindsCodeTitleOrSourceTitleAsTyped) {
    openList();
    EXPECT_EQ(listed(), (Codes{"O1", "O2", "O3", "O4"}));
    SendText(list->Editcode, "O'N");
    SendKey(list->Editcode, VK_RETURN);
    EXPECT_EQ(listed(), (Codes{"O3"}));
    typeInto(list->Editcode, "dream");
    SendKey(list->Editcode, VK_RETURN);
    EXPECT_EQ(listed(), (Codes{"O1"}));
    typeInto(list->Editcode, "");
    SendKey(list->Editcode, VK_BACK);
    SendKey(list->Editcode, VK_RETURN);
    EXPECT_EQ(listed().size(), 4u);
}

TEST_F(OrderingTest, conditionDialogNarrowsTheListAndCancelKeepsIt) {
    openList();
    script.ExpectForm("TFrmBookShortCond", mrNone, {}, [](TCustomForm* f) {
        auto* c = static_cast<TFrmBookShortCond*>(f);
        SendText(c->EditCode, "O");
        SendText(c->EditSort, "TP3");
        SendClick(c->BtConfirm);
    });
    SendClick(list->BtFind);
    EXPECT_EQ(listed(), (Codes{"O2", "O3"}));
    script.ExpectForm("TFrmBookShortCond", mrCancel);
    SendClick(list->BtFind);
    EXPECT_EQ(listed(), (Codes{"O2", "O3"}));
}

TEST_F(OrderingTest, clearingAsksFirstAndTakesOnlyLinesFullyReceived) {
    openList();
    script.ExpectMessage("是否删除全部已购齐的征订记录？", IDCANCEL, "询问");
    SendClick(list->BtClear);
    EXPECT_EQ(Scalar("select count(*) from Bookshort"), "4");
    // Alt+Q, the letter its caption names.
    script.ExpectMessage("是否删除全部已购齐的征订记录？", IDOK, "询问");
    SendKeyToFocus(list.get(), 'Q', TShiftState() << ssAlt);
    // O1 received all, O2 more than it ordered; O4 orders nothing yet and
    // O3 is still waiting.
    EXPECT_EQ(Rows("select Code from Bookshort order by Code"), (Codes{"O3", "O4"}));
    EXPECT_EQ(listed(), (Codes{"O3", "O4"}));
}

TEST_F(OrderingTest, deleteAsksAndTakesTheLine) {
    openList();
    list->ADOqData->Locate("Code", Variant("O3"), {});
    script.ExpectMessage("是否删除此记录？", IDOK, "询问");
    SendClick(list->BtDelete);
    EXPECT_EQ(Rows("select Code from Bookshort order by Code"), (Codes{"O1", "O2", "O4"}));
}

TEST_F(OrderingTest, lineAddedFromTheToolBarWithItsAmountAndShownAfterwards) {
    openList();
    script.ExpectForm("TFrmBookShortDataEdit", mrNone, {}, [](TCustomForm* f) {
        auto* e = static_cast<TFrmBookShortDataEdit*>(f);
        EXPECT_EQ(e->ActiveControl(), e->EditCode);
        EXPECT_EQ(e->CmbLang->Items()->Count(), 2);
        SendText(e->EditCode, "O9");
        SendKey(e->EditCode, VK_TAB);
        SendText(e->EditName, "围城");
        typeInto(e->EditPrice, "25.5");
        SendKey(e->EditPrice, VK_TAB);
        // No quantity yet: the amount stays as it was.
        EXPECT_EQ(e->AdoqEdit->FieldByName("BookSum")->AsString(), "");
        typeInto(e->EditRegQty, "4");
        SendKey(e->EditRegQty, VK_TAB);
        EXPECT_EQ(e->AdoqEdit->FieldByName("BookSum")->AsString(), "102");
        typeInto(e->DBNumberEditEh3, "100");
        SendKey(e->DBNumberEditEh3, VK_TAB);
        SendClick(e->BtSaveExit);
    });
    SendClick(list->BtAdd);
    EXPECT_EQ(Rows("select Code, Name, BookPrice, RegQty, BeBuy, BookSum, RegDate from Bookshort where Code='O9'"),
              (Codes{"O9|围城|25.5|4|0|100|2024-05-06"}));
    EXPECT_EQ(list->ADOqData->FieldByName("Code")->AsString(), "O9");
}

TEST_F(OrderingTest, editKeepsTheCodeFixedAndChangesTheRest) {
    openList();
    list->ADOqData->Locate("Code", Variant("O3"), {});
    script.ExpectForm("TFrmBookShortDataEdit", mrNone, {}, [](TCustomForm* f) {
        auto* e = static_cast<TFrmBookShortDataEdit*>(f);
        EXPECT_TRUE(e->EditCode->ReadOnly());
        EXPECT_EQ(e->ActiveControl(), e->EditName);
        typeInto(e->DBNumberEditEh2, "2");
        SendClick(e->BtSaveExit);
    });
    SendClick(list->BtEdit);
    EXPECT_EQ(Scalar("select BeBuy from Bookshort where Code='O3'"), "2");
    EXPECT_EQ(list->ADOqData->FieldByName("Code")->AsString(), "O3");
}

TEST_F(OrderingTest, takenCodeIsRefusedOnLeavingTheBoxAndInASaveByItsKey) {
    std::unique_ptr<TFrmBookShortDataEdit> e(new TFrmBookShortDataEdit(nullptr));
    e->EditMode = 1;
    ShowAndActivate(e.get());
    SendText(e->EditCode, "O1");
    script.ExpectMessage("该编号已有重码！请重新录入", IDOK);
    SendKey(e->EditCode, VK_TAB);
    EXPECT_EQ(e->AdoqEdit->FieldByName("Code")->AsString(), "");
    SendText(e->EditName, "重复");
    e->SetActiveControl(e->EditCode);
    SendText(e->EditCode, "O2");
    // Alt+A, 保存增加: the save runs with the focus still in the code box.
    script.ExpectMessage("该编号已有重码！请重新录入", IDOK);
    SendKeyToFocus(e.get(), 'A', TShiftState() << ssAlt);
    EXPECT_EQ(Scalar("select count(*) from Bookshort"), "4");
    typeInto(e->EditCode, "");
    SendKey(e->EditCode, VK_BACK);
    script.ExpectMessage("编号和中文名称必须填写！", IDOK);
    SendKeyToFocus(e.get(), 'A', TShiftState() << ssAlt);
    EXPECT_EQ(Scalar("select count(*) from Bookshort"), "4");
}

TEST_F(OrderingTest, saveAndAddStartsAFreshDatedLine) {
    std::unique_ptr<TFrmBookShortDataEdit> e(new TFrmBookShortDataEdit(nullptr));
    e->EditMode = 1;
    ShowAndActivate(e.get());
    SendText(e->EditCode, "P1");
    SendText(e->EditName, "一");
    SendClick(e->BtSaveAdd);
    EXPECT_EQ(e->LastSavedCode, "P1");
    EXPECT_EQ(e->AdoqEdit->FieldByName("Code")->AsString(), "");
    EXPECT_EQ(FormatDateTime("yyyy-mm-dd", e->AdoqEdit->FieldByName("RegDate")->AsDateTime()), "2024-05-06");
    EXPECT_FALSE(e->EditCode->ReadOnly());
    SendText(e->EditCode, "P2");
    SendText(e->EditName, "二");
    SendClick(e->BtSaveAdd);
    EXPECT_EQ(e->LastSavedCode, "P2");
    EXPECT_EQ(Rows("select Code from Bookshort where Code like 'P%' order by Code"), (Codes{"P1", "P2"}));
}

// The list's report menu prints the listed lines through the PDF printer
// into the report engine's folder and its index.
TEST_F(OrderingTest, reportPrintsTheListedLines) {
    const std::string out = ReportsFolder();
    const std::string pdf = out + "orderingListWindow.pdf";
    ForceDirectories(dir_ + "report");
    ASSERT_TRUE(CopyFile(std::string(BUILD_DIR) + "/program/report/BookShortData.rmf", dir_ + "report/BookShortData.rmf",
                         false));
    openList();
    SendText(list->Editcode, "am");
    SendKey(list->Editcode, VK_RETURN);
    ASSERT_EQ(list->ADOqData->RecordCount(), 2);
    remove(pdf.c_str());
    Printer()->SetPrinterIndex(Printer()->PdfPrinterIndex());
    Printer()->SetFileName(pdf);
    script.ExpectForm("TRMPrintDialogForm", mrOk, {}, [](TCustomForm* f) { SendClickTo(f, "BtnOK"); });
    list->N3->Click();
    ASSERT_TRUE(FileExists(pdf));
    const std::string text = CommandOutput("pdftotext -layout '" + pdf + "' -");
    EXPECT_NE(text.find("图书订购清单"), std::string::npos) << text;
    EXPECT_NE(text.find("红楼梦"), std::string::npos) << text;
    EXPECT_NE(text.find("程序设计"), std::string::npos) << text;
    EXPECT_EQ(text.find("新订"), std::string::npos) << text;
    IndexReport("orderingListWindow.pdf", "BookShortData.rmf", 1, "图书订购清单");
}

// Pictures of the ordering list and its editor, for a person to look at.
TEST_F(OrderingTest, pictureOfTheListAndTheEditor) {
    const std::string screens = std::string(BUILD_DIR) + "/test-output/screens/";
    ForceDirectories(screens);
    openList();
    EXPECT_TRUE(SaveFormPng(list.get(), screens + "ordering-list.png"));
    TFrmBookShortDataEdit editor(nullptr);
    editor.EditMode = 2;
    editor.KeyField = "Code";
    editor.KeyValue = "O1";
    Exec("update Bookshort set RegDate='2024-04-28', Language='中文', Tel='010-12345678', LinkMan='王经理', "
         "Remarks='第一批到货四册' where Code='O1'");
    ShowAndActivate(&editor);
    ProcessEvents();
    EXPECT_TRUE(SaveFormPng(&editor, screens + "ordering-editor.png"));
    editor.AdoqEdit->Cancel();
}

} // namespace
