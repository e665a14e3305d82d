// How a memo lays its characters out: justified lines spread over the
// width, character spacing, and vertical writing.
#include <gtest/gtest.h>

#include "Metafile.h"
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

} // namespace
