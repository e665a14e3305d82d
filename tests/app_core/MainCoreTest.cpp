// The main window's start-up and rights against a real database: the
// default settings row, the caption, the status bar, the menu tree, rights
// on menu items and command keys, and the change of operator.
#include "CoreFixture.h"

#include "ActnList.h"
#include "Buttons.h"
#include "ComCtrls.h"
#include "ExtCtrls.h"
#include "Menus.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "TestKit.h"
#include "app/uDMData.h"
#include "app/uGlobal.h"
#include "app/uLogin.h"
#include "app/uMain.h"
#include "app/uSysDate.h"

#include <algorithm>
#include <memory>

namespace {

std::function<void(TCustomForm*)> loginAs(const std::string& code, const std::string& password = "") {
    return [code, password](TCustomForm* f) {
        auto* login = static_cast<TFrmLogin*>(f);
        login->CmbId->SetItemIndex(login->CmbId->Items()->IndexOf(code));
        login->EditPassword->SetText(password);
        login->BitBtn1->Click();
    };
}

class MainCoreTest : public CoreFixture {
protected:
    TSeamScript script;
    std::unique_ptr<TDMData> dm;
    TFrmMain* main = nullptr;

    void SetUp() override {
        CoreFixture::SetUp();
        script.OnFailure = [](const std::string& m) { ADD_FAILURE() << m; };
        AppTitle = ProductName;
        dm.reset(new TDMData(nullptr));
        ASSERT_TRUE(dm->Opened());
    }
    void TearDown() override {
        delete main;
        ProcessEvents();
        dm.reset();
        CoreFixture::TearDown();
    }
    // Logs code in at the first show, on the business date given.
    void start(const std::string& code, TDateTime day = EncodeDate(2011, 5, 1)) {
        script.ExpectForm("TFrmLogin", mrNone, {}, loginAs(code));
        script.ExpectForm("TFrmSysDate", mrNone, {}, [day](TCustomForm* f) {
            auto* d = static_cast<TFrmSysDate*>(f);
            d->DTPDate->SetDate(day);
            d->BitBtn1->Click();
        });
        Application->CreateForm(main);
        main->Show();
        ProcessEvents();
        ASSERT_TRUE(script.Unused().empty());
    }
    void addOperator(const std::string& code, int rightsValue /* -1: no rows */) {
        Exec("insert into SystemUser (UseCode, UseName, Duty, Passwords) values ('" + code + "', '" + code +
             "名', '操作员', '')");
        if (rightsValue < 0) return;
        std::string rows;
        for (int id = 0; id <= 34; ++id)
            rows += std::string(id ? "," : "") + "('" + code + "', " + std::to_string(id) + ", " +
                    std::to_string(rightsValue) + ")";
        Exec("insert into UserModule (Usecode, ModuleId, Ifcheck) values " + rows);
    }
    std::vector<std::string> disabledItems() const {
        std::vector<std::string> names;
        for (const TModuleRight& r : ModuleRights())
            if (!main->Item(r.MenuItem)->Enabled()) names.push_back(r.MenuItem);
        return names;
    }
    std::vector<std::string> allGoverned() const {
        std::vector<std::string> names;
        for (const TModuleRight& r : ModuleRights()) names.push_back(r.MenuItem);
        return names;
    }
};

TEST_F(MainCoreTest, emptyAcctInfoGetsDefaultRowAndCaption) {
    Exec("delete from AcctInfo");
    start("Admin");
    EXPECT_EQ(main->Caption(), "Quillory图书馆管理系统");
    EXPECT_EQ(Scalar("select count(*) from AcctInfo"), "1");
    EXPECT_EQ(Scalar("select CorpName from AcctInfo"), "Quillory图书馆管理系统");
    EXPECT_EQ(Scalar("select IfFine from AcctInfo"), "False");
    EXPECT_EQ(Scalar("select IfExcced from AcctInfo"), "True");
    EXPECT_EQ(Scalar("select Ifrepeat from AcctInfo"), "True");
    EXPECT_EQ(CorpName, "Quillory图书馆管理系统");
    EXPECT_TRUE(IfExcced);
    EXPECT_TRUE(Ifrepeat);
    EXPECT_FALSE(IfFine);
    EXPECT_EQ(InDay, 30);
    EXPECT_EQ(PerFine, Currency(0));
}

TEST_F(MainCoreTest, overdueListsOpenAtStartUpWhenWarningsAreOn) {
    Exec("delete from AcctInfo");
    start("Admin");
    std::vector<std::string> children;
    for (int i = 0; i < main->MDIChildCount(); ++i) children.push_back(main->MDIChildren(i)->ClassName());
    EXPECT_EQ(std::count(children.begin(), children.end(), "TFrmBookExceedList"), 1);
    EXPECT_EQ(std::count(children.begin(), children.end(), "TFrmMagzExceedList"), 1);
    ASSERT_NE(main->ActiveMDIChild(), nullptr);
    EXPECT_EQ(main->ActiveMDIChild()->ClassName(), "TFrmMagzExceedList");
}

TEST_F(MainCoreTest, secondRequestForOpenWindowActivatesIt) {
    Exec("insert into AcctInfo (CorpName, IfExcced) values ('城东图书馆', 0)");
    start("Admin");
    main->Item("NBorrow")->Click();
    main->Item("NBorrowMagz")->Click();
    main->Item("NBorrow")->Click();
    ProcessEvents();
    std::vector<std::string> children;
    for (int i = 0; i < main->MDIChildCount(); ++i) children.push_back(main->MDIChildren(i)->ClassName());
    EXPECT_EQ(std::count(children.begin(), children.end(), "TFrmBorrowBill"), 1);
    EXPECT_EQ(std::count(children.begin(), children.end(), "TFrmBorrowBill1"), 1);
    ASSERT_NE(main->ActiveMDIChild(), nullptr);
    EXPECT_EQ(main->ActiveMDIChild()->ClassName(), "TFrmBorrowBill");
}

TEST_F(MainCoreTest, settingsRowIsCopiedIntoGlobals) {
    Exec("delete from AcctInfo");
    Exec("insert into AcctInfo (CorpName, IfFine, IfExcced, Ifrepeat, PerFine, PerFine1, InDay) values "
         "('城东图书馆', 1, 0, 0, 0.15, 0.2, 45)");
    start("Admin");
    EXPECT_EQ(main->Caption(), "城东图书馆");
    EXPECT_EQ(CorpName, "城东图书馆");
    EXPECT_TRUE(IfFine);
    EXPECT_FALSE(IfExcced);
    EXPECT_EQ(PerFine, Currency::FromRaw(1500));
    EXPECT_EQ(PerFine1, Currency::FromRaw(2000));
    EXPECT_EQ(InDay, 45);
    EXPECT_EQ(Scalar("select count(*) from AcctInfo"), "1");
}

TEST_F(MainCoreTest, statusBarShowsTitleOperatorAndBusinessDateClock) {
    start("Admin", EncodeDate(2011, 5, 1));
    EXPECT_EQ(OperatorCode, "Admin");
    EXPECT_EQ(OperatorName, "管理员");
    EXPECT_EQ(double(BusinessDate), double(EncodeDate(2011, 5, 1)));
    EXPECT_EQ(main->StatusBar1->Panels()->Items(0)->Text(), "Quillory图书馆管理系统");
    EXPECT_EQ(main->StatusBar1->Panels()->Items(1)->Text(), "管理员：管理员");
    // 1 May 2011 was a Sunday.
    EXPECT_EQ(main->StatusBar1->Panels()->Items(2)->Text(), "今天是 2011年5月1日  星期日");
    EXPECT_TRUE(main->Timer1->Enabled());
}

TEST(ClockCoreTest, monthAndDayWithoutLeadingZeros) {
    EXPECT_EQ(ClockText(EncodeDate(2024, 3, 5)), "今天是 2024年3月5日  星期二");
    EXPECT_EQ(ClockText(EncodeDate(2024, 12, 28)), "今天是 2024年12月28日  星期六");
}

TEST_F(MainCoreTest, menuTreeHasEveryItemWithCaptionAndKey) {
    start("Admin");
    struct Row {
        const char* name;
        const char* caption;
        const char* key;
        const char* parent;
    };
    const Row rows[] = {
        {"NBookSet", "图书编目", "Ctrl+F2", "MenuBaseInfo"},
        {"NMagzSet", "期刊编目", "Ctrl+F3", "MenuBaseInfo"},
        {"NReaderSet", "读者管理", "Ctrl+F4", "MenuBaseInfo"},
        {"NBorrow", "借还图书", "Ctrl+F5", "MenuBill"},
        {"NBorrowMagz", "借还期刊", "Ctrl+F6", "MenuBill"},
        {"NQryBorrow", "借阅查询", "Ctrl+F7", "MenuQuery"},
        {"MenuItemContents", "帮助主题", "F1", "H1"},
        {"NBorrowList1", "借阅图书排行榜", "", "NQrystat"},
        {"NBorrowListq1", "借阅期刊排行榜", "", "NQryStat1"},
        {"N40", "每日还书", "", "NDayCheck1"},
        {"NCopa", "数据修复", "", "MenuSystem"},
        {"NExit", "退出", "", "MenuBaseInfo"},
    };
    for (const Row& r : rows) {
        TMenuItem* item = main->Item(r.name);
        ASSERT_NE(item, nullptr) << r.name;
        EXPECT_EQ(item->Caption(), r.caption) << r.name;
        EXPECT_EQ(ShortCutToText(item->ShortCut()), r.key) << r.name;
        EXPECT_EQ(item->Parent()->Name(), r.parent) << r.name;
    }
    std::vector<std::string> bar;
    for (int i = 0; i < main->MainMenu1->Items()->Count(); ++i)
        bar.push_back(main->MainMenu1->Items()->Items(i)->Caption());
    EXPECT_EQ(bar, (std::vector<std::string>{"基本资料", "借还管理", "图书报表", "期刊报表", "系统 管理", "系统帮助"}));
    EXPECT_EQ(main->Item("MenuBaseInfo")->Count(), 20);
    EXPECT_EQ(main->Item("MenuQuery")->Count(), 10);
    EXPECT_EQ(main->Item("N16")->Count(), 10);
    EXPECT_EQ(main->Item("MenuSystem")->Count(), 9);
    EXPECT_EQ(ModuleRights().size(), 33u);
}

TEST_F(MainCoreTest, allRightsFalseDisablesEveryGovernedItem) {
    addOperator("zhang", 0);
    start("zhang");
    EXPECT_EQ(disabledItems(), allGoverned());
    EXPECT_TRUE(main->Item("N21")->Enabled());
    EXPECT_TRUE(main->Item("NChangeOperator")->Enabled());
    EXPECT_TRUE(main->Item("NCopa")->Enabled());
    EXPECT_TRUE(main->Item("NExit")->Enabled());
}

TEST_F(MainCoreTest, rightsReachNavigationButtons) {
    addOperator("zhang", 1);
    Exec("update UserModule set Ifcheck = 0 where Usecode = 'zhang' and ModuleId in (0, 9, 30)");
    start("zhang");
    TCustomForm* page = main->NavigationPage();
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->Left(), 1);
    EXPECT_EQ(page->Top(), 1);
    std::vector<std::string> disabled;
    for (const TModuleRight& r : ModuleRights())
        for (const char* b : r.Buttons)
            if (!static_cast<TControl*>(page->FindComponent(b))->Enabled()) disabled.push_back(b);
    EXPECT_EQ(disabled, (std::vector<std::string>{"GbtBookSet", "GbtBookSet1", "GbtBorrow", "GbtQryExceedq"}));

    // A button runs its item, which the rights closed: nothing opens.
    static_cast<TControl*>(page->FindComponent("GbtBorrow"))->Click();
    for (int i = 0; i < main->MDIChildCount(); ++i) EXPECT_NE(main->MDIChildren(i)->ClassName(), "TFrmBorrowBill");

    // A new operator with every right brings the buttons back.
    addOperator("wang", 1);
    script.ExpectForm("TFrmLogin", mrNone, {}, loginAs("wang"));
    main->Item("NChangeOperator")->Click();
    for (const TModuleRight& r : ModuleRights())
        for (const char* b : r.Buttons) EXPECT_TRUE(static_cast<TControl*>(page->FindComponent(b))->Enabled()) << b;
}

TEST_F(MainCoreTest, modalCommandsOpenTheirWindows) {
    start("Admin");
    const std::pair<const char*, const char*> rows[] = {
        {"NChkMenu", "TFrmShortCut"},       {"MenuItemAbout", "Taboutform"}, {"NChangePassword", "TFrmChangePassword"},
        {"NOperatorRight", "TFrmRightSet"}, {"NDest", "TFrmBookDest"},       {"NDest1", "TFrmMagzDest"},
    };
    for (const auto& [item, form] : rows) {
        script.ExpectForm(form, mrCancel);
        main->Item(item)->Click();
        ProcessEvents();
        ASSERT_FALSE(script.Shown().empty()) << item;
        EXPECT_EQ(script.Shown().back().FormClass, form) << item;
    }
    EXPECT_TRUE(script.Unused().empty());
}

TEST_F(MainCoreTest, allRightsTrueEnablesEveryGovernedItem) {
    addOperator("wang", 1);
    start("wang");
    EXPECT_EQ(disabledItems(), std::vector<std::string>{});
}

TEST_F(MainCoreTest, commandKeysHonourTheSameRightsAsTheirItems) {
    addOperator("zhang", 0);
    Exec("update UserModule set Ifcheck = 1 where Usecode = 'zhang' and ModuleId = 9");
    start("zhang");
    std::vector<std::string> ran;
    for (const char* name : {"NBookSet", "NMagzSet", "NReaderSet", "NBorrow", "NBorrowMagz", "NQryBorrow"})
        main->Item(name)->OnClick = [&ran, name](TObject*) { ran.push_back(name); };
    for (Word key : {VK_F2, VK_F3, VK_F4, VK_F5, VK_F6, VK_F7}) main->IsShortCut(key, TShiftState{ssCtrl});
    EXPECT_EQ(ran, std::vector<std::string>{"NBorrow"});
}

// Rights are denied by default: a module needs a row that grants it.
TEST_F(MainCoreTest, operatorWithoutRightsRowsGetsNoGovernedModule) {
    addOperator("wang", 1);
    addOperator("free", -1);
    start("wang");
    ASSERT_EQ(disabledItems(), std::vector<std::string>{});
    script.ExpectForm("TFrmLogin", mrNone, {}, loginAs("free"));
    main->Item("NChangeOperator")->Click();
    EXPECT_EQ(OperatorCode, "free");
    EXPECT_EQ(OperatorName, "free名");
    EXPECT_EQ(main->StatusBar1->Panels()->Items(1)->Text(), "管理员：free名");
    EXPECT_EQ(disabledItems(), allGoverned());
    EXPECT_TRUE(main->Item("NChangeOperator")->Enabled());
}

TEST_F(MainCoreTest, modulesWithoutARowAreDisabledBesideGrantedOnes) {
    addOperator("zhang", 0);
    addOperator("li", -1);
    Exec("insert into UserModule (Usecode, ModuleId, Ifcheck) values ('li', 9, -1), ('li', 26, 0)");
    start("zhang");
    script.ExpectForm("TFrmLogin", mrNone, {}, loginAs("li"));
    main->Item("NChangeOperator")->Click();
    std::vector<std::string> expected = allGoverned();
    expected.erase(std::find(expected.begin(), expected.end(), "NBorrow"));
    EXPECT_EQ(disabledItems(), expected);
}

// A desk the new operator may not use must not stay open for him to save
// loans through.
TEST_F(MainCoreTest, changeOfOperatorClosesWindowsTheNewOperatorHasNoRightTo) {
    addOperator("li", -1);
    Exec("insert into UserModule (Usecode, ModuleId, Ifcheck) values ('li', 26, -1)");
    start("Admin");
    main->Item("NBorrow")->Click();
    main->Item("NBorrowMagz")->Click();
    ProcessEvents();
    auto open = [this] {
        std::vector<std::string> names;
        for (int i = 0; i < main->MDIChildCount(); ++i)
            if (main->MDIChildren(i)->Visible()) names.push_back(main->MDIChildren(i)->ClassName());
        std::sort(names.begin(), names.end());
        return names;
    };
    const std::vector<std::string> before = open();
    ASSERT_EQ(std::count(before.begin(), before.end(), "TFrmBorrowBill"), 1);
    script.ExpectForm("TFrmLogin", mrNone, {}, loginAs("li"));
    main->Item("NChangeOperator")->Click();
    ProcessEvents();
    const std::vector<std::string> after = open();
    EXPECT_EQ(std::count(after.begin(), after.end(), "TFrmBorrowBill"), 0);
    EXPECT_EQ(std::count(after.begin(), after.end(), "TFrmBorrowBill1"), 1);
    EXPECT_EQ(std::count(after.begin(), after.end(), "TFrmMainIDE"), 1);
}

TEST_F(MainCoreTest, cancelledChangeOfOperatorChangesNothing) {
    addOperator("zhang", 0);
    start("Admin");
    script.ExpectForm("TFrmLogin", mrNone, {}, [](TCustomForm* f) { static_cast<TFrmLogin*>(f)->BitBtn2->Click(); });
    main->Item("NChangeOperator")->Click();
    EXPECT_EQ(OperatorCode, "Admin");
    EXPECT_EQ(disabledItems(), std::vector<std::string>{});
}

TEST_F(MainCoreTest, quoteInOperatorCodeIsLookedUpAsText) {
    Exec("insert into SystemUser (UseCode, UseName, Duty, Passwords) values ('o''neil', '奥尼尔', '操作员', '')");
    Exec("insert into UserModule (Usecode, ModuleId, Ifcheck) values ('o''neil', 9, -1)");
    start("o'neil");
    EXPECT_EQ(OperatorName, "奥尼尔");
    EXPECT_TRUE(main->Item("NBorrow")->Enabled());
    EXPECT_EQ(disabledItems().size(), allGoverned().size() - 1);
}

TEST_F(MainCoreTest, exitAnsweredNoKeepsWindowOpen) {
    start("Admin");
    script.ExpectMessage("确定退出Quillory图书馆管理系统？", IDNO, "提示！");
    TCloseAction action = caHide;
    main->FormClose(main, action);
    EXPECT_EQ(action, caNone);
    EXPECT_TRUE(dm->ADOConnection1->Connected());
    EXPECT_TRUE(script.Unused().empty());
}

} // namespace

namespace {

// Ending the application cannot be undone inside one process, so the
// cancelled start runs in a child process of its own.
class StartCancelCoreTest : public MainCoreTest {};

TEST_F(StartCancelCoreTest, cancelledLoginAtStartEndsApplicationWithoutMessage) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            script.ExpectForm("TFrmLogin", mrNone, {},
                              [](TCustomForm* f) { static_cast<TFrmLogin*>(f)->BitBtn2->Click(); });
            Application->CreateForm(main);
            main->Show();
            ProcessEvents();
            const bool quiet = script.Shown().size() == 1 && script.Unused().empty();
            std::exit(Application->Terminated() && OperatorCode.empty() && quiet &&
                              Scalar("select count(*) from AcctInfo") == "0"
                          ? 7
                          : 1);
        },
        ::testing::ExitedWithCode(7), "");
}

} // namespace
