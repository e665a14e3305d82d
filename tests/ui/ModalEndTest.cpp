// The end of a modal dialog, seen from the window that opened it: however the
// dialog ends, the main window takes the next click and the next key. Qt
// blocks input to every other window while a modal one is shown and lifts
// the block only when a window that is still modal hides, so the order in
// which the loop undoes the modal state decides whether the program can be
// used afterwards. Keys and clicks go through the window system (the test
// kit), where that block applies.
#include <gtest/gtest.h>

#include "support/TestNames.h"

#include <QAbstractNativeEventFilter>
#include <QGuiApplication>
#include <QPointer>
#include <QTest>
#include <QWindow>
#include <QWidget>
#include <functional>
#include <memory>
#include <stdexcept>

#include "Forms.h"
#include "StdCtrls.h"
#include "TestKit.h"
#include "Controls_p.h"

#include <xcb/xcb.h> // to give a window the keyboard behind the program's back

namespace {

template <class T>
T* Make(TWinControl* parent, const char* name, int x, int y) {
    auto* c = new T(parent);
    c->SetName(name);
    c->SetParent(parent);
    c->SetLeft(x);
    c->SetTop(y);
    return c;
}

// The opener: one button that counts its clicks and one edit.
class TFrmOpener : public TForm {
public:
    TButton* BtCount;
    TEdit* EditNote;
    int clicks = 0;

    explicit TFrmOpener(TComponent* owner) : TForm(owner) {
        SetName("FrmOpener");
        SetCaption("主窗口");
        SetBounds(40, 40, 320, 160);
        BtCount = Make<TButton>(this, "BtCount", 10, 10);
        BtCount->OnClick = [this](TObject*) { ++clicks; };
        EditNote = Make<TEdit>(this, "EditNote", 10, 60);
    }
};

class TFrmModal : public TForm {
public:
    TEdit* EditCode;
    TButton* BtOk;
    TButton* BtCancel;

    explicit TFrmModal(TComponent* owner, const char* name = "FrmModal") : TForm(owner) {
        SetName(name);
        SetCaption(name);
        SetBounds(80, 80, 260, 120);
        EditCode = Make<TEdit>(this, "EditCode", 10, 10);
        BtOk = Make<TButton>(this, "BtOk", 10, 60);
        BtOk->SetModalResult(mrOk);
        BtCancel = Make<TButton>(this, "BtCancel", 120, 60);
        BtCancel->SetCancel(true);
        BtCancel->SetModalResult(mrCancel);
    }
};

// A way to end the dialog: how the dialog is set up, what the person does
// while it is shown, and what ShowModal gives back.
struct ModalEndRow {
    const char* name;
    std::function<void(TFrmModal*)> prepare;
    std::function<void(TFrmModal*)> act;
    TModalResult result;
    bool throws = false;
};

const ModalEndRow kEnds[] = {
    {"okButton", nullptr, [](TFrmModal* d) { SendClick(d->BtOk); }, mrOk},
    {"escKey", nullptr, [](TFrmModal* d) { SendKey(d->EditCode, VK_ESCAPE); }, mrCancel},
    {"closeBox", nullptr, [](TFrmModal* d) { SendCloseBox(d); }, mrCancel},
    {"caFreeOnClose", [](TFrmModal* d) { d->OnClose = [](TObject*, TCloseAction& a) { a = caFree; }; },
     [](TFrmModal* d) { SendClick(d->BtOk); }, mrOk},
    {"closeQueryRefusesOnce",
     [](TFrmModal* d) {
         auto asked = std::make_shared<int>(0);
         d->OnCloseQuery = [asked](TObject*, bool& can) { can = ++*asked >= 2; };
     },
     [](TFrmModal* d) {
         SendClick(d->BtOk);
         EXPECT_TRUE(d->Visible()) << "the first close was refused";
         SendClick(d->BtOk);
     },
     mrOk},
    {"onShowThrows", [](TFrmModal* d) { d->OnShow = [](TObject*) { throw std::runtime_error("查询打不开"); }; },
     nullptr, mrNone, true},
};

// The opener is shown and active before each test; the dialogs run the real
// modal loop, answered through the seam, whose script acts once a dialog is
// up (keys and clicks through the window system, as a person's).
class ModalEnd : public ::testing::TestWithParam<ModalEndRow> {
protected:
    void SetUp() override {
        script.OnFailure = [](const std::string& m) { ADD_FAILURE() << m; };
        opener = new TFrmOpener(nullptr);
        ShowAndActivate(opener);
    }
    void TearDown() override {
        delete opener;
        ProcessEvents();
    }

    // What a person does next in the opener: a click, then typing.
    void expectOpenerTakesInput() {
        EXPECT_EQ(QGuiApplication::modalWindow(), nullptr);
        SendClick(opener->BtCount);
        EXPECT_EQ(opener->clicks, 1) << "the click on the opener was lost";
        SendText(opener->EditNote, "R001");
        EXPECT_EQ(opener->EditNote->Text(), "R001") << "the typing into the opener was lost";
    }

    TSeamScript script;
    TFrmOpener* opener = nullptr;
};

TEST_P(ModalEnd, mainFormTakesInputAfterwards) {
    const ModalEndRow& row = GetParam();
    auto* dlg = new TFrmModal(Application);
    QPointer<QWidget> alive = WidgetOf(dlg);
    if (row.prepare) row.prepare(dlg);
    script.ExpectForm("FrmModal", mrNone, {}, [&row](TCustomForm* f) {
        if (row.act) row.act(static_cast<TFrmModal*>(f));
    });
    if (row.throws) {
        EXPECT_THROW(dlg->ShowModal(), std::runtime_error);
    } else {
        EXPECT_EQ(dlg->ShowModal(), row.result);
    }
    ProcessEvents();
    if (alive) {
        EXPECT_FALSE(dlg->Visible());
        EXPECT_FALSE(dlg->Modal());
        delete dlg;
    }
    expectOpenerTakesInput();
}

INSTANTIATE_TEST_SUITE_P(Ends, ModalEnd, ::testing::ValuesIn(kEnds), RowName());

// A dialog opens a second one: the first takes input again once the second
// has gone, and the opener once both have.
TEST_F(ModalEnd, nestedModalsUnwindInOrder) {
    TFrmModal outer(nullptr, "FrmOuter");
    TFrmModal inner(nullptr, "FrmInner");
    script.ExpectForm("FrmOuter", mrNone, {}, [&](TCustomForm*) {
        EXPECT_EQ(inner.ShowModal(), mrOk);
        SendText(outer.EditCode, "B002");
        EXPECT_EQ(outer.EditCode->Text(), "B002") << "the typing into the first dialog was lost";
        SendClick(outer.BtOk);
    });
    script.ExpectForm("FrmInner", mrNone, {}, [&](TCustomForm*) { SendClick(inner.BtOk); });
    EXPECT_EQ(outer.ShowModal(), mrOk);
    EXPECT_FALSE(inner.Visible());
    EXPECT_FALSE(outer.Visible());
    expectOpenerTakesInput();
}

// Drops the server's focus-in events for one window, as the program does
// when they come while the window counts as blocked by a modal one.
class FocusInLost : public QAbstractNativeEventFilter {
public:
    explicit FocusInLost(xcb_window_t w) : window(w) { qApp->installNativeEventFilter(this); }
    ~FocusInLost() override { qApp->removeNativeEventFilter(this); }
    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
        auto* ev = static_cast<xcb_generic_event_t*>(message);
        return type == "xcb_generic_event_t" && (ev->response_type & 0x7f) == XCB_FOCUS_IN &&
               reinterpret_cast<xcb_focus_in_event_t*>(ev)->event == window;
    }

private:
    xcb_window_t window;
};

// On X the server can give the opener the keyboard while the program does
// not notice (a late focus-in, taken while a dialog was still modal, is
// handed on to that dialog, already going away). The server sends no second
// focus-in to a window that has the keyboard, so asking for it again changed
// nothing and the keyboard stayed with no window of the program, as in the
// main window after the date dialog. Giving the form the keyboard must work
// from that state too.
TEST_F(ModalEnd, keyboardComesBackWhereTheServerGaveItUnnoticed) {
    auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* c = QGuiApplication::platformName() == "xcb" && x11 ? x11->connection() : nullptr;
    if (!c) GTEST_SKIP() << "a state of the X server";
    QWindow* win = WidgetOf(opener)->windowHandle();
    const auto id = static_cast<xcb_window_t>(win->winId());
    {
        FocusInLost lost(id);
        xcb_set_input_focus(c, XCB_INPUT_FOCUS_NONE, XCB_NONE, XCB_CURRENT_TIME);
        xcb_set_input_focus(c, XCB_INPUT_FOCUS_PARENT, id, XCB_CURRENT_TIME);
        xcb_flush(c);
        ASSERT_TRUE(QTest::qWaitFor([] { return QGuiApplication::focusWindow() == nullptr; }, 3000));
        xcb_get_input_focus_reply_t* focus = xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr);
        ASSERT_NE(focus, nullptr);
        EXPECT_EQ(focus->focus, id) << "the server has given the opener the keyboard";
        free(focus);
    }
    opener->SetFocus();
    expectOpenerTakesInput();
}

} // namespace
