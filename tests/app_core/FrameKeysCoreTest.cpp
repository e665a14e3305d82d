// The main window with its children as a person meets them: command keys
// typed inside a lending desk, the navigation page's size, which child
// comes forward after a close, and the frame filling the screen. Keys and
// clicks go through the window system (the test kit).
#include "CoreFixture.h"

#include "ADODB.h"
#include "Buttons.h"
#include "ComCtrls.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "TestKit.h"
#include "app/uBookExccedlist.h"
#include "app/uBorrowBill.h"
#include "app/uBorrowBill1.h"
#include "app/uDMData.h"
#include "app/uGlobal.h"
#include "app/uLogin.h"
#include "app/uMagzExccedlist.h"
#include "app/uMain.h"
#include "app/uSysDate.h"
#include "Menus.h"
#include "vq/controls/VqXPMenu.h"
#include "support/TestNames.h"

#include <QApplication>
#include <QFontMetrics>
#include <QScreen>
#include <QTest>
#include <QWidget>

#include "Controls_p.h" // the frame's window and the toolkit's title font

#include <filesystem>

#include <memory>
#include <typeinfo>

namespace {

class FrameKeys : public CoreFixture {
protected:
    TSeamScript script;
    std::unique_ptr<TDMData> dm;
    TFrmMain* main = nullptr;

    void SetUp() override {
        CoreFixture::SetUp();
        script.OnFailure = [](const std::string& m) { ADD_FAILURE() << m; };
        AppTitle = ProductName;
        Exec("delete from AcctInfo");
        Exec("insert into AcctInfo (CorpName, IfExcced) values ('城东图书馆', 0)");
        Exec("insert into ReaderType(Code,CeQty,LimitDay,RenewTime,CeQty1,LimitDay1) values ('学生',3,30,1,2,7)");
        Exec("insert into Readerinfo(Code,Name,SortCode,Isstop) values ('R1','张三','学生',0)");
        Exec("insert into Bookinfo(Code,Name,BookPrice) values ('B1','红楼梦',35.5)");
        dm.reset(new TDMData(nullptr));
        ASSERT_TRUE(dm->Opened());
        script.ExpectForm("TFrmLogin", mrNone, {}, [](TCustomForm* f) {
            auto* login = static_cast<TFrmLogin*>(f);
            login->CmbId->SetItemIndex(login->CmbId->Items()->IndexOf("Admin"));
            login->EditPassword->SetText("");
            login->BitBtn1->Click();
        });
        script.ExpectForm("TFrmSysDate", mrNone, {}, [](TCustomForm* f) {
            auto* d = static_cast<TFrmSysDate*>(f);
            d->DTPDate->SetDate(EncodeDate(2025, 3, 10));
            d->BitBtn1->Click();
        });
        Application->CreateForm(main);
        main->Show();
        ProcessEvents();
        ASSERT_TRUE(script.Unused().empty());
    }
    void TearDown() override {
        delete main;
        ProcessEvents();
        dm.reset();
        CoreFixture::TearDown();
    }
    std::vector<std::string> children() const {
        std::vector<std::string> out;
        for (int i = 0; i < main->MDIChildCount(); ++i) out.push_back(main->MDIChildren(i)->ClassName());
        return out;
    }
    std::string activeChild() const { return main->ActiveMDIChild() ? main->ActiveMDIChild()->ClassName() : ""; }
    // The book desk opened by its command key, with R1 and a new loan of B1.
    TFrmBorrowBill* deskWithOneNewLoan() {
        SendKeyToFocus(main, VK_F5, TShiftState{ssCtrl});
        auto* desk = dynamic_cast<TFrmBorrowBill*>(main->ActiveMDIChild());
        if (!desk) return nullptr;
        SendTextToFocus(desk, "R1");
        SendKeyToFocus(desk, VK_RETURN);
        SendTextToFocus(desk, "B1");
        SendKeyToFocus(desk, VK_RETURN);
        return desk;
    }
};

struct CommandKeyRow {
    const char* name;
    Word key;
    const char* activeAfter;
};

class CommandKeysInDesk : public FrameKeys, public ::testing::WithParamInterface<CommandKeyRow> {};

// Ctrl+F2..F7 once ran the desk's plain F-key commands: Ctrl+F2 saved the
// bill, Ctrl+F3 cleared it, Ctrl+F4 closed the window, Ctrl+F6 listed the
// reservations. They are the main window's commands (Ctrl+F7 asks for the
// loan query's condition, cancelled here).
TEST_P(CommandKeysInDesk, ctrlFKeysRunTheMainWindowsCommandsNotTheDesks) {
    const CommandKeyRow& row = GetParam();
    TFrmBorrowBill* desk = deskWithOneNewLoan();
    ASSERT_NE(desk, nullptr);
    ASSERT_EQ(desk->AdoqData->RecordCount(), 1);
    if (row.key == VK_F7) script.ExpectForm("TFrmBorrowCond", mrCancel);
    SendKeyToFocus(main, row.key, TShiftState{ssCtrl});
    EXPECT_EQ(activeChild(), row.activeAfter);
    const std::vector<std::string> open = children();
    EXPECT_NE(std::find(open.begin(), open.end(), "TFrmBorrowBill"), open.end()) << "the desk was closed";
    EXPECT_TRUE(desk->AdoqData->Active());
    EXPECT_EQ(desk->AdoqData->RecordCount(), 1) << "the bill was cleared";
    EXPECT_EQ(desk->EditRCode->Text(), "R1");
    EXPECT_EQ(Scalar("select count(*) from Borrowinfo"), "0") << "the bill was saved";
    for (const TSeamRecord& r : script.Shown()) EXPECT_NE(r.Kind, TSeamKind::MessageBox) << r.Text;
}

INSTANTIATE_TEST_SUITE_P(Rows, CommandKeysInDesk,
                         ::testing::Values(CommandKeyRow{"ctrlF2", VK_F2, "TFrmBookData"},
                                           CommandKeyRow{"ctrlF3", VK_F3, "TFrmMagzData"},
                                           CommandKeyRow{"ctrlF4", VK_F4, "TFrmReaderData"},
                                           CommandKeyRow{"ctrlF5", VK_F5, "TFrmBorrowBill"},
                                           CommandKeyRow{"ctrlF6", VK_F6, "TFrmBorrowBill1"},
                                           CommandKeyRow{"ctrlF7", VK_F7, "TFrmBorrowBill"}),
                         RowName());

// In the frame, Ctrl+F4 once closed the active child (the toolkit's own
// close key for child windows).
TEST_F(FrameKeys, ctrlF4InTheFrameKeepsTheActiveChildOpen) {
    SendKeyToFocus(main, VK_F6, TShiftState{ssCtrl});
    ASSERT_EQ(activeChild(), "TFrmBorrowBill1");
    // Ctrl+F4 is the reader list's command: it opens beside the desk.
    SendKeyToFocus(main, VK_F4, TShiftState{ssCtrl});
    EXPECT_EQ(activeChild(), "TFrmReaderData");
    const std::vector<std::string> open = children();
    EXPECT_NE(std::find(open.begin(), open.end(), "TFrmBorrowBill1"), open.end()) << "the desk was closed";
    EXPECT_EQ(main->MDIChildCount(), 3);
}

// The periodical overdue list derives from the book one; asking for the
// book list while only the periodical one was open brought that forward.
TEST_F(FrameKeys, showMdiChildFindsTheExactClassNotASubclass) {
    TFrmMagzExceedList* periodicals = nullptr;
    main->ShowMdiChild("TFrmMagzExceedList", periodicals);
    TFrmBookExceedList* books = nullptr;
    main->ShowMdiChild("TFrmBookExceedList", books);
    ASSERT_NE(books, nullptr);
    EXPECT_NE(static_cast<TCustomForm*>(books), static_cast<TCustomForm*>(periodicals));
    EXPECT_TRUE(typeid(*books) == typeid(TFrmBookExceedList));
    TFrmBookExceedList* again = nullptr;
    main->ShowMdiChild("TFrmBookExceedList", again);
    EXPECT_EQ(again, books);
}

// The page opened cut off: its outer size was the client size it asked for.
TEST_F(FrameKeys, navigationPageOpensWithItsWholeClientArea) {
    TCustomForm* page = main->NavigationPage();
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->ClientWidth(), 716);
    EXPECT_EQ(page->ClientHeight(), 509);
    // The client area lies whole inside the child's frame.
    QWidget* client = TControlPrivate::get(page)->client();
    EXPECT_EQ(client->size(), QSize(716, 509));
    QWidget* frame = TControlPrivate::get(page)->outer();
    const QRect inFrame(client->mapTo(frame, QPoint(0, 0)), client->size());
    EXPECT_TRUE(frame->rect().contains(inFrame)) << "client at " << inFrame.x() << "," << inFrame.y()
                                                 << " in a frame of " << frame->width() << "x" << frame->height();
}

// Closing the front child brought the navigation page forward instead of
// the window that was beneath it.
TEST_F(FrameKeys, closingTheFrontChildActivatesTheOneBeneath) {
    SendKeyToFocus(main, VK_F5, TShiftState{ssCtrl});
    SendKeyToFocus(main, VK_F6, TShiftState{ssCtrl});
    ASSERT_EQ(activeChild(), "TFrmBorrowBill1");
    SendKeyToFocus(main, VK_ESCAPE);
    ProcessEvents();
    EXPECT_EQ(activeChild(), "TFrmBorrowBill");
}

// Without a window manager nobody honours a request to maximise: the frame
// fills the screen's available area itself.
TEST_F(FrameKeys, mainWindowStartsFillingTheScreen) {
    EXPECT_EQ(main->WindowState(), wsMaximized);
    QWidget* top = WidgetOf(main)->window();
    const QRect avail = top->screen()->availableGeometry();
    QTest::qWaitFor([&] { return top->frameGeometry().size() == avail.size(); }, 2000);
    EXPECT_EQ(top->frameGeometry().size(), avail.size());
}

} // namespace

namespace {

// The tops of the titles' glyphs were cut ("导航" read like "旦航"): the
// title bar was sized for the Latin font's height.
TEST_F(FrameKeys, childTitlesHaveRoomForTheirGlyphs) {
    SendKeyToFocus(main, VK_F5, TShiftState{ssCtrl});
    QWidget* top = WidgetOf(main)->window();
    std::filesystem::create_directories(std::string(BUILD_DIR) + "/test-output/screens");
    top->grab().save(QString::fromStdString(std::string(BUILD_DIR) + "/test-output/screens/main-window.png"));
    // The captions' face holds every glyph of every title itself: a
    // fallback face's taller glyphs are what the title bar cut.
    const QFontMetrics title(QApplication::font("QMdiSubWindowTitleBar"));
    for (int i = 0; i < main->MDIChildCount(); ++i) {
        const QString caption = QString::fromStdString(main->MDIChildren(i)->Caption());
        for (char32_t c : caption.toUcs4()) EXPECT_TRUE(title.inFontUcs4(c)) << main->MDIChildren(i)->Caption();
    }
}

} // namespace

namespace {

// The main window's first menu as the menu component paints it: every item
// hooked, measured and drawn (the second one selected) onto one picture.
TEST_F(FrameKeys, mainMenuItemsArePaintedByTheMenuComponent) {
    TMenuItem* first = main->MainMenu1->Items()->Items(0);
    ASSERT_GT(first->Count(), 1);
    TBitmap b;
    b.SetSize(260, 1);
    std::vector<std::pair<TMenuItem*, TRect>> rows;
    int y = 0;
    for (int i = 0; i < first->Count(); ++i) {
        TMenuItem* item = first->Items(i);
        if (!item->Visible()) continue;
        EXPECT_TRUE(item->OnDrawItem != nullptr) << item->Caption();
        int w = 0, h = 0;
        main->VQXPMenu1->MeasureItem(item, b.Canvas(), w, h);
        rows.push_back({item, Rect(0, y, 260, y + h)});
        y += h;
    }
    b.SetSize(260, y);
    for (size_t i = 0; i < rows.size(); ++i)
        main->VQXPMenu1->DrawItem(rows[i].first, b.Canvas(), rows[i].second, i == 1);
    const std::string dir = std::string(BUILD_DIR) + "/test-output/screens/";
    std::filesystem::create_directories(dir);
    b.SaveToFile(dir + "main-window-menu.bmp");
    EXPECT_EQ(std::system(("convert " + dir + "main-window-menu.bmp " + dir + "main-window-menu.png").c_str()), 0);
    std::filesystem::remove(dir + "main-window-menu.bmp");
}

} // namespace
