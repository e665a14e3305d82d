// DrawText layout checked against the recording canvas: the text runs it
// produced, where, and what DT_CALCRECT reports. Widths come from the same
// canvas, so the tests hold for any installed font.
#include <gtest/gtest.h>

#include <memory>

#include "support/TestNames.h"

#include "Graphics.h"
#include "Metafile.h"

namespace {

struct Lines {
    std::vector<std::string> text;
    std::vector<TPoint> at;
};

Lines Runs(const TMetafileCanvas& c) {
    Lines l;
    for (auto* r : c.TextRecords()) {
        l.text.push_back(r->Text);
        l.at.push_back(r->Points[0]);
    }
    return l;
}

TEST(DrawText, calcRectMeasuresWithoutDrawing) {
    TMetafileCanvas c(nullptr);
    TRect r = Rect(10, 20, 10, 20);
    int h = c.DrawText("借阅清单", -1, r, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(r, Rect(10, 20, 10 + c.TextWidth("借阅清单"), 20 + c.TextHeight("借")));
    EXPECT_EQ(h, c.TextHeight("借"));
    EXPECT_TRUE(c.Records().empty());
}

TEST(DrawText, calcRectWithWordBreakGrowsDownward) {
    TMetafileCanvas c(nullptr);
    int w = c.TextWidth("甲乙丙");
    TRect r = Rect(0, 0, w, 0);
    int h = c.DrawText("甲乙丙丁戊己庚", -1, r, DT_CALCRECT | DT_WORDBREAK);
    EXPECT_EQ(h, 3 * c.TextHeight("甲"));
    EXPECT_EQ(r.Bottom, h);
    EXPECT_EQ(r.Right, w);
}

// Measurements are remembered between canvases; each must still be the
// one its font, width and format give, asked in any order.
TEST(DrawText, calcRectAnswersForTheFontWidthAndFormatAskedAbout) {
    const std::string text = "中文名称 title 测量";
    struct Case {
        int size;
        bool bold;
        int width;
        unsigned format;
    };
    auto canvas = [](const Case& k) {
        auto c = std::make_unique<TMetafileCanvas>(nullptr);
        c->Font()->SetSize(k.size);
        if (k.bold) c->Font()->SetStyle(TFontStyles{fsBold});
        return c;
    };
    auto measure = [&](const Case& k) {
        auto c = canvas(k);
        TRect r = Rect(5, 5, 5 + k.width, 5);
        const int h = c->DrawText(text, -1, r, DT_CALCRECT | k.format);
        return std::vector<int>{r.Width(), r.Height(), h};
    };
    const int narrow = TMetafileCanvas(nullptr).TextWidth("中文");
    const Case cases[] = {{9, false, 0, DT_SINGLELINE},      {20, false, 0, DT_SINGLELINE},
                          {9, true, 0, DT_SINGLELINE},       {9, false, narrow, DT_WORDBREAK},
                          {9, false, 4 * narrow, DT_WORDBREAK}, {20, false, narrow, DT_WORDBREAK}};
    std::vector<std::vector<int>> first;
    for (const Case& k : cases) first.push_back(measure(k));
    // Single lines against the canvas's own measures of that font.
    for (int i = 0; i < 3; ++i) {
        auto c = canvas(cases[i]);
        EXPECT_EQ(first[size_t(i)], (std::vector<int>{c->TextWidth(text), c->TextHeight(text), c->TextHeight(text)}))
            << "case " << i;
    }
    EXPECT_LT(first[3][1], first[5][1]);
    EXPECT_GT(first[3][1], first[4][1]);
    // Asked again, backwards: the same answers.
    for (size_t i = std::size(cases); i-- > 0;) EXPECT_EQ(measure(cases[i]), first[i]) << "case " << i;
}

TEST(DrawText, wordBreakSplitsChineseAnywhereAndEnglishAtSpaces) {
    TMetafileCanvas c(nullptr);
    TRect r = Rect(0, 0, c.TextWidth("甲乙丙"), 100);
    c.DrawText("甲乙丙丁戊", -1, r, DT_WORDBREAK);
    TRect e = Rect(0, 200, c.TextWidth("alpha beta"), 300);
    c.DrawText("alpha beta gamma", -1, e, DT_WORDBREAK);
    Lines l = Runs(c);
    int lh = c.TextHeight("甲");
    ASSERT_EQ(l.text, (std::vector<std::string>{"甲乙丙", "丁戊", "alpha beta", "gamma"}));
    EXPECT_EQ(l.at[1], Point(0, lh));
    EXPECT_EQ(l.at[3], Point(0, 200 + lh));
}

TEST(DrawText, endEllipsisCutsToFit) {
    TMetafileCanvas c(nullptr);
    TRect r = Rect(0, 0, c.TextWidth("abc..."), 20);
    c.DrawText("abcdefghij", -1, r, DT_SINGLELINE | DT_END_ELLIPSIS);
    EXPECT_EQ(Runs(c).text, std::vector<std::string>{"abc..."});
    TRect wide = Rect(0, 0, 500, 20);
    c.DrawText("abcdefghij", -1, wide, DT_SINGLELINE | DT_END_ELLIPSIS);
    EXPECT_EQ(Runs(c).text.back(), "abcdefghij");
}

struct AlignRow {
    const char* name;
    unsigned flags;
    int expectX; // -1 centre, -2 right, else left edge offset
    int expectY; // -1 centre, -2 bottom, else top
};

class DrawTextAlign : public testing::TestWithParam<AlignRow> {};

TEST_P(DrawTextAlign, placesTheLine) {
    TMetafileCanvas c(nullptr);
    TRect r = Rect(10, 10, 210, 110);
    c.DrawText("编号", -1, r, GetParam().flags);
    int w = c.TextWidth("编号"), h = c.TextHeight("编号");
    TPoint at = Runs(c).at.at(0);
    int x = GetParam().expectX == -1 ? 10 + (200 - w) / 2 : GetParam().expectX == -2 ? 210 - w : 10;
    int y = GetParam().expectY == -1 ? 10 + (100 - h) / 2 : GetParam().expectY == -2 ? 110 - h : 10;
    EXPECT_EQ(at, Point(x, y));
}

INSTANTIATE_TEST_SUITE_P(Flags, DrawTextAlign,
                         testing::Values(AlignRow{"LeftTop", DT_LEFT | DT_TOP, 0, 0},
                                         AlignRow{"CentreVCentre", DT_CENTER | DT_VCENTER | DT_SINGLELINE, -1, -1},
                                         AlignRow{"RightBottom", DT_RIGHT | DT_BOTTOM | DT_SINGLELINE, -2, -2},
                                         AlignRow{"VCentreNeedsSingleLine", DT_VCENTER, 0, 0}),
                         RowName());

struct PrefixRow {
    const char* name;
    const char* text;
    unsigned flags;
    const char* shown;
};

class DrawTextPrefix : public testing::TestWithParam<PrefixRow> {};

TEST_P(DrawTextPrefix, ampersands) {
    TMetafileCanvas c(nullptr);
    TRect r = Rect(0, 0, 300, 30);
    c.DrawText(GetParam().text, -1, r, GetParam().flags | DT_SINGLELINE);
    EXPECT_EQ(Runs(c).text, std::vector<std::string>{GetParam().shown});
}

INSTANTIATE_TEST_SUITE_P(Flags, DrawTextPrefix,
                         testing::Values(PrefixRow{"PrefixRemoved", "查询(&Q)", 0, "查询(Q)"},
                                         PrefixRow{"DoubledIsLiteral", "A&&B", 0, "A&B"},
                                         PrefixRow{"NoPrefixKeepsIt", "查询(&Q)", DT_NOPREFIX, "查询(&Q)"}),
                         RowName());

TEST(DrawText, countCutsAtWholeCharacter) {
    TMetafileCanvas c(nullptr);
    TRect r = Rect(0, 0, 300, 30);
    // 4 bytes is one Chinese character and a third of the next.
    c.DrawText("图书馆", 4, r, DT_SINGLELINE);
    EXPECT_EQ(Runs(c).text, std::vector<std::string>{"图"});
}

TEST(DrawText, linesBreakAtNewlinesUnlessSingleLine) {
    TMetafileCanvas c(nullptr);
    TRect r = Rect(0, 0, 300, 100);
    c.DrawText("第一行\r\n第二行", -1, r, DT_LEFT);
    c.DrawText("第一行\r\n第二行", -1, r, DT_SINGLELINE);
    EXPECT_EQ(Runs(c).text, (std::vector<std::string>{"第一行", "第二行", "第一行第二行"}));
}

TEST(TextOut, recordsFontBrushAndMovesPenPos) {
    TMetafileCanvas c(nullptr);
    c.Font()->SetColor(clRed);
    c.Font()->SetStyle({fsBold});
    c.Brush()->SetStyle(bsClear);
    c.TextOut(5, 6, "读者");
    ASSERT_EQ(c.Records().size(), 1u);
    const TMetafileRecord& r = c.Records()[0];
    EXPECT_EQ(r.Kind, mrText);
    EXPECT_EQ(r.FontColor, clRed);
    EXPECT_TRUE(r.FontStyle.Contains(fsBold));
    EXPECT_EQ(r.Param1, 0) << "transparent background";
    EXPECT_EQ(r.Bounds, Rect(5, 6, 5 + c.TextWidth("读者"), 6 + c.TextHeight("读者")));
    EXPECT_EQ(c.PenPos(), Point(5 + c.TextWidth("读者"), 6));
}

} // namespace
