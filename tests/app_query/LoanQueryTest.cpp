// The loan query through the real windows: the menu's path (condition
// dialog, then the window with its first result), the row count, a
// cancelled find that keeps everything, the check box over the kept
// condition, title-click sorting, the layout editor changing the columns,
// the printout with the library name and the condition line, and the
// spreadsheet export from the print menu.
#include "QueryFixture.h"

#include "Buttons.h"
#include "ComCtrls.h"
#include "DB.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "app/uBaseQuery.h"
#include "app/uBorrowCond.h"
#include "app/uGlobal.h"
#include "app/uQryBorrow.h"
#include "app/uQryBorrow1.h"
#include "app/uSetInterface.h"
#include "gridlib/grid/DBGridEh.h"

#include <filesystem>
#include <fstream>
#include <memory>

namespace {

class LoanQueryTest : public QueryFixture {
protected:
    void SetUp() override {
        QueryFixture::SetUp();
        LoanFixture();
    }
    // Confirms the loan dialog after setting its boxes, as a person would
    // (the OK button clicked through the window system).
    void expectLoanDialog(std::vector<std::pair<std::string, std::string>> fields) {
        script.ExpectForm("TFrmBorrowCond", mrOk, std::move(fields),
                          [](TCustomForm* f) { SendClick(FindControl(f, "BtConfirm")); });
    }
};

TEST_F(LoanQueryTest, readerBoxMatchesAnyPartOfTheCodeAndTheCountShows) {
    expectLoanDialog({{"EditRcode", "12"}});
    std::vector<std::string> codes;
    std::string count, caption;
    script.ExpectForm("TFrmQryBorrow", mrCancel, {}, [&](TCustomForm* f) {
        auto* w = static_cast<TFrmQryBorrow*>(f);
        codes = Column(w->ADOQueryBill, "Rcode");
        count = w->LbQty->Caption();
        caption = w->LbCaption->Caption();
    });
    RunReportCommand<TFrmBorrowCond, TFrmQryBorrow>(Application);
    EXPECT_EQ(codes, (std::vector<std::string>{"R12", "R120", "R12"}));
    EXPECT_EQ(count, "3");
    EXPECT_EQ(caption, "借书日期: 从2011-05-01 到 2011-05-15");
}

TEST_F(LoanQueryTest, cancelledDialogOpensNoWindow) {
    script.ExpectForm("TFrmBorrowCond", mrCancel);
    RunReportCommand<TFrmBorrowCond, TFrmQryBorrow>(Application);
    EXPECT_TRUE(script.Unused().empty());
    EXPECT_EQ(script.Shown().size(), 1u);
}

// Opened from the menu the result is open before the window is first shown:
// the columns are still the shown rows of the layout, in their order and
// with their titles, whether the result has rows or none.
TEST_F(LoanQueryTest, menuOpenedWindowShowsTheLayoutColumnsWithOrWithoutRows) {
    const std::vector<std::string> layout =
        Rows("select ColumnsCode || '|' || ColumnsName from TableStructure where TableCode = 'QryBorrow' and "
             "IsVisible order by TableOrder");
    ASSERT_EQ(layout.size(), 14u);
    const struct {
        const char* reader;
        const char* count;
    } cases[] = {{"R1", "1"}, {"没有的读者", "0"}};
    for (const auto& c : cases) {
        expectLoanDialog({{"EditRcode", c.reader}, {"Rb3", "True"}});
        std::vector<std::string> shown;
        std::string count;
        script.ExpectForm("TFrmQryBorrow", mrCancel, {}, [&](TCustomForm* f) {
            auto* w = static_cast<TFrmQryBorrow*>(f);
            count = w->LbQty->Caption();
            for (int i = 0; i < w->DBGridEh1->Columns()->Count(); ++i) {
                TColumnEh* col = w->DBGridEh1->Columns()->Items(i);
                if (col->Visible()) shown.push_back(col->FieldName() + "|" + col->Title()->Caption());
            }
        });
        RunReportCommand<TFrmBorrowCond, TFrmQryBorrow>(Application);
        EXPECT_EQ(count, c.count) << c.reader;
        EXPECT_EQ(shown, layout) << c.reader;
    }
}

struct LoanWindowTest : LoanQueryTest {
    void SetUp() override {
        LoanQueryTest::SetUp();
        form.reset(new TFrmQryBorrow(Application));
        ShowAndActivate(form.get());
        expectLoanDialog({{"EditRcode", "R1"}, {"Rb3", "True"}});
        SendClick(form->BtFind);
    }
    void TearDown() override {
        form.reset();
        LoanQueryTest::TearDown();
    }
    std::unique_ptr<TFrmQryBorrow> form;
};

TEST_F(LoanWindowTest, emptyResultCountsZero) {
    expectLoanDialog({{"EditRcode", "没有的读者"}});
    SendClick(form->BtFind);
    EXPECT_TRUE(form->ADOQueryBill->IsEmpty());
    EXPECT_EQ(form->LbQty->Caption(), "0");
}

TEST_F(LoanWindowTest, cancelledFindKeepsListConditionAndTheCheckBoxUsesIt) {
    EXPECT_EQ(Column(form->ADOQueryBill, "Code"), (std::vector<std::string>{"B2"}));
    script.ExpectForm("TFrmBorrowCond", mrCancel, {{"EditRcode", "R3"}});
    SendClick(form->BtFind);
    EXPECT_EQ(Column(form->ADOQueryBill, "Code"), (std::vector<std::string>{"B2"}));
    EXPECT_EQ(form->LbCaption->Caption(), "借书日期: 从2011-05-01 到 2011-05-15");
    // B2 is reserved: the returned loan of R120 stays with "有预约".
    SendClick(form->ChkDest);
    EXPECT_EQ(Column(form->ADOQueryBill, "Code"), (std::vector<std::string>{"B2"}));
    EXPECT_EQ(form->LbQty->Caption(), "1");
}

TEST_F(LoanWindowTest, quoteAndPercentInABoxSearchAsThemselves) {
    expectLoanDialog({{"EditRcode", "R1' or '1'='1"}});
    SendClick(form->BtFind);
    EXPECT_EQ(form->LbQty->Caption(), "0");
    expectLoanDialog({{"EditRcode", "%"}});
    SendClick(form->BtFind);
    EXPECT_EQ(form->LbQty->Caption(), "0");
}

TEST_F(LoanWindowTest, titleClickSortsAscendingAndAgainKeepsIt) {
    expectLoanDialog({});
    SendClick(form->BtFind);
    ASSERT_EQ(form->LbQty->Caption(), "3");
    TDBGridEh* grid = form->DBGridEh1;
    int col = -1;
    for (int i = 0; i < grid->Columns()->Count(); ++i)
        if (grid->Columns()->Items(i)->FieldName() == "Rcode") col = i;
    ASSERT_GE(col, 0) << "the shipped layout shows the reader code";
    const TRect r = grid->CellRect(col + grid->IndicatorOffset(), 0);
    for (int click = 0; click < 2; ++click) {
        SendClick(grid, (r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
        EXPECT_EQ(Column(form->ADOQueryBill, "Rcode"), (std::vector<std::string>{"R12", "R12", "R120"})) << click;
    }
}

TEST_F(LoanWindowTest, layoutEditorHidesAColumnOnlyWhenConfirmed) {
    auto shown = [&] {
        std::vector<std::string> fields;
        for (int i = 0; i < form->DBGridEh1->Columns()->Count(); ++i)
            fields.push_back(form->DBGridEh1->Columns()->Items(i)->FieldName());
        return fields;
    };
    const auto before = shown();
    ASSERT_NE(std::find(before.begin(), before.end(), "BName"), before.end());
    auto untickBName = [](TCustomForm* f) {
        auto* e = static_cast<TFrmSetInterface*>(f);
        ASSERT_TRUE(e->Adoqueryset->Locate("ColumnsCode", Variant("BName"), 0));
        // A click on the row's check box, as the operator would.
        TDBGridEh* g = e->DBGridEh1;
        const int row = g->Row();
        const TRect r = g->CellRect(1 + g->IndicatorOffset(), row);
        SendClick(g, (r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
        ASSERT_FALSE(e->Adoqueryset->FieldByName("IsVisible")->AsBoolean());
    };
    // Esc after the change: nothing written, no rebuild.
    script.ExpectForm("TFrmSetInterface", mrCancel, {}, [&](TCustomForm* f) {
        untickBName(f);
        SendKey(static_cast<TFrmSetInterface*>(f)->DBGridEh1, VK_ESCAPE);
    });
    form->N3Click(nullptr);
    EXPECT_FALSE(LayoutConfirmed);
    EXPECT_EQ(shown(), before);
    EXPECT_EQ(Scalar("select IsVisible from TableStructure where TableCode='QryBorrow' and ColumnsCode='BName'"), "True");
    script.ExpectForm("TFrmSetInterface", mrOk, {}, [&](TCustomForm* f) {
        untickBName(f);
        SendClick(static_cast<TFrmSetInterface*>(f)->BitBtn1);
    });
    form->N3Click(nullptr);
    EXPECT_TRUE(LayoutConfirmed);
    const auto after = shown();
    EXPECT_EQ(std::find(after.begin(), after.end(), "BName"), after.end());
    EXPECT_EQ(after.size(), before.size() - 1);
    EXPECT_EQ(Scalar("select IsVisible from TableStructure where TableCode='QryBorrow' and ColumnsCode='BName'"), "False");
}

TEST_F(LoanWindowTest, printsLibraryNameAndConditionOnEveryPageAndNoTitleOfAnother) {
    for (int i = 0; i < 80; ++i)
        Exec("insert into Borrowinfo (Code, Rcode, State, BorrowDate) values ('B1', 'R12', '已还', '2011-05-06')");
    expectLoanDialog({{"Rb3", "True"}});
    SendClick(form->BtFind);
    const std::string pdf = PdfTarget("loan-query.pdf");
    form->N1Click(nullptr);
    const auto pages = PdfPages(pdf);
    ListInIndex("loan-query.pdf", "82 returned loans of May, library name and condition line", int(pages.size()),
                "测试图书馆");
    ASSERT_GE(pages.size(), 2u);
    for (size_t i = 0; i < pages.size(); ++i) {
        EXPECT_NE(pages[i].find("测试图书馆"), std::string::npos) << i;
        EXPECT_NE(pages[i].find("借书日期: 从2011-05-01 到 2011-05-15"), std::string::npos) << i;
        EXPECT_EQ(pages[i].find("借阅分类统计"), std::string::npos) << i;
    }
}

TEST_F(LoanWindowTest, printMenuExportsTheListAsAWorkbook) {
    const std::string file = PdfTarget("loan-query.xlsx");
    std::filesystem::remove(file);
    script.ExpectFile(TSeamKind::SaveDialog, file);
    SendClick(form->BtPrint);
    EXPECT_EQ(OpenMenuCaptions(), (std::vector<std::string>{"打印报表", "打印预览", "导出Excel"}));
    ClickMenuItem("导出Excel");
    std::ifstream in(file, std::ios::binary);
    std::string head(2, '\0');
    in.read(head.data(), 2);
    EXPECT_EQ(head, "PK") << "no workbook at " << file;
}

TEST_F(LoanQueryTest, periodicalTwinReadsPeriodicalLoans) {
    expectLoanDialog({});
    std::vector<std::string> codes;
    script.ExpectForm("TFrmQryBorrow1", mrCancel, {},
                      [&](TCustomForm* f) { codes = Column(static_cast<TFrmQryBorrow1*>(f)->ADOQueryBill, "Code"); });
    RunReportCommand<TFrmBorrowCond, TFrmQryBorrow1>(Application);
    EXPECT_EQ(codes, (std::vector<std::string>{"M1"}));
}

} // namespace
