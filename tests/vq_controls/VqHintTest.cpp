// The flat hint window: where it stands beside the cursor, how it wraps,
// and what it looks like.
#include "vq/controls/VqHint.h"

#include "Forms.h"
#include "HintHook.h"
#include "SysUtils.h"
#include "support/TestNames.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

struct PlaceRow {
    const char* name;
    TPoint cursor;
    int quarter;
    TRect expected; // for a 100 x 30 hint
};

class FlatHintPlace : public ::testing::TestWithParam<PlaceRow> {};

TEST_P(FlatHintPlace, standsBesideTheCursorFacingTheMiddle) {
    const PlaceRow& r = GetParam();
    const int q = FlatHintQuarter(r.cursor, 1000, 800);
    EXPECT_EQ(q, r.quarter);
    EXPECT_EQ(FlatHintPlacement(r.cursor, q, 100, 30), r.expected);
}

INSTANTIATE_TEST_SUITE_P(Rows, FlatHintPlace,
                         ::testing::Values(PlaceRow{"topLeftTwelveRightAndBelow", {100, 100}, 1, {112, 112, 212, 142}},
                                           PlaceRow{"topRightLeftAndBelow", {900, 100}, 0, {795, 105, 895, 135}},
                                           PlaceRow{"bottomRightLeftAndAbove", {900, 700}, 2, {795, 665, 895, 695}},
                                           PlaceRow{"bottomLeftRightAndAbove", {100, 700}, 3, {105, 665, 205, 695}}),
                         RowName());

TEST(FlatHint, longTextWrapsAt178AndWindowIsTextPlus22By6) {
    TVqHint hint(nullptr);
    TFlatHintWindow window(nullptr);
    std::string text;
    for (int i = 0; i < 30; ++i) text += "word ";
    const TRect r = window.CalcHintRect(0, text);
    EXPECT_LE(r.Width(), 200);
    EXPECT_GT(r.Width(), 150);
    TBitmap probe;
    probe.SetSize(1, 1);
    probe.Canvas()->SetFont(window.Font());
    TRect m = Rect(0, 0, 178, 0);
    probe.Canvas()->DrawText(text, -1, m, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    EXPECT_EQ(r.Width(), m.Width() + 22);
    EXPECT_EQ(r.Height(), m.Height() + 6);
}

TEST(FlatHint, topLeftHintHasItsArrowColumnLeftPointingUpLeft) {
    TVqHint hint(nullptr);
    hint.Font()->SetName("宋体");
    EXPECT_EQ(Application->HintPause(), 500);
    EXPECT_EQ(Application->HintHidePause(), 5000);
    EXPECT_EQ(Application->HintShortPause(), 25);
    TFlatHintWindow window(nullptr);
    window.ActivateHintAt(Point(100, 100), "退出当前模块");
    Application->ProcessMessages();
    EXPECT_EQ(window.Quarter(), 1);
    EXPECT_EQ(window.Left(), 112);
    EXPECT_EQ(window.Top(), 112);
    TBitmap shot;
    shot.SetSize(window.Width(), window.Height());
    window.PaintTo(shot.Canvas(), Rect(0, 0, window.Width(), window.Height()));
    window.ReleaseHandle();
    EXPECT_EQ(window.ArrowTip(), Point(3, 3));
    EXPECT_EQ(shot.Canvas()->Pixels(8, window.Height() - 3), hint.ColorArrowBackground());
    EXPECT_EQ(shot.Canvas()->Pixels(window.Width() - 3, 3), hint.ColorBackground());
    const std::string dir = BUILD_DIR "/test-output/screens/";
    ForceDirectories(dir);
    shot.SaveToFile(dir + "vq-flat-hint.bmp");
    const std::string cmd = "convert " + dir + "vq-flat-hint.bmp -scale 300% " + dir + "vq-flat-hint.png";
    EXPECT_EQ(std::system(cmd.c_str()), 0);
    DeleteFile(dir + "vq-flat-hint.bmp");
}

TEST(FlatHint, everyHintOfTheProgramGoesThroughTheFlatWindow) {
    TVqHint hint(nullptr);
    std::string seen;
    hint.OnShowHint = [&](std::string& text, bool&, THintInfo&) { seen = text; };
    ASSERT_TRUE(ShowApplicationHint("借书登记|借书", Point(50, 50)));
    Application->ProcessMessages();
    EXPECT_EQ(seen, "借书登记");
    auto* window = dynamic_cast<TFlatHintWindow*>(ApplicationHintWindow());
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->HintText(), "借书登记");
    EXPECT_TRUE(window->Visible());
    HideApplicationHint();
    EXPECT_FALSE(window->Visible());
}

} // namespace
