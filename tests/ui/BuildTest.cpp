// The window builder and the window check: a form described with TBuild
// gets named, placed and wired controls; the check finds each kind of
// fault a hand-built window can have.
#include <gtest/gtest.h>

#include "Build.h"
#include "ExtCtrls.h"
#include "Forms.h"
#include "StdCtrls.h"
#include "TestKit.h"
#include "WindowCheck.h"

#include "support/TestNames.h"

#include <functional>
#include <memory>

namespace {

class TFrmBuilt : public TForm {
public:
    TPanel* Panel1;
    TEdit* EditCode;
    TButton* BtSave;
    TButton* BtClose;
    TButton* BtA;
    TButton* BtB;
    int saves = 0, plainCalls = 0, toolCalls = 0, keys = 0;

    explicit TFrmBuilt(TComponent* owner) : TForm(owner) {
        SetName("FrmBuilt");
        SetClientWidth(300);
        SetClientHeight(160);
        TBuild b(this);
        Panel1 = b.Add<TPanel>("Panel1").Align(alTop).Height(40).Caption("");
        EditCode = b.In(Panel1).Add<TEdit>("EditCode").At(10, 8, 120, 21).OnKeyDown(&TFrmBuilt::EditKeyDown);
        auto bar = b.Across(10, 50, 25, 6);
        BtA = bar.Add<TButton>(TToolRow<TFrmBuilt>{"BtA", "甲", "第一", 60, &TFrmBuilt::Tool});
        BtB = bar.Add<TButton>(TToolRow<TFrmBuilt>{"BtB", "乙", "", 80, &TFrmBuilt::Tool});
        auto [ok, cancel] = b.OkCancel<TButton>({"BtSave", "确定", 120}, {"BtClose", "取消", 210}, 120, 76, 25);
        BtSave = ok.OnClick(&TFrmBuilt::Save);
        BtClose = cancel.OnClick(&TFrmBuilt::Plain);
    }
    void Save(TObject*) { ++saves; }
    void Plain() { ++plainCalls; }
    void Tool(TObject*) { ++toolCalls; }
    void EditKeyDown(TObject*, Word& key, TShiftState) {
        ++keys;
        key = 0;
    }
};

TEST(Build, placesNamedControlsInTheirParentsAndBindsMemberHandlers) {
    TSeamScript script;
    std::unique_ptr<TFrmBuilt> f(new TFrmBuilt(Application));
    EXPECT_EQ(f->EditCode->Parent(), f->Panel1);
    EXPECT_EQ(f->BtSave->Parent(), f.get());
    EXPECT_EQ(f->FindComponent("EditCode"), f->EditCode);
    EXPECT_EQ(f->EditCode->BoundsRect(), (TRect{10, 8, 130, 29}));
    EXPECT_EQ(f->BtB->BoundsRect(), (TRect{76, 50, 156, 75})) << "laid across after BtA and the gap";
    EXPECT_EQ(f->BtA->Hint(), "第一");
    EXPECT_TRUE(f->BtA->ShowHint());
    EXPECT_FALSE(f->BtB->ShowHint());
    EXPECT_TRUE(f->BtClose->Cancel());
    ShowAndActivate(f.get());
    SendClick(f->BtSave);
    SendClick(f->BtA);
    SendKey(f->EditCode, 'X');
    EXPECT_EQ(f->saves, 1);
    EXPECT_EQ(f->toolCalls, 1);
    EXPECT_EQ(f->keys, 1);
    EXPECT_EQ(f->EditCode->Text(), "") << "the handler ate the key";
    SendKey(f->BtSave, VK_ESCAPE);
    EXPECT_EQ(f->plainCalls, 1) << "Esc presses the Cancel button, whose member takes no arguments";
    std::vector<std::string> bound;
    for (const TBoundHandler& h : BoundHandlers(f.get())) bound.push_back(h.Component->Name() + "." + h.Event);
    EXPECT_EQ(bound, (std::vector<std::string>{"EditCode.OnKeyDown", "BtA.OnClick", "BtB.OnClick", "BtSave.OnClick",
                                               "BtClose.OnClick"}));
    EXPECT_EQ(CheckWindow(f.get()), std::vector<std::string>{});
}

// A fault a window may carry, and the finding the check must report.
struct FaultRow {
    const char* name;
    std::function<void(TFrmBuilt*)> spoil;
    std::string finding;
};

class WindowCheck : public ::testing::TestWithParam<FaultRow> {};

TEST_P(WindowCheck, findsTheFault) {
    std::unique_ptr<TFrmBuilt> f(new TFrmBuilt(Application));
    GetParam().spoil(f.get());
    const std::vector<std::string> found = CheckWindow(f.get());
    ASSERT_EQ(found.size(), 1u) << (found.empty() ? "" : found[0]);
    EXPECT_EQ(found[0], GetParam().finding);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, WindowCheck,
    ::testing::Values(FaultRow{"unnamedControl", [](TFrmBuilt* f) { TBuild(f).Add<TLabel>("").At(5, 140); },
                               "<TLabel>: a control without a name"},
                      FaultRow{"controlOutsideParent", [](TFrmBuilt* f) { f->EditCode->SetLeft(200); },
                               "Panel1/EditCode: (200,8,320,29) lies outside its parent's client area (300x40)"},
                      FaultRow{"tabOrderAgainstReading",
                               [](TFrmBuilt* f) { f->BtSave->SetTabOrder(f->BtClose->TabOrder()); },
                               "BtSave: tab order 4 comes after BtClose but reads before it"},
                      FaultRow{"tabOrderUpwards", [](TFrmBuilt* f) { f->Panel1->SetTabOrder(4); },
                               "Panel1: tab order 4 comes after BtClose but reads before it"},
                      FaultRow{"handlerLost", [](TFrmBuilt* f) { f->BtSave->OnClick = nullptr; },
                               "BtSave.OnClick: the handler is no longer bound"}),
    RowName());

TEST(WindowCheckRules, exceptionExemptsTheNamedParentsTabOrder) {
    std::unique_ptr<TFrmBuilt> f(new TFrmBuilt(Application));
    f->BtSave->SetTabOrder(f->BtClose->TabOrder());
    EXPECT_EQ(CheckWindow(f.get(), TWindowCheck{{"FrmBuilt"}}), std::vector<std::string>{});
}

} // namespace
