// OnEnter and OnExit follow the control that has the keyboard focus, also
// when the focus moved while a modal dialog had the window deactivated (a
// desk moving the focus right after its save message). Keys go through the
// window system.
#include <gtest/gtest.h>

#include "Forms.h"
#include "StdCtrls.h"
#include "TestKit.h"

#include <QGuiApplication>
#include <QLineEdit>
#include <QTest>
#include <QWindow>

#include "Controls_p.h" // the form's window and the box's echo

#include <memory>

namespace {

QWindow* WindowOf(TControl* c) { return WidgetOf(c)->window()->windowHandle(); }

class FocusFollow : public ::testing::Test {
protected:
    void SetUp() override {
        script.OnFailure = [](const std::string& m) { ADD_FAILURE() << m; };
        form = std::make_unique<TForm>(nullptr);
        form->SetName("FrmDesk");
        form->SetClientWidth(300);
        form->SetClientHeight(100);
        for (auto [edit, name, top] : {std::tuple{&reader, "EditRCode", 10}, std::tuple{&item, "EditBCode", 40}}) {
            TEdit* e = new TEdit(form.get());
            e->SetName(name);
            e->SetParent(form.get());
            e->SetBounds(10, top, 120, 21);
            const std::string n = name;
            e->OnEnter = [this, e, n](TObject*) {
                log.push_back("enter " + n);
                e->SetColor(clYellow);
            };
            e->OnExit = [this, e, n](TObject*) {
                log.push_back("exit " + n);
                e->SetColor(clWhite);
            };
            *edit = e;
        }
        ShowAndActivate(form.get());
        item->SetFocus();
        ProcessEvents();
        log.clear();
    }
    void TearDown() override {
        form.reset();
        ProcessEvents();
    }
    TSeamScript script;
    std::unique_ptr<TForm> form;
    TEdit* reader = nullptr;
    TEdit* item = nullptr;
    std::vector<std::string> log;
};

// After a save the desk moves the focus to the reader box while the save
// message still has the window deactivated; the item box kept the focus
// colour and the reader box stayed white.
TEST_F(FocusFollow, focusMovedBehindAModalDialogLeavesTheOldControlAndEntersTheNew) {
    TForm message(nullptr);
    message.SetName("FrmMessage");
    message.SetClientWidth(200);
    message.SetClientHeight(60);
    script.ExpectForm("FrmMessage", mrOk, {}, [&](TCustomForm*) {
        // On a real display the dialog's focus arrives asynchronously.
        QTest::qWaitFor([&] { return QGuiApplication::focusWindow() != WindowOf(form.get()); }, 2000);
        EXPECT_NE(QGuiApplication::focusWindow(), WindowOf(form.get()));
        reader->SetFocus();
    });
    message.ShowModal();
    ProcessEvents();
    ASSERT_TRUE(TakesKeys(form.get()));
    EXPECT_EQ(log, (std::vector<std::string>{"exit EditBCode", "enter EditRCode"}));
    EXPECT_EQ(item->Color(), clWhite);
    EXPECT_EQ(reader->Color(), clYellow);
    SendTextToFocus(form.get(), "R1");
    EXPECT_EQ(reader->Text(), "R1");
}

// A dialog that comes and goes without moving the focus leaves and enters
// nothing: the window's deactivation is not a change of control.
TEST_F(FocusFollow, aModalDialogAloneLeavesAndEntersNothing) {
    TForm message(nullptr);
    message.SetName("FrmMessage");
    script.ExpectForm("FrmMessage", mrOk, {}, [](TCustomForm*) { ProcessEvents(); });
    message.ShowModal();
    ProcessEvents();
    ASSERT_TRUE(TakesKeys(form.get()));
    EXPECT_TRUE(log.empty()) << log.front();
    EXPECT_EQ(item->Color(), clYellow);
}

} // namespace

namespace {

// Password boxes echoed the style's dot instead of "*".
TEST(PasswordBox, echoesItsPasswordCharacter) {
    TForm form(nullptr);
    auto* edit = new TEdit(&form);
    edit->SetParent(&form);
    edit->SetPasswordChar('*');
    ShowAndActivate(&form);
    edit->SetFocus();
    SendTextToFocus(&form, "ab1");
    EXPECT_EQ(edit->Text(), "ab1");
    auto* line = static_cast<QLineEdit*>(WidgetOf(edit));
    EXPECT_EQ(line->displayText().toStdString(), "***");
    EXPECT_EQ(edit->PasswordChar(), '*');
}

} // namespace
