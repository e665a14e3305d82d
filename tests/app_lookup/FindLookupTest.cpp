// The book, reader, periodical and supplier lookups on a scratch database
// made from db/*.sql: the uncapped first list, the top-20 search in each
// mode, a preset code, Enter to the grid and Enter to choose, Esc keeping
// the preset, and a quote in the typed text. Driven with real keys in the
// modal dialog the seam shows offscreen.
#include <gtest/gtest.h>

#include "support/TestNames.h"

#include "ADODB.h"
#include "ComCtrls.h"
#include "DBGrids.h"
#include "Menus.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "TestKit.h"
#include "app/uDMData.h"
#include "app/uFindBook.h"
#include "app/uFindMagz.h"
#include "app/uFindReader.h"
#include "app/uFindSupplier.h"
#include "app/uGlobal.h"
#include "support/ProgramFolder.h"

#include <functional>

namespace {

class LookupTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string script;
        // 25 books B01..B25 so that the cap of 20 shows; the odd ones of class
        // K204, the rest I242; B03 on loan.
        for (int i = 1; i <= 25; ++i) {
            char code[8];
            std::snprintf(code, sizeof code, "B%02d", i);
            script += std::string("INSERT INTO Bookinfo(Code,Name,SortCode,Py) VALUES ('") + code + "','书" +
                      std::to_string(i) + "','" + (i % 2 ? "K204" : "I242") + "','S" + std::to_string(i) + "');\n";
        }
        script += "INSERT INTO Bookinfo(Code,Name,SortCode,Py) VALUES ('Q''7','引号书','TP31','YHS');\n"
                  "INSERT INTO Readerinfo(Code,Name,Department,Py,TelDay,HandTel) VALUES"
                  " ('R1','张三','中文系','ZS','010-1','139'),"
                  " ('R2','李四','数学系','LS',NULL,NULL),"
                  " ('R3','张珊','应用数学系','ZS',NULL,NULL),"
                  " ('R''Q','奥''康纳','外语系','AKN',NULL,NULL);\n"
                  "INSERT INTO Magzinfo(Code,Name,Orderyear,PeriodNo,SortCode,Py) VALUES"
                  " ('M1','读者','2025','3','G2','DZ'),"
                  " ('M2','收获','2025','2','I2','SH'),"
                  " ('M3','读者','2025','4','G2','DZ');\n"
                  "INSERT INTO Booksupplier(Code) VALUES ('新华书店'),('邮局');\n";
        folder_ = std::make_unique<TestProgramFolder>("applookup", script);
        script_ = std::make_unique<TSeamScript>();
        script_->OnFailure = [](const std::string& m) { ADD_FAILURE() << m; };
        new TDMData(nullptr);
        ASSERT_TRUE(DMData && DMData->Opened());
    }
    void TearDown() override {
        ProcessEvents();
        delete DMData;
        script_.reset();
        folder_.reset();
    }
    void Exec(const std::string& sql) { folder_->Exec(sql); }
    // Shows dlg modally; `act` runs on the shown dialog (keys, checks).
    void Show(TFrmFindCode& dlg, const std::function<void(TFrmFindCode*)>& act, TModalResult closeWith = mrCancel) {
        script_->ExpectForm(dlg.Name(), closeWith, {}, [&](TCustomForm*) {
            ProcessEvents();
            act(&dlg);
        });
        dlg.ShowModal();
    }
    static std::vector<std::string> Codes(TFrmFindCode* d) {
        std::vector<std::string> out;
        TADOQuery* q = d->ADOQuery1;
        for (q->First(); !q->Eof(); q->Next()) out.push_back(q->FieldByName("Code")->AsString());
        q->First();
        return out;
    }
    static std::vector<std::string> Titles(TFrmFindCode* d) {
        std::vector<std::string> out;
        for (int i = 0; i < d->DBGrid1->Columns()->Count(); ++i)
            out.push_back(d->DBGrid1->Columns()->Items(i)->Title()->Caption());
        return out;
    }
    std::unique_ptr<TSeamScript> script_;
    std::unique_ptr<TestProgramFolder> folder_;
};

TEST_F(LookupTest, bookOpensOnTheWholeUncappedListThenTypingShowsTheFirstTwentyByCode) {
    TFrmFindBook dlg(nullptr);
    Show(dlg, [](TFrmFindCode* d) {
        EXPECT_EQ(d->Caption(), "选择图书");
        EXPECT_EQ(Titles(d), (std::vector<std::string>{"状态", "编号", "中文名称", "分类号", "应还日", "限制否"}));
        EXPECT_EQ(d->ADOQuery1->RecordCount(), 26);
        SendText(d->Edit1, "B");
        std::vector<std::string> codes = Codes(d);
        ASSERT_EQ(codes.size(), 20u);
        EXPECT_EQ(codes.front(), "B01");
        EXPECT_EQ(codes.back(), "B20");
        SendText(d->Edit1, "2");
        EXPECT_EQ(Codes(d), (std::vector<std::string>{"B20", "B21", "B22", "B23", "B24", "B25"}));
    });
    EXPECT_EQ(dlg.ChosenCode, "");
}

TEST_F(LookupTest, bookOnLoanShowsOutAndItsDueDate) {
    Exec("insert into Borrowinfo(Code,Rcode,State,BorrowDate,ReturnDate) values('B03','R1','未还','2025-03-01',"
         "'2025-03-31')");
    Exec("update Bookinfo set IsOut='外借' where Code='B03'");
    TFrmFindBook dlg(nullptr);
    dlg.ChosenCode = "B03";
    Show(dlg, [](TFrmFindCode* d) {
        EXPECT_EQ(d->Edit1->Text(), "B03");
        ASSERT_EQ(Codes(d), (std::vector<std::string>{"B03"}));
        EXPECT_EQ(d->ADOQuery1->FieldByName("isout")->AsString(), "外借");
        EXPECT_EQ(DateToStr(d->ADOQuery1->FieldByName("ReturnDate")->AsDateTime()), "2025-03-31");
    });
}

TEST_F(LookupTest, bookEnterMovesToTheGridAndEnterThereChoosesCodeAndName) {
    TFrmFindBook dlg(nullptr);
    Show(dlg, [](TFrmFindCode* d) {
        SendText(d->Edit1, "B1");
        SendKey(d->Edit1, VK_RETURN);
        auto* form = static_cast<TCustomForm*>(d);
        EXPECT_EQ(form->ActiveControl(), d->DBGrid1);
        SendKeyToFocus(form, VK_DOWN);
        SendKeyToFocus(form, VK_RETURN);
    });
    EXPECT_EQ(dlg.ChosenCode, "B11");
    EXPECT_EQ(dlg.ChosenName, "书11");
}

TEST_F(LookupTest, enterOnAnEmptyGridChoosesNothing) {
    TFrmFindBook dlg(nullptr);
    Show(dlg, [](TFrmFindCode* d) {
        SendText(d->Edit1, "ZZZ");
        EXPECT_TRUE(d->ADOQuery1->IsEmpty());
        SendKey(d->Edit1, VK_RETURN);
        SendKeyToFocus(static_cast<TCustomForm*>(d), VK_RETURN);
        EXPECT_TRUE(d->Showing());
    });
    EXPECT_EQ(dlg.ChosenCode, "");
}

TEST_F(LookupTest, bookClassModeFindsEveryClassContainingTheText) {
    TFrmFindBook dlg(nullptr);
    Show(dlg, [](TFrmFindCode* d) {
        auto* b = static_cast<TFrmFindBook*>(d);
        b->N3->Click();
        EXPECT_EQ(d->SearchMode, 2);
        EXPECT_EQ(d->TbCaption->Caption(), "按类别查找");
        SendText(d->Edit1, "TP");
        EXPECT_EQ(Codes(d), (std::vector<std::string>{"Q'7"}));
    });
}

TEST_F(LookupTest, bookTitleModeMatchesNameOrInputCodePrefix) {
    TFrmFindBook dlg(nullptr);
    Show(dlg, [](TFrmFindCode* d) {
        static_cast<TFrmFindBook*>(d)->N2->Click();
        SendText(d->Edit1, "S2");
        EXPECT_EQ(Codes(d), (std::vector<std::string>{"B02", "B20", "B21", "B22", "B23", "B24", "B25"}));
    });
}

// The typed text goes into the statement quoted: a quote searches like any
// other character instead of breaking the statement.
TEST_F(LookupTest, quoteInTypedCodeFindsTheBook) {
    TFrmFindBook dlg(nullptr);
    Show(dlg, [](TFrmFindCode* d) {
        SendText(d->Edit1, "Q'");
        EXPECT_EQ(Codes(d), (std::vector<std::string>{"Q'7"}));
        SendKey(d->Edit1, VK_RETURN);
        SendKeyToFocus(static_cast<TCustomForm*>(d), VK_RETURN);
    });
    EXPECT_EQ(dlg.ChosenCode, "Q'7");
    EXPECT_EQ(dlg.ChosenName, "引号书");
}

TEST_F(LookupTest, quoteInTypedReaderNameFindsTheReader) {
    TFrmFindReader dlg(nullptr);
    Show(dlg, [](TFrmFindCode* d) {
        static_cast<TFrmFindReader*>(d)->N2->Click();
        SendText(d->Edit1, "奥'");
        EXPECT_EQ(Codes(d), (std::vector<std::string>{"R'Q"}));
    });
}

// "%" and "_" typed by the operator are characters to find, not wildcards:
// "W%" must not list every code starting with W.
TEST_F(LookupTest, percentAndUnderscoreTypedSearchAsThemselves) {
    Exec("INSERT INTO Bookinfo(Code,Name,SortCode) VALUES ('W%1','打%折','X'),('W_2','下_划','X'),('WX3','打八折','X'),"
         "('WXY','下一划','X')");
    TFrmFindBook dlg(nullptr);
    Show(dlg, [](TFrmFindCode* d) {
        SendText(d->Edit1, "W%");
        EXPECT_EQ(Codes(d), (std::vector<std::string>{"W%1"}));
        d->Edit1->SetText("W_");
        EXPECT_EQ(Codes(d), (std::vector<std::string>{"W_2"}));
        d->Edit1->SetText("W");
        EXPECT_EQ(Codes(d), (std::vector<std::string>{"W%1", "W_2", "WX3", "WXY"}));
        static_cast<TFrmFindBook*>(d)->N2->Click();
        d->Edit1->SetText("打%");
        EXPECT_EQ(Codes(d), (std::vector<std::string>{"W%1"}));
        d->Edit1->SetText("下_");
        EXPECT_EQ(Codes(d), (std::vector<std::string>{"W_2"}));
    });
}

struct ReaderModeRow {
    const char* name;
    int mode;
    const char* typed;
    std::vector<std::string> codes;
};
class ReaderModeTest : public LookupTest, public ::testing::WithParamInterface<ReaderModeRow> {};
TEST_P(ReaderModeTest, searchesByMode) {
    const ReaderModeRow& r = GetParam();
    TFrmFindReader dlg(nullptr);
    Show(dlg, [&](TFrmFindCode* d) {
        auto* f = static_cast<TFrmFindReader*>(d);
        (r.mode == 0 ? f->N1 : r.mode == 1 ? f->N2 : f->N3)->Click();
        SendText(d->Edit1, r.typed);
        EXPECT_EQ(Codes(d), r.codes);
    });
}
INSTANTIATE_TEST_SUITE_P(Rows, ReaderModeTest,
                         ::testing::Values(ReaderModeRow{"byCodePrefix", 0, "R", {"R'Q", "R1", "R2", "R3"}},
                                           ReaderModeRow{"byNameContains", 1, "三", {"R1"}},
                                           ReaderModeRow{"byInputCodePrefix", 1, "zs", {"R1", "R3"}},
                                           ReaderModeRow{"byDepartmentContains", 2, "数学", {"R2", "R3"}}),
                         RowName());

TEST_F(LookupTest, readerPresetShowsThatReaderAndEscKeepsThePreset) {
    TFrmFindReader dlg(nullptr);
    dlg.ChosenCode = "R2";
    Show(dlg, [](TFrmFindCode* d) {
        EXPECT_EQ(d->Caption(), "选择读者");
        EXPECT_EQ(Titles(d),
                  (std::vector<std::string>{"读者编号", "读者姓名", "电话(日)", "手机", "电话(夜)", "部门"}));
        EXPECT_EQ(Codes(d).front(), "R2");
        SendKey(d->Edit1, VK_ESCAPE);
    });
    EXPECT_EQ(dlg.ChosenCode, "R2");
}

TEST_F(LookupTest, readerCancelEmptiesTheChoice) {
    TFrmFindReader dlg(nullptr);
    dlg.ChosenCode = "R2";
    Show(dlg, [](TFrmFindCode* d) { d->BtCancel->Click(); });
    EXPECT_EQ(dlg.ChosenCode, "");
    EXPECT_EQ(dlg.ChosenName, "");
}

TEST_F(LookupTest, periodicalTitleModeListsEveryIssueWithYearAndNumber) {
    Exec("insert into Borrowinfo1(Code,Rcode,State,BorrowDate,ReturnDate) values('M3','R1','未还','2025-03-01',"
         "'2025-03-08')");
    TFrmFindMagz dlg(nullptr);
    Show(dlg, [](TFrmFindCode* d) {
        EXPECT_EQ(d->Caption(), "选择期刊");
        EXPECT_EQ(Titles(d),
                  (std::vector<std::string>{"状态", "编号", "名称", "年度", "期号", "应还日", "分类号", "限制否"}));
        auto* f = static_cast<TFrmFindMagz*>(d);
        f->N2->Click();
        EXPECT_EQ(d->TbCaption->Caption(), "按期刊名称");
        SendText(d->Edit1, "读");
        ASSERT_EQ(Codes(d), (std::vector<std::string>{"M1", "M3"}));
        TADOQuery* q = d->ADOQuery1;
        EXPECT_EQ(q->FieldByName("PeriodNo")->AsString(), "3");
        EXPECT_TRUE(q->FieldByName("ReturnDate")->IsNull());
        q->Next();
        EXPECT_EQ(q->FieldByName("Orderyear")->AsString(), "2025");
        EXPECT_EQ(DateToStr(q->FieldByName("ReturnDate")->AsDateTime()), "2025-03-08");
        q->First();
        SendKey(d->Edit1, VK_RETURN);
        SendKeyToFocus(static_cast<TCustomForm*>(d), VK_RETURN);
    });
    EXPECT_EQ(dlg.ChosenCode, "M1");
    EXPECT_EQ(dlg.ChosenName, "读者");
}

TEST_F(LookupTest, f6ReappliesTheCurrentModesSortAndCaption) {
    TFrmFindMagz dlg(nullptr);
    Show(dlg, [](TFrmFindCode* d) {
        static_cast<TFrmFindMagz*>(d)->N2->Click();
        d->TbCaption->SetCaption("x");
        SendKey(d->Edit1, VK_F6);
        EXPECT_EQ(d->TbCaption->Caption(), "按期刊名称");
        EXPECT_EQ(d->ADOQuery1->Sort(), "Name");
    });
}

TEST_F(LookupTest, supplierListsTheWordListAndChoosesTheName) {
    TFrmFindSupplier dlg(nullptr);
    Show(dlg, [](TFrmFindCode* d) {
        EXPECT_EQ(d->Caption(), "选择供应商");
        EXPECT_EQ(Titles(d), (std::vector<std::string>{"供应商名称"}));
        EXPECT_EQ(Codes(d), (std::vector<std::string>{"新华书店", "邮局"}));
        d->BtConfirm->Click();
    });
    EXPECT_EQ(dlg.ChosenCode, "新华书店");
    EXPECT_EQ(dlg.ChosenName, "");
}

} // namespace

// The search-mode button never opened its menu, by mouse or keyboard, so
// the name and class searches could not be used. Each lookup's menu opens
// from a click on the button and from the keyboard (Tab from the search
// box to the mode bar, then Space), and its items change the mode.
struct ModeMenuRow {
    const char* name;
    TFrmFindCode* (*make)();
    std::vector<std::string> captions;
    const char* typedInSecondMode;
    std::vector<std::string> foundInSecondMode;
};

class ModeMenuTest : public LookupTest, public ::testing::WithParamInterface<ModeMenuRow> {};

TEST_P(ModeMenuTest, modeMenuOpensByClickAndItsItemsChangeTheMode) {
    const ModeMenuRow& r = GetParam();
    std::unique_ptr<TFrmFindCode> dlg(r.make());
    Show(*dlg, [&](TFrmFindCode* d) {
        SendClick(d->TbCaption);
        EXPECT_EQ(OpenMenuCaptions(), r.captions) << "no menu after a click on the mode button";
        ClickMenuItem(r.captions[1]);
        EXPECT_FALSE(MenuOpen());
        EXPECT_EQ(d->SearchMode, 1);
        EXPECT_EQ(d->TbCaption->Caption(), r.captions[1]);
        d->Edit1->SetFocus();
        SendTextToFocus(d, r.typedInSecondMode);
        EXPECT_EQ(Codes(d), r.foundInSecondMode);
    });
}

TEST_P(ModeMenuTest, modeMenuOpensFromTheKeyboard) {
    const ModeMenuRow& r = GetParam();
    std::unique_ptr<TFrmFindCode> dlg(r.make());
    Show(*dlg, [&](TFrmFindCode* d) {
        auto* form = static_cast<TCustomForm*>(d);
        ASSERT_EQ(form->ActiveControl(), d->Edit1);
        SendKeyToFocus(d, VK_TAB);
        EXPECT_EQ(form->ActiveControl(), d->ToolBar1);
        SendKeyToFocus(d, VK_SPACE);
        ASSERT_FALSE(OpenMenuCaptions().empty()) << "no menu after Space on the mode bar";
        SendKeyToMenu(VK_DOWN);
        SendKeyToMenu(VK_DOWN);
        SendKeyToMenu(VK_DOWN);
        SendKeyToMenu(VK_RETURN);
        EXPECT_FALSE(MenuOpen());
        EXPECT_EQ(d->SearchMode, 2);
        EXPECT_EQ(d->TbCaption->Caption(), r.captions[2]);
    });
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ModeMenuTest,
    ::testing::Values(ModeMenuRow{"book",
                                  [] { return static_cast<TFrmFindCode*>(new TFrmFindBook(nullptr)); },
                                  {"按编码查找", "按中文名称", "按类别查找"},
                                  "引号",
                                  {"Q'7"}},
                      ModeMenuRow{"reader",
                                  [] { return static_cast<TFrmFindCode*>(new TFrmFindReader(nullptr)); },
                                  {"按编码查找", "按姓名查找", "按部门查找"},
                                  "李",
                                  {"R2"}},
                      ModeMenuRow{"periodical",
                                  [] { return static_cast<TFrmFindCode*>(new TFrmFindMagz(nullptr)); },
                                  {"按编码查找", "按期刊名称", "按类别查找"},
                                  "收",
                                  {"M2"}}),
    RowName());
