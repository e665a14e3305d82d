// Hooks on other controls: what they hear of the control's messages, and
// their painting over the control's own, seen in a grabbed picture.
#include <gtest/gtest.h>

#include "ControlHook.h"
#include "ExtCtrls.h"
#include "Forms.h"
#include "StdCtrls.h"
#include "TestKit.h"

#include <QImage>

#include <algorithm>
#include <vector>

namespace {

struct Recorder : TControlHook {
    std::vector<THookMessage> heard;
    std::vector<Word> keys;
    int paints = 0;
    void HookMessage(TControl*, THookMessage m, Word key, bool) override {
        heard.push_back(m);
        if (m == hmKeyDown || m == hmKeyUp) keys.push_back(key);
    }
    // A red corner over whatever the control painted there.
    void AfterPaint(TControl*, TCanvas* c) override {
        ++paints;
        c->Brush()->SetColor(clRed);
        c->FillRect(TRect{0, 0, 6, 6});
    }
    bool has(THookMessage m) const { return std::find(heard.begin(), heard.end(), m) != heard.end(); }
};

QImage shot(TForm& form, const char* name) {
    const std::string path = std::string(BUILD_DIR) + "/test-output/screens/" + name;
    EXPECT_TRUE(SaveFormPng(&form, path));
    return QImage(QString::fromStdString(path));
}

class ControlHookTest : public ::testing::Test {
protected:
    TForm form{nullptr};
    TPanel* panel = new TPanel(&form);
    Recorder hook;
    void SetUp() override {
        form.SetBounds(100, 100, 240, 160);
        panel->SetParent(&form);
        panel->SetBounds(20, 20, 80, 60);
        panel->SetBevelOuter(bvNone);
        panel->SetColor(clWhite);
        ShowAndActivate(&form);
    }
};

TEST_F(ControlHookTest, hookPaintsOverTheControlsOwnPaintingInTheSamePicture) {
    AddControlHook(panel, &hook);
    const QImage with = shot(form, "control-hook.png");
    ASSERT_FALSE(with.isNull());
    const QPoint origin(panel->Left(), panel->Top());
    // The panel filled itself white first, then the hook drew its corner.
    EXPECT_EQ(with.pixelColor(origin + QPoint(2, 2)), QColor(255, 0, 0));
    EXPECT_EQ(with.pixelColor(origin + QPoint(40, 30)), QColor(255, 255, 255));
    EXPECT_GT(hook.paints, 0);
    EXPECT_TRUE(hook.has(hmPaint));

    RemoveControlHook(panel, &hook);
    EXPECT_FALSE(HasControlHook(panel, &hook));
    const QImage without = shot(form, "control-hook-removed.png");
    EXPECT_EQ(without.pixelColor(origin + QPoint(2, 2)), QColor(255, 255, 255));
}

TEST_F(ControlHookTest, hookHearsClicksFocusAndKeysOfTheControl) {
    auto* edit = new TEdit(&form);
    edit->SetParent(&form);
    edit->SetBounds(120, 20, 100, 24);
    AddControlHook(edit, &hook);
    AddControlHook(edit, &hook); // a second add changes nothing
    SendClick(edit);
    SendKey(edit, VK_SPACE);
    EXPECT_TRUE(hook.has(hmLButtonDown));
    EXPECT_TRUE(hook.has(hmLButtonUp));
    EXPECT_TRUE(hook.has(hmSetFocus));
    EXPECT_NE(std::find(hook.keys.begin(), hook.keys.end(), VK_SPACE), hook.keys.end());
    EXPECT_EQ(std::count(hook.heard.begin(), hook.heard.end(), hmLButtonDown), 1);

    auto* other = new TEdit(&form);
    other->SetParent(&form);
    other->SetBounds(120, 60, 100, 24);
    SendClick(other);
    EXPECT_TRUE(hook.has(hmKillFocus));

    hook.heard.clear();
    delete edit;
    ASSERT_EQ(hook.heard.size(), 1u);
    EXPECT_EQ(hook.heard[0], hmDestroy);
}

} // namespace
