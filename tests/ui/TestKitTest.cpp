// The test kit's promise: a key or click that no person could make fails the
// test and reaches nothing, instead of being handed to the widget anyway.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include "support/TestNames.h"

#include <functional>
#include <memory>

#include "Forms.h"
#include "StdCtrls.h"
#include "TestKit.h"

namespace {

class TFrmTarget : public TForm {
public:
    TButton* BtCount;
    TEdit* EditNote;
    int clicks = 0;

    TFrmTarget(TComponent* owner, const char* name, int left) : TForm(owner) {
        SetName(name);
        SetCaption(name);
        SetBounds(left, 40, 260, 140);
        BtCount = new TButton(this);
        BtCount->SetName("BtCount");
        BtCount->SetParent(this);
        BtCount->SetBounds(10, 10, 100, 30);
        BtCount->OnClick = [this](TObject*) { ++clicks; };
        EditNote = new TEdit(this);
        EditNote->SetName("EditNote");
        EditNote->SetParent(this);
        EditNote->SetBounds(10, 60, 150, 24);
    }
};

struct Scene {
    TFrmTarget* form;
    TSeamScript& script;
};

// What makes the target unreachable, and what the driver says about it.
struct UnreachableRow {
    const char* name;
    const char* says;
    std::function<void(Scene&)> attempt;
};

const UnreachableRow kUnreachable[] = {
    {"hiddenControl", "is hidden",
     [](Scene& s) {
         s.form->BtCount->SetVisible(false);
         SendClick(s.form->BtCount);
     }},
    {"disabledControl", "is disabled",
     [](Scene& s) {
         s.form->BtCount->SetEnabled(false);
         SendClick(s.form->BtCount);
     }},
    {"coveredControl", "the mouse would hit",
     [](Scene& s) {
         auto* cover = new TEdit(s.form);
         cover->SetParent(s.form);
         cover->SetBounds(0, 0, 200, 50);
         SendClick(s.form->BtCount);
     }},
    {"hiddenWindow", "is not shown",
     [](Scene& s) {
         s.form->Hide();
         SendClick(s.form->BtCount);
     }},
    {"windowBehindAModal", "is blocked by the modal window",
     [](Scene& s) {
         TForm dialog(nullptr);
         dialog.SetName("FrmModal");
         dialog.SetCaption("确认");
         s.script.ExpectForm("FrmModal", mrOk, {}, [&s](TCustomForm*) { SendClick(s.form->BtCount); });
         dialog.ShowModal();
     }},
    {"keyToAWindowWithoutTheKeyboard", "is not the focus window",
     [](Scene& s) {
         TFrmTarget other(nullptr, "FrmOther", 320);
         ShowAndActivate(&other);
         SendKeyToFocus(s.form, 'X');
     }},
};

class TestKitRefuses : public ::testing::TestWithParam<UnreachableRow> {
protected:
    void SetUp() override {
        form = std::make_unique<TFrmTarget>(nullptr, "FrmTarget", 20);
        ShowAndActivate(form.get());
        form->EditNote->SetFocus();
        ProcessEvents();
    }
    TSeamScript script;
    std::unique_ptr<TFrmTarget> form;
};

TEST_P(TestKitRefuses, whatNoPersonCouldDo) {
    const UnreachableRow& row = GetParam();
    Scene scene{form.get(), script};
    EXPECT_NONFATAL_FAILURE(row.attempt(scene), row.says);
    EXPECT_EQ(form->clicks, 0);
    EXPECT_EQ(form->EditNote->Text(), "");
}

INSTANTIATE_TEST_SUITE_P(Rows, TestKitRefuses, ::testing::ValuesIn(kUnreachable), RowName());

} // namespace
