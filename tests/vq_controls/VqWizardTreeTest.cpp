// The wizard step diagram: where its boxes and lines go (recorded from a
// real paint), and clicks on its steps through the window system.
#include "vq/controls/VqWizardTree.h"

#include "Canvas_p.h"
#include "Forms.h"
#include "Metafile.h"
#include "TestKit.h"

#include <gtest/gtest.h>

namespace {

class WizardTree : public ::testing::Test {
protected:
    TForm form{nullptr};
    TVQWizardTree* tree = new TVQWizardTree(&form);
    void SetUp() override {
        form.SetBounds(100, 100, 300, 220);
        tree->SetName("VQWizardTree1");
        tree->SetParent(&form);
        tree->SetBounds(10, 10, 160, 160);
        ShowAndActivate(&form);
    }
    std::vector<TMetafileRecord> Paint() {
        std::vector<TMetafileRecord> records;
        CanvasSetRecorder(tree->Canvas(), &records);
        tree->Repaint();
        CanvasSetRecorder(tree->Canvas(), nullptr);
        return records;
    }
    static bool HasLine(const std::vector<TMetafileRecord>& rs, TPoint a, TPoint b) {
        for (const auto& r : rs)
            if (r.Kind == mrLine && r.Points.size() == 2 && r.Points[0] == a && r.Points[1] == b && r.PenColor == 255)
                return true;
        return false;
    }
    void ClickStep(int i) {
        const TRect r = tree->ItemRects()[size_t(i)];
        SendClick(tree, r.Left + 3, (r.Top + r.Bottom) / 2);
        ProcessEvents();
    }
};

// B 16, H 4, V 8, K 17, margins 4: steps 25 px apart from y = 12.
TEST_F(WizardTree, middleStepsAreIndentedAndTheTrunkJoinsFirstAndLastBox) {
    const auto rs = Paint();
    ASSERT_EQ(tree->ItemRects().size(), 4u);
    const int lefts[] = {8, 28, 28, 8};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(tree->ItemRects()[size_t(i)].Left, lefts[i]) << i;
        EXPECT_EQ(tree->ItemRects()[size_t(i)].Top, 12 + 33 * i) << i;
    }
    // From the bottom of the first box (12 + 17) to the top of the last (111).
    EXPECT_TRUE(HasLine(rs, {16, 29}, {16, 111}));
    // First step: right, then down to the second step's middle.
    EXPECT_TRUE(HasLine(rs, {24, 20}, {36, 20}));
    EXPECT_TRUE(HasLine(rs, {36, 20}, {36, 53}));
    // Third (second-to-last) step: down and back left to the trunk.
    EXPECT_TRUE(HasLine(rs, {36, 95}, {36, 119}));
    EXPECT_TRUE(HasLine(rs, {36, 119}, {11, 119}));
}

TEST_F(WizardTree, twoStepsDrawNoTrunk) {
    TStringList two;
    two.Add("开始");
    two.Add("完成");
    tree->SetItems(&two);
    for (const auto& r : Paint())
        if (r.Kind == mrLine) EXPECT_FALSE(r.Points[0].X == 16 && r.Points[1].X == 16) << "a trunk line";
    EXPECT_EQ(tree->ItemRects().size(), 2u);
}

TEST_F(WizardTree, clickMakesAStepCurrentUnlessRefused) {
    int changes = 0;
    bool allow = false;
    tree->OnChange = [&](TObject*) { ++changes; };
    tree->OnChanging = [&](TObject*, int index, bool& ok) {
        EXPECT_EQ(index, 2);
        ok = allow;
    };
    Paint();
    ClickStep(2);
    EXPECT_EQ(tree->ItemIndex(), 0);
    EXPECT_EQ(changes, 0);
    allow = true;
    ClickStep(2);
    EXPECT_EQ(tree->ItemIndex(), 2);
    EXPECT_EQ(changes, 1);
}

TEST_F(WizardTree, itemIndexOutsideTheStepsIsIgnoredAndMinusOneClearsIt) {
    tree->SetItemIndex(4);
    EXPECT_EQ(tree->ItemIndex(), 0);
    tree->SetItemIndex(-2);
    EXPECT_EQ(tree->ItemIndex(), 0);
    tree->SetItemIndex(-1);
    EXPECT_EQ(tree->ItemIndex(), -1);
    for (const auto& r : Paint())
        if (r.Kind == mrText) EXPECT_FALSE(r.FontStyle.Contains(fsBold)) << r.Text;
}

TEST_F(WizardTree, currentStepsAreaIsMeasuredWithTheBoldFont) {
    Paint();
    const int plain = tree->ItemRects()[1].Right;
    tree->SetItemIndex(1);
    Paint();
    EXPECT_GT(tree->ItemRects()[1].Right, plain);
}

} // namespace
