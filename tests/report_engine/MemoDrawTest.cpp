// How a memo lays its characters out: justified lines spread over the
// width, character spacing, and vertical writing.
#include <gtest/gtest.h>

#include "Metafile.h"
#include "report/barcode/RM_BarCodeView.h"
#include "report/model/RM_Report.h"

namespace {

std::vector<const TMetafileRecord*> draw(TRMMemoView& m, TMetafile& mf) {
    TMetafileCanvas c(&mf);
    m.Draw(&c);
    return c.TextRecords();
}

TEST(MemoDraw, justifiedLineSpreadsItsCharactersOverTheWidth) {
    TRMMemoView m;
    m.SetBounds(0, 0, 300, 24);
    m.Font.Name = "宋体";
    m.Memo = {"合计"};
    m.SetAlignment(3);
    TMetafile mf;
    auto r = draw(m, mf);
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(r[0]->Text, "合");
    EXPECT_EQ(r[0]->Bounds.Left, m.GapX);
    EXPECT_NEAR(r[1]->Bounds.Right, 300 - m.GapX, 2); // the last character ends at the right gap
}

TEST(MemoDraw, characterSpacingAddsPixelsBetweenCharacters) {
    TRMMemoView m;
    m.SetBounds(0, 0, 300, 24);
    m.Font.Name = "宋体";
    m.Memo = {"图书"};
    m.CharSpacing = 10;
    TMetafile mf;
    auto r = draw(m, mf);
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(r[1]->Bounds.Left, r[0]->Bounds.Right + 10);
}

TEST(MemoDraw, verticalWritingStacksCharactersInColumnsFromTheRight) {
    TRMMemoView m;
    m.SetBounds(0, 0, 100, 200);
    m.Font.Name = "宋体";
    m.Memo = {"图书", "馆"};
    m.RotationType = 2;
    TMetafile mf;
    auto r = draw(m, mf);
    ASSERT_EQ(r.size(), 3u);
    EXPECT_EQ(r[0]->Bounds.Left, r[1]->Bounds.Left); // one column
    EXPECT_LT(r[0]->Bounds.Top, r[1]->Bounds.Top);   // going down
    EXPECT_LT(r[2]->Bounds.Left, r[0]->Bounds.Left); // the next column to the left
    EXPECT_GT(r[0]->Bounds.Left, 50);                // starting at the right
}

TEST(MemoDraw, quarterTurnedLinesRunAlongTheHeightFromTheirOwnSide) {
    struct Case {
        uint8_t rotation;
        int orientation;
        bool linesRightward; // the second line lies right of the first
    };
    for (Case c : {Case{1, 900, true}, Case{3, 2700, false}}) {
        SCOPED_TRACE(int(c.rotation));
        TRMMemoView m;
        m.SetBounds(0, 0, 100, 200);
        m.Font.Name = "宋体";
        m.Memo = {"图书馆", "读者"};
        m.RotationType = c.rotation;
        TMetafile mf;
        auto r = draw(m, mf);
        ASSERT_EQ(r.size(), 2u); // each line one output
        EXPECT_EQ(r[0]->FontOrientation, c.orientation);
        EXPECT_EQ(r[0]->Text, "图书馆");
        if (c.linesRightward)
            EXPECT_LT(r[0]->Bounds.Left, r[1]->Bounds.Left);
        else
            EXPECT_GT(r[0]->Bounds.Left, r[1]->Bounds.Left);
    }
}

TEST(MemoDraw, turnedCharactersSitSideBySideAlongDescendingLines) {
    TRMMemoView m;
    m.SetBounds(0, 0, 200, 100);
    m.Font.Name = "宋体";
    m.Memo = {"图书", "馆"};
    m.RotationType = 4;
    TMetafile mf;
    auto r = draw(m, mf);
    ASSERT_EQ(r.size(), 3u);
    EXPECT_EQ(r[0]->FontOrientation, 900);
    EXPECT_LT(r[0]->Bounds.Left, r[1]->Bounds.Left);
    EXPECT_EQ(r[0]->Bounds.Top, r[1]->Bounds.Top);
    EXPECT_GT(r[2]->Bounds.Top, r[0]->Bounds.Top);
}

// A code the symbol cannot carry draws its error in the object's frame;
// painting goes on.
TEST(MemoDraw, unencodableBarcodeDrawsItsErrorInsteadOfThrowing) {
    TRMBarCodeView b;
    b.SetBounds(0, 0, 200, 80);
    b.Settings.BarType = uint8_t(bcCodeEAN13);
    b.Memo = {"ABC"};
    TMetafile mf;
    std::vector<std::string> texts;
    {
        TMetafileCanvas c(&mf);
        EXPECT_NO_THROW(b.Draw(&c));
        for (auto* t : c.TextRecords()) texts.push_back(t->Text);
    }
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0], "条码错误: ABC");
    EXPECT_FALSE(b.LastError.empty());
}

} // namespace
